#pragma once
// Amounts are exact: a signed 64-bit count of 1/10000 yen, the same scale as
// the NUMERIC(16,4) columns of the data database. No amount ever passes
// through a floating-point number; every rounding is spelled out by the
// caller (whole yen: HasuuSyori; fractions of a product: tryMulDivRound).
#include <cstdint>
#include <limits>

using Currency = std::int64_t;

namespace money {

// One yen in Currency units.
inline constexpr Currency kYen = 10000;

constexpr Currency fromYen(std::int64_t yen) { return yen * kYen; }

// a * b / c to the nearest Currency unit, halves away from zero. The
// product is formed in 128 bits, so a large amount times a rate does not
// overflow. False when c is 0 or the result does not fit a Currency.
constexpr bool tryMulDivRound(Currency a, Currency b, Currency c, Currency& out) {
    if (c == 0) return false;
    __int128 num = static_cast<__int128>(a) * b;
    __int128 den = c;
    if (den < 0) { num = -num; den = -den; }
    __int128 q = num / den;
    const __int128 r = num % den;
    if (r != 0 && 2 * (r < 0 ? -r : r) >= den) q += (num < 0 ? -1 : 1);
    constexpr __int128 kMax = std::numeric_limits<std::int64_t>::max();
    if (q > kMax || q < -kMax - 1) return false;
    out = static_cast<Currency>(q);
    return true;
}

} // namespace money
