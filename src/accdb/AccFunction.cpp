#include "accdb/AccFunction.h"
#include "accdb/DateCore.h"

#include "db/Date.h"

#include <cerrno>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <stdexcept>

#include "platform/Folders.h"
#include "platform/IntText.h"
#include "platform/TextCodec.h"

std::string GetPCName() {
    if (ConnectKind == 2) return SystemDef.ClientName.empty() ? "ANONYMOUS" : SystemDef.ClientName;
    auto name = platform::computerName();
    return name ? *name : "PCNAME-ERROR";
}

std::int64_t HasuuSyori(int Mode, std::int64_t Amount) {
    constexpr std::int64_t unit = 10000;
    std::int64_t yen = Amount / unit;  // truncated towards zero
    std::int64_t frac = Amount % unit; // same sign as Amount
    std::int64_t away = Amount < 0 ? -1 : 1;
    if (Mode == 0) {
        // truncation only
    } else if (Mode == 2) {
        if (frac != 0) yen += away;
    } else if (frac >= unit / 2 || frac <= -unit / 2) {
        yen += away;
    }
    // Rounding away at the very edge of the range has no whole-yen value.
    if (yen > INT64_MAX / unit || yen < INT64_MIN / unit) throw std::overflow_error("金額が範囲を超えています。");
    return yen * unit;
}

namespace {

bool validDate(int y, int m, int d) { return db::Date{y, m, d}.isValid(); }

bool isBlankOrControl(char32_t c) { return c <= 0x20; }
constexpr char32_t kZenSpace = 0x3000;

} // namespace

TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second) {
    double days = static_cast<double>(db::Date{year, month, day}.toSerial());
    return days + (hour * 3600 + minute * 60 + second) / 86400.0;
}

bool DecodeDateTime(TDateTime value, int& year, int& month, int& day, int& hour, int& minute, int& second) {
    if (!std::isfinite(value)) return false;
    // The platform's reading: the date is the whole part towards zero, the
    // time the fraction's size to the millisecond, shown without rounding up.
    int msec = 0;
    datecore::decodeDate(value, year, month, day);
    datecore::decodeTime(value, hour, minute, second, msec);
    return true;
}

TDateTime NowDateTime() {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return EncodeDateTime(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
}

std::string DateToFmtStr(int Kind, TDateTime Date) {
    if (Date == 0) return "";
    int y, m, d, h, n, s;
    if (!DecodeDateTime(Date, y, m, d, h, n, s)) return "";
    char buf[64];
    if (Kind == 2)
        std::snprintf(buf, sizeof buf, "%02d/%02d/%02d", y % 100, m, d);
    else if (Kind == 4)
        std::snprintf(buf, sizeof buf, "%04d/%02d/%02d", y, m, d);
    else
        std::snprintf(buf, sizeof buf, "%04d/%02d/%02d %02d:%02d", y, m, d, h, n);
    return buf;
}

std::string TrimZen(std::string_view Text) {
    std::u32string s = platform::toU32(Text);
    size_t b = 0, e = s.size();
    while (b < e && (isBlankOrControl(s[b]) || s[b] == kZenSpace)) ++b;
    while (e > b && (isBlankOrControl(s[e - 1]) || s[e - 1] == kZenSpace)) --e;
    return platform::fromU32(std::u32string_view(s).substr(b, e - b));
}

std::string DelAllSpace(std::string_view Text) {
    std::u32string out;
    for (char32_t c : platform::toU32(Text))
        if (c != U' ' && c != kZenSpace) out.push_back(c);
    return platform::fromU32(out);
}

std::string SpaceStr(int Count) {
    if (Count < 1 || Count > 510) return "";
    return std::string(static_cast<size_t>(Count), ' ');
}

std::string FixLeftStr(std::string_view Text, int Count) {
    if (Count <= 0) return "";
    std::u32string s = platform::toU32(Text);
    std::u32string out;
    int width = 0;
    for (char32_t c : s) {
        int w = static_cast<int>(platform::cp932CharWidth(c));
        if (width + w > Count) {
            if (width < Count) {
                out.push_back(U' '); // half a character becomes a blank
                ++width;
            }
            break;
        }
        out.push_back(c);
        width += w;
    }
    std::string result = platform::fromU32(out);
    if (width < Count) result += SpaceStr(Count).substr(0, static_cast<size_t>(Count - width));
    return result;
}

std::string FixRightStr(std::string_view Text, int Count) {
    if (Count <= 0) return "";
    std::u32string s = platform::toU32(Text);
    std::u32string out;
    int width = 0;
    for (size_t i = s.size(); i-- > 0;) {
        int w = static_cast<int>(platform::cp932CharWidth(s[i]));
        if (width + w > Count) {
            if (width < Count) {
                out.insert(out.begin(), U' ');
                ++width;
            }
            break;
        }
        out.insert(out.begin(), s[i]);
        width += w;
    }
    std::string result = platform::fromU32(out);
    if (width < Count) result = SpaceStr(Count).substr(0, static_cast<size_t>(Count - width)) + result;
    return result;
}

int StrToIntDef(std::string_view Text, int Default) { return platform::strToIntDef(Text, Default); }

std::int64_t StrToKingaku(std::string_view Text) {
    size_t b = 0, e = Text.size();
    while (b < e && static_cast<unsigned char>(Text[b]) <= 0x20) ++b;
    while (e > b && static_cast<unsigned char>(Text[e - 1]) <= 0x20) --e;
    std::string_view t = Text.substr(b, e - b);
    if (t.empty()) return 0;
    bool neg = false;
    size_t i = 0;
    if (t[0] == '-' || t[0] == '+') {
        neg = t[0] == '-';
        ++i;
    }
    std::int64_t whole = 0, frac = 0;
    int fracDigits = 0;
    bool digits = false, dot = false, roundUp = false;
    for (; i < t.size(); ++i) {
        char c = t[i];
        if (c == '.' && !dot) {
            dot = true;
            continue;
        }
        if (c < '0' || c > '9') return 0;
        digits = true;
        if (!dot) {
            if (whole > (INT64_MAX / 10000 - 9) / 10) return 0; // beyond the currency range
            whole = whole * 10 + (c - '0');
        } else if (fracDigits < 4) {
            frac = frac * 10 + (c - '0');
            ++fracDigits;
        } else if (fracDigits == 4) {
            roundUp = c >= '5';
            ++fracDigits;
        }
    }
    if (!digits) return 0;
    while (fracDigits < 4) {
        frac *= 10;
        ++fracDigits;
    }
    std::int64_t v = whole * 10000 + frac + (roundUp ? 1 : 0);
    return neg ? -v : v;
}

TDateTime StrToDateZero(std::string_view Text) {
    size_t b = 0, e = Text.size();
    while (b < e && Text[b] == ' ') ++b;
    while (e > b && Text[e - 1] == ' ') --e;
    std::string_view t = Text.substr(b, e - b);
    int parts[3] = {0, 0, 0};
    int n = 0, len = 0, yearDigits = 0;
    for (char c : t) {
        if (c == '/') {
            if (n == 0) yearDigits = len;
            if (len == 0 || ++n > 2) return 0;
            len = 0;
        } else if (c >= '0' && c <= '9') {
            if (++len > 4) return 0;
            parts[n] = parts[n] * 10 + (c - '0');
        } else {
            return 0;
        }
    }
    if (n != 2 || len == 0) return 0;
    if (yearDigits <= 2) {
        // Two-digit years fall within fifty years of today.
        int y, m, d, h, mi, sec;
        DecodeDateTime(NowDateTime(), y, m, d, h, mi, sec);
        parts[0] += y / 100 * 100;
        if (parts[0] > y + 50) parts[0] -= 100;
        else if (parts[0] <= y - 50) parts[0] += 100;
    }
    if (!validDate(parts[0], parts[1], parts[2])) return 0;
    return EncodeDateTime(parts[0], parts[1], parts[2]);
}

int SplitStrArray(std::string_view Text, char Delim, std::string* Parts, int MaxIndex) {
    if (auto cut = Text.find("//"); cut != std::string_view::npos) Text = Text.substr(0, cut);
    if (Text.empty() || MaxIndex < 0 || !Parts) return 0;
    int n = 0;
    size_t p;
    while (n < MaxIndex && (p = Text.find(Delim)) != std::string_view::npos) {
        Parts[n] = std::string(Text.substr(0, p));
        Text.remove_prefix(p + 1);
        ++n;
    }
    Parts[n] = std::string(Text);
    return n;
}

int SplitStrArray(std::string_view Text, char Delim, std::vector<std::string>& Parts) {
    return SplitStrArray(Text, Delim, Parts.data(), static_cast<int>(Parts.size()) - 1);
}

std::string RepairKanjiTail(std::string_view Cp932) {
    std::string s(Cp932);
    size_t i = 0;
    while (i < s.size()) {
        auto b = static_cast<std::uint8_t>(s[i]);
        if (!IsSjisLead(b)) {
            ++i;
            continue;
        }
        if (i + 1 >= s.size()) {
            s[i] = ' ';
            break;
        }
        if (!IsSjisTrail(static_cast<std::uint8_t>(s[i + 1]))) {
            s[i] = ' ';
            s[i + 1] = ' ';
        }
        i += 2;
    }
    return s;
}

bool IsSjisLeadAt(std::string_view Cp932, int Index) {
    if (Cp932.empty()) return false;
    size_t last = (Index < 1 || static_cast<size_t>(Index) > Cp932.size()) ? Cp932.size() : static_cast<size_t>(Index);
    bool lead = false;
    for (size_t i = 0; i < last; ++i)
        lead = !lead && IsSjisLead(static_cast<std::uint8_t>(Cp932[i]));
    return lead;
}
