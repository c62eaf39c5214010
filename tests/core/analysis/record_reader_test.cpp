#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "core/analysis/item_list.h"
#include "core/analysis/record_reader.h"
#include "core/analysis/symptom_table.h"

namespace quorvane {
namespace {

// Feeds diary text straight into the reader, as the file reader does chunk by chunk.
class ReaderTest : public ::testing::Test {
  protected:
    ReaderTest() {
        hooks_.OnDayEnd = [this]() { ++dayEnds_; };
        hooks_.OnTooManyItemsPerDay = [this]() { ++overflows_; };
        items_.SetUp();
    }

    bool Feed(std::string_view text) {
        RecordReader reader(state_, items_, totals_, symptoms_, hooks_);
        return reader.Feed(text);
    }

    std::vector<std::string> Items() const {
        std::vector<std::string> items;
        for (const TItemNode* node = items_.First()->Next; node->Next != nullptr;
             node = node->Next) {
            items.push_back(node->Name + "=" + std::to_string(node->Count));
        }
        return items;
    }

    const TItemNode* Find(std::string_view name) const {
        for (const TItemNode* node = items_.First(); node != nullptr; node = node->Next) {
            if (node->Name == name) {
                return node;
            }
        }
        return nullptr;
    }

    int32_t Hits(std::string_view name, int symptom) const {
        const TItemNode* node = Find(name);
        return node == nullptr ? -1 : node->SymptomHits[symptom];
    }

    std::vector<std::string> Day(int day) const {
        std::vector<std::string> names;
        for (const TItemNode* node : state_.Window.Days[day]) {
            if (node != nullptr) {
                names.push_back(node->Name);
            }
        }
        return names;
    }

    SymptomTable symptoms_;
    ItemList items_;
    ReaderState state_;
    SymptomCounters totals_{};
    ReaderHooks hooks_;
    int dayEnds_ = 0;
    int overflows_ = 0;
};

constexpr int kHeadache = 2;

TEST_F(ReaderTest, WordRulesGiveTheseItems) {
    struct Case {
        const char* text;
        std::vector<std::string> items;
    };
    const Case cases[] = {
        {"tea, coffee, tea,", {"COFFEE=1", "TEA=2"}},
        {"peanut-butter,", {"PEANUTBUTTER=1"}},
        {"april 29,", {"APRIL=1"}},
        {"2 eggs,", {"EGGS=1"}},
        {"   bread ,", {"BREAD=1"}},
        {"bread  ,bread,", {"BREAD=1", "BREAD =1"}},
        {"ham sandwich,ham  sandwich,", {"HAM  SANDWICH=1", "HAM SANDWICH=1"}},
        {"MiLk@milk$MILK\r", {"MILK=3"}},
        {"End of Meal, $,", {"END OF MEAL=1"}},
        {"a, aa, a b, zzzz, zzz, aaaa,", {"AAAA=1"}},
        {"tea\n coffee\n", {}},                   // pending at the end: dropped
        {"tea\ncoffee\n,", {"TEACOFFEE=1"}},      // line feeds alone never finish a word
        {"caf\xe9 au lait,", {"CAF AU LAIT=1"}},  // bytes from 128 up are skipped
        {"tab\tbed;.!?'x,", {"TABBEDX=1"}},
    };
    for (const Case& c : cases) {
        items_.SetUp();
        state_.Reset();
        Feed(c.text);
        EXPECT_EQ(Items(), c.items) << c.text;
    }
}

TEST_F(ReaderTest, NulBytesAreSkippedInsideWords) {
    Feed(std::string_view("t\0e\0a,\0coffee,", 14));
    EXPECT_EQ(Items(), (std::vector<std::string>{"COFFEE=1", "TEA=1"}));
}

TEST_F(ReaderTest, WordsAreCutAtThirtyLetters) {
    const std::string thirty = "abcdefghijklmnopqrstuvwxyzabcd";
    Feed(thirty + "e,");
    Feed(thirty + ",");
    const TItemNode* node = Find("ABCDEFGHIJKLMNOPQRSTUVWXYZABCD");
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->Count, 2);
    EXPECT_EQ(items_.ItemCount(), 1);
}

TEST_F(ReaderTest, ControlZEndsTheRecordAndDropsThePendingWord) {
    EXPECT_FALSE(Feed("tea, coffee\x1a, ham,"));
    EXPECT_EQ(Items(), (std::vector<std::string>{"TEA=1"}));

    // Later chunks of the same read are ignored too.
    RecordReader reader(state_, items_, totals_, symptoms_, hooks_);
    EXPECT_FALSE(reader.Feed("bread\x1a"));
    EXPECT_FALSE(reader.Feed(", jam,"));
    EXPECT_EQ(Find("JAM"), nullptr);
}

TEST_F(ReaderTest, TheExampleDayFillsDayOneAndHashMovesIt) {
    Feed(
        " april 29, friday, tea, potato, egg, sausage, $, coffee, raisen, chicken,\r\n"
        " apple, date, $, salad, coffee, beef, $, Tea, ");
    const std::vector<std::string> day = {"APRIL",   "FRIDAY", "TEA",    "POTATO",  "EGG",
                                          "SAUSAGE", "COFFEE", "RAISEN", "CHICKEN", "APPLE",
                                          "DATE",    "SALAD",  "COFFEE", "BEEF",    "TEA"};
    EXPECT_EQ(Day(0), day);
    EXPECT_EQ(state_.DayItemCount, 15);
    Feed("#,");
    EXPECT_TRUE(Day(0).empty());
    EXPECT_EQ(Day(1), day);
    EXPECT_EQ(state_.DayItemCount, 0);
    EXPECT_EQ(dayEnds_, 1);
}

TEST_F(ReaderTest, AWordDirectlyBeforeHashGoesIntoTheNewDay) {
    Feed("coffee, tea#");
    EXPECT_EQ(Day(0), std::vector<std::string>{"TEA"});
    EXPECT_EQ(Day(1), std::vector<std::string>{"COFFEE"});
}

TEST_F(ReaderTest, SymptomsCreditTheLastThreeDays) {
    struct Case {
        const char* text;
        int32_t hits;
    };
    const Case cases[] = {
        {"tea, headache,", 1},
        {"tea, #, headache,", 1},
        {"tea, #, #, headache,", 1},
        {"tea, #, #, #, headache,", 0},
        {"headache, tea,", 0},                 // before the item on the same day
        {"tea, tea, Headache, HEADACHE,", 4},  // each occurrence, each symptom
        {"tea, head ache,", 0},
    };
    for (const Case& c : cases) {
        items_.SetUp();
        state_.Reset();
        totals_.fill(0);
        Feed(c.text);
        EXPECT_EQ(Hits("TEA", kHeadache), c.hits) << c.text;
    }
    EXPECT_EQ(totals_[kHeadache], 0);  // "head ache" is two words, neither a symptom
    EXPECT_NE(Find("HEAD ACHE"), nullptr);
}

TEST_F(ReaderTest, SymptomWordsAreCountedNotListed) {
    Feed("bread, headache, poor sleep, POOR SLEEP, random, total, #,");
    EXPECT_EQ(Items(), std::vector<std::string>{"BREAD=1"});
    EXPECT_EQ(totals_[kHeadache], 1);
    EXPECT_EQ(totals_[5], 2);
    EXPECT_EQ(totals_[kRandomSymptom], 1);
    EXPECT_EQ(totals_[kTotalSymptom], 1);  // "TOTAL" is a name like the others
    EXPECT_EQ(Hits("BREAD", 5), 2);
    EXPECT_EQ(Hits("BREAD", kRandomSymptom), 1);
}

TEST_F(ReaderTest, DuplicateSymptomNamesCountEachTheLastTakesTheCredit) {
    symptoms_.SetName(3, "HEADACHE");
    symptoms_.SetName(7, "HEADACHE");
    Feed("bread, headache,");
    EXPECT_EQ(totals_[2], 1);
    EXPECT_EQ(totals_[3], 1);
    EXPECT_EQ(totals_[7], 1);
    EXPECT_EQ(state_.MatchedSymptom, 7);
    EXPECT_EQ(Hits("BREAD", 7), 1);
    EXPECT_EQ(Hits("BREAD", 2), 0);
    EXPECT_EQ(Hits("BREAD", 3), 0);
}

TEST_F(ReaderTest, LongSymptomNamesMatchOnTheirFirstThirtyLetters) {
    symptoms_.SetName(4, "ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEFG");
    symptoms_.SetName(5, "lower case");
    symptoms_.SetName(6, "");
    Feed("tea, abcdefghijklmnopqrstuvwxyzabcdxyz, lower case,");
    EXPECT_EQ(totals_[4], 1);
    EXPECT_EQ(totals_[5], 0);
    EXPECT_EQ(totals_[6], 0);
    EXPECT_EQ(Items(), (std::vector<std::string>{"LOWER CASE=1", "TEA=1"}));
}

// The scan skips words whose length and first letter no name has: every name must still
// be found, and a word that shares both with a name but differs later must not be.
TEST_F(ReaderTest, EveryNameIsFoundWhateverItsLengthAndFirstLetter) {
    std::string diary;
    std::vector<std::string> nearMisses;
    for (int i = 1; i <= kSymptomCount; ++i) {
        // Lengths 1 to 22, with a 30-letter name last; first letters Z, Y, X ...
        std::string name(i == kSymptomCount ? kShortNameLength : static_cast<std::size_t>(i),
                         static_cast<char>('A' + i % 26));
        name.front() = static_cast<char>('Z' - i % 26);
        symptoms_.SetName(i, name);
        diary += name + ", ";
        if (name.size() > 1) {  // a one-letter near miss would differ in its first letter
            std::string nearMiss = name;
            nearMiss.back() = nearMiss.back() == 'Q' ? 'R' : 'Q';
            nearMisses.push_back(nearMiss + "=1");
            diary += nearMiss + ", ";
        }
    }
    Feed(diary);
    for (int i = 1; i <= kSymptomCount; ++i) {
        EXPECT_EQ(totals_[i], 1) << "symptom " << i << " \"" << symptoms_.Name(i) << "\"";
    }
    std::sort(nearMisses.begin(), nearMisses.end());
    EXPECT_EQ(Items(), nearMisses);
}

TEST_F(ReaderTest, ChunkBoundariesDoNotMatter) {
    const std::string text =
        "tea, potato,\r\n headache, coffee  ,#, bacon, $, egg, #,# mouth ulcer, ham";
    Feed(text);
    Feed(",");
    const std::vector<std::string> whole = Items();
    const SymptomCounters wholeTotals = totals_;
    const int32_t eggHits = Hits("EGG", 9);
    EXPECT_EQ(eggHits, 1);
    EXPECT_EQ(Hits("TEA", 9), 0);  // three days back
    EXPECT_EQ(Hits("TEA", kHeadache), 1);

    items_.SetUp();
    state_.Reset();
    totals_.fill(0);
    RecordReader reader(state_, items_, totals_, symptoms_, hooks_);
    for (const char c : text + ",") {
        reader.Feed(std::string_view(&c, 1));
    }
    EXPECT_EQ(Items(), whole);
    EXPECT_EQ(totals_, wholeTotals);
    EXPECT_EQ(Hits("EGG", 9), eggHits);
    EXPECT_EQ(Hits("TEA", kHeadache), 1);
}

// A pending word lives in the state between chunks: cut at every byte of a word
// that crosses the thirty-letter limit, with spaces, the reader gives one item.
TEST_F(ReaderTest, AWordSplitAnywhereAcrossChunksIsOneItem) {
    const std::string text = "  two  words and then thirty letters more, tea #";
    Feed(text);
    const std::vector<std::string> whole = Items();
    ASSERT_EQ(whole.size(), 2u);
    for (std::size_t cut = 1; cut < text.size(); ++cut) {
        items_.SetUp();
        state_.Reset();
        totals_.fill(0);
        RecordReader reader(state_, items_, totals_, symptoms_, hooks_);
        reader.Feed(std::string_view(text).substr(0, cut));
        reader.Feed(std::string_view(text).substr(cut));
        EXPECT_EQ(Items(), whole) << "cut at " << cut;
    }
}

// "ITEM" and two letters: distinct words without digits.
std::string ItemWord(int i) {
    return std::string("ITEM") + static_cast<char>('A' + i / 26) + static_cast<char>('A' + i % 26);
}

TEST_F(ReaderTest, TheTwoHundredAndFirstItemReplacesSlotTwoHundredOncePerDay) {
    std::string day;
    for (int i = 0; i < 203; ++i) {
        day += ItemWord(i) + ", ";
    }
    Feed(day);
    EXPECT_EQ(state_.DayItemCount, 200);
    EXPECT_EQ(overflows_, 1);
    EXPECT_EQ(items_.ItemCount(), 203);
    std::vector<std::string> slots = Day(0);
    ASSERT_EQ(slots.size(), 200U);
    EXPECT_EQ(slots[198], ItemWord(198));
    EXPECT_EQ(slots[199], ItemWord(202));

    Feed("late snack, headache,");
    slots = Day(0);
    EXPECT_EQ(slots[199], "LATE SNACK");
    EXPECT_EQ(overflows_, 1);
    EXPECT_EQ(Hits("LATE SNACK", kHeadache), 1);
    EXPECT_EQ(Hits(ItemWord(198), kHeadache), 1);
    EXPECT_EQ(Hits(ItemWord(202), kHeadache), 0);  // replaced before the symptom came

    Feed("#," + day);
    EXPECT_EQ(overflows_, 2);  // once again for the next day
    EXPECT_EQ(dayEnds_, 1);
}

}  // namespace
}  // namespace quorvane
