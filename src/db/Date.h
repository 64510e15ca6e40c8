#pragma once
// Calendar values as the databases hold them.
//
// Days are also counted as a serial number: days since 1899-12-30, the zero
// date the whole suite uses for its date arithmetic (serial 1 is 1899-12-31,
// 2 is 1900-01-01). A DateTime's serial is that day count plus the fraction
// of the day. An all-zero Date is "no date" (what a NULL column reads as).
#include <compare>
#include <string>

namespace db {

struct Date {
    int y = 0, m = 0, d = 0;

    bool isNull() const { return y == 0 && m == 0 && d == 0; }
    // True for a real calendar day in years 1..9999.
    bool isValid() const;
    // Days since 1899-12-30 (may be negative).
    int toSerial() const;
    static Date fromSerial(int serial);
    // "YYYY/MM/DD"
    std::string toString() const;

    auto operator<=>(const Date&) const = default;
};

struct Time {
    int h = 0, mi = 0, s = 0, ms = 0;

    // Milliseconds since midnight.
    int toMsecs() const { return ((h * 60 + mi) * 60 + s) * 1000 + ms; }
    static Time fromMsecs(int msecs);
    // "HH:MM:SS"
    std::string toString() const;

    auto operator<=>(const Time&) const = default;
};

struct DateTime {
    Date date;
    Time time;

    bool isNull() const { return date.isNull() && time == Time{}; }
    // Serial day number plus fraction of the day.
    double toSerial() const;
    // Rounded to the millisecond.
    static DateTime fromSerial(double serial);
    // "YYYY/MM/DD HH:MM:SS"
    std::string toString() const;

    auto operator<=>(const DateTime&) const = default;
};

bool isLeapYear(int y);
int daysInMonth(int y, int m);

} // namespace db
