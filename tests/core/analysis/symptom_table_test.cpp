#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "core/analysis/item_list.h"
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
        grid.SetCell(column, 1, std::string("c").append(std::to_string(column)));
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

// The sort and the correlation refill rows by rising column through AppendValue; what
// they leave must read exactly as cell-by-cell writes would, at either end of the
// widest grid too.
TEST(TextGrid, AppendedRowsReadLikeCellByCellWrites) {
    constexpr int32_t kLast = TextGrid::kMaxColumns - 1;
    TItemNode item;
    TextGrid appended(TextGrid::kMaxColumns, 3);
    TextGrid written(TextGrid::kMaxColumns, 3);
    appended.SetCell(9, 1, "old");
    appended.ReserveValues(1, 3);
    appended.ClearValues(1);
    EXPECT_FALSE(appended.HasValues(1));
    EXPECT_EQ(appended.Cell(9, 1), "");
    appended.ReserveValues(2, 4);
    EXPECT_FALSE(appended.HasValues(2)) << "room is no value";

    appended.AppendValue(2, 1, GridCell{"first"});
    appended.AppendValue(30, 1, GridCell{"", &item, 4});
    appended.AppendValue(31, 1, GridCell{});  // nothing to add
    appended.AppendValue(kLast, 1, GridCell{"last", &item, 5});
    appended.AppendValue(17, 1, GridCell{"left of others"});
    appended.AppendValue(0, 1, GridCell{"name"});
    appended.AppendValue(kLast + 1, 1, GridCell{"outside"});
    written.SetCell(kLast, 1, GridCell{"last", &item, 5});
    written.SetCell(17, 1, "left of others");
    written.SetCell(0, 1, "name");
    written.SetCell(30, 1, GridCell{"", &item, 4});
    written.SetCell(2, 1, "first");
    for (int32_t column = 0; column <= kLast; ++column) {
        const GridCell* value = appended.Value(column, 1);
        const GridCell* expected = written.Value(column, 1);
        ASSERT_EQ(value == nullptr, expected == nullptr) << "column " << column;
        EXPECT_EQ(appended.Cell(column, 1), written.Cell(column, 1)) << "column " << column;
        if (value != nullptr) {
            EXPECT_EQ(value->Item, expected->Item) << "column " << column;
            EXPECT_EQ(value->Tenths, expected->Tenths) << "column " << column;
        }
    }

    appended.AppendValue(17, 1, GridCell{});
    EXPECT_EQ(appended.Value(17, 1), nullptr) << "an empty append empties like SetCell";
    EXPECT_EQ(appended.Cell(kLast, 1), "last");
    const TextGrid copy = appended;
    appended.SetColCount(31);
    EXPECT_EQ(appended.Cell(2, 1), "first");
    ASSERT_NE(appended.Value(30, 1), nullptr);
    EXPECT_EQ(appended.Value(30, 1)->Tenths, 4);
    EXPECT_EQ(appended.Cell(kLast, 1), "") << "narrowed away";
    EXPECT_EQ(copy.Cell(kLast, 1), "last") << "the copy keeps its own cells";
    appended.SetColCount(TextGrid::kMaxColumns + 10);
    EXPECT_EQ(appended.ColCount(), TextGrid::kMaxColumns);
    EXPECT_EQ(appended.Cell(kLast, 1), "") << "not brought back";
}

// Value cells are kept by column whatever order they are written in; an emptied
// plain cell reads as absent, one with a payload stays.
TEST(TextGrid, ValueCellsWrittenInAnyOrderReadBackByColumn) {
    TextGrid grid(8, 3);
    EXPECT_FALSE(grid.HasValues(1));
    grid.SetCell(6, 1, "six");
    grid.SetCell(3, 1, "three");
    grid.SetCell(7, 1, "seven");
    grid.SetCell(3, 1, "three again");
    EXPECT_TRUE(grid.HasValues(1));
    EXPECT_FALSE(grid.HasValues(2));
    EXPECT_FALSE(grid.HasValues(3)) << "outside the rows";
    EXPECT_EQ(grid.Cell(3, 1), "three again");
    EXPECT_EQ(grid.Cell(6, 1), "six");
    EXPECT_EQ(grid.Cell(7, 1), "seven");
    EXPECT_EQ(grid.Value(5, 1), nullptr);
    EXPECT_EQ(grid.Value(2, 1), nullptr);

    TItemNode item;
    grid.SetCell(6, 1, GridCell{"", &item, 7});
    ASSERT_NE(grid.Value(6, 1), nullptr) << "an empty text with a payload is kept";
    EXPECT_EQ(grid.Value(6, 1)->Tenths, 7);
    grid.SetCell(3, 1, "");
    EXPECT_EQ(grid.Value(3, 1), nullptr);
    grid.SetColCount(7);
    EXPECT_EQ(grid.Cell(7, 1), "");
    EXPECT_TRUE(grid.HasValues(1));
    grid.SetCell(6, 1, "");
    EXPECT_FALSE(grid.HasValues(1)) << "every value emptied";

    // AssignText writes like SetCell, dropping any payload.
    grid.AssignText(0, 2, "a name longer than any short string");
    grid.AssignText(0, 2, "tea");
    grid.AssignText(1, 2, "12");
    grid.SetCell(4, 2, GridCell{"x", &item, 3});
    grid.AssignText(4, 2, "plain");
    grid.AssignText(9, 2, "outside");
    EXPECT_EQ(grid.Cell(0, 2), "tea");
    EXPECT_EQ(grid.Cell(1, 2), "12");
    ASSERT_NE(grid.Value(4, 2), nullptr);
    EXPECT_EQ(grid.Value(4, 2)->Text, "plain");
    EXPECT_FALSE(grid.Value(4, 2)->IsCorrelation());
    EXPECT_EQ(grid.Cell(9, 2), "");
}

}  // namespace
}  // namespace quorvane
