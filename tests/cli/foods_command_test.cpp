#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/report_process.h"
#include "core/analysis/analysis_test_support.h"

namespace {

using quorvane::testing::ExampleDiaryPath;
using quorvane::testing::Lines;
using quorvane::testing::Outcome;
using quorvane::testing::RunReport;
using quorvane::testing::TempDir;

// Wheat in toast, pasta and pizza, a headache the day after; eggs written two
// ways, raisins misspelt once, pears and peas both eaten.
std::string WheatDiary() {
    const char* dishes[] = {"toast", "pasta", "pizza"};
    std::string text;
    for (int d = 0; d < 120; ++d) {
        text += d % 2 == 0 ? "egg, pear, " : "eggs, peas, ";
        text += d % 4 == 0 ? std::string(dishes[(d / 4) % 3]) + ", " : "";
        text += d % 4 == 1 ? "Headache, " : "";
        text += d % 3 == 0 ? (d == 33 ? "raisen, " : "raisin, ") : "";
        text += "#,\r\n";
    }
    return text;
}

const char* kGroups =
    "[Aliases]\r\nraisen=raisin\r\n[Ingredients]\r\ntoast=wheat\r\npasta=wheat\r\n"
    "pizza=wheat, cheese\r\n[Not Same]\r\nEGG=EGGS\r\n";

TEST(FoodsCommand, AliasesAndIngredientsChangeNoSpecifiedOutput) {
    TempDir dir;
    const std::string base = "[Symptoms]\r\n2=IBS\r\n";
    const std::string plainIni = dir.Write("plain.ini", base);
    const std::string groupedIni = dir.Write("grouped.ini", base + kGroups);
    const std::string aliases = dir.Write("aliases.ini", kGroups);
    for (const std::string& diary : {ExampleDiaryPath(), dir.Write("wheat.txt", WheatDiary())}) {
        for (const char* dump : {"report", "grid", "sorted", "items", "evidence"}) {
            const Outcome plain = RunReport(dir, {diary, "--dump", dump, "--settings", plainIni});
            const Outcome grouped = RunReport(
                dir, {diary, "--dump", dump, "--settings", groupedIni, "--with-suspects"});
            ASSERT_EQ(plain.status, 0) << plain.err;
            EXPECT_FALSE(plain.out.empty());
            EXPECT_EQ(plain.out, grouped.out) << diary << " " << dump;
            EXPECT_EQ(RunReport(dir, {diary, "--dump", dump}).out,
                      RunReport(dir, {diary, "--dump", dump, "--aliases", aliases}).out)
                << diary << " " << dump;
        }
    }
}

TEST(FoodsCommand, TheSuspectsTakeTheGroupsFromEitherFile) {
    TempDir dir;
    const std::string diary = dir.Write("wheat.txt", WheatDiary());
    const std::string aliases = dir.Write("aliases.ini", kGroups);
    const std::string settings = dir.Write("Quorvane.ini", std::string("[Active]\r\n") + kGroups);
    const std::vector<std::string> plain = Lines(RunReport(dir, {diary, "--dump", "suspects"}).out);
    ASSERT_GT(plain.size(), 1u);
    EXPECT_EQ(plain[0].substr(plain[0].rfind('\t')), "\tfrom_items");
    for (const std::string& file : {std::string("--aliases"), std::string("--settings")}) {
        const Outcome run = RunReport(
            dir, {diary, "--dump", "suspects", file, file == "--aliases" ? aliases : settings});
        ASSERT_EQ(run.status, 0) << run.err;
        const std::vector<std::string> lines = Lines(run.out);
        ASSERT_GT(lines.size(), 1u);
        EXPECT_EQ(lines[1].substr(0, lines[1].find('\t')), "WHEAT") << file;
        EXPECT_EQ(lines[1].substr(lines[1].rfind('\t')), "\tPASTA, PIZZA, TOAST");
        EXPECT_EQ(run.out.find("\nRAISEN\t"), std::string::npos);
        EXPECT_NE(run.out.find("\nRAISIN\t"), std::string::npos);
    }
    EXPECT_EQ(RunReport(dir, {diary, "--dump", "suspects", "--aliases", dir.File("none")}).status,
              1);
}

TEST(FoodsCommand, VariantsListsTheSuggestionsLessTheRefused) {
    TempDir dir;
    const std::string diary = dir.Write("wheat.txt", WheatDiary());
    const Outcome all = RunReport(dir, {diary, "--dump", "variants"});
    ASSERT_EQ(all.status, 0) << all.err;
    EXPECT_EQ(Lines(all.out), (std::vector<std::string>{
                                  "rare\tcommon\trare_count\tcommon_count\tkind",
                                  "EGGS\tEGG\t60\t60\tplural", "RAISEN\tRAISIN\t1\t39\tspelling"}));
    const Outcome decided = RunReport(
        dir, {diary, "--dump", "variants", "--aliases", dir.Write("aliases.ini", kGroups)});
    EXPECT_EQ(Lines(decided.out),
              (std::vector<std::string>{"rare\tcommon\trare_count\tcommon_count\tkind"}));
    EXPECT_NE(RunReport(dir, {"--help"}).out.find("--aliases FILE"), std::string::npos);
}

}  // namespace
