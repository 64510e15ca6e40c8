#pragma once
// Sort orders of the data list and the in-memory filter that narrows the
// rows read to those matching the search conditions.
#include <cstdint>
#include <string>

#include "datasel/DataListRec.h"

namespace datasel {

// ORDER BY line of the named rows for a sort key (0: the caller's own text;
// 8 and above: none). Every key ends with REC; keys 2 and 7 order the fiscal
// year descending in both directions.
std::string NamedRowsOrderBy(std::uint8_t sortKey, bool descending, const std::string& orderText);
// ORDER BY line of the free slots (read after the named rows for keys 2 to 7).
std::string FreeSlotsOrderBy(std::uint8_t sortKey, bool descending);
// Keys 2 to 7 read the named rows and the free slots apart.
inline bool SortKeySplitsFreeSlots(std::uint8_t sortKey) { return sortKey >= 2 && sortKey <= 7; }
// The sort key of a grid column of the data list.
std::uint8_t SortKeyOfGridColumn(std::int32_t column);

// Whether a parent row passes the conditions.
bool RowMatchesConditions(const TDataListRec& row, const TDataKensakuRec& cond);
// Indexes of the parent rows that pass, in read order.
TDataSentakuRecDispArray BuildDisplayIndex(const TDataSentakuRecArray& rows, const TDataKensakuRec& cond);

} // namespace datasel
