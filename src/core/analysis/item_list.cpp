#include "core/analysis/item_list.h"

#include <iterator>

namespace quorvane {

namespace {

constexpr std::string_view kHeadName = "AAAA";
constexpr std::string_view kFirstSentinel = "AAA";
constexpr std::string_view kLastSentinel = "ZZZ";

}  // namespace

ItemList::ItemList() = default;

void ItemList::Discard() {
    known_.clear();
    index_.clear();
    nodes_.clear();
    head_.Next = nullptr;
    tail_ = nullptr;
    itemCount_ = 0;
}

void ItemList::SetUp() {
    Discard();
    head_.Name = kHeadName;
    head_.Count = 1;

    TItemNode& first = nodes_.emplace_back();
    first.Name = kFirstSentinel;
    first.Count = 1;
    TItemNode& last = nodes_.emplace_back();
    last.Name = kLastSentinel;
    last.Count = 1;

    head_.Next = &first;
    first.Next = &last;
    tail_ = &last;
    // The sentinels live in the index too: they bound every lookup exactly as
    // they bound the walk, and the head is never part of it.
    index_.emplace(first.Name, &first);
    index_.emplace(last.Name, &last);
    known_.emplace(first.Name, &first);
    known_.emplace(last.Name, &last);
}

TItemNode* ItemList::AddOccurrence(std::string_view word) {
    if (index_.empty()) {
        return nullptr;  // not set up: the walk would find no successor
    }
    if (const auto known = known_.find(word); known != known_.end()) {
        // An equal name is counted, except the tail: the walk stops before
        // comparing it, so "ZZZ" is dropped.
        TItemNode* node = known->second;
        if (node->Next == nullptr) {
            return nullptr;
        }
        node->Count = SaturatingAdd(node->Count, 1);
        return node;
    }
    const auto it = index_.lower_bound(word);
    // Outside the sentinels ("A", "ZZZZ"): no pair of neighbours brackets it.
    if (it == index_.begin() || it == index_.end()) {
        return nullptr;
    }
    TItemNode* previous = std::prev(it)->second;
    TItemNode* next = it->second;

    TItemNode& node = nodes_.emplace_back();
    node.Name = std::string(word);
    node.Count = 1;
    node.Next = next;
    previous->Next = &node;
    index_.emplace_hint(it, node.Name, &node);
    known_.emplace(node.Name, &node);

    itemCount_ = SaturatingAdd(itemCount_, 1);
    if (rowHook_) {
        rowHook_(itemCount_, node.Name);
    }
    return &node;
}

}  // namespace quorvane
