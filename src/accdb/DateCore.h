#pragma once
// Calendar dates and date-times of the accounting library.
//
// A TDateTime is a count of days since 30 December 1899 (day 0, also used as
// "no date"); a fraction holds the time of day. Dates before day 0 are
// negative; their time of day, when any, is the absolute value of the
// fraction. Years run from 1 to 9999 of the proleptic Gregorian calendar.
#include <cstdint>
#include <string>
#include <string_view>

using TDateTime = double;

namespace datecore {

bool isLeapYear(int year);
// Days of the month (29 for February of a leap year); 0 for a month
// outside 1..12.
int daysInMonth(int year, int month);

// False when the fields do not make a date of years 1..9999.
bool tryEncodeDate(int year, int month, int day, TDateTime& out);
// Throws std::invalid_argument when the fields do not make a date.
TDateTime encodeDate(int year, int month, int day);
void decodeDate(TDateTime date, int& year, int& month, int& day);

// Fraction of a day; false when a field is out of range.
bool tryEncodeTime(int hour, int minute, int second, int msec, TDateTime& out);
// Time of day, rounded to the millisecond.
void decodeTime(TDateTime date, int& hour, int& minute, int& second, int& msec);

// The whole day of a date-time (time of day dropped).
TDateTime dateOf(TDateTime date);
// The calendar day number (days since 30 December 1899) of a date-time.
std::int32_t dayNumber(TDateTime date);

// Formats a date-time by a pattern of the suite's date layouts:
//   y, yy      two-digit year        yyy, yyyy  four-digit year
//   m, mm      month (after h or hh: minutes)   d, dd  day
//   h, hh      hour   n, nn minute   s, ss second   z, zzz  milliseconds
//   "..." and '...' literal text; every other character is copied.
// "/" and ":" are copied as they are: the program's separators are always
// "/" and ":" whatever the machine's regional settings say.
std::string formatDateTime(std::string_view pattern, TDateTime date);

} // namespace datecore
