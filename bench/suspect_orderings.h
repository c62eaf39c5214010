#pragma once

#include <string>
#include <vector>

#include "core/analysis/item_list.h"
#include "core/evidence/suspects.h"

namespace quorvane::bench {

// Orderings of one symptom's engine rows, to set rules side by side on the same
// evidence. A place is 1-based; 0 when the item has no row.
using RowOrder = std::vector<const SuspectRow*>;

// As the engine once ranked: tier, then the Katz lower bound (highest first),
// then the corrected p, then the name.
RowOrder KatzBoundOrder(const std::vector<SuspectRow>& rows);

// Plain one-sided p at the row's lag; ties to the food seen on more days, then
// the name.
RowOrder RawPOrder(const std::vector<SuspectRow>& rows);

int PlaceOf(const RowOrder& order, const std::string& item);
int EngineRank(const std::vector<SuspectRow>& rows, const std::string& item);

// The item's place by frustration (9 x hits / count, items seen at least 3
// times), ties in list order as the grid keeps them; 0 when it is not ranked.
int FrustrationRank(const ItemList& items, int symptom, const std::string& item);

}  // namespace quorvane::bench
