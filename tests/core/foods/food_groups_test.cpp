#include "core/foods/food_groups.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "core/analysis/analysis_test_support.h"
#include "core/evidence/evidence_test_support.h"
#include "core/evidence/not_foods.h"
#include "core/evidence/suspect_days.h"
#include "core/evidence/suspects.h"
#include "core/evidence/suspects_text.h"
#include "core/settings/profile_file.h"
#include "core/settings/settings_store.h"

namespace {

using quorvane::FoodGroups;

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
using quorvane::ProfileFile;

TEST(FoodGroupsFile, ReadsTheUsersWordsFoldedAndSkipsWhatSaysNothing) {
    const ProfileFile profile = ProfileFile::FromBytes(
        "[aliases]\r\nraisen = Raisin\r\nRAISEN=CURRANT\r\nToast=toast\r\nempty=\r\n"
        "bread white=WHITE BREAD\r\nbrioche=BREAD WHITE\r\n"
        "[Ingredients]\r\nPizza=wheat, Cheese ,,tomato, wheat\r\nDOUGH=WHEAT, YEAST\r\n"
        "calzone=dough, cheese\r\nSalad=salad\r\nsoup=\r\n"
        "[Not Same]\r\nPEAS=pear, PEARL\r\n");
    const FoodGroups groups = quorvane::ReadFoodGroups(profile);
    // The first line of a key is the one read; an alias of a name to itself is none.
    EXPECT_EQ(groups.Aliases, (std::map<std::string, std::string>{{"RAISEN", "RAISIN"},
                                                                  {"BREAD WHITE", "WHITE BREAD"},
                                                                  {"BRIOCHE", "BREAD WHITE"}}));
    EXPECT_EQ(groups.FoodOf("BRIOCHE"), "WHITE BREAD");
    EXPECT_EQ(groups.FoodOf("PEAS"), "PEAS");
    EXPECT_EQ(groups.Ingredients.size(), 3u);
    EXPECT_EQ(groups.Ingredients.at("PIZZA"),
              (std::vector<std::string>{"WHEAT", "CHEESE", "TOMATO"}));
    EXPECT_EQ(groups.IngredientsOf("CALZONE"),
              (std::vector<std::string>{"DOUGH", "CHEESE", "WHEAT", "YEAST"}));
    EXPECT_TRUE(groups.Refused("PEAR", "PEAS"));
    EXPECT_TRUE(groups.Refused("PEARL", "PEAS"));
    EXPECT_FALSE(groups.Refused("PEAR", "PEARL"));
    EXPECT_TRUE(quorvane::ReadFoodGroups(ProfileFile::FromBytes("[Options]\r\nA=B\r\n")).Empty());

    // A cycle of aliases is one food whichever name a lookup starts from; a dish
    // in itself adds nothing.
    FoodGroups cycle;
    cycle.Aliases = {{"A", "B"}, {"B", "C"}, {"C", "A"}};
    cycle.Ingredients = {{"C", {"B", "D"}}, {"D", {"A", "E"}}};
    EXPECT_EQ(cycle.FoodOf("A"), "A");
    EXPECT_EQ(cycle.FoodOf("C"), "A");
    EXPECT_EQ(cycle.IngredientsOf("E"), std::vector<std::string>());
    EXPECT_EQ(cycle.IngredientsOf("B"), (std::vector<std::string>{"D", "E"}));
}

// The lines of `before` in `after`, in order and byte for byte.
bool KeptInOrder(const std::string& before, const std::string& after) {
    std::istringstream old(before);
    std::istringstream now(after);
    std::string want;
    std::string have;
    while (std::getline(old, want)) {
        do {
            if (!std::getline(now, have)) {
                return false;
            }
        } while (have != want);
    }
    return true;
}

// Every key of the settings file's own sections, as the program reads them.
std::map<std::string, std::string> SpecifiedKeys(const std::string& path) {
    const ProfileFile profile(path);
    std::map<std::string, std::string> keys;
    auto read = [&](const char* section, const std::string& key) {
        keys[std::string(section) + "/" + key] = profile.ReadString(section, key, "<absent>");
    };
    read("Active", "main");
    read("Configuration", "MainFile");
    read("Configuration", "Name");
    read("Options", "Sound");
    read("Options", "Level");
    for (int n = 2; n <= 21; ++n) {
        read("Symptoms", std::to_string(n));
    }
    for (int n = 0; n <= 47; ++n) {
        read("Composer", std::to_string(n));
    }
    return keys;
}

TEST(FoodGroupsFile, WritingThemKeepsEveryLineAndKeyOfTheSettingsFile) {
    quorvane::testing::TempDir dir;
    const std::string path = quorvane::SettingsPath(dir.File(""));
    {
        ProfileFile file(path);
        quorvane::SymptomTable symptoms;
        (void)quorvane::LoadSettings(file, symptoms);  // the first run's content
    }
    // A hand-edited file: a comment, an unknown key, a quoted value, and an
    // "Aliases" section already in the middle.
    std::string before = ReadAll(path);
    before.insert(before.find("[Symptoms]"),
                  "; mine\r\n[Aliases]\r\nRAISEN=RAISIN\r\n\r\n[Mine]\r\nx = \"quoted\"\r\n\r\n");
    dir.Write("Quorvane.ini", before);
    const auto keysBefore = SpecifiedKeys(path);

    ProfileFile file(path);
    EXPECT_TRUE(quorvane::WriteAlias(file, "eggs", "egg"));
    EXPECT_TRUE(quorvane::WriteIngredients(file, "Pizza",
                                           std::vector<std::string>{"wheat, cheese", "tomato"}));
    EXPECT_TRUE(quorvane::WriteNotSame(file, "PEAS", "PEAR"));
    EXPECT_TRUE(quorvane::WriteNotSame(file, "PEAR", "PEAS"));  // remembered once
    EXPECT_TRUE(quorvane::WriteNotSame(file, "PEARL", "PEAR"));
    EXPECT_FALSE(quorvane::WriteAlias(file, "A=B", "C"));
    EXPECT_FALSE(quorvane::WriteAlias(file, "[X", "C"));
    EXPECT_FALSE(quorvane::WriteAlias(file, "X", " "));
    const std::string after = ReadAll(path);

    EXPECT_TRUE(KeptInOrder(before, after)) << after;
    EXPECT_EQ(SpecifiedKeys(path), keysBefore);
    const FoodGroups groups = quorvane::ReadFoodGroups(ProfileFile(path));
    EXPECT_EQ(groups.Aliases,
              (std::map<std::string, std::string>{{"EGGS", "EGG"}, {"RAISEN", "RAISIN"}}));
    EXPECT_EQ(groups.Ingredients.at("PIZZA"),
              (std::vector<std::string>{"WHEAT", "CHEESE", "TOMATO"}));
    EXPECT_EQ(ProfileFile(path).ReadString("Not Same", "PEAR", ""), "PEAS, PEARL");
    // The new key joined the section where it stood; new sections went at the end.
    EXPECT_LT(after.find("EGGS=EGG"), after.find("[Symptoms]"));
    EXPECT_GT(after.find("[Ingredients]"), after.find("[Composer]"));
    // An empty list takes a dish's ingredients away.
    EXPECT_TRUE(quorvane::WriteIngredients(file, "PIZZA", std::vector<std::string>{}));
    EXPECT_TRUE(quorvane::ReadFoodGroups(ProfileFile(path)).Ingredients.empty());
}

// Toast on day 0, pasta on day 2 after the coffee, wheat itself on day 4, toast
// and pasta on day 6, wheat flakes (an alias of wheat) on day 8; raisen on 1.
std::string CraftedDiary() {
    return "toast, coffee, #,\r\nraisen, #,\r\ncoffee, pasta, #,\r\nraisin, #,\r\n"
           "coffee, wheat, #,\r\n#,\r\ncoffee, pasta, toast, #,\r\n#,\r\nwheat flakes, #,\r\n";
}

TEST(GroupedFoods, AnIngredientIsEatenWheneverOneOfItsDishesIs) {
    quorvane::testing::EvidenceRun run;
    run.Analyse(CraftedDiary());
    FoodGroups groups;
    groups.Aliases = {{"RAISEN", "RAISIN"}, {"WHEAT FLAKES", "WHEAT"}};
    groups.Ingredients = {{"TOAST", {"WHEAT", "BUTTER"}}, {"PASTA", {"WHEAT"}}};
    const auto index = run.Evidence().IndexItemDays(true);
    const quorvane::NotFoods none({}, run.Evidence());
    quorvane::FoodStorage storage;
    const std::vector<quorvane::Food> foods =
        CollectFoods(run.Evidence(), index, run.Engine.Items(), none, groups, storage);
    std::map<std::string, const quorvane::Food*> byName;
    for (const quorvane::Food& food : foods) {
        byName[std::string(food.Name)] = &food;
    }
    // The alias is no food of its own; the dishes stay foods besides.
    EXPECT_EQ(byName.count("RAISEN"), 0u);
    EXPECT_EQ(byName.count("WHEAT FLAKES"), 0u);
    ASSERT_EQ(byName.count("TOAST"), 1u);
    EXPECT_TRUE(byName["TOAST"]->FromItems.empty());
    EXPECT_NE(byName["TOAST"]->Node, nullptr);

    const quorvane::Food& wheat = *byName.at("WHEAT");
    EXPECT_EQ(wheat.Node, nullptr);
    EXPECT_EQ(wheat.FromItems, "PASTA, TOAST, WHEAT, WHEAT FLAKES");
    EXPECT_EQ(std::vector<uint32_t>(wheat.Days.begin(), wheat.Days.end()),
              (std::vector<uint32_t>{0, 2, 4, 6, 8}));
    // Day 6: pasta came second, toast third: the earliest, and two helpings.
    EXPECT_EQ(std::vector<uint16_t>(wheat.Positions.begin(), wheat.Positions.end()),
              (std::vector<uint16_t>{0, 1, 1, 1, 0}));
    EXPECT_EQ(std::vector<uint8_t>(wheat.Helpings.begin(), wheat.Helpings.end()),
              (std::vector<uint8_t>{1, 1, 1, 2, 1}));
    const quorvane::Food& butter = *byName.at("BUTTER");
    EXPECT_EQ(butter.FromItems, "TOAST");
    EXPECT_EQ(butter.Days.size(), 2u);
    const quorvane::Food& raisin = *byName.at("RAISIN");
    EXPECT_EQ(std::vector<uint32_t>(raisin.Days.begin(), raisin.Days.end()),
              (std::vector<uint32_t>{1, 3}));
    EXPECT_EQ(raisin.FromItems, "RAISEN, RAISIN");

    // Without groups the foods are the items as written.
    const auto plain = CollectFoods(run.Evidence(), index, run.Engine.Items(), none, {}, storage);
    EXPECT_EQ(plain.size(), 7u);
}

// Wheat in toast, pasta and pizza, never alone, and a headache the day after
// wheat: with the groups WHEAT is the strongest suspect, said where its days
// came from; the other rows are the same rows in a larger family.
TEST(GroupedFoods, TheSuspectsTestTheIngredientBesideTheDishes) {
    std::string diary;
    const char* dishes[] = {"toast", "pasta", "pizza"};
    for (int d = 0; d < 150; ++d) {
        diary += d % 2 == 0 ? "tea, " : "coffee, ";
        diary += d % 4 == 0 ? std::string(dishes[(d / 4) % 3]) + ", " : "";
        diary += d % 4 == 1 ? "headache, " : "";
        diary += d % 7 == 0 ? "raisen, " : "";
        diary += "#,\r\n";
    }
    quorvane::testing::EvidenceRun run;
    run.Analyse(diary);
    FoodGroups groups;
    groups.Ingredients = {
        {"TOAST", {"WHEAT"}}, {"PASTA", {"WHEAT"}}, {"PIZZA", {"WHEAT", "CHEESE"}}};
    groups.Aliases = {{"RAISEN", "RAISIN"}};
    const auto plain = quorvane::FindSuspects(run.Evidence(), run.Engine.Items(), {});
    const auto grouped = quorvane::FindSuspects(run.Evidence(), run.Engine.Items(), {}, groups);
    const auto empty = quorvane::FindSuspects(run.Evidence(), run.Engine.Items(), {}, FoodGroups());
    ASSERT_EQ(grouped.Symptoms.size(), 1u);
    const auto& rows = grouped.Symptoms[0].Rows;
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows[0].Item, "WHEAT");
    EXPECT_EQ(rows[0].FromItems, "PASTA, PIZZA, TOAST");
    EXPECT_EQ(rows[0].Table.A + rows[0].Table.B, 38);
    EXPECT_EQ(rows[0].Tier, quorvane::SuspectTier::Strong);
    // WHEAT and CHEESE join; RAISEN becomes RAISIN.
    EXPECT_EQ(grouped.PairsTested, plain.PairsTested + 2);
    for (const auto& row : plain.Symptoms[0].Rows) {
        EXPECT_NE(row.Item, "WHEAT");
        EXPECT_GT(row.PValue, rows[0].PValue) << row.Item;
    }
    const std::vector<std::string> fields = quorvane::SuspectFields(rows[0], grouped.PairsTested);
    EXPECT_EQ(fields.back(), "PASTA, PIZZA, TOAST");
    EXPECT_NE(fields[23].find("Its days are those you wrote PASTA, PIZZA and TOAST."),
              std::string::npos);

    std::ostringstream a;
    std::ostringstream b;
    WriteSuspectsTable(plain, quorvane::TableFormat::Tsv, a);
    WriteSuspectsTable(empty, quorvane::TableFormat::Tsv, b);
    EXPECT_EQ(a.str(), b.str());
}

}  // namespace
