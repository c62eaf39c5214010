#include <gtest/gtest.h>

#include <random>
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

// A diary of random days: items, symptoms in any case, meals, overfull days.
std::string RandomDiary(uint32_t seed) {
    const std::vector<std::string> words = {"tea",      "coffee", "white bread", "egg",
                                            "Headache", "ibs",    "random",      "stressed",
                                            "ham",      "potato", "milk",        "apple"};
    std::mt19937 random(seed);
    std::string text;
    const int days = 30 + static_cast<int>(random() % 200);
    for (int day = 0; day < days; ++day) {
        text += "may " + std::to_string(day % 31 + 1) + ", ";
        const int count = random() % 15 == 0 ? 210 : static_cast<int>(random() % 25);
        for (int i = 0; i < count; ++i) {
            text += words[random() % words.size()] + (random() % 5 == 0 ? ", $,\r\n" : ", ");
        }
        text += "#,\r\n";
    }
    return text;
}

TEST(EvidenceCommand, GatheringTheEvidenceChangesNoOtherOutput) {
    TempDir dir;
    std::vector<std::string> diaries = {ExampleDiaryPath()};
    for (uint32_t seed = 1; seed <= 4; ++seed) {
        diaries.push_back(dir.Write("diary" + std::to_string(seed) + ".txt", RandomDiary(seed)));
    }
    for (const std::string& diary : diaries) {
        for (const char* dump : {"report", "grid", "sorted", "items"}) {
            for (const char* minimum : {"1", "3"}) {
                const Outcome plain =
                    RunReport(dir, {diary, "--dump", dump, "--min-count", minimum});
                const Outcome gathered = RunReport(
                    dir, {diary, "--dump", dump, "--min-count", minimum, "--with-evidence"});
                ASSERT_EQ(plain.status, 0) << diary;
                EXPECT_EQ(gathered.status, 0);
                EXPECT_FALSE(plain.out.empty());
                EXPECT_EQ(plain.out, gathered.out) << diary << " " << dump << " " << minimum;
            }
        }
    }
}

TEST(EvidenceCommand, DumpsOneLinePerWrittenCell) {
    TempDir dir;
    const Outcome run = RunReport(dir, {ExampleDiaryPath(), "--dump", "evidence"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(Lines(run.out),
              (std::vector<std::string>{
                  "item\tsymptom\tcount\thits\tlag0\tlag1\tlag2\ta\tb\tc\td\trisk_ratio\tp_value\t"
                  "evidence_days",
                  "COFFEE\tHEADACHE\t3\t2\t0\t2\t0\t1\t1\t0\t0\tn/a\t1\t"
                  "april 30, saturday, bacon, egg, headache",
                  "COFFEE\tTOTAL\t3\t2\t0\t2\t0\t1\t1\t0\t0\tn/a\t1\t"
                  "april 30, saturday, bacon, egg, headache"}));

    // As many lines as the grid has correlation cells at the same minimum.
    const std::string diary = dir.Write("random.txt", RandomDiary(9));
    const Outcome evidence = RunReport(dir, {diary, "--dump", "evidence", "--min-count", "2"});
    const Outcome grid = RunReport(dir, {diary, "--dump", "grid", "--min-count", "2"});
    std::size_t cells = 0;
    for (const std::string& line : Lines(grid.out)) {
        cells += line.find(" times") != std::string::npos ? 1 : 0;
    }
    EXPECT_GT(cells, 0U);
    EXPECT_EQ(Lines(evidence.out).size(), cells + 1);
}

TEST(EvidenceCommand, ListsTenEvidenceDaysThenCountsTheRest) {
    TempDir dir;
    std::string text;
    for (int day = 1; day <= 12; ++day) {
        text += "june " + std::to_string(day) + ", salt, headache, #,\r\n";
    }
    const Outcome run =
        RunReport(dir, {dir.Write("salt.txt", text), "--dump", "evidence", "--min-count", "1"});
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_GE(lines.size(), 2U);
    const std::string& salt = lines[lines.size() - 2];  // SALT/HEADACHE, before SALT/TOTAL
    EXPECT_EQ(salt.substr(0, salt.find("\tjune")),
              "SALT\tHEADACHE\t12\t33\t12\t11\t10\t12\t0\t0\t0\tn/a\t1");
    EXPECT_NE(salt.find("\tjune 1, salt, headache, | june 2, salt, headache, | june 3,"),
              std::string::npos);
    EXPECT_EQ(salt.substr(salt.size() - 10), " | +2 more");
}

}  // namespace
