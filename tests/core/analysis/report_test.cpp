#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "core/analysis/analysis_test_support.h"
#include "core/analysis/report.h"

namespace quorvane {
namespace {

using testing::AnalysisRun;
using testing::ExampleDiaryPath;
using testing::TempDir;

TEST(SortsBefore, CaseInsensitiveByteOrderWithAByteTieBreak) {
    struct Case {
        const char* a;
        const char* b;
        bool before;
    };
    const Case cases[] = {
        {"", " 0000", true},
        {" 0000", "", false},
        {" 0000", "000.0  HAM  1 times", true},
        {"0010.0  X  180 times", "009.9  A  10 times", true},  // by text, not by value
        {"006.0  BEEF  3 times", "006.0  COFFEE  3 times", true},
        {"006.0  HAM   3 times", "006.0  HAM  3 times", true},  // trailing space first
        {"abc", "ABD", true},
        {"ABC", "abd", true},
        {"ABC", "abc", true},
        {"abc", "ABC", false},
        {"AZ", "A_", true},  // letters compare as upper case, below '_'
        {"HAM", "HAM SANDWICH", true},
        {"same", "same", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SortsBefore(c.a, c.b), c.before) << "'" << c.a << "' < '" << c.b << "'";
    }
}

TEST(SortColumns, EmptiesFirstThenMarkersThenRisingValues) {
    TextGrid grid(24, 6);
    grid.SetCell(0, 2, "ZEBRA");
    grid.SetCell(0, 3, "APPLE");
    for (int32_t column = 2; column <= 23; ++column) {
        grid.SetCell(column, 0, "HEAD" + std::to_string(column));
        grid.SetCell(column, 1, "7");
    }
    // Column 3: two empty cells; column 4: exactly one; column 5: none.
    grid.SetCell(3, 2, "009.9  A  10 times");
    grid.SetCell(3, 5, "0010.0  B  180 times");
    grid.SetCell(4, 3, "004.5  POTATO  2 times");
    grid.SetCell(4, 4, "001.0  EGG  9 times");
    grid.SetCell(4, 5, "002.0  TEA  9 times");
    grid.SetCell(5, 2, "003.0  C  3 times");
    grid.SetCell(5, 3, "001.0  D  9 times");
    grid.SetCell(5, 4, "002.0  E  9 times");
    grid.SetCell(5, 5, "000.0  F  1 times");
    SortColumns(grid);

    auto column = [&grid](int32_t c) {
        std::vector<std::string> texts;
        for (int32_t row = 0; row < grid.RowCount(); ++row) {
            texts.push_back(grid.Cell(c, row));
        }
        return texts;
    };
    EXPECT_EQ(column(0), (std::vector<std::string>{"", "", "ZEBRA", "APPLE", "", ""}));
    EXPECT_EQ(column(3), (std::vector<std::string>{"HEAD3", "7", " 0000", " 0000",
                                                   "0010.0  B  180 times", "009.9  A  10 times"}));
    EXPECT_EQ(column(4),
              (std::vector<std::string>{"HEAD4", "7", " 0000", "001.0  EGG  9 times",
                                        "002.0  TEA  9 times", "004.5  POTATO  2 times"}));
    EXPECT_EQ(column(5),
              (std::vector<std::string>{"HEAD5", "7", "000.0  F  1 times", "001.0  D  9 times",
                                        "002.0  E  9 times", "003.0  C  3 times"}));
    EXPECT_EQ(column(6), (std::vector<std::string>{"HEAD6", "7", "", "", " 0000", " 0000"}));
}

// Only the texts of columns 2 to 23 move: a value without text above its column's
// sorted cells, and every cell right of the TOTAL column, stay where they were.
TEST(SortColumns, CellsItDoesNotSortStayInPlace) {
    TItemNode item;
    TextGrid grid(26, 5);
    grid.SetCell(3, 2, GridCell{"", &item, 4});
    grid.SetCell(24, 3, "beyond");
    grid.SetCell(25, 2, GridCell{"far", &item, 8});
    grid.SetCell(5, 2, GridCell{"", &item, 6});  // below where the markers land
    grid.SetCell(5, 3, "002.0  B  1 times");
    grid.SetCell(5, 4, "001.0  C  1 times");
    SortColumns(grid);

    ASSERT_NE(grid.Value(3, 2), nullptr);
    EXPECT_EQ(grid.Value(3, 2)->Tenths, 4);
    EXPECT_EQ(grid.Cell(3, 3), kSortMarker);
    EXPECT_EQ(grid.Cell(3, 4), kSortMarker);
    EXPECT_EQ(grid.Cell(24, 3), "beyond");
    ASSERT_NE(grid.Value(25, 2), nullptr);
    EXPECT_EQ(grid.Value(25, 2)->Tenths, 8);
    EXPECT_EQ(grid.Cell(5, 1), "");
    EXPECT_EQ(grid.Cell(5, 2), kSortMarker) << "the text-less value is overwritten";
    EXPECT_EQ(grid.Cell(5, 3), "001.0  C  1 times");
    EXPECT_EQ(grid.Cell(5, 4), "002.0  B  1 times");
    EXPECT_EQ(grid.Value(5, 1), nullptr);
}

TEST(SortColumns, OrdersEveryColumnBySortsBefore) {
    std::mt19937 random(99);
    const std::string alphabet = " 0.9aAbB_zZ";
    TextGrid grid(24, 300);
    std::vector<std::vector<std::string>> expected(24);
    for (int32_t column = 0; column < 24; ++column) {
        for (int32_t row = 0; row < 300; ++row) {
            std::string text;
            const int length = static_cast<int>(random() % 6);
            for (int k = 0; k < length; ++k) {
                text += alphabet[random() % alphabet.size()];
            }
            grid.SetCell(column, row, text);
            expected[column].push_back(row < 2 ? std::string(kSortMarker) : text);
        }
    }
    const std::string heading = grid.Cell(9, 0);
    SortColumns(grid);
    for (int32_t column = 2; column <= 23; ++column) {
        std::vector<std::string> texts;
        for (int32_t row = 2; row < 300; ++row) {
            texts.push_back(grid.Cell(column, row));
        }
        std::vector<std::string>& all = expected[column];
        std::sort(all.begin(), all.end(),
                  [](const std::string& a, const std::string& b) { return SortsBefore(a, b); });
        EXPECT_EQ(texts, std::vector<std::string>(all.begin() + 2, all.end())) << column;
    }
    EXPECT_EQ(grid.Cell(9, 0), heading);
}

std::vector<std::string> HeaderLines() {
    return {"Quorvane Environmental Art Printout",
            "Don't forget to printout your text Environmental Record File",
            "Dear Doctor, please indicate if you like any part of this program",
            "The higher frustration levels loosely indicate a higher chance of being related "
            "to the symptom",
            "This is not a science so be careful and use lots of common sense",
            "",
            " "};
}

TEST(PrepareReport, ExampleDiaryAtMinimumThree) {
    AnalysisRun run;
    const std::vector<std::string> report = run.Report(ExampleDiaryPath(), 3, 170);
    std::vector<std::string> expected = HeaderLines();
    for (const char* line : {" HEADACHE\t", " 1\t", " 006.0  COFFEE  3 times\t", "", "", ""}) {
        expected.push_back(line);
    }
    expected.insert(expected.end(), 6 * 3, "");
    for (const char* line : {" TOTAL\t", " 1\t", " 006.0  COFFEE  3 times\t", "", "", ""}) {
        expected.push_back(line);
    }
    EXPECT_EQ(report, expected);
    // The zero-total rule empties the headings in the grid too; TOTAL keeps them.
    EXPECT_EQ(run.Engine.Grid().Cell(2, 0), "");
    EXPECT_EQ(run.Engine.Grid().Cell(2, 1), "");
    EXPECT_EQ(run.Engine.Grid().Cell(3, 0), "HEADACHE");
    EXPECT_EQ(run.Engine.Grid().Cell(23, 0), "TOTAL");
}

TEST(PrepareReport, BlocksHoldThreeColumnsSideBySide) {
    TempDir dir;
    const std::string path = dir.Write(
        "d.txt", "tea, coffee, #, headache, weight gain, #, coffee, stomach ache, ibs, #,\r\n");
    AnalysisRun run;
    const std::vector<std::string> report = run.Report(path, 1);
    // Block 0: RANDOM is empty, HEADACHE and WEIGHT GAIN side by side. Block 1:
    // STOMACH ACHE and IBS, POOR SLEEP (total 0) left out.
    const std::vector<std::string> expected = {
        " HEADACHE\tWEIGHT GAIN\t",
        " 1\t1\t",
        " 004.5  COFFEE  2 times\t004.5  COFFEE  2 times\t",
        " 009.0  TEA  1 times\t009.0  TEA  1 times\t",
        "",
        "",
        "",
        " STOMACH ACHE\tIBS\t",
        " 1\t1\t",
        " 009.0  COFFEE  2 times\t009.0  COFFEE  2 times\t",
        " 009.0  TEA  1 times\t009.0  TEA  1 times\t",
        "",
        "",
        "",
    };
    ASSERT_GE(report.size(), 7 + expected.size());
    EXPECT_EQ(std::vector<std::string>(report.begin() + 7, report.begin() + 7 + 14), expected);
    EXPECT_EQ(report[7 + 14 + 5 * 3], " TOTAL\t");
    EXPECT_EQ(report[7 + 14 + 5 * 3 + 1], " 4\t");
}

TEST(PrepareReport, CellsAreCutToOneLessThanTheColumnWidth) {
    TempDir dir;
    const std::string path = dir.Write("d.txt", "potato, weight gain, #,");
    struct Case {
        int32_t width;
        const char* heading;
        const char* cell;
    };
    const Case cases[] = {
        {10, " WEIGHT GA\t", " 009.0  PO\t"},
        {2, " W\t", " 0\t"},
        {1, " WEIGHT GAIN\t", " 009.0  POTATO  1 times\t"},
        {0, " WEIGHT GAIN\t", " 009.0  POTATO  1 times\t"},
        {-3, " WEIGHT GAIN\t", " 009.0  POTATO  1 times\t"},
        {160, " WEIGHT GAIN\t", " 009.0  POTATO  1 times\t"},
    };
    for (const Case& c : cases) {
        AnalysisRun run;
        const std::vector<std::string> report = run.Report(path, 1, c.width);
        ASSERT_GE(report.size(), 10U);
        EXPECT_EQ(report[7], c.heading) << c.width;
        EXPECT_EQ(report[9], c.cell) << c.width;
    }
}

TEST(Analysis, SecondRunGivesTheSameGridAndReport) {
    AnalysisRun run;
    const std::vector<std::string> first = run.Report(ExampleDiaryPath(), 1);
    const TextGrid grid = run.Engine.Grid();
    const SymptomCounters totals = run.Engine.Totals();
    const std::vector<std::string> second = run.Report(ExampleDiaryPath(), 1);
    EXPECT_EQ(second, first);
    EXPECT_EQ(run.Engine.Totals(), totals);
    ASSERT_EQ(run.Engine.Grid().RowCount(), grid.RowCount());
    for (int32_t row = 0; row < grid.RowCount(); ++row) {
        for (int32_t column = 0; column < grid.ColCount(); ++column) {
            EXPECT_EQ(run.Engine.Grid().Cell(column, row), grid.Cell(column, row))
                << column << "," << row;
        }
    }
}

TEST(Analysis, RowsOfALargerEarlierRunStayEmptied) {
    TempDir dir;
    const std::string empty = dir.Write("empty.txt", "");
    AnalysisRun fresh;
    const std::vector<std::string> freshReport = fresh.Report(empty);
    EXPECT_EQ(fresh.Grid().RowCount(), 2);

    AnalysisRun run;
    run.Report(ExampleDiaryPath());
    const std::vector<std::string> report = run.Report(empty);
    EXPECT_EQ(run.Engine.Grid().RowCount(), 23);
    for (int32_t row = 2; row < 23; ++row) {
        for (int32_t column = 0; column < 2; ++column) {
            EXPECT_EQ(run.Engine.Grid().Cell(column, row), "") << column << "," << row;
        }
    }
    EXPECT_EQ(run.Engine.Grid().Cell(1, 0), "count");
    EXPECT_EQ(report, freshReport);

    // A run with items sizes the grid to them again.
    run.Report(dir.Write("one.txt", "tea, headache,"));
    EXPECT_EQ(run.Engine.Grid().RowCount(), 3);
    EXPECT_EQ(run.Engine.Grid().Cell(0, 2), "TEA");
}

// A rename between runs: the headings follow the table and the totals of the old
// names are gone, while the cells stay until the next run.
TEST(Analysis, RefreshingTheHeadingsZeroesTheTotals) {
    AnalysisRun run;
    run.Report(ExampleDiaryPath(), 1);
    ASSERT_EQ(run.Engine.Totals()[2], 1);  // HEADACHE
    const std::string cell = run.Grid().Cell(3, 5);
    int notifications = 0;
    run.Engine.SetGridChanged([&notifications] { ++notifications; });
    run.Symptoms.SetName(2, "MIGRAINE");
    run.Engine.RefreshSymptomHeadings();
    EXPECT_EQ(notifications, 1);
    EXPECT_EQ(run.Grid().Cell(3, 0), "MIGRAINE");
    for (int i = 1; i <= kSymptomCount; ++i) {
        EXPECT_EQ(run.Engine.Totals()[i], 0) << i;
    }
    EXPECT_EQ(run.Grid().Cell(3, 5), cell);
}

}  // namespace
}  // namespace quorvane
