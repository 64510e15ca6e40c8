#pragma once
// Full-width mapping used to compare names regardless of width and case:
// ASCII letters, digits and signs become their full-width forms, the blank
// an ideographic space, half-width katakana full-width katakana with a
// following voiced or semi-voiced mark joined into one letter.
#include <string>

namespace datasel {

// UTF-8 in, UTF-8 out. Characters without a half-width form pass unchanged.
std::string MapFullWidth(const std::string& text);
// Full-width lower-case Latin letters to full-width upper case.
std::string ToFullWidthUpper(const std::string& text);

} // namespace datasel
