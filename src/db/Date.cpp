#include "db/Date.h"

#include <cmath>
#include <cstdio>

namespace db {

namespace {

// Days since 1970-01-01 of a proleptic Gregorian date, and back.
long long daysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

void civilFromDays(long long z, int& y, int& m, int& d) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(static_cast<long long>(yoe) + era * 400 + (m <= 2));
}

// 1899-12-30 counted from 1970-01-01.
constexpr long long kSerialEpoch = -25569;

} // namespace

bool isLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int daysInMonth(int y, int m) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (m < 1 || m > 12) return 0;
    return m == 2 && isLeapYear(y) ? 29 : days[m - 1];
}

bool Date::isValid() const {
    return y >= 1 && y <= 9999 && m >= 1 && m <= 12 && d >= 1 && d <= daysInMonth(y, m);
}

int Date::toSerial() const {
    return static_cast<int>(daysFromCivil(y, static_cast<unsigned>(m), static_cast<unsigned>(d)) -
                            kSerialEpoch);
}

Date Date::fromSerial(int serial) {
    Date r;
    civilFromDays(serial + kSerialEpoch, r.y, r.m, r.d);
    return r;
}

std::string Date::toString() const {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d/%02d/%02d", y, m, d);
    return buf;
}

Time Time::fromMsecs(int msecs) {
    Time t;
    t.ms = msecs % 1000;
    msecs /= 1000;
    t.s = msecs % 60;
    msecs /= 60;
    t.mi = msecs % 60;
    t.h = msecs / 60;
    return t;
}

std::string Time::toString() const {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", h, mi, s);
    return buf;
}

double DateTime::toSerial() const {
    return date.toSerial() + time.toMsecs() / 86400000.0;
}

DateTime DateTime::fromSerial(double serial) {
    // Work in whole milliseconds so that a value written by toSerial reads
    // back exactly.
    const long long total = std::llround(serial * 86400000.0);
    long long days = total / 86400000;
    long long rest = total % 86400000;
    if (rest < 0) {
        rest += 86400000;
        --days;
    }
    return DateTime{Date::fromSerial(static_cast<int>(days)), Time::fromMsecs(static_cast<int>(rest))};
}

std::string DateTime::toString() const { return date.toString() + " " + time.toString(); }

} // namespace db
