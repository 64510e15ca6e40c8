#pragma once
// Japanese eras and the closing-day month arithmetic of fiscal periods.
//
// Fiscal periods are counted in closing-day months: with closing day 20 a
// "month" runs from the 21st to the 20th of the next month; closing day 99
// means the calendar month end. The period bar has 16 cells: three months
// and one settlement cell per quarter.
#include "accdb/DateCore.h"

#include <string>
#include <vector>

// One era of the program's era table (a GENGO row).
struct TGengoRec {
    std::string Name;      // 令和 (GNAME)
    std::string Letter;    // R (GSIGN)
    TDateTime StartDate = 0;   // first day of the era (STARTDATE)
    int StartYear = 0;     // Gregorian year of the era's year 1 (YEAROFFSET)
};

using TGengoArray = std::vector<TGengoRec>;

// A built-in era: start date as "yyyy/mm/dd".
struct TGengo2Rec {
    const char* Name;
    const char* Letter;
    const char* StartDate;
    int StartYear;
};

// A date in the era calendar. Year is signed: a date before the oldest era
// counts back from that era's start year (0, -1, ...).
struct TWarekiRec {
    std::string Name;
    std::string Letter;
    int Year = 0;
    int Month = 0;
    int Day = 0;
};

// The built-in eras, newest first.
inline constexpr int kBuiltinGengoCount = 5;
extern const TGengo2Rec BuiltinGengo[kBuiltinGengoCount];

// The program's era table, newest era first. Filled after logon from the
// system database, else from the built-in eras.
extern TGengoArray GengoTable;

// Refills the era table from the built-in eras.
void InitGengoTable();
// Takes the era table from database rows (GNAME, GSIGN, STARTDATE,
// YEAROFFSET, already ordered newest first); no rows falls back to the
// built-in eras.
void SetGengoTableRows(const TGengoArray& rows);

// Era name, letter and year of a date by the era table. The zero date (no
// date) gets no era and its Gregorian year; an empty table gives no era and
// the Gregorian year.
void DateToWareki(TWarekiRec& result, TDateTime date);

// 0-based period-bar cell of a fiscal month 1..12 (settlement cells
// skipped); 0 for any other value.
int MonthToKikanIndex(int month);
bool IsLeapYearSafe(int year);
TDateTime AddDays(int days, TDateTime date);
int DayOfDate(TDateTime date);

// Date moved by whole months; a day that the target month lacks becomes its
// last day. The time of day is dropped.
TDateTime IncMonthClamp(int months, TDateTime date);
// Closing date of the closing-day month that contains the date, moved by
// the given number of months. A closing day outside 1..28 and not 99
// returns the date unchanged.
TDateTime GetShimebiDate(int months, int closingDay, TDateTime date);
// Closing-day months from date1 to date2 (negative when date2 is earlier).
int MonthsBetween(int closingDay, TDateTime date1, TDateTime date2);
// 1-based period-bar cell of the earlier of two dates counted from the
// period start; with withSettlement 1 the quarter-end months give their
// settlement cell and two equal dates the year-end cell 16. -1 outside the
// year.
int GetKikanCellNo(int closingDay, int withSettlement, TDateTime periodStart, TDateTime date1, TDateTime date2);
