#pragma once

#include <cstdint>
#include <vector>

#include "radardb/record_table.h"

enum class SortDirection { kAscending, kDescending };

// `order` (a permutation of `rows`' indices) stably sorted by `column`: integers by value, texts
// by their bytes taken as unsigned (shorter first when one is a prefix of the other). Rows with
// equal keys keep their relative place in `order`. Works on a compact copy of the keys, so
// comparisons rarely touch the rows themselves.
std::vector<std::uint32_t> SortedOrder(const RecordTable& rows,
                                       const std::vector<std::uint32_t>& order, Column column,
                                       SortDirection direction);
