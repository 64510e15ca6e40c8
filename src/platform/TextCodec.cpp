#include "platform/TextCodec.h"

#include <cerrno>
#include <iconv.h>
#include <mutex>

namespace platform {
namespace {

// iconv descriptors are not thread-safe; one per direction, guarded.
struct Converter {
    iconv_t cd;
    std::mutex lock;
    Converter(const char* to, const char* from) : cd(iconv_open(to, from)) {}
    ~Converter() {
        if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
    }
    bool run(std::string_view in, std::string& out) {
        std::lock_guard<std::mutex> g(lock);
        if (cd == reinterpret_cast<iconv_t>(-1)) return false;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        out.clear();
        out.resize(in.size() * 2 + 16);
        char* src = const_cast<char*>(in.data());
        size_t srcLeft = in.size();
        char* dst = out.data();
        size_t dstLeft = out.size();
        while (srcLeft > 0) {
            size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
            if (r == static_cast<size_t>(-1)) {
                if (errno == E2BIG) {
                    size_t used = static_cast<size_t>(dst - out.data());
                    out.resize(out.size() * 2);
                    dst = out.data() + used;
                    dstLeft = out.size() - used;
                    continue;
                }
                return false;
            }
            // Without //IGNORE or //TRANSLIT glibc fails on a character it
            // cannot convert; the only one-way mappings it makes are U+00A5
            // and U+203E to their single-byte forms, as Windows does.
        }
        out.resize(static_cast<size_t>(dst - out.data()));
        return true;
    }
};

Converter& toCp932Conv() {
    static Converter c("CP932", "UTF-8");
    return c;
}
Converter& fromCp932Conv() {
    static Converter c("UTF-8", "CP932");
    return c;
}

} // namespace

bool tryToCp932(std::string_view utf8, std::string& out) { return toCp932Conv().run(utf8, out); }
bool tryFromCp932(std::string_view cp932, std::string& out) { return fromCp932Conv().run(cp932, out); }

std::string toCp932(std::string_view utf8) {
    std::string out;
    if (!tryToCp932(utf8, out)) {
        // Name the first character that fails, so the user can find it.
        for (char32_t c : toU32(utf8)) {
            std::string one = fromU32(std::u32string_view(&c, 1));
            std::string tmp;
            if (!toCp932Conv().run(one, tmp))
                throw EncodingError("Shift_JIS に変換できない文字があります: " + one);
        }
        throw EncodingError("Shift_JIS に変換できない文字があります。");
    }
    return out;
}

std::string fromCp932(std::string_view cp932) {
    std::string out;
    if (!tryFromCp932(cp932, out)) throw EncodingError("Shift_JIS として読めないバイト列があります。");
    return out;
}

bool isCp932Encodable(std::string_view utf8) {
    std::string out;
    return tryToCp932(utf8, out);
}

std::size_t utf8SeqLen(unsigned char lead) {
    if (lead < 0x80) return 1;
    if ((lead & 0xE0) == 0xC0) return 2;
    if ((lead & 0xF0) == 0xE0) return 3;
    if ((lead & 0xF8) == 0xF0) return 4;
    return 1;
}

std::u32string toU32(std::string_view s) {
    std::u32string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        size_t n = utf8SeqLen(c);
        if (i + n > s.size()) n = 1;
        char32_t cp;
        switch (n) {
        case 1: cp = c; break;
        case 2: cp = ((c & 0x1Fu) << 6) | (static_cast<unsigned char>(s[i + 1]) & 0x3Fu); break;
        case 3:
            cp = ((c & 0x0Fu) << 12) | ((static_cast<unsigned char>(s[i + 1]) & 0x3Fu) << 6) |
                 (static_cast<unsigned char>(s[i + 2]) & 0x3Fu);
            break;
        default:
            cp = ((c & 0x07u) << 18) | ((static_cast<unsigned char>(s[i + 1]) & 0x3Fu) << 12) |
                 ((static_cast<unsigned char>(s[i + 2]) & 0x3Fu) << 6) | (static_cast<unsigned char>(s[i + 3]) & 0x3Fu);
            break;
        }
        out.push_back(cp);
        i += n;
    }
    return out;
}

std::string fromU32(std::u32string_view text) {
    std::string out;
    out.reserve(text.size() * 3);
    for (char32_t cp : text) {
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

std::size_t cp932CharWidth(char32_t cp) {
    if (cp < 0x80) return 1;
    if (cp >= 0xFF61 && cp <= 0xFF9F) return 1; // half-width katakana
    if (cp == 0x00A5 || cp == 0x203E) return 1;  // written as 0x5C and 0x7E
    return 2;
}

std::size_t cp932Width(std::string_view utf8) {
    std::size_t w = 0;
    for (char32_t cp : toU32(utf8)) w += cp932CharWidth(cp);
    return w;
}

std::string cutToCp932Width(std::string_view utf8, std::size_t maxBytes) {
    std::size_t w = 0, i = 0;
    while (i < utf8.size()) {
        size_t n = utf8SeqLen(static_cast<unsigned char>(utf8[i]));
        if (i + n > utf8.size()) n = utf8.size() - i;
        char32_t cp = toU32(utf8.substr(i, n)).front();
        size_t cw = cp932CharWidth(cp);
        if (w + cw > maxBytes) break;
        w += cw;
        i += n;
    }
    return std::string(utf8.substr(0, i));
}

} // namespace platform
