#include "platform/IntText.h"

#include <climits>

namespace platform {

std::optional<int> parseDecimalInt(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    bool neg = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) neg = text[i++] == '-';
    if (i == text.size()) return std::nullopt;
    // Accumulate the magnitude; INT_MIN's magnitude is one more than INT_MAX.
    const long long limit = neg ? -static_cast<long long>(INT_MIN) : INT_MAX;
    long long n = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + (c - '0');
        if (n > limit) return std::nullopt;
    }
    return static_cast<int>(neg ? -n : n);
}

int strToIntDef(std::string_view text, int def) { return parseDecimalInt(text).value_or(def); }

} // namespace platform
