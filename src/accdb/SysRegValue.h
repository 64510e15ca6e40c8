#pragma once
// The value of a typed operator setting (SYSREG): what a key reads as, by
// its type word. Dates are TDateTime (days since 1899-12-30), amounts an
// int64 of 1/10000 yen.
#include <cstdint>
#include <string>
#include <variant>

using TSysRegValue = std::variant<std::monostate, std::string, bool, int, std::int64_t, double>;

// The value as an integer: numbers truncated, TRUE 1, a decimal text read
// with 0 for anything else, empty 0.
int SysRegToInt(const TSysRegValue& Value);
// The value as text ("" when empty).
std::string SysRegToText(const TSysRegValue& Value);
