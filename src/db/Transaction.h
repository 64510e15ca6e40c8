#pragma once
// Transactions on one attachment (RAII: an active transaction is rolled back
// when the object goes away).
//
// The suite's rule is "start only when not active, commit or roll back only
// what you started": a routine that may be called inside a caller's
// transaction uses a TxScope, which starts the transaction only when it is
// not active and ends it only when it started it.
#include <initializer_list>
#include <vector>

namespace Firebird {
class ITransaction;
}

namespace db {

class Attachment;

enum class TxKind {
    // read_committed, rec_version, nowait (the usual kind)
    ReadCommitted,
    // concurrency (snapshot), nowait
    Concurrency,
    // write, consistency (table stability), wait
    Consistency,
};

class Transaction {
public:
    explicit Transaction(Attachment& attachment, TxKind kind = TxKind::ReadCommitted);
    // A transaction over several databases (two-phase commit): `attachment`
    // is the default database, `more` are added. Statements name the
    // attachment they run on.
    Transaction(Attachment& attachment, std::initializer_list<Attachment*> more,
                TxKind kind = TxKind::ReadCommitted);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    // Throws FbError when already active or on the server's refusal.
    void start();
    bool active() const { return handle_ != nullptr; }
    void commit();
    void rollback();
    // Commit keeping the transaction (and its cursors) open.
    void commitRetaining();
    void rollbackRetaining();
    // Rolls back when active; never throws.
    void rollbackNoThrow() noexcept;

    TxKind kind() const { return kind_; }
    // The default database (throws FbError when it has gone away).
    Attachment& attachment() const;
    const std::vector<Attachment*>& attachments() const { return attachments_; }
    Firebird::ITransaction* handle() const { return handle_; }

private:
    friend class Attachment;
    void forget(Attachment* att) noexcept;

    std::vector<Attachment*> attachments_;
    TxKind kind_;
    Firebird::ITransaction* handle_ = nullptr;
};

// Starts the transaction when it is not active; commit() and rollback() act
// only when this scope started it; when a scope that started it goes away
// without commit(), it rolls back.
class TxScope {
public:
    explicit TxScope(Transaction& tx);
    ~TxScope();
    TxScope(const TxScope&) = delete;
    TxScope& operator=(const TxScope&) = delete;

    bool owns() const { return owns_; }
    void commit();
    void rollback();

private:
    Transaction& tx_;
    bool owns_ = false;
};

} // namespace db
