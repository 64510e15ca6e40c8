#pragma once
// The base form's stores on the databases: window sizes in FORMRSIZE of the
// system database and the screen-use log in OPINF of the data database.
// Each call runs in the given transaction, starting and committing it only
// when it was not active; a database failure rolls back what this call
// started and is raised as db::FbError (the form reports it).
#include "ui/SDI.h"

namespace db {
class Transaction;
}

class FbFormSizeStore : public FormSizeStore {
public:
    // defTx: the data module's transaction on the system database.
    explicit FbFormSizeStore(db::Transaction& defTx) : tx_(defTx) {}
    std::optional<FormRect> load(int opCode, const std::string& formName) override;
    void insert(int opCode, const std::string& formName, const FormRect& r, int defHeight, int defWidth) override;
    void update(int opCode, const std::string& formName, const FormRect& r) override;

private:
    db::Transaction& tx_;
};

class FbScreenUseLog : public ScreenUseLog {
public:
    // datTx: the form's transaction on the data database.
    explicit FbScreenUseLog(db::Transaction& datTx) : tx_(datTx) {}
    void closeEntries(int opCode, const std::string& jobName, const std::string& state) override;
    void openEntry(int opCode, const std::string& jobName, const std::string& pcName,
                   const QDateTime& openTime) override;

private:
    db::Transaction& tx_;
};
