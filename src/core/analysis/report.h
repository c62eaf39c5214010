#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/analysis/text_grid.h"

namespace quorvane {

inline constexpr std::string_view kSortMarker = " 0000";

// Case-insensitive byte order: empty texts first, then texts starting with a space,
// then ascending text. Never locale collation, which ignores spaces.
bool SortsBefore(std::string_view a, std::string_view b);

// Orders columns 2 to 23 by rising text, headings and totals kept in rows 0 and 1.
void SortColumns(TextGrid& grid);

// The report's lines. Empties rows 0 and 1 of the symptom columns whose total is
// "0", as the report view and the results grid both show afterwards.
std::vector<std::string> PrepareReport(TextGrid& grid, int32_t columnWidth);

}  // namespace quorvane
