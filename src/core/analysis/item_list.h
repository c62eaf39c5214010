#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>

#include "core/analysis/symptom_table.h"

namespace quorvane {

struct TItemNode {
    std::string Name = "_";
    int32_t Count = 0;
    SymptomCounters SymptomHits{};
    TItemNode* Next = nullptr;
};

// The items of one read, kept as a singly linked list in ascending byte order:
// head "AAAA" -> sentinel "AAA" -> items -> sentinel "ZZZ". A name index sits beside
// the list so that an occurrence costs a lookup instead of a walk; the list, its
// order and every count are exactly what the walk would give.
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

    // Releases every node but the head and zeroes ItemCount; head.Next becomes null.
    void Discard();
    // Discard, then head -> "AAA" -> "ZZZ".
    void SetUp();

    // Counts one occurrence of a finished non-symptom word; returns the counted
    // node, or nullptr when the word sorts outside the sentinels and is dropped.
    TItemNode* AddOccurrence(std::string_view word);

    const TItemNode& Head() const { return head_; }
    // The node after the head: the "AAA" sentinel once set up, else null.
    TItemNode* First() const { return head_.Next; }
    int32_t ItemCount() const { return itemCount_; }
    // Empty while the list is released.
    Range<TItemNode> Entries() { return {EntriesBegin(), tail_}; }
    Range<const TItemNode> Entries() const { return {EntriesBegin(), tail_}; }

    void SetRowHook(RowHook hook) { rowHook_ = std::move(hook); }

  private:
    TItemNode* EntriesBegin() const { return head_.Next != nullptr ? head_.Next->Next : nullptr; }

    TItemNode head_;
    TItemNode* tail_ = nullptr;    // the "ZZZ" sentinel once set up
    std::deque<TItemNode> nodes_;  // stable addresses for the links and the day window
    std::map<std::string, TItemNode*, std::less<>> index_;
    // Occurrences of known names are found by hash; the ordered index is only
    // consulted to place a new name. Keys view the nodes' own names.
    std::unordered_map<std::string_view, TItemNode*> known_;
    int32_t itemCount_ = 0;
    RowHook rowHook_;
};

}  // namespace quorvane
