#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/analysis/symptom_table.h"

namespace quorvane {

struct TItemNode {
    std::string Name = "_";
    int32_t Count = 0;
    SymptomCounters SymptomHits{};
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

    void SetRowHook(RowHook hook) { rowHook_ = std::move(hook); }

  private:
    static constexpr std::size_t kChunkBits = 12;  // nodes per storage chunk: 4096

    TItemNode& NewNode(std::string_view name);
    TItemNode& NodeAt(uint32_t index) const {
        return chunks_[index >> kChunkBits][index & ((std::size_t{1} << kChunkBits) - 1)];
    }
    void GrowTable();
    // Links the names added since the last look into the list, in order.
    void LinkPending() const;

    mutable TItemNode head_;
    std::vector<std::unique_ptr<TItemNode[]>> chunks_;  // stable node addresses
    uint32_t nodeCount_ = 0;
    // Open addressing: each slot holds a node's index + 1 (0: empty) in its low half
    // and the name's hash in its high half, so most probes never touch a node.
    std::vector<uint64_t> slots_;
    mutable std::vector<TItemNode*> pending_;  // inserted, not yet linked
    int32_t itemCount_ = 0;
    RowHook rowHook_;
};

}  // namespace quorvane
