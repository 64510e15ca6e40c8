#pragma once
// The exporter's view of the open data set, taken from its basic settings
// (AccInf) so that callers do not pass the period values one by one.
#include "app/hj19.h"

struct TACCINF;
class TComDataExport;

namespace hj19 {
// Fiscal year, input start, closing day and the asset ledger's rounding mode
// of the data set described by inf.
Context MakeContext(const TACCINF& inf);
} // namespace hj19

// Copies company name, period number, period start and end and closing day
// into the exporter.
void TakeAccInf(TComDataExport& exporter, const TACCINF& inf);
