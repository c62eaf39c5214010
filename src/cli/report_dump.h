#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "core/analysis/item_list.h"
#include "core/analysis/symptom_table.h"
#include "core/analysis/text_grid.h"

namespace quorvane::cli {

// "rows=R cols=C", then "ROW<TAB>COLUMN<TAB>TEXT" for every non-empty cell, by row
// then column.
void DumpGrid(const TextGrid& grid, std::ostream& out);

// "NAME<TAB>COUNT<TAB>HITS..." from the "AAA" sentinel up to the last item, then
// "symptom_totals:" and the 22 totals.
void DumpItems(const ItemList& items, const SymptomCounters& totals, std::ostream& out);

// Each line followed by "\n".
void DumpReport(const std::vector<std::string>& lines, std::ostream& out);

}  // namespace quorvane::cli
