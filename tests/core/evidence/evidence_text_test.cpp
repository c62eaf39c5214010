#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "core/analysis/analysis_test_support.h"
#include "core/analysis/report.h"
#include "core/evidence/evidence_test_support.h"
#include "core/evidence/evidence_text.h"

namespace quorvane {
namespace {

using testing::EvidenceRun;

class ExampleResults : public ::testing::Test {
  protected:
    void SetUp() override {
        std::ifstream file(testing::ExampleDiaryPath(), std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(file)),
                               std::istreambuf_iterator<char>());
        run_.Analyse(text, 1);
        run_.Engine.Correlate(1, '.');
        run_.Engine.SortColumns();
    }

    int32_t RowOf(int32_t column, const std::string& text) const {
        for (int32_t row = 0; row < run_.Engine.Grid().RowCount(); ++row) {
            if (run_.Engine.Grid().Cell(column, row) == text) {
                return row;
            }
        }
        ADD_FAILURE() << "no cell " << text;
        return -1;
    }

    EvidenceRun run_;
};

TEST_F(ExampleResults, TooltipOfASortedCellFollowsTheItemNamedInIt) {
    const int32_t row = RowOf(3, "009.0  APRIL  2 times");
    // After the sort the cell no longer sits in its item's row.
    ASSERT_NE(run_.Engine.Grid().Cell(0, row), "APRIL");
    EXPECT_EQ(ResultsCellTooltip(run_.Engine.Evidence(), run_.Engine.Grid(), 3, row),
              "Hits: 2 = 1 the same day + 1 a day later + 0 two days later\n"
              "HEADACHE followed APRIL on 1 of 2 exposed days; on 0 of 0 other days\n"
              "Risk ratio: n/a\n"
              "p-value (one-sided Fisher): 1\n"
              "Evidence days:\n"
              "  april 30, saturday, bacon, egg, headache");

    const int32_t ham = RowOf(23, "000.0  HAM  1 times");
    EXPECT_EQ(ResultsCellTooltip(run_.Engine.Evidence(), run_.Engine.Grid(), 23, ham),
              "Hits: 0 = 0 the same day + 0 a day later + 0 two days later\n"
              "A monitored symptom followed HAM on 1 of 1 exposed days; on 0 of 1 other days\n"
              "Risk ratio: inf\n"
              "p-value (one-sided Fisher): 0.5\n"
              "Evidence days:\n"
              "  april 30, saturday, bacon, egg, headache");
}

TEST_F(ExampleResults, NoTooltipOutsideTheCorrelationCells) {
    const DiaryEvidence& evidence = run_.Engine.Evidence();
    const int32_t april = RowOf(3, "009.0  APRIL  2 times");
    EXPECT_EQ(ResultsCellTooltip(evidence, run_.Engine.Grid(), 3, 0), "");  // heading
    EXPECT_EQ(ResultsCellTooltip(evidence, run_.Engine.Grid(), 3, 1), "");  // total
    EXPECT_EQ(ResultsCellTooltip(evidence, run_.Engine.Grid(), 0, april), "");
    EXPECT_EQ(ResultsCellTooltip(evidence, run_.Engine.Grid(), 4, april), "");  // empty column
    // A text that only looks like a correlation cell carries no item.
    TextGrid grid = run_.Engine.Grid();
    grid.SetCell(3, april, "009.0  APRIL  2 times");
    EXPECT_EQ(ResultsCellTooltip(evidence, grid, 3, april), "");
    // Before any evidence was gathered.
    EXPECT_EQ(ResultsCellTooltip(DiaryEvidence(), run_.Engine.Grid(), 3, april), "");
}

TEST(EvidenceTooltip, ListsFiveDaysAndCountsTheRest) {
    CellEvidence cell;
    cell.Item = "TEA";
    cell.Symptom = 2;
    cell.Hits = 9;
    cell.Lags = {4, 3, 2};
    cell.ExposedWithSymptom = 7;
    cell.ExposedWithoutSymptom = 3;
    cell.OtherWithSymptom = 1;
    cell.OtherWithoutSymptom = 9;
    cell.RiskRatio = 7.0;
    cell.PValue = 0.00123;
    cell.EvidenceDays = {"d1", "d2", "d3", "d4", "d5", "d6", "d7"};
    EXPECT_EQ(EvidenceTooltip(cell, "IBS"),
              "Hits: 9 = 4 the same day + 3 a day later + 2 two days later\n"
              "IBS followed TEA on 7 of 10 exposed days; on 1 of 10 other days\n"
              "Risk ratio: 7.000\n"
              "p-value (one-sided Fisher): 0.00123\n"
              "Evidence days:\n  d1\n  d2\n  d3\n  d4\n  d5\n  and 2 more days");
    cell.ExposedWithSymptom = 0;
    cell.EvidenceDays.clear();
    EXPECT_NE(EvidenceTooltip(cell, "IBS").find("\nNo evidence days"), std::string::npos);
}

TEST(ResultsShading, ShadesByValueWithinEachColumn) {
    const TItemNode item;
    TextGrid grid(24, 8);
    grid.SetCell(2, 0, "RANDOM");
    grid.SetCell(2, 1, "5");
    grid.SetCell(2, 2, " 0000");
    grid.SetCell(2, 3, GridCell{"000.0  A  1 times", &item, 0});
    grid.SetCell(2, 4, GridCell{"004.5  B  2 times", &item, 45});
    grid.SetCell(2, 5, GridCell{"009.0  C  2 times", &item, 90});
    grid.SetCell(2, 6, "009.5  E  2 times");  // text alone: no value
    grid.SetCell(2, 7, GridCell{"000.1  F  90 times", &item, 1});
    grid.SetCell(3, 5, GridCell{"0100.0  D  9 times", &item, 1000});  // another column's scale
    ResultsShading shading;
    shading.Recompute(grid);

    EXPECT_FALSE(shading.CellShade(grid, 2, 0));  // heading
    EXPECT_FALSE(shading.CellShade(grid, 2, 1));  // total
    EXPECT_FALSE(shading.CellShade(grid, 2, 2));  // marker
    EXPECT_FALSE(shading.CellShade(grid, 2, 3));  // value 0
    EXPECT_FALSE(shading.CellShade(grid, 1, 4));  // count column
    EXPECT_FALSE(shading.CellShade(grid, 2, 6));
    const std::optional<ShadeColour> middle = shading.CellShade(grid, 2, 4);
    const std::optional<ShadeColour> top = shading.CellShade(grid, 2, 5);
    const std::optional<ShadeColour> otherTop = shading.CellShade(grid, 3, 5);
    ASSERT_TRUE(middle && top && otherTop);
    EXPECT_EQ(*top, *otherTop);  // each column's highest is the strongest
    // Stronger means further from white in every channel that moves.
    EXPECT_LT(top->Green, middle->Green);
    EXPECT_LT(top->Blue, middle->Blue);
    EXPECT_LT(middle->Green, 255);
    EXPECT_LE(top->Red, middle->Red);
    // The palest and the strongest lie at the two ends of the scale.
    const std::optional<ShadeColour> palest = shading.CellShade(grid, 2, 7);
    ASSERT_TRUE(palest);
    EXPECT_GT(palest->Green, middle->Green);
    EXPECT_GE(palest->Green, 240);
    EXPECT_EQ(*top, (ShadeColour{240, 130, 40}));
}

}  // namespace
}  // namespace quorvane
