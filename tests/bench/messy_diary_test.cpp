#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/analysis/analysis.h"
#include "core/evidence/suspects.h"
#include "food_names.h"
#include "messy_diary.h"
#include "messy_scenarios.h"
#include "seeded_random.h"
#include "suspect_orderings.h"

namespace quorvane::bench {
namespace {

MessyShape AllTheMess() {
    MessyShape shape;
    shape.MinDays = 120;
    shape.MaxDays = 720;
    shape.MondayFactor = 1.5;
    shape.SeasonalFoods = 6;
    shape.Seasonal = 0.5;
    shape.LagJitter = true;
    shape.Dose = true;
    shape.Misspelled = 0.05;
    shape.Symptoms = {{"Headache", 0.03, {{0, 0.10, 0.45}, {1, 0.08, 0.45}}, true, true},
                      {"Stomach ache", 0.04, {{1, 0.12, 0.45}}, false, false}};
    return shape;
}

int SymptomIndex(const std::string& name) {
    for (int i = 1; i <= kSymptomCount; ++i) {
        if (SymptomTable::BuiltInName(i) == name) {
            return i;
        }
    }
    return 0;
}

// True when one substitution, deletion, insertion or swap of neighbours turns a into b.
bool OneEdit(const std::string& a, const std::string& b) {
    if (a.size() == b.size()) {
        std::vector<std::size_t> differ;
        for (std::size_t i = 0; i < a.size(); ++i) {
            if (a[i] != b[i]) {
                differ.push_back(i);
            }
        }
        return differ.size() == 1 || (differ.size() == 2 && differ[1] == differ[0] + 1 &&
                                      a[differ[0]] == b[differ[1]] && a[differ[1]] == b[differ[0]]);
    }
    const std::string& longer = a.size() > b.size() ? a : b;
    const std::string& shorter = a.size() > b.size() ? b : a;
    if (longer.size() != shorter.size() + 1) {
        return false;
    }
    std::size_t i = 0;
    while (i < shorter.size() && shorter[i] == longer[i]) {
        ++i;
    }
    return shorter.compare(i, std::string::npos, longer, i + 1) == 0;
}

class MessyDiaryTest : public ::testing::Test {
  protected:
    const SymptomTable symptoms_;
    Analysis analysis_{symptoms_};
};

TEST_F(MessyDiaryTest, SameSeedSameDiaryAndLengthsVaryWithinTheRange) {
    const MessyShape shape = AllTheMess();
    EXPECT_EQ(SimulateMessyDiary(7, shape).Text, SimulateMessyDiary(7, shape).Text);
    EXPECT_NE(SimulateMessyDiary(7, shape).Text, SimulateMessyDiary(8, shape).Text);
    std::set<int> lengths;
    for (uint64_t seed = 1; seed <= 20; ++seed) {
        const int days = SimulateMessyDiary(seed, shape).Days;
        EXPECT_GE(days, 120);
        EXPECT_LE(days, 720);
        lengths.insert(days);
    }
    EXPECT_GT(lengths.size(), 10u);
}

TEST_F(MessyDiaryTest, FoodNamesAreLettersOfNoSymptomOrCalendarWord) {
    Random random(3);
    const std::vector<std::string> names = MakeFoodNames(random, 2000);
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), names.size());
    for (const std::string& name : names) {
        EXPECT_TRUE(std::all_of(name.begin(), name.end(), [](char c) {
            return (c >= 'a' && c <= 'z') || c == ' ';
        })) << name;
        EXPECT_LE(name.size(), 30u) << name;
        EXPECT_FALSE(ReservedWord(Upper(name))) << name;
    }
    EXPECT_TRUE(ReservedWord("HEADACHE"));
    EXPECT_TRUE(ReservedWord("MAY"));
    EXPECT_TRUE(ReservedWord("RED MONDAY"));
    for (int i = 0; i < 200; ++i) {
        const std::string& name = names[static_cast<std::size_t>(i)];
        const std::string typo = Misspell(random, name);
        EXPECT_TRUE(OneEdit(name, typo)) << name << " -> " << typo;
        EXPECT_LE(typo.size(), 30u) << typo;
    }
}

// What the reader makes of a long-tail diary: rare foods, staples, two symptoms
// whose attacks run over several days.
TEST_F(MessyDiaryTest, LongTailAndMultiDayAttacksReachTheReader) {
    MessyShape shape;
    shape.Symptoms = {{"Headache", 0.04, {{0, 0.10, 0.3}}}, {"Stomach ache", 0.04, {}}};
    const MessyDiary diary = SimulateMessyDiary(11, shape);
    ReadDiary(diary.Text, analysis_);
    const DiaryEvidence& evidence = analysis_.Evidence();
    ASSERT_EQ(evidence.DayCount(), 240u);
    const std::set<std::string> foods(diary.Foods.begin(), diary.Foods.end());
    int rare = 0;
    int nearlyDaily = 0;
    for (const TItemNode& node : analysis_.Items().Entries()) {
        if (foods.count(node.Name) == 0) {
            continue;
        }
        const std::size_t days = evidence.ItemDays(node).size();
        rare += days >= 1 && days <= 3;
        nearlyDaily += days >= 200;
    }
    EXPECT_GE(rare, 40);
    EXPECT_GE(nearlyDaily, 3);
    for (const PlantedSymptom& planted : diary.Symptoms) {
        const std::vector<uint32_t>& days = evidence.SymptomDays(SymptomIndex(planted.Name));
        std::map<int, int> runs;  // length -> count
        for (std::size_t i = 0; i < days.size();) {
            std::size_t j = i + 1;
            while (j < days.size() && days[j] == days[j - 1] + 1) {
                ++j;
            }
            ++runs[static_cast<int>(j - i)];
            i = j;
        }
        EXPECT_GT(runs[1], 0) << planted.Name;
        EXPECT_GT(runs[2] + runs[3], 0) << planted.Name;
        int episodes = 0;
        for (const auto& [length, count] : runs) {
            episodes += count;
        }
        // Attacks back to back read as one.
        EXPECT_LE(episodes, static_cast<int>(planted.Onsets.size()));
        EXPECT_GE(episodes, static_cast<int>(planted.Onsets.size()) * 3 / 4);
    }
}

TEST_F(MessyDiaryTest, TyposDosesAndTheProdromeAreInTheDiary) {
    const MessyDiary diary = SimulateMessyDiary(5, AllTheMess());
    ReadDiary(diary.Text, analysis_);
    const DiaryEvidence& evidence = analysis_.Evidence();
    const std::set<std::string> foods(diary.Foods.begin(), diary.Foods.end());
    int64_t mentions = 0;
    int64_t typos = 0;
    for (const TItemNode& node : analysis_.Items().Entries()) {
        if (IsCalendarOrPhrase(node.Name)) {
            continue;
        }
        mentions += node.Count;
        if (foods.count(node.Name) == 0) {
            typos += node.Count;
            EXPECT_TRUE(
                std::any_of(diary.Foods.begin(), diary.Foods.end(),
                            [&](const std::string& food) { return OneEdit(food, node.Name); }))
                << node.Name;
        }
    }
    ASSERT_GT(mentions, 1000);
    EXPECT_NEAR(static_cast<double>(typos) / static_cast<double>(mentions), 0.05, 0.02);

    const PlantedSymptom& headache = diary.Symptoms[0];
    ASSERT_EQ(headache.Triggers.size(), 2u);
    const auto node = [&](const std::string& name) -> const TItemNode& {
        for (const TItemNode& item : analysis_.Items().Entries()) {
            if (item.Name == name) {
                return item;
            }
        }
        ADD_FAILURE() << name << " never read";
        return *analysis_.Items().First();
    };
    // Two helpings are written as two mentions on one day.
    const TItemNode& trigger = node(headache.Triggers[0]);
    EXPECT_GT(static_cast<std::size_t>(trigger.Count), evidence.ItemDays(trigger).size() * 5 / 4);

    // The craved food comes on the day before most onsets, rarely otherwise.
    const std::vector<uint32_t> craved = evidence.ItemDays(node(headache.Craved));
    const std::set<uint32_t> cravedDays(craved.begin(), craved.end());
    int before = 0;
    for (const int onset : headache.Onsets) {
        before += onset > 0 && cravedDays.count(static_cast<uint32_t>(onset - 1)) != 0;
    }
    ASSERT_GE(headache.Onsets.size(), 5u);
    EXPECT_GT(before, static_cast<int>(headache.Onsets.size()) * 2 / 5);
    EXPECT_LT(static_cast<double>(craved.size()) / diary.Days, 0.2);

    // The partner comes with the first trigger on most of its days.
    const std::vector<uint32_t> triggerDays = evidence.ItemDays(trigger);
    const std::vector<uint32_t> partnerDays = evidence.ItemDays(node(headache.Partner));
    std::vector<uint32_t> both;
    std::set_intersection(triggerDays.begin(), triggerDays.end(), partnerDays.begin(),
                          partnerDays.end(), std::back_inserter(both));
    EXPECT_NEAR(static_cast<double>(both.size()) / triggerDays.size(), 0.7, 0.15);
}

SuspectRow Row(const char* item, SuspectTier tier, double rawP, DayTable table) {
    SuspectRow row;
    row.Item = item;
    row.Tier = tier;
    row.RawP = rawP;
    row.PValue = std::min(1.0, 3 * rawP);
    row.Table = table;
    return row;
}

// A food seen once with an onset has a high Katz bound and a middling p: the two
// orderings must place it apart.
TEST(SuspectOrderings, KatzBoundFavoursTheOneDayFoodAndRawPTheSteadyOne) {
    const std::vector<SuspectRow> rows = {
        Row("ONCE", SuspectTier::NotEnoughData, 0.09, {1, 0, 21, 217}),
        Row("STEADY", SuspectTier::NotEnoughData, 0.004, {5, 6, 17, 211}),
        Row("PLAIN", SuspectTier::NotEnoughData, 0.004, {4, 4, 18, 213}),
        Row("STRONGER TIER", SuspectTier::Suggestive, 0.5, {2, 20, 20, 197}),
    };
    const RowOrder katz = KatzBoundOrder(rows);
    EXPECT_EQ(PlaceOf(katz, "STRONGER TIER"), 1);
    EXPECT_EQ(PlaceOf(katz, "ONCE"), 2);
    const RowOrder raw = RawPOrder(rows);
    EXPECT_EQ(PlaceOf(raw, "STEADY"), 1);  // the tie goes to more exposed days
    EXPECT_EQ(PlaceOf(raw, "PLAIN"), 2);
    EXPECT_EQ(PlaceOf(raw, "ONCE"), 3);
    EXPECT_EQ(PlaceOf(raw, "MISSING"), 0);
}

}  // namespace
}  // namespace quorvane::bench
