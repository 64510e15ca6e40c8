#pragma once
// Small stateless helpers for Japanese text, yen amounts, date texts and the
// computer's name.
//
// Texts are UTF-8; widths and positions that the suite counts in bytes are
// CP932 byte widths (1 for ASCII and half-width katakana, 2 otherwise), so
// fixed-width fields line up with what the CP932 files and databases hold.
// The byte-class helpers (IsSjisLead, RepairKanjiTail, IsSjisLeadAt, ...)
// work on raw CP932 bytes.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "accdb/AccRecord.h"

// Computer name: in terminal connection the client's name (SystemDef
// ClientName, "ANONYMOUS" when empty), else the machine's name,
// "PCNAME-ERROR" when it cannot be read.
std::string GetPCName();

// Rounds an amount in 1/10000 yen to whole yen: Mode 0 truncates, Mode 2
// rounds any fraction away from zero, any other mode rounds half away from
// zero. The result is again in 1/10000 yen.
std::int64_t HasuuSyori(int Mode, std::int64_t Amount);

// Kind 2 "yy/mm/dd", Kind 4 "yyyy/mm/dd", other kinds "yyyy/mm/dd hh:nn";
// the date 0 gives "".
std::string DateToFmtStr(int Kind, TDateTime Date);

// Text without half-width blanks, control characters and full-width blanks
// (U+3000) at both ends.
std::string TrimZen(std::string_view Text);
// Text without any half-width or full-width blank.
std::string DelAllSpace(std::string_view Text);
// Count blanks; "" for Count above 510 or below 1.
std::string SpaceStr(int Count);
// The first Count bytes of Text, padded with blanks; a double-byte character
// that would be cut in half becomes a blank. Above 510 a shorter text is
// returned unpadded.
std::string FixLeftStr(std::string_view Text, int Count);
// The last Count bytes of Text, padded with blanks on the left; a
// double-byte character cut in half at the start becomes a blank.
std::string FixRightStr(std::string_view Text, int Count);

inline int BoolToInt(bool Flag) { return Flag ? 1 : 0; }
// True when Text is not empty (a single blank counts as not empty).
inline bool StrNotEmpty(std::string_view Text) { return !Text.empty(); }

// The whole text read as a decimal integer (leading blanks and a sign
// allowed); Default when it is empty, has anything else or does not fit an
// int, so a stored number never comes back wrapped.
int StrToIntDef(std::string_view Text, int Default);
// The text read as an amount (1/10000 yen), 0 when it cannot be read.
std::int64_t StrToKingaku(std::string_view Text);
// The text read as a date "yyyy/MM/dd", 0 when it cannot be read.
TDateTime StrToDateZero(std::string_view Text);

// Splits Text at Delim into Parts[0..MaxIndex] after dropping everything
// from the first "//" on. Returns the number of delimiters used, so the parts
// are Parts[0..result]. An empty text gives 0 and leaves Parts untouched.
// Nothing is written past Parts[MaxIndex]: when the text has more parts, the
// last entry keeps the unsplit rest and the result is MaxIndex.
int SplitStrArray(std::string_view Text, char Delim, std::string* Parts, int MaxIndex);
int SplitStrArray(std::string_view Text, char Delim, std::vector<std::string>& Parts);

// CP932 byte classes.
inline bool IsSjisLead(std::uint8_t B) { return (B >= 0x81 && B <= 0x9F) || (B >= 0xE0 && B <= 0xFC); }
inline bool IsSjisTrail(std::uint8_t B) { return (B >= 0x40 && B <= 0x7E) || (B >= 0x80 && B <= 0xFC); }
// CP932 bytes with broken double-byte characters replaced by blanks.
std::string RepairKanjiTail(std::string_view Cp932);
// Whether the CP932 byte at Index (1-based) starts a double-byte character;
// beyond the end (or not positive) the state of the last byte.
bool IsSjisLeadAt(std::string_view Cp932, int Index);

// Calendar helpers on TDateTime.
TDateTime EncodeDateTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
bool DecodeDateTime(TDateTime value, int& year, int& month, int& day, int& hour, int& minute, int& second);
// The current local date and time.
TDateTime NowDateTime();
