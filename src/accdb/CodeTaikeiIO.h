#pragma once
// The code-system store (USERCODE of the system database): imports a
// code-system file into a row and repairs rows whose data type and code
// type were stored as 1 and 1.
#include <array>
#include <string>
#include <vector>

#include "accdb/MojiBunkatu.h"

namespace db {
class Transaction;
}

struct TCodeTaikeiRec2 {
    int RecNo = 0;
    std::string Name;
    int DataType = 0;
    int CodeType = 0;
    std::string Text1;
    int Value1 = 0, Value2 = 0, Value3 = 0;
    std::string SeihinKubun = "-";
    std::uint8_t Flag = 0;
    std::array<std::vector<std::string>, 8> IniDat;
    std::string Text2;
    int Value4 = 0, Value5 = 0;
};

class TCodeTaikeiIO {
public:
    // Runs KubunSyufuku.
    TCodeTaikeiIO();
    bool ImportFile(const std::string& FileName, int RecNo);
    bool UpDateRecored(const TCodeTaikeiRec2& Rec);
    void KubunSyufuku();
    bool CheckSeihinKubun(const std::string& Kind, std::string& Message) const;

    // The file's lines filed into a record (no database access).
    static TCodeTaikeiRec2 ParseLines(const std::vector<std::string>& Lines, int RecNo);

    std::string FormatVersion = "1.0";
    int FormatMajor = 1;
    int FormatMinor = 0;

private:
    db::Transaction* tx_;
    TMojiBunkatu split_;
};
