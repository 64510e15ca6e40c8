#include "accdb/EasyCode.h"

#include "platform/TextCodec.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace {

constexpr std::string_view kAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abcdefghijklmnopqrstuvwxyz";
constexpr int kAlphabetSize = 62;
constexpr std::size_t kMaxText = 255;

int alphabetIndex(char c) {
    const auto pos = kAlphabet.find(c);
    return pos == std::string_view::npos ? -1 : static_cast<int>(pos);
}

// Shared walk of both directions: `sign` +1 encodes, -1 decodes.
std::string substitute(std::string_view in, std::string_view key, int sign, std::size_t limit) {
    key = key.substr(0, std::min(key.size(), kMaxText));
    std::string out;
    long sum = 0;
    std::size_t p = 0;
    for (std::size_t i = 0; i < in.size() && i < limit; ++i) {
        if (p >= key.size()) p = 0;
        sum += key.empty() ? 0 : static_cast<unsigned char>(key[p]);
        const int j = alphabetIndex(in[i]);
        if (j < 0) break;
        long k = (j + sign * sum) % kAlphabetSize;
        if (k < 0) k += kAlphabetSize;
        out.push_back(kAlphabet[static_cast<std::size_t>(k)]);
        ++p;
    }
    return out;
}

} // namespace

void InitEasyEncodeInfo(TEasyEncodeInfo& info) {
    info.TotalLength = 0;
    info.PlainLength = 0;
    info.PlainText.clear();
    info.EncodedText.clear();
}

bool EasyEncode(TEasyEncodeInfo& info) {
    std::string plain = info.PlainText;
    const int pad = info.TotalLength - info.PlainLength;
    for (int n = 0; n < pad && plain.size() < kMaxText; ++n)
        plain.push_back(static_cast<char>('A' + n % 26));
    info.EncodedText = substitute(plain, info.Key, +1, kMaxText);
    return true;
}

bool EasyDecode(TEasyEncodeInfo& info) {
    const std::size_t limit = info.PlainLength > 0
        ? std::min<std::size_t>(static_cast<std::size_t>(info.PlainLength), kMaxText) : 0;
    info.PlainText = substitute(info.EncodedText, info.Key, -1, limit);
    return true;
}

// ---------------------------------------------------------------------------
// Text-encoding service.
//
// Result format: "Z1" followed by a 64-letter encoding (6 bits per letter)
// of the scrambled bytes and one check byte. Each byte is mixed with a fixed
// key stream and with the previous scrambled byte, so equal texts give equal
// results while a change anywhere in the text changes everything after it.
// Decoding checks the prefix, the letters and the check byte, so text that
// did not come from the encoder is refused instead of decoded to rubbish.

namespace {

constexpr std::string_view kPrefix = "Z1";
constexpr std::string_view kLetters =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";

std::uint8_t keyStream(std::size_t i) {
    std::uint32_t x = 0x9E3779B9u ^ static_cast<std::uint32_t>(i * 0x85EBCA6Bu);
    x ^= x >> 15;
    x *= 0x2C1B3C6Du;
    x ^= x >> 12;
    return static_cast<std::uint8_t>(x >> 8);
}

std::uint8_t checkByte(const std::string& plain) {
    std::uint8_t c = 0x5A;
    for (unsigned char b : plain) c = static_cast<std::uint8_t>((c << 1 | c >> 7) ^ b);
    return c;
}

std::string packLetters(const std::string& bytes) {
    std::string out;
    std::uint32_t acc = 0;
    int bits = 0;
    for (unsigned char b : bytes) {
        acc = (acc << 8) | b;
        bits += 8;
        while (bits >= 6) {
            bits -= 6;
            out.push_back(kLetters[(acc >> bits) & 0x3F]);
        }
    }
    if (bits > 0) out.push_back(kLetters[(acc << (6 - bits)) & 0x3F]);
    return out;
}

bool unpackLetters(std::string_view letters, std::string& bytes) {
    bytes.clear();
    std::uint32_t acc = 0;
    int bits = 0;
    for (char c : letters) {
        const auto v = kLetters.find(c);
        if (v == std::string_view::npos) return false;
        acc = (acc << 6) | static_cast<std::uint32_t>(v);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            bytes.push_back(static_cast<char>((acc >> bits) & 0xFF));
        }
    }
    // Leftover bits are the zero fill of the last letter.
    return (acc & ((1u << bits) - 1)) == 0;
}

bool encodeBytes(const std::string& plain, std::string& out) {
    std::string mixed;
    std::uint8_t prev = 0xA5;
    for (std::size_t i = 0; i < plain.size(); ++i) {
        const auto c = static_cast<std::uint8_t>(static_cast<unsigned char>(plain[i]) ^ keyStream(i) ^ prev);
        mixed.push_back(static_cast<char>(c));
        prev = c;
    }
    mixed.push_back(static_cast<char>(checkByte(plain) ^ keyStream(plain.size()) ^ prev));
    out = std::string(kPrefix) + packLetters(mixed);
    return out.size() < kServiceBufferSize;
}

bool decodeBytes(std::string_view text, std::string& out) {
    if (text.substr(0, kPrefix.size()) != kPrefix) return false;
    std::string mixed;
    if (!unpackLetters(text.substr(kPrefix.size()), mixed) || mixed.empty()) return false;
    std::string plain;
    std::uint8_t prev = 0xA5;
    for (std::size_t i = 0; i + 1 < mixed.size(); ++i) {
        const auto c = static_cast<std::uint8_t>(mixed[i]);
        const auto b = static_cast<char>(c ^ keyStream(i) ^ prev);
        if (b == '\0') return false;
        plain.push_back(b);
        prev = c;
    }
    const auto check = static_cast<std::uint8_t>(
        static_cast<std::uint8_t>(mixed.back()) ^ keyStream(plain.size()) ^ prev);
    if (check != checkByte(plain)) return false;
    out = std::move(plain);
    return out.size() < kServiceBufferSize;
}

} // namespace

int ExternalTextService(const char* text, const char* opCode, char* result, char* work) {
    if (!text || !opCode || !result) return 0;
    std::memset(result, 0, kServiceBufferSize);
    if (work) std::memset(work, 0, kServiceBufferSize);
    std::string out;
    bool ok = false;
    if (std::strcmp(opCode, "160") == 0) ok = encodeBytes(text, out);
    else if (std::strcmp(opCode, "161") == 0) ok = decodeBytes(text, out);
    if (!ok) return 0;
    std::memcpy(result, out.data(), out.size());
    return 1;
}

namespace {

bool isBlank(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) <= ' '; });
}

void callService(std::string_view text, const char* opCode, std::string& result) {
    result.clear();
    if (isBlank(text)) return;
    std::string cp932;
    if (!platform::tryToCp932(text, cp932)) return;
    std::array<char, kServiceBufferSize> out{};
    std::array<char, kServiceBufferSize> work{};
    if (ExternalTextService(cp932.c_str(), opCode, out.data(), work.data()) != 1) return;
    std::string utf8;
    if (!platform::tryFromCp932(std::string_view(out.data(), std::strlen(out.data())), utf8)) return;
    result = std::move(utf8);
}

} // namespace

void ExternalEncodeText(std::string_view text, std::string& result) { callService(text, "160", result); }

void ExternalDecodeText(std::string_view text, std::string& result) { callService(text, "161", result); }
