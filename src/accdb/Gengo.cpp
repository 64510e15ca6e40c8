#include "accdb/Gengo.h"

#include <algorithm>
#include <cstdio>

const TGengo2Rec BuiltinGengo[kBuiltinGengoCount] = {
    {"令和", "R", "2019/05/01", 2019},
    {"平成", "H", "1989/01/08", 1989},
    {"昭和", "S", "1926/12/25", 1926},
    {"大正", "T", "1912/07/30", 1912},
    {"明治", "M", "1868/09/08", 1868},
};

TGengoArray GengoTable;

void InitGengoTable() {
    TGengoArray table;
    table.reserve(kBuiltinGengoCount);
    for (const TGengo2Rec& g : BuiltinGengo) {
        int y = 0, m = 0, d = 0;
        std::sscanf(g.StartDate, "%d/%d/%d", &y, &m, &d);
        TGengoRec rec;
        rec.Name = g.Name;
        rec.Letter = g.Letter;
        rec.StartDate = datecore::encodeDate(y, m, d);
        rec.StartYear = y;
        table.push_back(std::move(rec));
    }
    GengoTable = std::move(table);
}

void SetGengoTableRows(const TGengoArray& rows) {
    if (rows.empty()) {
        InitGengoTable();
        return;
    }
    GengoTable = rows;
}

void DateToWareki(TWarekiRec& result, TDateTime date) {
    result = TWarekiRec{};
    int y, m, d;
    datecore::decodeDate(date, y, m, d);
    // Day 0 stands for "no date". Earlier days are real dates and take the
    // era that covers them like any other.
    if (date == 0) {
        result.Year = y;
    } else {
        for (const TGengoRec& g : GengoTable) {
            if (g.Name.empty()) break;
            result.Name = g.Name;
            result.Letter = g.Letter;
            result.Year = y - g.StartYear + 1;
            if (date >= g.StartDate) break;
        }
        if (result.Name.empty()) result.Year = y;
    }
    result.Month = m;
    result.Day = d;
}

int MonthToKikanIndex(int month) {
    if (month >= 1 && month <= 3) return month - 1;
    if (month >= 4 && month <= 6) return month;
    if (month >= 7 && month <= 9) return month + 1;
    if (month >= 10 && month <= 12) return month + 2;
    return 0;
}

bool IsLeapYearSafe(int year) { return datecore::isLeapYear(year); }

TDateTime AddDays(int days, TDateTime date) { return date + days; }

int DayOfDate(TDateTime date) {
    int y, m, d;
    datecore::decodeDate(date, y, m, d);
    return d;
}

namespace {

// Year and month moved by a number of months.
void shiftMonth(int& year, int& month, int months) {
    const long t = static_cast<long>(year) * 12 + month + months;
    long m = t % 12;
    long y = t / 12;
    if (m <= 0) {  // December of the previous year (also for negative t)
        m += 12;
        y -= 1;
    }
    year = static_cast<int>(y);
    month = static_cast<int>(m);
}

} // namespace

TDateTime IncMonthClamp(int months, TDateTime date) {
    int y, m, d;
    datecore::decodeDate(date, y, m, d);
    shiftMonth(y, m, months);
    d = std::min(d, datecore::daysInMonth(y, m));
    TDateTime out = 0;
    if (!datecore::tryEncodeDate(y, m, d, out)) return datecore::dateOf(date);
    return out;
}

TDateTime GetShimebiDate(int months, int closingDay, TDateTime date) {
    if (!((closingDay >= 1 && closingDay <= 28) || closingDay == 99)) return date;
    int y, m, d;
    datecore::decodeDate(date, y, m, d);
    if (closingDay < d) ++months;  // a day after the closing day belongs to the next month
    shiftMonth(y, m, months);
    const int day = closingDay == 99 ? datecore::daysInMonth(y, m) : closingDay;
    TDateTime out = 0;
    if (!datecore::tryEncodeDate(y, m, day, out)) return date;
    return out;
}

int MonthsBetween(int closingDay, TDateTime date1, TDateTime date2) {
    int y1, m1, d1, y2, m2, d2;
    datecore::decodeDate(GetShimebiDate(0, closingDay, date1), y1, m1, d1);
    datecore::decodeDate(GetShimebiDate(0, closingDay, date2), y2, m2, d2);
    return (y2 - y1) * 12 + (m2 - m1);
}

int GetKikanCellNo(int closingDay, int withSettlement, TDateTime periodStart, TDateTime date1, TDateTime date2) {
    const int g = std::min(MonthsBetween(closingDay, periodStart, date1),
                           MonthsBetween(closingDay, periodStart, date2));
    int s = withSettlement == 1 ? 1 : 0;
    if (s == 1) {
        if (date1 == date2) return 16;
        if (g != 2 && g != 5 && g != 8 && g != 11) s = 0;
    }
    if (g < 0 || g >= 12) return -1;
    return s + g + 1 + g / 3;
}
