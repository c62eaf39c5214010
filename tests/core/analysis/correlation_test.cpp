#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "core/analysis/analysis_test_support.h"
#include "core/analysis/correlation.h"
#include "core/text/quorvane_error.h"

namespace quorvane {
namespace {

using testing::AnalysisRun;
using testing::ExampleDiaryPath;

TEST(CorrelationCellText, PadsRoundsHalfUpAndUsesTheSeparator) {
    struct Case {
        int32_t hits;
        int32_t count;
        char separator;
        const char* expected;
    };
    const Case cases[] = {
        {2, 3, '.', "006.0  ITEM  3 times"},
        {0, 1, '.', "000.0  ITEM  1 times"},
        {7, 11, '.', "005.7  ITEM  11 times"},       // 5.727...
        {1, 4, '.', "002.3  ITEM  4 times"},         // 2.25 rounds up
        {1, 20, '.', "000.5  ITEM  20 times"},       // 0.45 rounds up
        {199, 180, '.', "0010.0  ITEM  180 times"},  // 9.95: pad chosen before rounding
        {2, 1, '.', "018.0  ITEM  1 times"},
        {111, 10, '.', "099.9  ITEM  10 times"},      // 99.9
        {1999, 180, '.', "0100.0  ITEM  180 times"},  // 99.95
        {50, 3, '.', "150.0  ITEM  3 times"},
        {1111, 100, '.', "0100.0  ITEM  100 times"},  // 99.99
        {12, 9, ',', "012,0  ITEM  9 times"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CorrelationCellText(c.hits, c.count, "ITEM", c.separator), c.expected)
            << c.hits << "/" << c.count;
    }
    // Hits far above the count must neither overflow nor lose digits.
    EXPECT_EQ(CorrelationCellText(std::numeric_limits<int32_t>::max(), 1, "X", '.'),
              "19327352823.0  X  1 times");
}

TEST(CorrelationCellText, PadBoundariesAreExact) {
    // 9 * hits / count just above and at 9.999 and 99.999.
    EXPECT_EQ(CorrelationCellText(10000, 9001, "X", '.').substr(0, 6), "0010.0");  // 9.998..
    EXPECT_EQ(CorrelationCellText(9999, 9000, "X", '.').substr(0, 6), "0010.0");   // 9.999
    EXPECT_EQ(CorrelationCellText(10000, 9000, "X", '.').substr(0, 5), "010.0");   // 10.0
    EXPECT_EQ(CorrelationCellText(99999, 9000, "X", '.').substr(0, 6), "0100.0");  // 99.999
    EXPECT_EQ(CorrelationCellText(100000, 9000, "X", '.').substr(0, 5), "100.0");  // 100.0
}

// Columns of row 1 and the item rows, as the example diary leaves them.
TEST(Correlate, ExampleDiaryAtMinimumThree) {
    AnalysisRun run;
    run.Read(ExampleDiaryPath());
    run.Engine.ComputeTotals(3);
    run.Engine.Correlate(3, '.');
    const TextGrid& grid = run.Engine.Grid();

    EXPECT_EQ(grid.ColCount(), 24);
    EXPECT_EQ(grid.RowCount(), 23);
    EXPECT_EQ(grid.Cell(0, 0), "");
    EXPECT_EQ(grid.Cell(1, 0), "count");
    EXPECT_EQ(grid.Cell(2, 0), "RANDOM");
    EXPECT_EQ(grid.Cell(23, 0), "TOTAL");
    for (int32_t column = 2; column <= 23; ++column) {
        const bool headache = column == 3 || column == 23;
        EXPECT_EQ(grid.Cell(column, 1), headache ? "1" : "0") << column;
    }

    const std::vector<std::string> names = {
        "APPLE", "APRIL",    "BACON",       "BEEF",       "CHICKEN", "COFFEE",      "DATE",
        "EGG",   "FRIDAY",   "FRUIT SALAD", "GRAPEFRUIT", "HAM",     "POTATO",      "RAISEN",
        "SALAD", "SATURDAY", "SAUSAGE",     "STEAK",      "TEA",     "WHITE BREAD", "WHITE WINE"};
    for (std::size_t i = 0; i < names.size(); ++i) {
        const int32_t row = static_cast<int32_t>(i) + 2;
        EXPECT_EQ(grid.Cell(0, row), names[i]);
        const std::string& name = names[i];
        const bool twice = name == "APRIL" || name == "EGG" || name == "POTATO" || name == "TEA";
        EXPECT_EQ(grid.Cell(1, row), name == "COFFEE" ? "3" : twice ? "2" : "1") << name;
        for (int32_t column = 2; column <= 23; ++column) {
            const bool cell = name == "COFFEE" && (column == 3 || column == 23);
            EXPECT_EQ(grid.Cell(column, row), cell ? "006.0  COFFEE  3 times" : "")
                << name << " column " << column;
        }
    }
}

TEST(Correlate, ExampleDiaryAtMinimumOne) {
    AnalysisRun run;
    run.Read(ExampleDiaryPath());
    run.Engine.ComputeTotals(1);
    run.Engine.Correlate(1, '.');
    int cells = 0;
    for (int32_t row = 2; row < run.Engine.Grid().RowCount(); ++row) {
        EXPECT_FALSE(run.Engine.Grid().Cell(3, row).empty()) << row;
        EXPECT_EQ(run.Engine.Grid().Cell(3, row), run.Engine.Grid().Cell(23, row));
        for (int32_t column = 2; column <= 22; ++column) {
            cells += column != 3 && !run.Engine.Grid().Cell(column, row).empty();
        }
    }
    EXPECT_EQ(cells, 0);
    EXPECT_EQ(run.Engine.Grid().Cell(3, 3), "009.0  APRIL  2 times");
    EXPECT_EQ(run.Engine.Grid().Cell(3, 14), "004.5  POTATO  2 times");
    EXPECT_EQ(run.Engine.Grid().Cell(3, 13), "000.0  HAM  1 times");  // eaten after the headache
    EXPECT_EQ(run.Engine.Grid().Cell(3, 2), "009.0  APPLE  1 times");
}

TEST(ComputeTotals, TotalColumnSumsUserSymptomsOfItemsAtTheMinimum) {
    AnalysisRun run;
    const testing::TempDir dir;
    run.Read(dir.Write("d.txt", "tea, tea, bread, random, headache, ibs, poor sleep, #,"));
    run.Engine.Items().First()->Next->Next->SymptomHits[kTotalSymptom] = 99;  // overwritten
    run.Engine.ComputeTotals(2);
    EXPECT_EQ(run.Engine.Totals()[kTotalSymptom], 3);  // RANDOM left out
    EXPECT_EQ(run.Find("TEA")->SymptomHits[kTotalSymptom], 6);
    EXPECT_EQ(run.Find("BREAD")->SymptomHits[kTotalSymptom], 0);  // below the minimum

    // A heading renamed after the read no longer adds its hits.
    TextGrid renamed = run.Engine.Grid();
    renamed.SetCell(7, 0, "SOMETHING ELSE");
    SymptomCounters totals = run.Engine.Totals();
    ComputeTotals(run.Engine.Items(), totals, renamed, run.Symptoms, 2);
    EXPECT_EQ(run.Find("TEA")->SymptomHits[kTotalSymptom], 4);
}

// Regression: the "AAA" sentinel counts and is hit like an item, but the read-order
// walk of the totals skipped it, so its TOTAL read 0.
TEST(ComputeTotals, FirstSentinelGetsItsTotalLikeAnItem) {
    AnalysisRun run;
    const testing::TempDir dir;
    run.Read(dir.Write("d.txt", "aaa, aaa, random, headache, #, aaa, ibs, #, zzz, headache, #,"));
    const TItemNode* sentinel = run.Engine.Items().First();
    ASSERT_EQ(sentinel->Name, "AAA");
    ASSERT_EQ(sentinel->Count, 4);  // the sentinel starts at 1
    ASSERT_EQ(sentinel->SymptomHits[1], 2);
    ASSERT_EQ(sentinel->SymptomHits[2], 5);
    ASSERT_EQ(sentinel->SymptomHits[6], 3);
    run.Engine.ComputeTotals(4);
    EXPECT_EQ(sentinel->SymptomHits[kTotalSymptom], 8);  // RANDOM left out
    EXPECT_EQ(sentinel->Next->Name, "ZZZ") << "\"ZZZ\" is never counted as an item";

    run.Engine.ComputeTotals(5);  // below the minimum, like any item
    EXPECT_EQ(sentinel->SymptomHits[kTotalSymptom], 0);
}

TEST(ComputeTotals, SumsSaturateInsteadOfWrapping) {
    AnalysisRun run;
    const testing::TempDir dir;
    run.Read(dir.Write("d.txt", "tea, tea, tea,"));
    TItemNode* tea = run.Engine.Items().First()->Next;
    SymptomCounters totals = run.Engine.Totals();
    for (int j = kFirstUserSymptom; j <= kLastUserSymptom; ++j) {
        tea->SymptomHits[j] = 1 << 30;
        totals[j] = 1 << 30;
    }
    ComputeTotals(run.Engine.Items(), totals, run.Engine.Grid(), run.Symptoms, 3);
    EXPECT_EQ(tea->SymptomHits[kTotalSymptom], std::numeric_limits<int32_t>::max());
    EXPECT_EQ(totals[kTotalSymptom], std::numeric_limits<int32_t>::max());
}

}  // namespace
}  // namespace quorvane
