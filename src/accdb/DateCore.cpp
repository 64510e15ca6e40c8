#include "accdb/DateCore.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "db/Date.h"

namespace datecore {

// The calendar is the database layer's: one serial-day count for the suite.
bool isLeapYear(int year) { return db::isLeapYear(year); }

int daysInMonth(int year, int month) { return db::daysInMonth(year, month); }

bool tryEncodeDate(int year, int month, int day, TDateTime& out) {
    const db::Date d{year, month, day};
    if (!d.isValid()) return false;
    out = static_cast<TDateTime>(d.toSerial());
    return true;
}

TDateTime encodeDate(int year, int month, int day) {
    TDateTime d = 0;
    if (!tryEncodeDate(year, month, day, d))
        throw std::invalid_argument("invalid date");
    return d;
}

std::int32_t dayNumber(TDateTime date) {
    return static_cast<std::int32_t>(std::trunc(date));
}

void decodeDate(TDateTime date, int& year, int& month, int& day) {
    const db::Date d = db::Date::fromSerial(dayNumber(date));
    year = d.y;
    month = d.m;
    day = d.d;
}

bool tryEncodeTime(int hour, int minute, int second, int msec, TDateTime& out) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 ||
        msec < 0 || msec > 999)
        return false;
    const long long ms = ((hour * 60LL + minute) * 60LL + second) * 1000LL + msec;
    out = static_cast<TDateTime>(ms) / 86400000.0;
    return true;
}

void decodeTime(TDateTime date, int& hour, int& minute, int& second, int& msec) {
    double frac = std::fabs(date - std::trunc(date));
    long long ms = std::llround(frac * 86400000.0);
    if (ms >= 86400000LL) ms = 86400000LL - 1;
    msec = static_cast<int>(ms % 1000);
    ms /= 1000;
    second = static_cast<int>(ms % 60);
    ms /= 60;
    minute = static_cast<int>(ms % 60);
    hour = static_cast<int>(ms / 60);
}

TDateTime dateOf(TDateTime date) { return std::trunc(date); }

std::string formatDateTime(std::string_view pattern, TDateTime date) {
    int y, mo, d, h, mi, s, ms;
    decodeDate(date, y, mo, d);
    decodeTime(date, h, mi, s, ms);
    std::string out;
    char buf[16];
    bool lastWasHour = false;
    std::size_t i = 0;
    auto run = [&](char c) {
        std::size_t n = 0;
        while (i + n < pattern.size() && (pattern[i + n] | 0x20) == c) ++n;
        return n;
    };
    while (i < pattern.size()) {
        const char c = pattern[i];
        const char lc = static_cast<char>(c | 0x20);
        if (c == '"' || c == '\'') {
            std::size_t end = pattern.find(c, i + 1);
            if (end == std::string_view::npos) end = pattern.size();
            out.append(pattern.substr(i + 1, end - i - 1));
            i = end < pattern.size() ? end + 1 : end;
            continue;
        }
        if (static_cast<unsigned char>(c) >= 0x80 || !(lc >= 'a' && lc <= 'z')) {
            out.push_back(c);
            ++i;
            continue;
        }
        std::size_t n = run(lc);
        switch (lc) {
        case 'y':
            if (n <= 2) std::snprintf(buf, sizeof buf, "%02d", y % 100);
            else std::snprintf(buf, sizeof buf, "%04d", y);
            out += buf;
            lastWasHour = false;
            break;
        case 'm':
            if (n > 2) n = 2;
            std::snprintf(buf, sizeof buf, n == 2 ? "%02d" : "%d", lastWasHour ? mi : mo);
            out += buf;
            lastWasHour = false;
            break;
        case 'd':
            if (n > 2) n = 2;
            std::snprintf(buf, sizeof buf, n == 2 ? "%02d" : "%d", d);
            out += buf;
            lastWasHour = false;
            break;
        case 'h':
            if (n > 2) n = 2;
            std::snprintf(buf, sizeof buf, n == 2 ? "%02d" : "%d", h);
            out += buf;
            lastWasHour = true;
            break;
        case 'n':
            if (n > 2) n = 2;
            std::snprintf(buf, sizeof buf, n == 2 ? "%02d" : "%d", mi);
            out += buf;
            lastWasHour = false;
            break;
        case 's':
            if (n > 2) n = 2;
            std::snprintf(buf, sizeof buf, n == 2 ? "%02d" : "%d", s);
            out += buf;
            lastWasHour = false;
            break;
        case 'z':
            if (n >= 3) { n = 3; std::snprintf(buf, sizeof buf, "%03d", ms); }
            else { n = 1; std::snprintf(buf, sizeof buf, "%d", ms); }
            out += buf;
            lastWasHour = false;
            break;
        default:
            out.append(pattern.substr(i, n));
            break;
        }
        i += n;
    }
    return out;
}

} // namespace datecore
