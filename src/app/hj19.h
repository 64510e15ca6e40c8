#pragma once
// The depreciation schedules of the intermediate file: the fixed assets of
// the open data set, sorted into six lists by depreciation method, one row
// element per asset and one text element per cell of the schedule.
//
// The cells are pure functions of one asset record and the data set's
// fiscal settings (CellsOf); reading the records is behind SisanReader so
// that the rules can be checked without a database.
#include "accdb/DateCore.h"
#include "app/ComRendo.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

class TXmlSaveDoc;

namespace hj19 {

using Date = std::chrono::year_month_day;
// Amounts: 1/10000 yen, exact.
using Money = std::int64_t;
constexpr Money Yen = 10000;

// One KS_SISAN record joined with its account name, as the lists read it.
// NULL amounts and counts read as 0; columns the data set lacks
// (TEIRITU250, TEIRITU200, SYUTOKUKAGAKUCHOSEI) read as 0 too.
struct SisanRow {
    int REC = 0;
    std::string KANRI;
    std::string KNAME;
    std::string MEISYOU;
    std::optional<Date> SYUTODATE;
    int TAIYOUYY = 0;
    int SYOUKIKANSTR = 0;
    int SYOUKIKANEND = 0;
    Money SYUTOKIN = 0;
    Money KISOKIN = 0;
    Money SYOURITU = 0;
    Money FUTUSYOUKIN = 0;
    Money WARISYOUKIN = 0;
    Money SYOUKINKEI = 0;
    Money MATUMISYOUKIN = 0;
    Money ZANKAHOSYOUGAKU = 0;
    Money KAITEISYUTOKUKAGAKU = 0;
    Money KAITEISYUTOKUKAGAKU_INPUT = 0;
    int ISINPKAITEISYUTOKUKAGAKU = 0;
    int TEIRITU250 = 0;
    int TEIRITU200 = 0;
    Money SYUTOKUKAGAKUCHOSEI = 0;
};

struct Wareki {
    std::string name;
    int year = 0;
    int month = 0;
    int day = 0;
};

// What the cells need of the open data set.
struct Context {
    Date KISHU{};
    Date KIMATU{};
    int periodMonths = 0; // closing months from KISHU to KIMATU
    int inputMonths = 0;  // closing months from KISHU to KAISI
    int SDAI_HASUU1 = 0;  // rounding mode of the asset ledger
    std::function<Wareki(const Date&)> toWareki;
};

// The era date of a date by the program's era table.
Wareki WarekiOf(const Date& date);
// Between the program's date-times and the dates of the rules.
Date ToDate(TDateTime date);
TDateTime FromDate(const Date& date);

// Value rules.
Money HasuuSyori(int mode, Money amount);      // to whole yen by the ledger's rounding mode
Money MulRate(Money amount, std::int64_t num, std::int64_t den); // amount * num / den, kept to 1/10000 yen
std::string Name16(const std::string& text);   // exactly 16 bytes
std::string Amt(Money amount);                 // whole yen, empty when it rounds to 0
std::string Amt0(Money amount);                // whole yen, "0" for 0
std::string Rate3(Money rate);                 // a 1/10000 value with three decimals
std::string Rate5(std::int64_t rate100000);    // a 1/100000 value with five decimals
Money Fifth(Money syutokin);
Money Tenth(Money syutokin);
bool IsOldRules(const Date& syutodate);        // acquired before 1 April 2007
bool InFivePercentStage(const SisanRow& row, const Context& ctx);
// Pieces of at most 16 bytes, never cutting a double-byte character; an
// empty text gives one empty piece.
std::vector<std::string> Split16(const std::string& text);

// Declining-balance rates of one useful life: revised rate in 1/1000,
// guarantee rate in 1/100000. Lives without an entry (0, 1, beyond 100,
// negative) give zero rates.
struct Teiritu {
    int revised = 0;
    int guarantee = 0;
};
Teiritu Rate250(int life);
Teiritu Rate200(int life);
// Whether list 2 uses the 200% table for this asset (case B only).
bool Uses200(const SisanRow& row, const Context& ctx);

// Lists 1..6 in file order.
constexpr int ListCount = 6;
const char* SectionName(int list);
const char* RowTag(int list, int kind);          // kind 0 row element, 1 extra element
const std::vector<std::string>& CellTags(int list);
const std::vector<std::string>& TotalTags();     // IKKATU_TOUKI cells
// GSHOUHOU of the assets of a list.
int MethodOf(int list);
// The cells of one asset in tag order.
std::vector<std::string> CellsOf(int list, const SisanRow& row, const Context& ctx);
std::vector<std::string> TotalCells(Money totalKisokin, int sdaiHasuu1);

// The statement that collects a list, line by line.
std::vector<std::string> QueryLines(int list);

} // namespace hj19

// Reading the fixed assets of the open data set. One select per list; all
// lists are read in one transaction so that they see one snapshot.
class SisanReader {
public:
    virtual ~SisanReader() = default;
    virtual bool InTransaction() = 0;
    virtual void StartTransaction() = 0;
    virtual void Commit() = 0;
    // Runs the statement (its lines joined); kikan carries the parameters
    // KIKAN1 and KIKAN2 when the statement has them. Calls onRow per record.
    virtual void Select(const std::vector<std::string>& lines, const std::optional<std::pair<hj19::Date, hj19::Date>>& kikan,
                        const std::function<void(const hj19::SisanRow&)>& onRow) = 0;
    // The open data set's settings the cells need.
    virtual hj19::Context Settings() = 0;
};

namespace db {
class Transaction;
}

namespace hj19 {
// The cells' view of the open data set: fiscal year, input start, closing
// day and the asset ledger's rounding mode.
Context MakeContext(TDateTime kishu, TDateTime kimatu, TDateTime kaisi, int sime, int sdaiHasuu1);
} // namespace hj19

// The fixed assets of the data database, read on the data set's transaction.
// Columns that an older data set lacks read as 0.
class DbSisanReader : public SisanReader {
public:
    DbSisanReader(db::Transaction& tx, hj19::Context ctx) : tx_(tx), ctx_(std::move(ctx)) {}
    bool InTransaction() override;
    void StartTransaction() override;
    void Commit() override;
    void Select(const std::vector<std::string>& lines, const std::optional<std::pair<hj19::Date, hj19::Date>>& kikan,
                const std::function<void(const hj19::SisanRow&)>& onRow) override;
    hj19::Context Settings() override { return ctx_; }

private:
    db::Transaction& tx_;
    hj19::Context ctx_;
};

// A record without acquisition date stops the reading.
class ESisanDataError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class THojinZeiGenka19DataMake : public TZaimuDataLoad {
public:
    explicit THojinZeiGenka19DataMake(SisanReader& reader);

    virtual std::string SectionName(int list);
    virtual std::string FieldTag(int list, int kind);
    // 1 rows written, 3 no asset in any list, 16 reading failed.
    virtual int Make(TXmlSaveDoc& doc);

    // Each reads one list and writes its rows under DATA as they come, so
    // memory does not grow with the number of assets. Make calls them.
    void ReadSisan1() { read(1); }
    void ReadSisan2() { read(2); }
    void ReadSisan3() { read(4); }
    void ReadSisan4() { read(6); }
    void ReadSisan5() { read(5); }
    void ReadSisan6() { read(3); }

private:
    void read(int list);

    SisanReader& reader_;
    hj19::Context ctx_;
    int result_ = 3;
    TXmlSaveDoc* doc_ = nullptr;
    int data_ = 0; // the DATA element
    hj19::Money total_ = 0;
};
