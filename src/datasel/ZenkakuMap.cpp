#include "datasel/ZenkakuMap.h"

#include <cstdint>
#include <vector>

namespace datasel {
namespace {

std::vector<char32_t> decode(const std::string& s)
{
    std::vector<char32_t> out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        int len = 1;
        char32_t cp = c;
        if (c >= 0xF0 && c < 0xF8) {
            len = 4;
            cp = c & 0x07;
        } else if (c >= 0xE0) {
            len = 3;
            cp = c & 0x0F;
        } else if (c >= 0xC0) {
            len = 2;
            cp = c & 0x1F;
        }
        if (len > 1 && i + len > s.size()) {
            // A cut sequence passes through as it is.
            out.push_back(c);
            ++i;
            continue;
        }
        for (int k = 1; k < len; ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        out.push_back(cp);
        i += len;
    }
    return out;
}

void encode(char32_t cp, std::string& out)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Half-width katakana block U+FF61..U+FF9F to full width.
constexpr char32_t kHalfKana[] = {
    0x3002, 0x300C, 0x300D, 0x3001, 0x30FB, 0x30F2,                         // ｡ ｢ ｣ ､ ･ ｦ
    0x30A1, 0x30A3, 0x30A5, 0x30A7, 0x30A9, 0x30E3, 0x30E5, 0x30E7, 0x30C3,   // ｧ..ｯ
    0x30FC,                                                                  // ｰ
    0x30A2, 0x30A4, 0x30A6, 0x30A8, 0x30AA,                                  // ｱ..ｵ
    0x30AB, 0x30AD, 0x30AF, 0x30B1, 0x30B3,                                  // ｶ..ｺ
    0x30B5, 0x30B7, 0x30B9, 0x30BB, 0x30BD,                                  // ｻ..ｿ
    0x30BF, 0x30C1, 0x30C4, 0x30C6, 0x30C8,                                  // ﾀ..ﾄ
    0x30CA, 0x30CB, 0x30CC, 0x30CD, 0x30CE,                                  // ﾅ..ﾉ
    0x30CF, 0x30D2, 0x30D5, 0x30D8, 0x30DB,                                  // ﾊ..ﾎ
    0x30DE, 0x30DF, 0x30E0, 0x30E1, 0x30E2,                                  // ﾏ..ﾓ
    0x30E4, 0x30E6, 0x30E8,                                                  // ﾔ ﾕ ﾖ
    0x30E9, 0x30EA, 0x30EB, 0x30EC, 0x30ED,                                  // ﾗ..ﾛ
    0x30EF, 0x30F3,                                                          // ﾜ ﾝ
    0x309B, 0x309C,                                                          // ﾞ ﾟ
};
static_assert(sizeof(kHalfKana) / sizeof(kHalfKana[0]) == 0xFF9F - 0xFF61 + 1);

bool takesVoicedMark(char32_t k)
{
    // カ..ト (every second letter), ハ行 and ウ.
    if (k >= 0x30AB && k <= 0x30C8)
        return k != 0x30C3 && ((k <= 0x30C2 && (k - 0x30AB) % 2 == 0) || k == 0x30C4 || k == 0x30C6 || k == 0x30C8);
    return (k >= 0x30CF && k <= 0x30DB && (k - 0x30CF) % 3 == 0) || k == 0x30A6;
}

bool takesSemiVoicedMark(char32_t k)
{
    return k >= 0x30CF && k <= 0x30DB && (k - 0x30CF) % 3 == 0;
}

} // namespace

std::string MapFullWidth(const std::string& text)
{
    const auto cps = decode(text);
    std::string out;
    out.reserve(text.size() * 3);
    for (std::size_t i = 0; i < cps.size(); ++i) {
        char32_t c = cps[i];
        if (c == 0x20) {
            c = 0x3000;
        } else if (c >= 0x21 && c <= 0x7E) {
            c = c - 0x21 + 0xFF01;
        } else if (c >= 0xFF61 && c <= 0xFF9F) {
            c = kHalfKana[c - 0xFF61];
            const char32_t next = i + 1 < cps.size() ? cps[i + 1] : 0;
            if (next == 0xFF9E && takesVoicedMark(c)) {
                c = c == 0x30A6 ? 0x30F4 : c + 1;
                ++i;
            } else if (next == 0xFF9F && takesSemiVoicedMark(c)) {
                c = c + 2;
                ++i;
            }
        }
        encode(c, out);
    }
    return out;
}

std::string ToFullWidthUpper(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (char32_t c : decode(text)) {
        if (c >= 0xFF41 && c <= 0xFF5A)
            c -= 0x20;
        encode(c, out);
    }
    return out;
}

} // namespace datasel
