#pragma once
// Small per-operator screen values (a dialog's last choices) kept in
// STYLECOLOR of the system database under style names "020-<KEY>".
//
// Errors: when the call started the system transaction they are reported
// and the transaction committed; inside a caller's transaction they are
// passed on to the caller, so that a failed save never looks like success.
#include <string>

namespace db {
class Transaction;
}

class TGamenKeyValue {
public:
    TGamenKeyValue();
    void SetTransaction(db::Transaction& Transaction) { tx_ = &Transaction; }
    void SetStyleName(const std::string& Key);
    void ClearValue() { Value.clear(); }
    void FukugenValue(const std::string& Key, std::string& Value);
    void HozonValue(const std::string& Key, const std::string& Value);

    int OpCode = 0;
    std::string Prefix = "020-";
    std::string StyleName;
    std::string Value;

private:
    db::Transaction* tx_;
};
