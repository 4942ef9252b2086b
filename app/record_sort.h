#pragma once

#include <cstdint>
#include <vector>

#include "radardb/filter/record_filter.h"

enum class SortDirection { kAscending, kDescending };

// `order` (a permutation of `rows`' row numbers) stably sorted by the field `field` of `rows`:
// its texts when `byText`, by their bytes taken as unsigned (shorter first when one is a prefix
// of the other), else its integers by value. Rows with equal keys keep their relative place in
// `order`. Works on a compact copy of the keys, so comparisons rarely touch the rows themselves.
radardb::RowOrder SortedOrder(const radardb::RowSource& rows, const radardb::RowOrder& order,
                              int field, bool byText, SortDirection direction);
