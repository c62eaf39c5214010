#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "core/analysis/item_list.h"

namespace quorvane {
namespace {

std::vector<std::pair<std::string, int32_t>> Walk(const ItemList& list) {
    std::vector<std::pair<std::string, int32_t>> nodes;
    for (const TItemNode* node = &list.Head(); node != nullptr; node = node->Next) {
        nodes.emplace_back(node->Name, node->Count);
    }
    return nodes;
}

// The items between the sentinels through their links, and through InOrder.
std::vector<std::string> LinkedNames(const ItemList& list) {
    std::vector<std::string> names;
    for (const TItemNode& node : list.Entries()) {
        names.push_back(node.Name);
    }
    return names;
}

std::vector<std::string> InOrderNames(const ItemList& list) {
    std::vector<std::string> names;
    for (const TItemNode* node : list.InOrder()) {
        names.push_back(node->Name);
    }
    return names;
}

TEST(ItemList, SetUpLinksHeadAndSentinels) {
    ItemList list;
    EXPECT_EQ(list.First(), nullptr);
    list.SetUp();
    const std::vector<std::pair<std::string, int32_t>> expected = {
        {"AAAA", 1}, {"AAA", 1}, {"ZZZ", 1}};
    EXPECT_EQ(Walk(list), expected);
    EXPECT_EQ(list.ItemCount(), 0);
}

TEST(ItemList, KeepsItemsInByteOrderBetweenTheSentinels) {
    ItemList list;
    list.SetUp();
    for (const char* word : {"TEA", "COFFEE", "TEA", "HAM SANDWICH", "HAM", "HAM  SANDWICH"}) {
        EXPECT_NE(list.AddOccurrence(word), nullptr) << word;
    }
    const std::vector<std::pair<std::string, int32_t>> expected = {
        {"AAAA", 1},          {"AAA", 1},          {"COFFEE", 1}, {"HAM", 1},
        {"HAM  SANDWICH", 1}, {"HAM SANDWICH", 1}, {"TEA", 2},    {"ZZZ", 1}};
    EXPECT_EQ(Walk(list), expected);
    EXPECT_EQ(list.ItemCount(), 5);
}

TEST(ItemList, WordsAtOrBeyondTheSentinels) {
    struct Case {
        const char* word;
        bool counted;
    };
    const Case cases[] = {
        {"A", false},   {"AA", false},   {"A B", false},  {"", false},
        {"ZZZ", false}, {"ZZZZ", false}, {"ZZZA", false}, {"AAA", true},
        {"AAAA", true}, {"AAB", true},   {"ZZY", true},   {"ZZ", true},
    };
    for (const Case& c : cases) {
        ItemList list;
        list.SetUp();
        TItemNode* node = list.AddOccurrence(c.word);
        EXPECT_EQ(node != nullptr, c.counted) << c.word;
        const std::string word = c.word;
        if (word == "AAA") {
            // Counted on the sentinel itself: no new item, no row.
            EXPECT_EQ(node, list.First());
            EXPECT_EQ(list.First()->Count, 2);
            EXPECT_EQ(list.ItemCount(), 0);
        } else if (c.counted) {
            EXPECT_EQ(list.ItemCount(), 1) << c.word;
            EXPECT_EQ(list.First()->Next->Name, word);
        } else {
            EXPECT_EQ(Walk(list).size(), 3U) << c.word;
            EXPECT_EQ(list.ItemCount(), 0) << c.word;
        }
        EXPECT_EQ(list.Head().Count, 1) << "the head is never counted";
    }
}

TEST(ItemList, RowHookReportsInsertionsInOrderOfFirstAppearance) {
    ItemList list;
    std::vector<std::pair<int32_t, std::string>> rows;
    list.SetRowHook(
        [&rows](int32_t count, const std::string& name) { rows.emplace_back(count, name); });
    list.SetUp();
    for (const char* word : {"TEA", "COFFEE", "TEA", "A", "AAA", "BEEF"}) {
        list.AddOccurrence(word);
    }
    const std::vector<std::pair<int32_t, std::string>> expected = {
        {1, "TEA"}, {2, "COFFEE"}, {3, "BEEF"}};
    EXPECT_EQ(rows, expected);
}

TEST(ItemList, SetUpAgainStartsEmptyAndDiscardReleasesAll) {
    ItemList list;
    list.SetUp();
    list.AddOccurrence("TEA");
    list.SetUp();
    EXPECT_EQ(Walk(list).size(), 3U);
    EXPECT_EQ(list.ItemCount(), 0);
    TItemNode* node = list.AddOccurrence("TEA");
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->Count, 1);
    list.Discard();
    EXPECT_EQ(list.First(), nullptr);
    EXPECT_EQ(list.AddOccurrence("TEA"), nullptr);
}

// The list walk the index replaces, as a plain reference: it must give the same
// list for any sequence of words.
class WalkedList {
  public:
    WalkedList() {
        nodes_.push_back({"AAA", 1});
        nodes_.push_back({"ZZZ", 1});
    }
    bool Add(const std::string& word) {
        bool counted = false;
        for (std::size_t i = 0; i + 1 < nodes_.size(); ++i) {
            if (nodes_[i].first < word && nodes_[i + 1].first > word) {
                nodes_.insert(nodes_.begin() + static_cast<std::ptrdiff_t>(i) + 1, {word, 1});
                return true;
            }
            if (nodes_[i].first == word) {
                ++nodes_[i].second;
                counted = true;
            }
        }
        return counted;
    }
    std::vector<std::pair<std::string, int32_t>> Nodes() const {
        std::vector<std::pair<std::string, int32_t>> nodes = {{"AAAA", 1}};
        nodes.insert(nodes.end(), nodes_.begin(), nodes_.end());
        return nodes;
    }

  private:
    std::vector<std::pair<std::string, int32_t>> nodes_;
};

TEST(ItemList, MatchesTheListWalkOnRandomWords) {
    std::mt19937 random(20240611);
    const std::string alphabet = "AZ Y";  // few letters, so sentinels and repeats are hit
    ItemList list;
    list.SetUp();
    WalkedList reference;
    for (int i = 0; i < 3000; ++i) {
        std::string word;
        const int length = static_cast<int>(random() % 5);
        for (int k = 0; k < length; ++k) {
            word += alphabet[random() % alphabet.size()];
        }
        const bool counted = list.AddOccurrence(word) != nullptr;
        ASSERT_EQ(counted, reference.Add(word)) << "word '" << word << "'";
    }
    EXPECT_EQ(Walk(list), reference.Nodes());
    EXPECT_EQ(static_cast<std::size_t>(list.ItemCount()), reference.Nodes().size() - 3);
}

// New names are linked when the list is looked at; looking between reads must
// merge the later names into the list already linked.
TEST(ItemList, LooksBetweenInsertionsSeeTheSameListAsTheWalk) {
    std::mt19937 random(7);
    const std::string alphabet = "ABMZ ";
    ItemList list;
    list.SetUp();
    WalkedList reference;
    for (int i = 0; i < 2000; ++i) {
        std::string word;
        const int length = 1 + static_cast<int>(random() % 6);
        for (int k = 0; k < length; ++k) {
            word += alphabet[random() % alphabet.size()];
        }
        ASSERT_EQ(list.AddOccurrence(word) != nullptr, reference.Add(word)) << word;
        if (random() % 50 == 0) {
            ASSERT_EQ(Walk(list), reference.Nodes()) << "after " << i + 1 << " words";
            ASSERT_EQ(InOrderNames(list), LinkedNames(list)) << "after " << i + 1 << " words";
        }
    }
    EXPECT_EQ(Walk(list), reference.Nodes());
    EXPECT_EQ(InOrderNames(list), LinkedNames(list));
}

// The walks that need no order see every item once, in the order first read.
TEST(ItemList, ReadOrderVisitsEachItemOnceInTheOrderFirstRead) {
    ItemList list;
    list.SetUp();
    for (const char* word : {"TEA", "BREAD", "TEA", "A", "ZZZZ", "MILK", "BREAD", "EGG"}) {
        list.AddOccurrence(word);
    }
    ASSERT_NE(list.First(), nullptr);  // links the names: must not change the read order
    std::vector<std::pair<std::string, int32_t>> seen;
    list.ForEachInReadOrder([&seen](TItemNode& node) { seen.emplace_back(node.Name, node.Count); });
    const std::vector<std::pair<std::string, int32_t>> expected = {
        {"TEA", 2}, {"BREAD", 2}, {"MILK", 1}, {"EGG", 1}};
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(InOrderNames(list), (std::vector<std::string>{"BREAD", "EGG", "MILK", "TEA"}));

    list.SetUp();
    seen.clear();
    list.ForEachInReadOrder([&seen](TItemNode& node) { seen.emplace_back(node.Name, node.Count); });
    EXPECT_TRUE(seen.empty());
    EXPECT_TRUE(list.InOrder().empty());
    list.Discard();
    EXPECT_TRUE(list.InOrder().empty());
}

// The reader keeps node addresses across a day: they must survive the storage and
// the table growing, and a counted name must come back as the same node.
TEST(ItemList, NodesKeepTheirAddressesAsTheListGrows) {
    ItemList list;
    list.SetUp();
    std::vector<std::pair<std::string, TItemNode*>> added;
    for (int i = 0; i < 20000; ++i) {
        std::string name = "B";
        for (int n = i; n > 0; n /= 26) {
            name += static_cast<char>('A' + n % 26);
        }
        TItemNode* node = list.AddOccurrence(name);
        ASSERT_NE(node, nullptr) << name;
        added.emplace_back(name, node);
    }
    for (const auto& [name, node] : added) {
        ASSERT_EQ(list.AddOccurrence(name), node) << name;
        ASSERT_EQ(node->Name, name);
        ASSERT_EQ(node->Count, 2);
    }
    EXPECT_EQ(list.ItemCount(), 20000);
}

TEST(ItemList, HitCountersReadZeroUntilWrittenAndCopyDeeply) {
    SymptomHitCounts hits;
    const SymptomHitCounts& view = hits;
    EXPECT_EQ(view[kTotalSymptom], 0);
    hits.Set(kTotalSymptom, 0);
    EXPECT_EQ(view[kTotalSymptom], 0);
    hits[3] = 5;
    hits.Set(kTotalSymptom, 7);
    SymptomHitCounts copy = hits;
    hits[3] = 6;
    EXPECT_EQ(std::as_const(copy)[3], 5);
    EXPECT_EQ(std::as_const(copy)[kTotalSymptom], 7);
    EXPECT_EQ(view[3], 6);
    hits.Set(kTotalSymptom, 0);  // a written counter is stored even when 0
    EXPECT_EQ(view[kTotalSymptom], 0);
    copy = hits;
    EXPECT_EQ(std::as_const(copy)[kTotalSymptom], 0);
    EXPECT_EQ(std::as_const(copy)[3], 6);
}

}  // namespace
}  // namespace quorvane
