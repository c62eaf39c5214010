#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "core/analysis/symptom_table.h"
#include "core/analysis/text_grid.h"
#include "core/text/integer_text.h"
#include "core/text/quorvane_error.h"

namespace quorvane {
namespace {

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

TEST(SymptomTable, PlaceholdersCarryTheNumberBelowTheirSlot) {
    const SymptomTable table;
    EXPECT_EQ(table.Name(9), "MOUTH ULCER");
    EXPECT_EQ(table.Name(10), "09_________");
    EXPECT_EQ(table.Name(21), "20_________");
    EXPECT_EQ(table.Name(22), "TOTAL");
    EXPECT_EQ(table.Name(0), "");
    EXPECT_EQ(table.Name(23), "");
}

TEST(SymptomTable, StoredNamesAreCutToThirtyBytes) {
    SymptomTable table;
    const std::string thirty(30, 'X');
    table.SetName(2, thirty + "YZ");
    EXPECT_EQ(table.Name(2), thirty);
    table.SetName(3, "short");
    EXPECT_EQ(table.Name(3), "short");  // taken as given, no upper-casing here
    EXPECT_EQ(ShortName(std::string(31, 'a')), std::string(30, 'a'));
    EXPECT_EQ(ShortName(""), "");
}

TEST(SaturatingAdd, ClampsAtTheThirtyTwoBitLimits) {
    struct Case {
        int32_t counter;
        int64_t amount;
        int32_t expected;
    };
    const Case cases[] = {
        {0, 1, 1},
        {41, 1, 42},
        {kMax - 1, 1, kMax},
        {kMax, 1, kMax},
        {kMax, kMax, kMax},
        {5, std::numeric_limits<int64_t>::max(), kMax},
        {kMin, -1, kMin},
        {-5, std::numeric_limits<int64_t>::min(), kMin},
        {kMax, -1, kMax - 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SaturatingAdd(c.counter, c.amount), c.expected) << c.counter << " + " << c.amount;
    }
}

TEST(StrToInt, AcceptsLeadingBlanksSignAndDigits) {
    struct Case {
        const char* text;
        int32_t expected;
    };
    const Case cases[] = {{"3", 3},     {"  17", 17}, {"-4", -4},           {"+8", 8},
                          {"   -0", 0}, {"007", 7},   {"2147483647", kMax}, {"-2147483648", kMin}};
    for (const Case& c : cases) {
        EXPECT_EQ(StrToInt(c.text), c.expected) << c.text;
    }
}

TEST(StrToInt, RejectsEverythingElseWithTheTextUnchanged) {
    const char* cases[] = {"",
                           " ",
                           "-",
                           "3 ",
                           "1.5",
                           "x1",
                           "12a",
                           "\t3",
                           "hit 006.0  POTATO  11 times",
                           "- 3",
                           "2147483648",
                           "-2147483649",
                           "99999999999999999999999"};
    for (const char* text : cases) {
        try {
            StrToInt(text);
            ADD_FAILURE() << "accepted '" << text << "'";
        } catch (const QuorvaneError& error) {
            EXPECT_EQ(std::string(error.what()),
                      "'" + std::string(text) + "' is not a valid integer value");
        }
    }
}

TEST(TextGrid, ReadsOutsideTheCountsAreEmptyAndWritesThereAreIgnored) {
    TextGrid grid(3, 2);
    grid.SetCell(2, 1, "x");
    grid.SetCell(3, 0, "outside");
    grid.SetCell(0, 2, "outside");
    grid.SetCell(-1, 0, "outside");
    EXPECT_EQ(grid.Cell(2, 1), "x");
    EXPECT_EQ(grid.Cell(3, 0), "");
    EXPECT_EQ(grid.Cell(0, 2), "");
    EXPECT_EQ(grid.Cell(-1, -1), "");
}

TEST(TextGrid, ResizingKeepsTheCellsThatStayInside) {
    TextGrid grid(3, 3);
    for (int32_t row = 0; row < 3; ++row) {
        for (int32_t column = 0; column < 3; ++column) {
            grid.SetCell(column, row, std::to_string(column) + "," + std::to_string(row));
        }
    }
    grid.SetColCount(2);
    grid.SetColCount(4);
    EXPECT_EQ(grid.Cell(1, 2), "1,2");
    EXPECT_EQ(grid.Cell(0, 1), "0,1");
    EXPECT_EQ(grid.Cell(2, 2), "");  // dropped by the narrowing, not brought back
    grid.SetRowCount(1);
    grid.SetRowCount(3);
    EXPECT_EQ(grid.Cell(1, 0), "1,0");
    EXPECT_EQ(grid.Cell(1, 1), "");
    EXPECT_EQ(grid.RowCount(), 3);
    EXPECT_EQ(grid.ColCount(), 4);

    grid.ClearCells();
    EXPECT_EQ(grid.Cell(1, 0), "");
    EXPECT_EQ(grid.RowCount(), 3);
}

// The name and count columns live apart from the value columns: narrowing into
// them, copying and clearing must treat both halves alike.
TEST(TextGrid, LeadAndValueColumnsBehaveAlike) {
    TextGrid grid(5, 2);
    for (int32_t column = 0; column < 5; ++column) {
        grid.SetCell(column, 1, "c" + std::to_string(column));
    }
    const TextGrid copy = grid;
    grid.SetCell(0, 1, "changed");
    grid.SetCell(4, 1, "changed");
    EXPECT_EQ(copy.Cell(0, 1), "c0") << "a copy shares the lead";
    EXPECT_EQ(copy.Cell(4, 1), "c4") << "a copy shares the values";

    grid.SetColCount(1);
    grid.SetColCount(5);
    EXPECT_EQ(grid.Cell(0, 1), "changed");
    for (int32_t column = 1; column < 5; ++column) {
        EXPECT_EQ(grid.Cell(column, 1), "") << "column " << column << " came back";
    }
    TextGrid assigned;
    assigned = copy;
    EXPECT_EQ(assigned.Cell(3, 1), "c3");
    EXPECT_EQ(assigned.ColCount(), 5);
    assigned.ClearCells();
    EXPECT_EQ(assigned.Cell(1, 1), "");
    EXPECT_EQ(assigned.Cell(3, 1), "");
    EXPECT_EQ(copy.Cell(3, 1), "c3");
}

}  // namespace
}  // namespace quorvane
