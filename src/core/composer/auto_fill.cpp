#include "core/composer/auto_fill.h"

namespace quorvane {

const TItemNode* NextFrequentItem(const TItemNode*& cursor, int32_t threshold) {
    // The tail is the only node without a successor, so it is never offered.
    for (const TItemNode* node = cursor; node != nullptr && node->Next != nullptr;
         node = node->Next) {
        if (node->Count >= threshold) {
            cursor = node->Next;
            return node;
        }
    }
    return nullptr;
}

bool FillWithFrequentItems(const ItemList& items, int32_t threshold, ComposerWords& words) {
    // A null first node means the list is released (an analysis is resetting it).
    if (threshold <= 0 || items.First() == nullptr) {
        return false;
    }
    PlaceFixedRowTokens(words);
    words[4][0].assign(1, ' ');  // not operator=: g++ 12 misreports it under -Wrestrict
    const TItemNode* cursor = items.First();
    for (int r = 1; r < kComposerRows; ++r) {
        for (int c = 0; c < kComposerColumns; ++c) {
            const TItemNode* node = NextFrequentItem(cursor, threshold);
            // Cells past the last qualifying item stay empty rather than repeat a name.
            words[c][r] = node != nullptr ? node->Name + ", " : std::string();
        }
    }
    return true;
}

}  // namespace quorvane
