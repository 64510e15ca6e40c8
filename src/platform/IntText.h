#pragma once
// Strict reading of integers stored as text (settings files, the key store,
// entry fields). A stored number either reads exactly or not at all: nothing
// is skipped over and nothing wraps.
#include <optional>
#include <string_view>

namespace platform {

// The whole text as a decimal int: leading blanks, then at most one sign,
// then one or more digits and nothing else. Empty when the text has anything
// else or the number does not fit an int.
std::optional<int> parseDecimalInt(std::string_view text);
// parseDecimalInt, or def when the text cannot be read.
int strToIntDef(std::string_view text, int def);

} // namespace platform
