#pragma once
// Operator lists of the system database: the operators of one group with
// their job level names (TUserList) and the operators logged on now with the
// computers they use (TLoginUserListOnDef).
//
// Errors: when the list started its transaction they are reported and the
// transaction committed; inside a caller's transaction they are passed on
// to the caller instead of being dropped.
#include <memory>
#include <string>
#include <vector>

namespace db {
class Transaction;
}

struct TUserListRec {
    int GROUPID = 0;
    int OPCODE = 0;        // login code within the group
    std::string OPNAME;
    std::string PASWORD;
    int JOBLEVEL = 0;
    std::string LEVELNAME;
    bool JIMUSHO = false;
    bool OKINIIRI = false;
    bool Flag3 = false;
    std::vector<std::string> UseSitenList;
    std::string Text;
    bool MYNUMBER_ADM = false;
    bool SHONIN = false;
};

class TUserList {
public:
    TUserList();
    ~TUserList();
    void Execute();
    void Clear();
    int GetOpCode(int Index) const;
    void GetText(std::string& Text) const;
    // -1: both components on the own transaction; 0: the system component
    // on Transaction; other values: the data component.
    void SetTransaction(db::Transaction* Transaction, int Which);
    int IndexOfOpCode(int OpCode) const;

    std::string FirstName;
    int GroupId = 0;
    std::vector<TUserListRec> Entries;
    std::vector<std::string> Lines;
    int Count = 0;
    bool GridMode = false;
    bool ApprovedOnly = false;

private:
    std::unique_ptr<db::Transaction> own_;
    db::Transaction* sys_;
    db::Transaction* dat_;
};

struct TLoginUserListRec {
    int OPERATORCODE = 0;
    std::string OPNAME;
    std::string PCNAME;
};

class TLoginUserList {
public:
    virtual ~TLoginUserList() = default;
    int GetOperatorCode(int Index) const;
    void GetOperatorName(int Index, std::string& Name) const;
    void Clear();

    std::vector<TLoginUserListRec> Entries;
    std::vector<std::string> Lines;
    int Count = 0;
    int GroupId = 0;
    int OpCode = 0;
    bool IncludeSelf = false;
};

class TLoginUserListOnDef : public TLoginUserList {
public:
    TLoginUserListOnDef();
    // Errors propagate to the caller in every case.
    void Execute(int GroupId, int OpCode, bool IncludeSelf);

private:
    db::Transaction* tx_;
};
