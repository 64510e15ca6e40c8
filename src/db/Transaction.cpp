#include "db/Transaction.h"

#include "db/Attachment.h"
#include "db/FbApi.h"

#include <ibase.h>

#include <algorithm>
#include <string>

using namespace Firebird;

namespace db {

Transaction::Transaction(Attachment& attachment, TxKind kind) : Transaction(attachment, {}, kind) {}

Transaction::Transaction(Attachment& attachment, std::initializer_list<Attachment*> more, TxKind kind)
    : kind_(kind) {
    attachments_.push_back(&attachment);
    for (Attachment* a : more)
        if (a && std::find(attachments_.begin(), attachments_.end(), a) == attachments_.end())
            attachments_.push_back(a);
    for (Attachment* a : attachments_) a->transactions_.push_back(this);
}

Transaction::~Transaction() {
    rollbackNoThrow();
    for (Attachment* a : attachments_) {
        auto& list = a->transactions_;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
}

Attachment& Transaction::attachment() const {
    if (attachments_.empty()) throwLayerError(kErrDsqlError, "database not attached");
    return *attachments_.front();
}

void Transaction::forget(Attachment* att) noexcept {
    rollbackNoThrow();
    attachments_.erase(std::remove(attachments_.begin(), attachments_.end(), att), attachments_.end());
}

void Transaction::start() {
    if (handle_) throwLayerError(kErrDsqlError, "transaction is already active");
    if (attachments_.empty()) throwLayerError(kErrDsqlError, "database not attached");
    for (Attachment* a : attachments_)
        if (!a->connected()) throwLayerError(kErrDsqlError, "database not attached");
    std::basic_string<unsigned char> tpb{isc_tpb_version3};
    switch (kind_) {
    case TxKind::ReadCommitted:
        tpb += {isc_tpb_write, isc_tpb_read_committed, isc_tpb_rec_version, isc_tpb_nowait};
        break;
    case TxKind::Concurrency:
        tpb += {isc_tpb_write, isc_tpb_concurrency, isc_tpb_nowait};
        break;
    case TxKind::Consistency:
        tpb += {isc_tpb_write, isc_tpb_consistency, isc_tpb_wait};
        break;
    }
    Status st;
    if (attachments_.size() == 1) {
        handle_ = fbCall([&] {
            return attachments_.front()->handle()->startTransaction(&st, static_cast<unsigned>(tpb.size()),
                                                                    tpb.data());
        });
        return;
    }
    handle_ = fbCall([&] {
        IDtcStart* b = master()->getDtc()->startBuilder(&st);
        try {
            for (Attachment* a : attachments_)
                b->addWithTpb(&st, a->handle(), static_cast<unsigned>(tpb.size()), tpb.data());
            return b->start(&st); // disposes the builder
        } catch (...) {
            b->dispose();
            throw;
        }
    });
}

void Transaction::commit() {
    if (!handle_) throwLayerError(kErrDsqlError, "transaction is not active");
    Status st;
    fbCall([&] { handle_->commit(&st); });
    handle_ = nullptr;
}

void Transaction::rollback() {
    if (!handle_) throwLayerError(kErrDsqlError, "transaction is not active");
    Status st;
    fbCall([&] { handle_->rollback(&st); });
    handle_ = nullptr;
}

void Transaction::commitRetaining() {
    if (!handle_) throwLayerError(kErrDsqlError, "transaction is not active");
    Status st;
    fbCall([&] { handle_->commitRetaining(&st); });
}

void Transaction::rollbackRetaining() {
    if (!handle_) throwLayerError(kErrDsqlError, "transaction is not active");
    Status st;
    fbCall([&] { handle_->rollbackRetaining(&st); });
}

void Transaction::rollbackNoThrow() noexcept {
    if (!handle_) return;
    Status st;
    try {
        handle_->rollback(&st);
    } catch (const FbException&) {
        // Lost connection: the server ends it; drop our reference.
        handle_->release();
    }
    handle_ = nullptr;
}

TxScope::TxScope(Transaction& tx) : tx_(tx) {
    if (!tx_.active()) {
        tx_.start();
        owns_ = true;
    }
}

TxScope::~TxScope() {
    if (owns_) tx_.rollbackNoThrow();
}

void TxScope::commit() {
    if (!owns_) return;
    tx_.commit(); // on failure the scope still owns it and rolls it back
    owns_ = false;
}

void TxScope::rollback() {
    if (!owns_) return;
    owns_ = false;
    tx_.rollback();
}

} // namespace db
