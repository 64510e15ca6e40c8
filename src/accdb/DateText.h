#pragma once
// Date texts in the suite's fixed layouts, Western or Japanese era, and the
// parsing of date texts independent of the machine's regional settings.
//
// Each formatter takes the era-display choice explicitly; the forms pass the
// operator's setting.
#include "accdb/DateCore.h"

#include <string>
#include <string_view>

// The date-time a text denotes in the layout "yyyy/MM/dd" with an optional
// time "hh:mm" or "hh:mm:ss"; 0 when the text is not in that layout.
TDateTime StrToDateTimeStd(std::string_view s);

// "From ～ To": "yyyy/mm/dd" each, or "R 05/04/01" style with era display.
void FormatKikanText(TDateTime from, TDateTime to, std::string& text, bool eraDisplay);

// Era prefix styles: 0 none, 1 era name, 2 era letter, 3 era letter
// (FormatDateEx, blanks removed) or era name (FormatDateKanji); other values
// the era name.
// Slash layouts: "yyyy/mm/dd", "yy/mm/dd", "yyyy/mm", "yy/mm", "yyyy", "yy",
// "yyyy/m/d", "yy/m/d", "y/m/d", "yyyy/m", "yy/m", "y/m", "y", "yy2/mm/dd".
void FormatDateEx(const std::string& format, int eraStyle, std::string& text, TDateTime date,
                  bool eraDisplay);
// 年月日 layouts, for example "yyyy年mm月dd日", "yy年 m月 d日", "y年".
void FormatDateKanji(const std::string& format, int eraStyle, std::string& text, TDateTime date,
                     bool eraDisplay);
