#pragma once
// The branch (facility) choices of the open data set for one operator or for
// everybody: the whole data set, branch groups (and, for medical data, the
// business units), branches, branches with departments. Comparing the row
// count for an operator with the count for everybody tells whether the
// operator holds every branch.
#include <cstdint>
#include <string>
#include <vector>

namespace db {
class Transaction;
}

struct TSitenListRec {
    std::string Code;   // " " for entries that are not a branch or group
    std::string Name;
    int Kind = 0;       // 0 whole, 1 group or business unit, 2 branch, 3 branch with departments
    int Unit = 1;       // medical: MB_JIGYOU, or the unit's bit
    int Bumex = 0;
    int Color = 0;
    std::string Text1, Text2;
};

// The open data set's basic settings the list depends on (taken from AccInf
// at creation).
struct TSitenListBasics {
    int Siten = 0;          // branch management on when not 0
    int Bumon = 0;          // department management on when not 0
    int DataType = 1;
    bool Medical = false;   // medical corporation
    std::string CompanyName;
};

// Row kind flags of Kinds.
enum : std::uint8_t { skWhole = 1, skGroup = 2, skSiten = 4, skSitenBumon = 8 };

class TSitenList {
public:
    // On the data database's transaction, with the open data set's settings.
    TSitenList();
    void SetTransaction(db::Transaction& Transaction) { tx_ = &Transaction; }
    // Fills the list for the operator (-1 everybody). Errors propagate.
    void Execute(int OpCode);
    void Clear();
    void GetSitenCode(int Index, std::string& Code) const;

    TSitenListBasics Basics;   // set by the caller from the open data set
    std::vector<TSitenListRec> Entries;
    std::vector<std::string> Lines;
    int Count = 0;
    std::uint8_t Kinds = 0;
    int OpCode = 0;
    int BusinessUnit = 0;
    bool GridMode = false;
    bool IncludeCode00 = true;

private:
    void ExecuteStd(int op);
    void ExecuteMb(int op);
    void run(int op, bool medical);
    void add(TSitenListRec rec, const std::string& line);
    std::string wholeName() const;
    db::Transaction* tx_;
};
