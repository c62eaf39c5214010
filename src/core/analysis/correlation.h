#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/analysis/item_list.h"
#include "core/analysis/symptom_table.h"
#include "core/analysis/text_grid.h"

namespace quorvane {

inline constexpr int32_t kResultsColumns = 24;

// 24 columns; (0,0) empty, (1,0) "count", (i+1,0) the symptom names; totals zeroed.
void ResetResultsHeader(TextGrid& grid, const SymptomTable& symptoms, SymptomCounters& totals);
// After a rename: only the 22 symptom headings and the totals.
void RefreshSymptomHeadings(TextGrid& grid, const SymptomTable& symptoms, SymptomCounters& totals);

// The row hook of the item list: grows the grid and writes the name in column 0.
ItemList::RowHook GridRowHook(TextGrid& grid);

void ComputeTotals(ItemList& items, SymptomCounters& totals, const TextGrid& grid,
                   const SymptomTable& symptoms, int32_t minimum);
// Correlation cells carry their item and value beside the text.
void Correlate(const ItemList& items, const SymptomCounters& totals, TextGrid& grid,
               int32_t minimum, char decimalSeparator);

// 9 * hits / count in tenths, rounded half up on the exact fraction; 0 when either is.
int64_t FrustrationTenths(int32_t hits, int32_t count);

// "006.0  POTATO  11 times": the value 9 * hits / count rounded half up on its exact
// value, the pad chosen from the unrounded value.
std::string CorrelationCellText(int32_t hits, int32_t count, std::string_view name,
                                char decimalSeparator);

}  // namespace quorvane
