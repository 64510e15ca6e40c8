#pragma once
// Date texts in the suite's fixed layouts, Western or Japanese era, and the
// parsing of date texts independent of the machine's regional settings.
//
// The formatters follow the operator's era-display setting (SystemDef);
// each also has a form that takes the choice explicitly.
#include "accdb/AccRecord.h"
#include "accdb/DateCore.h"

#include <cstdint>
#include <string>
#include <string_view>

// The date-time a text denotes in the layout "yyyy/MM/dd" with an optional
// time "hh:mm" or "hh:mm:ss"; 0 when the text is not in that layout.
TDateTime StrToDateTimeStd(std::string_view s);

// True when the operator shows dates in the Japanese era calendar.
bool IsWarekiDisplay();

// "From ～ To": "yyyy/mm/dd" each, or "R 05/04/01" style with era display.
void FormatKikanText(TDateTime from, TDateTime to, std::string& text);
void FormatKikanText(TDateTime from, TDateTime to, std::string& text, bool eraDisplay);

// Era prefix styles: 0 none, 1 era name, 2 era letter, 3 era letter
// (FormatDateEx, blanks removed) or era name (FormatDateKanji); other values
// the era name.
// Slash layouts: "yyyy/mm/dd", "yy/mm/dd", "yyyy/mm", "yy/mm", "yyyy", "yy",
// "yyyy/m/d", "yy/m/d", "y/m/d", "yyyy/m", "yy/m", "y/m", "y", "yy2/mm/dd".
void FormatDateEx(const std::string& format, int eraStyle, std::string& text, TDateTime date);
void FormatDateEx(const std::string& format, int eraStyle, std::string& text, TDateTime date,
                  bool eraDisplay);
// 年月日 layouts, for example "yyyy年mm月dd日", "yy年 m月 d日", "y年".
void FormatDateKanji(const std::string& format, int eraStyle, std::string& text, TDateTime date);
void FormatDateKanji(const std::string& format, int eraStyle, std::string& text, TDateTime date,
                     bool eraDisplay);

// Version texts "major.minor.release[.build]": each part read as an integer
// (0 when it is not a number, missing parts 0). The key is
// major * 65536 + minor * 256 + release in 32-bit unsigned arithmetic; the
// build never counts.
struct TVersionParts {
    int Major = 0, Minor = 0, Release = 0, Build = 0;
};
TVersionParts ParseVersionParts(std::string_view text);
// Fills the four numbers and keeps the text as given.
void ParseVersion(std::string_view text, TVersionRec& version);
std::uint32_t VersionKey(std::string_view text);
// key(a) > key(b)
bool IsNewerVersion(std::string_view a, std::string_view b);
// key(a) >= key(b)
bool IsVersionOrLater(std::string_view a, std::string_view b);
