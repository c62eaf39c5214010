#include "core/composer/auto_fill.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quorvane {
namespace {

// "AAA" counted once by the set-up, then each name added `count` times.
void Fill(ItemList& items, const std::vector<std::pair<std::string, int>>& counts) {
    items.SetUp();
    for (const auto& [name, count] : counts) {
        for (int i = 0; i < count; ++i) {
            items.AddOccurrence(name);
        }
    }
}

ComposerWords MarkedWords() {
    ComposerWords words;
    for (int c = 0; c < kComposerColumns; ++c) {
        for (int r = 0; r < kComposerRows; ++r) {
            words[c][r] = "old" + std::to_string(c) + std::to_string(r);
        }
    }
    return words;
}

TEST(NextFrequentItemTest, WalksOnFromTheCursorAndNeverYieldsTheTail) {
    TItemNode tail{"ZZZ", 99, {}, nullptr};
    TItemNode rare{"PEAR", 1, {}, &tail};
    TItemNode often{"OATS", 5, {}, &rare};
    const TItemNode* cursor = &often;
    EXPECT_EQ(NextFrequentItem(cursor, 5), &often);
    EXPECT_EQ(cursor, &rare);
    EXPECT_EQ(NextFrequentItem(cursor, 5), nullptr);
    EXPECT_EQ(cursor, &rare) << "cursor moved although nothing was found";
    EXPECT_EQ(NextFrequentItem(cursor, 1), &rare);
    EXPECT_EQ(cursor, &tail);
    EXPECT_EQ(NextFrequentItem(cursor, 1), nullptr);
}

TEST(FillWithFrequentItemsTest, FillsRowByRowWithItemsCountedAtLeastT) {
    ItemList items;
    Fill(items, {{"BEEF", 3}, {"CAKE", 2}, {"EGG", 3}, {"RICE", 4}, {"TEA", 1}});
    ComposerWords words = MarkedWords();
    ASSERT_TRUE(FillWithFrequentItems(items, 3, words));
    EXPECT_EQ(words[0][1], "BEEF, ");
    EXPECT_EQ(words[1][1], "EGG, ");
    EXPECT_EQ(words[2][1], "RICE, ");
    for (int c = 3; c < kComposerColumns; ++c) {
        EXPECT_EQ(words[c][1], "") << c;
    }
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(words[c][0], FixedRowTokens()[c]);
    }
    EXPECT_EQ(words[4][0], " ");
    EXPECT_EQ(words[5][0], "old50");
    EXPECT_EQ(words[7][5], "");

    ASSERT_TRUE(FillWithFrequentItems(items, 1, words));
    EXPECT_EQ(words[0][1], "AAA, ");
    EXPECT_EQ(words[5][1], "TEA, ");
    EXPECT_EQ(words[6][1], "");
}

TEST(FillWithFrequentItemsTest, MoreThanFortyItemsFillEveryCellInOrder) {
    std::vector<std::pair<std::string, int>> counts;
    for (char a = 'B'; a <= 'H'; ++a) {
        for (char b = 'A'; b <= 'G'; ++b) {
            counts.push_back({std::string{a, b}, 2});  // 49 items, in name order
        }
    }
    ItemList items;
    Fill(items, counts);
    ComposerWords words = MarkedWords();
    ASSERT_TRUE(FillWithFrequentItems(items, 2, words));
    for (int cell = 0; cell < 40; ++cell) {
        EXPECT_EQ(words[cell % 8][1 + cell / 8], counts[cell].first + ", ") << cell;
    }
}

TEST(FillWithFrequentItemsTest, LeavesTheGridAloneWithoutThresholdOrList) {
    ItemList items;
    const ComposerWords before = MarkedWords();
    ComposerWords words = before;
    EXPECT_FALSE(FillWithFrequentItems(items, 1, words)) << "list never set up";
    Fill(items, {{"BEEF", 2}});
    EXPECT_FALSE(FillWithFrequentItems(items, 0, words));
    EXPECT_FALSE(FillWithFrequentItems(items, -3, words));
    items.Discard();
    EXPECT_FALSE(FillWithFrequentItems(items, 1, words)) << "list released";
    EXPECT_EQ(words, before);

    Fill(items, {{"BEEF", 2}});
    ASSERT_TRUE(FillWithFrequentItems(items, 3, words));
    for (int cell = 0; cell < 40; ++cell) {
        EXPECT_EQ(words[cell % 8][1 + cell / 8], "") << "nothing qualifies: " << cell;
    }
}

}  // namespace
}  // namespace quorvane
