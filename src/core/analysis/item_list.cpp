#include "core/analysis/item_list.h"

#include <algorithm>
#include <cstring>

namespace quorvane {

namespace {

constexpr std::string_view kHeadName = "AAAA";
constexpr std::string_view kFirstSentinel = "AAA";
constexpr std::string_view kLastSentinel = "ZZZ";
constexpr uint32_t kFirstIndex = 0;  // the sentinels are the first two nodes
constexpr uint32_t kLastIndex = 1;
constexpr std::size_t kInitialSlots = 64;

// FNV-1a: names are short, and it needs no seed to be the same on every run.
uint32_t HashName(std::string_view name) {
    uint32_t hash = 2166136261u;
    for (const char c : name) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    }
    return hash;
}

// The first eight bytes, big-endian, so that comparing keys orders like the names.
uint64_t PrefixKey(const std::string& name) {
    unsigned char bytes[8] = {};
    std::memcpy(bytes, name.data(), std::min<std::size_t>(name.size(), 8));
    uint64_t key = 0;
    for (const unsigned char byte : bytes) {
        key = (key << 8) | byte;
    }
    return key;
}

}  // namespace

ItemList::ItemList() = default;
ItemList::~ItemList() = default;

void ItemList::Discard() {
    nodes_.clear();
    nodeCount_ = 0;
    slots_.clear();
    order_ = {};
    linkedCount_ = 0;
    head_.Next = nullptr;
    tail_ = nullptr;
    itemCount_ = 0;
}

TItemNode& ItemList::NewNode(std::string_view name, uint32_t nameHash) {
    TItemNode& node = nodes_.emplace_back();
    node.Name = name;
    node.Count = 1;
    if (4 * (std::size_t{nodeCount_} + 1) > 3 * slots_.size()) {
        GrowTable();
    }
    const uint64_t hash = nameHash;
    const std::size_t mask = slots_.size() - 1;
    std::size_t slot = hash & mask;
    while (slots_[slot] != 0) {
        slot = (slot + 1) & mask;
    }
    slots_[slot] = (hash << 32) | (nodeCount_ + 1);
    ++nodeCount_;
    return node;
}

void ItemList::GrowTable() {
    std::vector<uint64_t> old = std::move(slots_);
    slots_.assign(std::max(kInitialSlots, 2 * old.size()), 0);
    const std::size_t mask = slots_.size() - 1;
    for (const uint64_t entry : old) {
        if (entry != 0) {
            std::size_t slot = (entry >> 32) & mask;
            while (slots_[slot] != 0) {
                slot = (slot + 1) & mask;
            }
            slots_[slot] = entry;
        }
    }
}

void ItemList::SetUp() {
    Discard();
    head_.Name = kHeadName;
    head_.Count = 1;

    TItemNode& first = NewNode(kFirstSentinel, HashName(kFirstSentinel));
    TItemNode& last = NewNode(kLastSentinel, HashName(kLastSentinel));
    head_.Next = &first;
    first.Next = &last;
    tail_ = &last;
    last.Next = nullptr;
    linkedCount_ = nodeCount_;
}

TItemNode* ItemList::AddOccurrence(std::string_view word) {
    if (nodeCount_ == 0) {
        return nullptr;  // not set up: the walk would find no successor
    }
    const uint32_t hash = HashName(word);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t slot = hash & mask; slots_[slot] != 0; slot = (slot + 1) & mask) {
        const uint64_t entry = slots_[slot];
        if ((entry >> 32) != hash) {
            continue;
        }
        const auto index = static_cast<uint32_t>(entry) - 1;
        TItemNode& node = NodeAt(index);
        if (node.Name == word) {
            // An equal name is counted, except the tail: the walk stops before
            // comparing it, so "ZZZ" is dropped.
            if (index == kLastIndex) {
                return nullptr;
            }
            node.Count = SaturatingAdd(node.Count, 1);
            return &node;
        }
    }
    // Outside the sentinels ("A", "ZZZZ"): no pair of neighbours brackets it.
    if (word <= kFirstSentinel || word >= kLastSentinel) {
        return nullptr;
    }
    TItemNode& node = NewNode(word, hash);

    itemCount_ = SaturatingAdd(itemCount_, 1);
    if (rowHook_) {
        rowHook_(itemCount_, node.Name);
    }
    return &node;
}

void ItemList::LinkPending() const {
    if (linkedCount_ == nodeCount_) {
        return;
    }
    // Sort the new names on their leading bytes first; only ties read whole names.
    struct Entry {
        uint64_t key;
        TItemNode* node;
    };
    std::vector<Entry> added;
    added.reserve(nodeCount_ - linkedCount_);
    for (uint32_t index = linkedCount_; index < nodeCount_; ++index) {
        TItemNode& node = NodeAt(index);
        added.push_back({PrefixKey(node.Name), &node});
    }
    linkedCount_ = nodeCount_;
    std::sort(added.begin(), added.end(), [](const Entry& a, const Entry& b) {
        return a.key != b.key ? a.key < b.key : a.node->Name < b.node->Name;
    });

    // Merge into the list, whose items all sort apart from the new ones. The merge
    // reads the linked items from order_, not through their links, and leaves
    // order_ holding all of them in list order.
    std::vector<TItemNode*> merged;
    merged.reserve(order_.size() + added.size());
    TItemNode* previous = &NodeAt(kFirstIndex);
    std::size_t old = 0;
    for (const Entry& entry : added) {
        while (old < order_.size() && order_[old]->Name < entry.node->Name) {
            previous = order_[old];
            merged.push_back(order_[old++]);
        }
        entry.node->Next = previous->Next;
        previous->Next = entry.node;
        previous = entry.node;
        merged.push_back(entry.node);
    }
    merged.insert(merged.end(), order_.begin() + static_cast<std::ptrdiff_t>(old), order_.end());
    order_ = std::move(merged);
}

}  // namespace quorvane
