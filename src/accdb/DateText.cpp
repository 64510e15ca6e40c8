#include "accdb/DateText.h"

#include "accdb/AccFunction.h"
#include "accdb/Gengo.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <initializer_list>

namespace {

// How a layout is written with era display off.
enum class Western {
    Pattern,   // the format argument itself as a date pattern
    Fixed,     // a fixed date pattern
    FullYear,  // printf with the four-digit year, month, day
    ShortYear, // printf with the two-digit year, month, day
};

struct Layout {
    std::initializer_list<const char*> formats;
    const char* era;      // printf: prefix, era year, month, day
    Western western;
    const char* west;     // the fixed pattern or the printf format
};

const Layout kSlashLayouts[] = {
    {{"yyyy/mm/dd", "yy/mm/dd"}, "%s %.2d/%.2d/%.2d", Western::Pattern, nullptr},
    {{"yyyy/mm", "yy/mm"}, "%s %.2d/%.2d", Western::Pattern, nullptr},
    {{"yyyy", "yy"}, "%s %.2d", Western::Pattern, nullptr},
    {{"yyyy/m/d"}, "%s %2d/%2d/%2d", Western::FullYear, "%4d/%2d/%2d"},
    {{"yy/m/d", "y/m/d"}, "%s %2d/%2d/%2d", Western::ShortYear, "%2d/%2d/%2d"},
    {{"yyyy/m"}, "%s %2d/%2d", Western::FullYear, "%4d/%2d"},
    {{"yy/m", "y/m"}, "%s %2d/%2d", Western::ShortYear, "%2d/%2d"},
    {{"y"}, "%s %2d", Western::Pattern, nullptr},
    {{"yy2/mm/dd"}, "%s%.2d/%.2d/%.2d", Western::Fixed, "yy/mm/dd"},
};

const Layout kKanjiLayouts[] = {
    {{"yyyy年mm月dd日", "yy年mm月dd日"}, "%s %.2d年%.2d月%.2d日", Western::Pattern, nullptr},
    {{"yyyy年mm月", "yy年mm月"}, "%s %.2d年%.2d月", Western::Pattern, nullptr},
    {{"yyyy年", "yy年"}, "%s %.2d年", Western::Pattern, nullptr},
    {{"yyyy年m月d日"}, "%s %2d年%2d月%2d日", Western::FullYear, "%4d年%2d月%2d日"},
    {{"yy年m月d日", "y年m月d日"}, "%s %2d年%2d月%2d日", Western::ShortYear, "%2d年%2d月%2d日"},
    {{"yyyy年m月"}, "%s %2d年%2d月", Western::FullYear, "%4d年%2d月"},
    {{"yy年m月", "y年m月"}, "%s %2d年%2d月", Western::ShortYear, "%.2d年%2d月"},
    {{"y年", "y"}, "%s %d年", Western::FullYear, "%4d年"},
    {{"yyyy年 m月 d日"}, "%s %2d年 %d月 %d日", Western::FullYear, "%4d年 %d月 %d日"},
    {{"yy年 m月 d日", "y年 m月 d日"}, "%s %2d年 %d月 %d日", Western::ShortYear, "%.2d年 %d月 %d日"},
    {{"yyyy年 m月"}, "%s %2d年 %d月", Western::FullYear, "%4d年 %d月"},
    {{"yy年 m月", "y年 m月"}, "%s %2d年 %d月", Western::ShortYear, "%.2d年 %d月"},
    {{"yyyy年 mm月 dd日", "yy年 mm月 dd日"}, "%s %.2d年 %.2d月 %.2d日", Western::Pattern, nullptr},
    {{"yyyy年 mm月", "yy年 mm月"}, "%s %.2d年 %.2d月", Western::Pattern, nullptr},
};

template <std::size_t N>
const Layout* findLayout(const Layout (&layouts)[N], const std::string& format) {
    for (const Layout& l : layouts)
        for (const char* f : l.formats)
            if (format == f) return &l;
    return nullptr;
}

template <typename... Args>
std::string print(const char* fmt, Args... args) {
    char buf[128];
    std::snprintf(buf, sizeof buf, fmt, args...);
    return buf;
}

std::string trimBlanks(const std::string& s) {
    std::size_t a = 0, b = s.size();
    while (a < b && static_cast<unsigned char>(s[a]) <= ' ') ++a;
    while (b > a && static_cast<unsigned char>(s[b - 1]) <= ' ') --b;
    return s.substr(a, b - a);
}

std::string eraPrefix(const TWarekiRec& w, int style, bool kanji) {
    switch (style) {
    case 0: return {};
    case 2: return w.Letter;
    case 3: return kanji ? w.Name : w.Letter;
    default: return w.Name;
    }
}

std::string formatDate(const Layout* (*find)(const std::string&), const std::string& format,
                       int eraStyle, TDateTime date, bool eraDisplay, bool kanji) {
    const Layout* layout = find(format);
    if (eraDisplay) {
        if (!layout) return {};
        TWarekiRec w;
        DateToWareki(w, date);
        const std::string prefix = eraPrefix(w, eraStyle, kanji);
        std::string text = print(layout->era, prefix.c_str(), w.Year, w.Month, w.Day);
        if (eraStyle == 0) text = trimBlanks(text);
        else if (eraStyle == 3 && !kanji) text = DelAllSpace(text);
        return text;
    }
    if (!layout) return datecore::formatDateTime(format, date);
    int y, m, d;
    datecore::decodeDate(date, y, m, d);
    switch (layout->western) {
    case Western::Pattern: return datecore::formatDateTime(format, date);
    case Western::Fixed: return datecore::formatDateTime(layout->west, date);
    case Western::FullYear: return print(layout->west, y, m, d);
    case Western::ShortYear: return print(layout->west, y % 100, m, d);
    }
    return {};
}

const Layout* findSlash(const std::string& f) { return findLayout(kSlashLayouts, f); }
const Layout* findKanji(const std::string& f) { return findLayout(kKanjiLayouts, f); }

// Reads 1..maxDigits decimal digits.
bool readNumber(std::string_view s, std::size_t& pos, int maxDigits, int& value, int& digits) {
    value = 0;
    digits = 0;
    while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9' && digits < maxDigits) {
        value = value * 10 + (s[pos] - '0');
        ++pos;
        ++digits;
    }
    return digits > 0;
}

// A two-digit year falls into the hundred years centred on this year.
int expandYear(int yy) {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    const int thisYear = tm.tm_year + 1900;
    int year = thisYear / 100 * 100 + yy;
    if (year < thisYear - 50) year += 100;
    else if (year >= thisYear + 50) year -= 100;
    return year;
}

} // namespace

TDateTime StrToDateTimeStd(std::string_view s) {
    std::size_t pos = 0;
    while (pos < s.size() && s[pos] == ' ') ++pos;
    int y, m, d, digits;
    if (!readNumber(s, pos, 4, y, digits)) return 0;
    if (digits <= 2) y = expandYear(y);
    int md;
    if (pos >= s.size() || s[pos++] != '/' || !readNumber(s, pos, 2, m, md)) return 0;
    if (pos >= s.size() || s[pos++] != '/' || !readNumber(s, pos, 2, d, md)) return 0;
    TDateTime date = 0;
    if (!datecore::tryEncodeDate(y, m, d, date)) return 0;
    while (pos < s.size() && s[pos] == ' ') ++pos;
    if (pos == s.size()) return date;
    int h = 0, mi = 0, sec = 0, n;
    if (!readNumber(s, pos, 2, h, n)) return 0;
    if (pos >= s.size() || s[pos++] != ':' || !readNumber(s, pos, 2, mi, n)) return 0;
    if (pos < s.size() && s[pos] == ':') {
        ++pos;
        if (!readNumber(s, pos, 2, sec, n)) return 0;
    }
    while (pos < s.size() && s[pos] == ' ') ++pos;
    if (pos != s.size()) return 0;
    TDateTime time = 0;
    if (!datecore::tryEncodeTime(h, mi, sec, 0, time)) return 0;
    return date < 0 ? date - time : date + time;
}

bool IsWarekiDisplay() { return SystemDef.Settings.WarekiDisp != 0; }

void FormatKikanText(TDateTime from, TDateTime to, std::string& text) {
    FormatKikanText(from, to, text, IsWarekiDisplay());
}

void FormatKikanText(TDateTime from, TDateTime to, std::string& text, bool eraDisplay) {
    auto one = [eraDisplay](TDateTime date) {
        if (!eraDisplay) return datecore::formatDateTime("yyyy/mm/dd", date);
        TWarekiRec w;
        DateToWareki(w, date);
        return print("%s %.2d/%.2d/%.2d", w.Letter.c_str(), w.Year, w.Month, w.Day);
    };
    text = one(from) + " ～ " + one(to);
}

void FormatDateEx(const std::string& format, int eraStyle, std::string& text, TDateTime date) {
    FormatDateEx(format, eraStyle, text, date, IsWarekiDisplay());
}

void FormatDateEx(const std::string& format, int eraStyle, std::string& text, TDateTime date,
                  bool eraDisplay) {
    text = formatDate(findSlash, format, eraStyle, date, eraDisplay, false);
}

void FormatDateKanji(const std::string& format, int eraStyle, std::string& text, TDateTime date) {
    FormatDateKanji(format, eraStyle, text, date, IsWarekiDisplay());
}

void FormatDateKanji(const std::string& format, int eraStyle, std::string& text, TDateTime date,
                     bool eraDisplay) {
    text = formatDate(findKanji, format, eraStyle, date, eraDisplay, true);
}

namespace {

// A part of a version text as an integer: optional blanks and sign, then
// digits only; anything else counts 0.
int versionPart(std::string_view s) {
    std::size_t a = 0, b = s.size();
    while (a < b && static_cast<unsigned char>(s[a]) <= ' ') ++a;
    while (b > a && static_cast<unsigned char>(s[b - 1]) <= ' ') --b;
    s = s.substr(a, b - a);
    bool negative = false;
    if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
        negative = s[0] == '-';
        s.remove_prefix(1);
    }
    if (s.empty() || s.size() > 10) return 0;
    long long v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return 0;
        v = v * 10 + (c - '0');
    }
    if (negative) v = -v;
    if (v > 2147483647LL || v < -2147483648LL) return 0;
    return static_cast<int>(v);
}

} // namespace

TVersionParts ParseVersionParts(std::string_view text) {
    int parts[4] = {0, 0, 0, 0};
    for (int i = 0; i < 4; ++i) {
        const std::size_t dot = text.find('.');
        parts[i] = versionPart(text.substr(0, dot));
        if (dot == std::string_view::npos) break;
        text.remove_prefix(dot + 1);
    }
    return {parts[0], parts[1], parts[2], parts[3]};
}

void ParseVersion(std::string_view text, TVersionRec& version) {
    const TVersionParts v = ParseVersionParts(text);
    version.Major = v.Major;
    version.Minor = v.Minor;
    version.Release = v.Release;
    version.Build = v.Build;
    version.Text = std::string(text);
}

std::uint32_t VersionKey(std::string_view text) {
    const TVersionParts v = ParseVersionParts(text);
    return ((static_cast<std::uint32_t>(v.Major) * 256u) + static_cast<std::uint32_t>(v.Minor)) * 256u +
           static_cast<std::uint32_t>(v.Release);
}

bool IsNewerVersion(std::string_view a, std::string_view b) { return VersionKey(a) > VersionKey(b); }

bool IsVersionOrLater(std::string_view a, std::string_view b) { return VersionKey(a) >= VersionKey(b); }
