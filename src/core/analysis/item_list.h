#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/analysis/symptom_table.h"

namespace quorvane {

// An item's hits per symptom, indexed like SymptomCounters. Most items of a long or
// noisy diary never see a symptom, so the counters exist only once one is written
// through the non-const operator[] or Set; until then every entry reads 0.
class SymptomHitCounts {
  public:
    SymptomHitCounts() = default;
    SymptomHitCounts(const SymptomHitCounts& other)
        : counts_(other.counts_ ? std::make_unique<SymptomCounters>(*other.counts_) : nullptr) {}
    SymptomHitCounts& operator=(const SymptomHitCounts& other) {
        if (this != &other) {
            counts_ = other.counts_ ? std::make_unique<SymptomCounters>(*other.counts_) : nullptr;
        }
        return *this;
    }
    SymptomHitCounts(SymptomHitCounts&&) noexcept = default;
    SymptomHitCounts& operator=(SymptomHitCounts&&) noexcept = default;

    int32_t operator[](std::size_t index) const { return counts_ ? (*counts_)[index] : 0; }
    // True while no entry was ever written: every entry reads 0.
    bool Empty() const { return !counts_; }
    int32_t& operator[](std::size_t index) { return Counters()[index]; }
    // Stores `value`; a 0 on an item without counters allocates nothing.
    void Set(std::size_t index, int32_t value) {
        if (value != 0 || counts_) {
            Counters()[index] = value;
        }
    }

  private:
    SymptomCounters& Counters() {
        if (!counts_) {
            counts_ = std::make_unique<SymptomCounters>();
        }
        return *counts_;
    }
    std::unique_ptr<SymptomCounters> counts_;
};

struct TItemNode {
    std::string Name = "_";
    int32_t Count = 0;
    SymptomHitCounts SymptomHits;
    TItemNode* Next = nullptr;
};

// The items of one read, kept as a singly linked list in ascending byte order:
// head "AAAA" -> sentinel "AAA" -> items -> sentinel "ZZZ". Occurrences are found
// in one hash table; new names are linked into the list in one sort when the list
// is next looked at (Head, First), not one by one, so a read of millions of names
// costs no ordered index. The list, its order and every count are exactly what a
// walk from the head inserting each name in place would give.
class ItemList {
  public:
    // Walks the items between the sentinels, in list order.
    template <typename Node>
    class Range {
      public:
        struct Iterator {
            Node* node;
            Node& operator*() const { return *node; }
            Node* operator->() const { return node; }
            Iterator& operator++() {
                node = node->Next;
                return *this;
            }
            bool operator==(const Iterator&) const = default;
        };
        Range(Node* first, Node* tail) : first_(first), tail_(tail) {}
        Iterator begin() const { return {first_}; }
        Iterator end() const { return {tail_}; }

      private:
        Node* first_;
        Node* tail_;
    };

    // Reports each insertion: the new item count and the inserted name.
    using RowHook = std::function<void(int32_t itemCount, const std::string& name)>;

    ItemList();
    ItemList(const ItemList&) = delete;
    ItemList& operator=(const ItemList&) = delete;
    ~ItemList();

    // Releases every node but the head and zeroes ItemCount; head.Next becomes null.
    void Discard();
    // Discard, then head -> "AAA" -> "ZZZ".
    void SetUp();

    // Counts one occurrence of a finished non-symptom word; returns the counted
    // node, or nullptr when the word sorts outside the sentinels and is dropped.
    // The node's address stays valid until the list is discarded.
    TItemNode* AddOccurrence(std::string_view word);

    const TItemNode& Head() const {
        LinkPending();
        return head_;
    }
    // The node after the head: the "AAA" sentinel once set up, else null.
    TItemNode* First() const {
        LinkPending();
        return head_.Next;
    }
    int32_t ItemCount() const { return itemCount_; }
    // Empty while the list is released.
    Range<TItemNode> Entries() { return {EntriesBegin(), tail_}; }
    Range<const TItemNode> Entries() const { return {EntriesBegin(), tail_}; }

    // The items between the sentinels in list order, as an array: a walk reads the
    // nodes independently instead of one link after the other.
    std::span<TItemNode* const> InOrder() const {
        LinkPending();
        return order_;
    }
    // The same items in the order they were first read: a walk that needs no order
    // reads memory in sequence instead of chasing the links.
    template <typename Visit>
    void ForEachInReadOrder(Visit visit) {
        if (nodeCount_ > kSentinelNodes) {
            for (auto node = nodes_.begin() + kSentinelNodes; node != nodes_.end(); ++node) {
                visit(*node);
            }
        }
    }

    void SetRowHook(RowHook hook) { rowHook_ = std::move(hook); }

  private:
    static constexpr uint32_t kSentinelNodes = 2;  // the first two nodes made
    TItemNode* EntriesBegin() const {
        LinkPending();
        return head_.Next != nullptr ? head_.Next->Next : nullptr;
    }
    TItemNode& NewNode(std::string_view name, uint32_t nameHash);
    TItemNode& NodeAt(uint32_t index) const { return nodes_[index]; }
    void GrowTable();
    // Links the names added since the last look into the list, in order.
    void LinkPending() const;

    mutable TItemNode head_;
    TItemNode* tail_ = nullptr;            // the "ZZZ" sentinel once set up
    mutable std::deque<TItemNode> nodes_;  // stable addresses, in read order
    uint32_t nodeCount_ = 0;
    // Open addressing: each slot holds a node's index + 1 (0: empty) in its low half
    // and the name's hash in its high half, so most probes never touch a node.
    std::vector<uint64_t> slots_;
    // Nodes are made in read order: those from this index on are not linked yet.
    mutable uint32_t linkedCount_ = 0;
    mutable std::vector<TItemNode*> order_;  // the linked items between the sentinels
    int32_t itemCount_ = 0;
    RowHook rowHook_;
};

}  // namespace quorvane
