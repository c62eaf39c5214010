#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/report_process.h"
#include "core/analysis/analysis_test_support.h"

using quorvane::testing::ExampleDiaryPath;
using quorvane::testing::Lines;
using quorvane::testing::Outcome;
using quorvane::testing::RunReport;
using quorvane::testing::TempDir;

TEST(ReportCommand, PrintsTheReportOfTheExampleDiary) {
    TempDir dir;
    const Outcome run = RunReport(dir, {ExampleDiaryPath()});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 7U + 6 + 6 * 3 + 6);
    EXPECT_EQ(lines[0], "Quorvane Environmental Art Printout");
    EXPECT_EQ(lines[6], " ");
    EXPECT_EQ(lines[7], " HEADACHE\t");
    EXPECT_EQ(lines[8], " 1\t");
    EXPECT_EQ(lines[9], " 006.0  COFFEE  3 times\t");
    EXPECT_EQ(lines[31], " TOTAL\t");
    EXPECT_EQ(lines[33], " 006.0  COFFEE  3 times\t");
    EXPECT_EQ(run.out.back(), '\n');
    EXPECT_EQ(run.out.find('\r'), std::string::npos);
}

TEST(ReportCommand, OptionsReachTheAnalysis) {
    TempDir dir;
    const Outcome run = RunReport(dir, {ExampleDiaryPath(), "--min-count", " 1",
                                        "--decimal-separator", ",", "--column-width=10"});
    EXPECT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_GT(lines.size(), 12U);
    EXPECT_EQ(lines[9], " 000,0  FR\t");  // lowest value first, cut to nine characters
    EXPECT_NE(run.out.find(" 004,5  PO\t"), std::string::npos);
}

TEST(ReportCommand, DumpsItemsGridAndSortedGrid) {
    TempDir dir;
    const Outcome items = RunReport(dir, {ExampleDiaryPath(), "--dump", "items"});
    EXPECT_EQ(items.status, 0);
    const std::vector<std::string> itemLines = Lines(items.out);
    ASSERT_EQ(itemLines.size(), 1U + 21 + 1);
    EXPECT_EQ(itemLines[0], "AAA\t1\t0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0");
    EXPECT_EQ(itemLines[6], "COFFEE\t3\t0 2 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 2");
    EXPECT_EQ(itemLines[2], "APRIL\t2\t0 2 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0");
    EXPECT_EQ(itemLines.back(), "symptom_totals: 0 1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 1");

    const Outcome grid = RunReport(dir, {ExampleDiaryPath(), "--dump", "grid"});
    const std::vector<std::string> gridLines = Lines(grid.out);
    ASSERT_FALSE(gridLines.empty());
    EXPECT_EQ(gridLines[0], "rows=23 cols=24");
    EXPECT_EQ(gridLines[1], "0\t1\tcount");
    EXPECT_NE(grid.out.find("\n7\t0\tCOFFEE\n7\t1\t3\n7\t3\t006.0  COFFEE  3 times\n7\t23\t"),
              std::string::npos);

    const Outcome sorted = RunReport(dir, {ExampleDiaryPath(), "--dump", "sorted"});
    EXPECT_NE(sorted.out.find("\n21\t3\t 0000\n"), std::string::npos);
    EXPECT_NE(sorted.out.find("\n22\t3\t006.0  COFFEE  3 times\n"), std::string::npos);
    EXPECT_EQ(sorted.out.find("\n7\t3\t"), std::string::npos);
}

TEST(ReportCommand, SymptomNamesFromAFile) {
    TempDir dir;
    std::string names = "HEADACHE\r\nSALAD\r\n";
    for (int slot = 4; slot <= 21; ++slot) {
        names += "SLOT" + std::string(1, static_cast<char>('A' + slot)) + "\n";
    }
    const Outcome run = RunReport(
        dir, {ExampleDiaryPath(), "--symptoms", dir.Write("names.txt", names), "--dump", "items"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Lines(run.out).back(), "symptom_totals: 0 1 1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 2");
    EXPECT_EQ(run.out.find("\nSALAD\t"), std::string::npos);  // now a symptom, not an item

    const Outcome shortFile =
        RunReport(dir, {ExampleDiaryPath(), "--symptoms", dir.Write("short.txt", "HEADACHE\n")});
    EXPECT_EQ(shortFile.status, 1);
    EXPECT_NE(shortFile.err.find("1 of the 20 symptom names"), std::string::npos);
}

TEST(ReportCommand, DayOverflowIsToldOncePerDayOnStandardError) {
    TempDir dir;
    std::string day;
    for (int i = 0; i < 230; ++i) {
        day += std::string("food") + static_cast<char>('a' + i / 26) +
               static_cast<char>('a' + i % 26) + ", ";
    }
    const Outcome run = RunReport(dir, {dir.Write("d.txt", day + "#,\r\n" + day + "#,\r\n")});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "too many items per day\ntoo many items per day\n");
    EXPECT_EQ(Lines(run.out).size(), 7U + 7 * 3 + 2 + 3);
}

TEST(ReportCommand, AnalysisErrorsExitWithStatusOne) {
    TempDir dir;
    struct Case {
        std::vector<std::string> arguments;
        std::string message;
    };
    const Case cases[] = {
        {{dir.File("missing.txt")}, "File not found\n"},
        {{dir.File("")}, "File access denied\n"},
        {{ExampleDiaryPath(), "--min-count", "three"}, "'three' is not a valid integer value\n"},
        {{ExampleDiaryPath(), "--symptoms", dir.File("none.txt")},
         "Cannot open file " + dir.File("none.txt") + "\n"},
    };
    for (const Case& c : cases) {
        const Outcome run = RunReport(dir, c.arguments);
        EXPECT_EQ(run.status, 1) << c.arguments[0];
        EXPECT_EQ(run.err, c.message);
        EXPECT_EQ(run.out, "");
    }
}

TEST(ReportCommand, BadArgumentsPrintTheUsageAndExitWithStatusTwo) {
    TempDir dir;
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"a.txt", "b.txt"},
        {"a.txt", "--dump", "everything"},
        {"a.txt", "--dump"},
        {"a.txt", "--column-width", "wide"},
        {"a.txt", "--decimal-separator", ".."},
        {"a.txt", "--colour", "red"},
        {"a.txt", "-x"},
        {"a.txt", "--symptoms", "s.txt", "--settings", "q.ini"},
    };
    for (const std::vector<std::string>& arguments : cases) {
        const Outcome run = RunReport(dir, arguments);
        EXPECT_EQ(run.status, 2) << ::testing::PrintToString(arguments);
        EXPECT_NE(run.err.find("usage: quorvane-report RECORD_FILE"), std::string::npos);
        EXPECT_EQ(run.out, "");
    }
}

TEST(ReportCommand, SymptomNamesFromAnInitialisedSettingsFile) {
    TempDir dir;
    struct Case {
        const char* marker;
        const char* totals;
    };
    // Slot 3 renamed to SALAD, slot 2 missing (its default never matches).
    const Case cases[] = {
        {"motion2", "symptom_totals: 0 0 1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 1"},
        {"  motion2  ", "symptom_totals: 0 0 1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 1"},
        {"Motion2", "symptom_totals: 0 1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 1"},
        {"motion", "symptom_totals: 0 1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 1"},
    };
    for (const Case& c : cases) {
        const std::string ini =
            dir.Write("Quorvane.ini", std::string("[Active]\r\nmain=") + c.marker +
                                          "\r\n[Symptoms]\r\n3=SALAD\r\n4=STOMACH ACHE\r\n");
        const Outcome run =
            RunReport(dir, {ExampleDiaryPath(), "--settings", ini, "--dump", "items"});
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(Lines(run.out).back(), c.totals) << c.marker;
    }
    // No settings file at all reads as uninitialised.
    const Outcome missing =
        RunReport(dir, {ExampleDiaryPath(), "--settings", dir.File("none.ini"), "--dump", "items"});
    EXPECT_EQ(missing.status, 0);
    EXPECT_EQ(Lines(missing.out).back(),
              "symptom_totals: 0 1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 1");
}
