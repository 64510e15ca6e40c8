#include "db/Attachment.h"

#include "db/FbApi.h"
#include "db/Statement.h"
#include "db/Transaction.h"

#include <ibase.h>

#include <utility>

using namespace Firebird;

namespace db {

void splitDatabaseName(const std::string& name, std::string& host, std::string& path) {
    const auto colon = name.find(':');
    // "C:\..." is a drive and "/a:b" or "./a:b" a path; "host:path" and
    // "host/port:path" name a server.
    bool remote = colon != std::string::npos && colon > 1;
    if (remote) {
        const std::string prefix = name.substr(0, colon);
        remote = prefix.front() != '/' && prefix.front() != '.' && prefix.find('\\') == std::string::npos;
    }
    if (!remote) {
        host.clear();
        path = name;
        return;
    }
    host = name.substr(0, colon);
    path = name.substr(colon + 1);
}

std::string joinDatabaseName(const std::string& host, const std::string& path) {
    return host.empty() ? path : host + ":" + path;
}

Attachment::~Attachment() {
    // Copies: each call removes its object from the list.
    for (Statement* st : std::vector<Statement*>(statements_)) st->orphan();
    disconnect();
    for (Transaction* tx : std::vector<Transaction*>(transactions_)) tx->forget(this);
}

void Attachment::connect(const ConnectParams& params) { attachOrCreate(params, false, 0, true); }

void Attachment::create(const ConnectParams& params, int pageSize, bool forcedWrites) {
    attachOrCreate(params, true, pageSize, forcedWrites);
}

void Attachment::attachOrCreate(const ConnectParams& params, bool create, int pageSize, bool forcedWrites) {
    disconnect();
    Status st;
    IXpbBuilder* dpb = nullptr;
    try {
        dpb = util()->getXpbBuilder(&st, IXpbBuilder::DPB, nullptr, 0);
        dpb->insertTag(&st, isc_dpb_utf8_filename);
        if (!params.user.empty()) dpb->insertString(&st, isc_dpb_user_name, params.user.c_str());
        if (!params.password.empty()) dpb->insertString(&st, isc_dpb_password, params.password.c_str());
        if (!params.charset.empty()) dpb->insertString(&st, isc_dpb_lc_ctype, params.charset.c_str());
        if (!params.role.empty()) dpb->insertString(&st, isc_dpb_sql_role_name, params.role.c_str());
        dpb->insertInt(&st, isc_dpb_sql_dialect, 3);
        if (create) {
            if (!params.charset.empty())
                dpb->insertString(&st, isc_dpb_set_db_charset, params.charset.c_str());
            if (pageSize > 0) dpb->insertInt(&st, isc_dpb_page_size, pageSize);
            if (!forcedWrites) dpb->insertInt(&st, isc_dpb_force_write, 0);
            handle_ = provider()->createDatabase(&st, params.database.c_str(), dpb->getBufferLength(&st),
                                                 dpb->getBuffer(&st));
        } else {
            handle_ = provider()->attachDatabase(&st, params.database.c_str(), dpb->getBufferLength(&st),
                                                 dpb->getBuffer(&st));
        }
        dpb->dispose();
    } catch (const FbException& e) {
        if (dpb) dpb->dispose();
        throwFbError(e.getStatus());
    }
    params_ = params;
    ++generation_;
}

void Attachment::disconnect() noexcept {
    if (!handle_) return;
    for (Transaction* tx : transactions_) tx->rollbackNoThrow();
    Status st;
    try {
        handle_->detach(&st);
    } catch (const FbException&) {
        // Still holding open transactions or a lost connection: drop our
        // reference; the engine cleans up.
        handle_->release();
    }
    handle_ = nullptr;
}

void Attachment::dropDatabase() {
    if (!handle_) throwLayerError(kErrDsqlError, "database not attached");
    for (Transaction* tx : transactions_) tx->rollbackNoThrow();
    Status st;
    fbCall([&] { handle_->dropDatabase(&st); });
    handle_ = nullptr;
}

long long Attachment::attachmentId() {
    Transaction tx(*this);
    TxScope scope(tx);
    Statement q(tx, "SELECT CURRENT_CONNECTION FROM RDB$DATABASE");
    q.execute();
    q.fetch();
    return q.asInt64(0);
}

} // namespace db
