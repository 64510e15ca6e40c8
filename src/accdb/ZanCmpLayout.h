#pragma once
// Statement layout and cash-flow items of the open data set. Ordinary
// companies and medical corporations print their statements from different
// fixed layouts; the data-set loader switches the tables each time it reads
// a data set's basic settings.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

inline constexpr int kZanLineCount = 115;
inline constexpr int kZanSummaryCount = 65;  // 64 layout rows, then 5780
inline constexpr int kZanClosingCount = 21;
inline constexpr int kZanSpecialCount = 63;

// Statement line number of each layout row (0 = no line of its own).
extern std::array<std::int32_t, kZanLineCount> ZanLineMap;
// Summary-account codes in layout order.
extern std::array<std::string, kZanSummaryCount> ZanSummaryCodes;
// Summary-account codes of the result and closing part.
extern std::array<std::string, kZanClosingCount> ZanClosingCodes;
// Further summary-account codes; kZanNoCode marks a row that does not apply.
extern std::array<std::string, kZanSpecialCount> ZanSpecialCodes;
inline constexpr const char* kZanNoCode = "****";

// Rewrites all four layout tables for the medical (1) or the general (any
// other value) layout.
void SetZanCmpLayout(std::uint8_t medical);

// One cash-flow item: code, name and a label that tells apart items of the
// same name (empty for most).
struct TSikinguriKoumoku {
    std::string Code;
    std::string Name;
    std::string Label;
};

extern std::vector<TSikinguriKoumoku> SikinguriKoumoku;

// Refills the cash-flow items: the medical items for kind 1, the general
// items for any other value.
void LoadSikinguriKoumoku(std::uint8_t kind);

// True for the entity kinds of medical practice ("医療法人",
// "個人(クリニック)"), compared exactly.
bool IsIryouEntityKind(const std::string& kindText);
