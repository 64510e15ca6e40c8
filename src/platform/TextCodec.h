#pragma once
// Texts are UTF-8 inside the program and CP932 (Windows Shift_JIS) at every
// boundary: files, the databases, the XML file and the network.
//
// A character that has no form on the other side is an EncodingError. The
// only substitutions are the two Windows makes itself: YEN SIGN (U+00A5) is
// written as the single byte 0x5C and OVERLINE (U+203E) as 0x7E, which read
// back as the backslash and the tilde. CP932 has a few characters with two or
// three codes (the NEC-selected IBM extensions and some NEC specials); those
// come back in the form Windows itself prefers. Every other CP932 byte
// sequence survives a round trip through UTF-8 unchanged.
#include <stdexcept>
#include <string>
#include <string_view>

namespace platform {

class EncodingError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// UTF-8 -> CP932. Throws EncodingError on a character with no CP932 form or
// on malformed UTF-8.
std::string toCp932(std::string_view utf8);
// CP932 -> UTF-8. Throws EncodingError on a malformed CP932 sequence.
std::string fromCp932(std::string_view cp932);
// Non-throwing forms; false leaves out unspecified.
bool tryToCp932(std::string_view utf8, std::string& out);
bool tryFromCp932(std::string_view cp932, std::string& out);
// True when every character of the UTF-8 text has a CP932 form.
bool isCp932Encodable(std::string_view utf8);

// Width of a UTF-8 text in CP932 bytes, as many as toCp932 writes (1 for
// ASCII, half-width katakana, U+00A5 and U+203E; 2 for other characters).
// Characters without a CP932 form count 2.
std::size_t cp932Width(std::string_view utf8);
// Width in CP932 bytes of one code point.
std::size_t cp932CharWidth(char32_t cp);
// The longest leading part of the text whose CP932 width is at most
// maxBytes, never splitting a character.
std::string cutToCp932Width(std::string_view utf8, std::size_t maxBytes);

// UTF-8 helpers on code points.
std::u32string toU32(std::string_view utf8);
std::string fromU32(std::u32string_view text);
// Length of the UTF-8 sequence starting with this lead byte (1 for invalid).
std::size_t utf8SeqLen(unsigned char lead);

} // namespace platform
