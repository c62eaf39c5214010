#pragma once

#include <cstdint>

#include "core/analysis/item_list.h"
#include "core/settings/settings_store.h"

namespace quorvane {

// The next node from `cursor` on whose Count is at least `threshold`, never the
// tail; moves the cursor past it. Null when none is left (cursor unchanged).
const TItemNode* NextFrequentItem(const TItemNode*& cursor, int32_t threshold);

// Refills the word grid from the item list: row 0 gets the fixed tokens and a blank
// in column 4, rows 1 to 5 the qualifying items row by row, cells with no item left
// empty. Returns false, words untouched, when the threshold is 0 or less or the
// list has not been set up.
bool FillWithFrequentItems(const ItemList& items, int32_t threshold, ComposerWords& words);

}  // namespace quorvane
