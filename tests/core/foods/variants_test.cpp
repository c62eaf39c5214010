#include "core/foods/variants.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "core/evidence/evidence_test_support.h"

namespace {

using quorvane::NamedCount;
using quorvane::VariantKind;
using quorvane::VariantRule;

struct PairCase {
    NamedCount A;
    NamedCount B;
    std::optional<VariantKind> Expected;
};

// Real variants of one food, and real foods that look like one another's slips.
TEST(VariantRules, TellOneFoodWrittenTwoWaysFromLookAlikes) {
    const std::vector<PairCase> cases = {
        {{"EGG", 30}, {"EGGS", 25}, VariantKind::Plural},
        {{"BERRY", 5}, {"BERRIES", 6}, VariantKind::Plural},
        {{"TOMATO", 9}, {"TOMATOES", 3}, VariantKind::Plural},
        {{"PEACH", 9}, {"PEACHES", 3}, VariantKind::Plural},
        {{"LOAF", 2}, {"LOAVES", 2}, VariantKind::Plural},
        {{"GREEN PEPPER", 4}, {"GREEN PEPPERS", 4}, VariantKind::Plural},
        {{"WHITE BREAD", 40}, {"BREAD WHITE", 2}, VariantKind::WordOrder},
        {{"WHITE BREAD", 40}, {"WHITEBREAD", 9}, VariantKind::WordOrder},
        {{"ICE-CREAM", 4}, {"ICE CREAM", 12}, VariantKind::WordOrder},
        {{"CHOCOLATE MILK", 30}, {"MILK CHOCOLATE", 20}, std::nullopt},
        {{"RAISIN", 40}, {"RAISEN", 2}, VariantKind::Spelling},     // substitution
        {{"RAISIN", 16}, {"RIASIN", 2}, VariantKind::Spelling},     // neighbours swapped
        {{"BANANA", 80}, {"BANNANA", 3}, VariantKind::Spelling},    // insertion
        {{"CHICKEN", 80}, {"CHIKEN", 1}, VariantKind::Spelling},    // deletion
        {{"CHICKEN", 80}, {"CHICKNE", 10}, VariantKind::Spelling},  // the last two swapped
        // Look-alikes: short, listed, not rare enough, or two edits apart.
        {{"PEAR", 40}, {"PEAS", 2}, std::nullopt},
        {{"BEEF", 40}, {"BEET", 1}, std::nullopt},
        {{"HAM", 40}, {"YAM", 1}, std::nullopt},
        {{"RICE", 40}, {"RYE", 1}, std::nullopt},
        {{"BEEFS", 40}, {"BEETS", 1}, std::nullopt},
        {{"COFFEE", 400}, {"TOFFEE", 2}, std::nullopt},
        {{"BUTTER", 100}, {"BATTER", 2}, std::nullopt},
        {{"CHIPS", 100}, {"CHOPS", 2}, std::nullopt},
        {{"RAISIN", 15}, {"RAISEN", 2}, std::nullopt},  // 7.5 times: under the ratio
        {{"RAISIN", 40}, {"RIASEN", 1}, std::nullopt},
        {{"MELON", 40}, {"LEMON", 1}, std::nullopt},
        {{"GLASS", 4}, {"GLASSS", 4}, std::nullopt},  // no plural of a word ending in S by S
        {{"BREAD", 9}, {"BREAD", 9}, std::nullopt},
    };
    for (const PairCase& c : cases) {
        EXPECT_EQ(VariantRule(c.A, c.B), c.Expected) << c.A.Name << " / " << c.B.Name;
        EXPECT_EQ(VariantRule(c.B, c.A), c.Expected) << c.B.Name << " / " << c.A.Name;
    }
    // The rule's settings, which the simulator varies.
    EXPECT_EQ(VariantRule({"RAISIN", 15}, {"RAISEN", 2}, {4, 5, true}), VariantKind::Spelling);
    EXPECT_EQ(VariantRule({"COFFEE", 400}, {"TOFFEE", 2}, {8, 5, false}), VariantKind::Spelling);
    EXPECT_EQ(VariantRule({"BEANS", 400}, {"BEAN", 2}, {8, 4, true}), VariantKind::Plural);
    EXPECT_EQ(VariantRule({"SOUP", 400}, {"SOUR", 2}, {8, 4, true}), VariantKind::Spelling);
}

TEST(VariantSuggestions, NameTheRareSpellingFirstAndLeaveOutWhatThePersonDecided) {
    const std::vector<NamedCount> foods = {
        {"RAISIN", 40}, {"RAISEN", 2},  {"EGG", 30},      {"EGGS", 31},       {"PEAR", 20},
        {"PEAS", 20},   {"TOMATO", 12}, {"TOMATOES", 12}, {"WHITE BREAD", 5}, {"WHITEBREAD", 1},
        {"BERRY", 3},   {"BERRIES", 1}, {"WATER", 90},    {"MATER", 3}};
    quorvane::FoodGroups groups;
    groups.Aliases["BERRIES"] = "BERRY";
    groups.NotSame.insert({"MATER", "WATER"});
    const std::vector<quorvane::VariantSuggestion> found = SuggestVariants(foods, groups);
    std::vector<std::string> pairs;
    for (const auto& s : found) {
        pairs.push_back(s.Rare + ">" + s.Common + " " + std::string(VariantKindName(s.Kind)) + " " +
                        std::to_string(s.RareCount) + "/" + std::to_string(s.CommonCount));
    }
    EXPECT_EQ(pairs, (std::vector<std::string>{
                         "RAISEN>RAISIN spelling 2/40", "EGG>EGGS plural 30/31",
                         "TOMATOES>TOMATO plural 12/12", "WHITEBREAD>WHITE BREAD word-order 1/5"}));
}

// From a read: calendar words, symptom names and the user's Not Foods are no
// foods, so THURSDAY / THURSDAYS or a symptom's plural are never offered.
TEST(VariantSuggestions, ComeFromTheFoodsOfARead) {
    quorvane::testing::EvidenceRun run;
    std::string diary;
    for (int d = 0; d < 30; ++d) {
        diary += "Thursday, Thursdays, vitamin, vitamins, headache, headaches, ";
        diary += d == 3 ? "chiken, " : "chicken, ";
        diary += "#,\r\n";
    }
    run.Analyse(diary);
    const std::vector<std::string> notFoods = {"Vitamin"};
    const auto found = quorvane::SuggestVariants(run.Evidence(), run.Engine.Items(), notFoods, {});
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].Rare + ">" + found[0].Common, "CHIKEN>CHICKEN");
    EXPECT_EQ(found[0].CommonCount, 29);
}

}  // namespace
