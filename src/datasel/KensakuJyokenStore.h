#pragma once
// Storage of the search conditions in KENSAKUJYOKEN, one row per operator
// and list type, in a transaction of its own on the system database.
#include <exception>
#include <functional>
#include <memory>
#include <string>

#include "datasel/DataListRec.h"

namespace db {
class Attachment;
class Transaction;
} // namespace db

namespace datasel {

class TKensakuJyokenStore {
public:
    explicit TKensakuJyokenStore(db::Attachment& systemDb);
    ~TKensakuJyokenStore();

    // Reports a failure of an operation that started the transaction.
    std::function<void(const std::exception& e, const std::string& context, const std::string& text)> ErrorReporter;

    // Reads the row of rec.OPCODE and rec.LISTTYPE into rec (SORTCOL as a
    // grid column); creates the row, cleared, when missing. On failure rec
    // stays cleared.
    bool SelectRecord(TDataKensakuRec& rec);
    // Writes all condition columns and the sort (from the grid column).
    bool UpdateRecord(const TDataKensakuRec& rec);
    // Writes the sort only.
    bool UpdateRecordSortField(const TDataKensakuRec& rec);

    db::Transaction& transaction() { return *tx_; }

private:
    std::unique_ptr<db::Transaction> tx_;
};

} // namespace datasel
