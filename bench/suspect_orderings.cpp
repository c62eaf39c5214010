#include "suspect_orderings.h"

#include <algorithm>

namespace quorvane::bench {

namespace {

RowOrder Pointers(const std::vector<SuspectRow>& rows) {
    RowOrder order;
    order.reserve(rows.size());
    for (const SuspectRow& row : rows) {
        order.push_back(&row);
    }
    return order;
}

}  // namespace

RowOrder KatzBoundOrder(const std::vector<SuspectRow>& rows) {
    RowOrder order = Pointers(rows);
    std::vector<double> low(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        low[i] = KatzRiskRatio(rows[i].Table).Low;
    }
    const auto bound = [&](const SuspectRow* row) {
        return low[static_cast<std::size_t>(row - rows.data())];
    };
    std::sort(order.begin(), order.end(), [&](const SuspectRow* x, const SuspectRow* y) {
        if (x->Tier != y->Tier) {
            return x->Tier < y->Tier;
        }
        if (bound(x) != bound(y)) {
            return bound(x) > bound(y);
        }
        if (x->PValue != y->PValue) {
            return x->PValue < y->PValue;
        }
        return x->Item < y->Item;
    });
    return order;
}

RowOrder RawPOrder(const std::vector<SuspectRow>& rows) {
    RowOrder order = Pointers(rows);
    std::sort(order.begin(), order.end(), [](const SuspectRow* x, const SuspectRow* y) {
        if (x->RawP != y->RawP) {
            return x->RawP < y->RawP;
        }
        const int64_t xDays = x->Table.A + x->Table.B;
        const int64_t yDays = y->Table.A + y->Table.B;
        if (xDays != yDays) {
            return xDays > yDays;
        }
        return x->Item < y->Item;
    });
    return order;
}

int PlaceOf(const RowOrder& order, const std::string& item) {
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (order[i]->Item == item) {
            return static_cast<int>(i + 1);
        }
    }
    return 0;
}

int EngineRank(const std::vector<SuspectRow>& rows, const std::string& item) {
    for (const SuspectRow& row : rows) {
        if (row.Item == item) {
            return row.Rank;
        }
    }
    return 0;
}

int FrustrationRank(const ItemList& items, int symptom, const std::string& item) {
    const TItemNode* target = nullptr;
    for (const TItemNode& node : items.Entries()) {
        if (node.Name == item && node.Count >= 3) {
            target = &node;
        }
    }
    if (target == nullptr) {
        return 0;
    }
    const double value = 9.0 * target->SymptomHits[symptom] / target->Count;
    int rank = 1;
    for (const TItemNode* node = items.First()->Next; node != target; node = node->Next) {
        if (node->Count >= 3 && 9.0 * node->SymptomHits[symptom] / node->Count >= value) {
            ++rank;
        }
    }
    for (const TItemNode* node = target->Next; node->Next != nullptr; node = node->Next) {
        if (node->Count >= 3 && 9.0 * node->SymptomHits[symptom] / node->Count > value) {
            ++rank;
        }
    }
    return rank;
}

}  // namespace quorvane::bench
