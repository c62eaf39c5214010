#include "core/analysis/report.h"

#include <algorithm>
#include <utility>

#include "core/text/ascii.h"

namespace quorvane {

namespace {

constexpr int32_t kFirstSymptomColumn = 2;
constexpr int32_t kLastSymptomColumn = 23;  // TOTAL
constexpr int32_t kBlocks = 8;
constexpr int32_t kColumnsPerBlock = 3;

}  // namespace

bool SortsBefore(std::string_view a, std::string_view b) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const auto x = static_cast<unsigned char>(UpperAscii(a[i]));
        const auto y = static_cast<unsigned char>(UpperAscii(b[i]));
        if (x != y) {
            return x < y;
        }
    }
    if (a.size() != b.size()) {
        return a.size() < b.size();
    }
    // Equal without case: plain bytes decide, so the order is total.
    return a < b;
}

void SortColumns(TextGrid& grid) {
    const int32_t rows = std::max<int32_t>(grid.RowCount(), 0);
    // Each text is upper-cased once into a key, so the sort compares with memcmp;
    // key order and then text order is exactly SortsBefore. A cell's payload
    // travels with its text.
    struct Entry {
        std::string key;
        GridCell cell;
    };
    std::vector<Entry> entries;
    std::vector<int32_t> filledRows;
    // Sorting one column fills no other, so the rows holding values are found once;
    // rows 0 and 1 get the markers.
    std::vector<int32_t> valued;
    for (int32_t row = 0; row < rows; ++row) {
        if (row < 2 || grid.HasValues(row)) {
            valued.push_back(row);
        }
    }
    for (int32_t column = kFirstSymptomColumn; column <= kLastSymptomColumn; ++column) {
        const auto take = [&grid, column](int32_t row) {
            const GridCell* cell = grid.Value(column, row);
            return cell != nullptr ? *cell : GridCell{};
        };
        GridCell heading = take(0);
        GridCell total = take(1);
        // The markers sort after the empty cells and before every value, which
        // leaves them just above the column's first value.
        grid.SetCell(column, 0, std::string(kSortMarker));
        grid.SetCell(column, 1, std::string(kSortMarker));

        // Empty texts are all equal and sort first: only the others need sorting,
        // which keeps a grid of many items and few values cheap.
        entries.clear();
        filledRows.clear();
        for (const int32_t row : valued) {
            const GridCell* cell = grid.Value(column, row);
            if (cell != nullptr && !cell->Text.empty()) {
                Entry& entry = entries.emplace_back(Entry{cell->Text, *cell});
                for (char& c : entry.key) {
                    c = UpperAscii(c);
                }
                filledRows.push_back(row);
            }
        }
        std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
            const int order = a.key.compare(b.key);
            return order != 0 ? order < 0 : a.cell.Text < b.cell.Text;
        });
        const int32_t firstFilled = rows - static_cast<int32_t>(entries.size());
        // Only the rows that held a text can need emptying; the rest already are.
        for (const int32_t row : filledRows) {
            if (row < firstFilled) {
                grid.SetCell(column, row, GridCell{});
            }
        }
        for (int32_t row = firstFilled; row < rows; ++row) {
            grid.SetCell(column, row,
                         std::move(entries[static_cast<std::size_t>(row - firstFilled)].cell));
        }

        grid.SetCell(column, 0, std::move(heading));
        grid.SetCell(column, 1, std::move(total));
    }
}

std::vector<std::string> PrepareReport(TextGrid& grid, int32_t columnWidth) {
    std::vector<std::string> lines = {
        "Quorvane Environmental Art Printout",
        "Don't forget to printout your text Environmental Record File",
        "Dear Doctor, please indicate if you like any part of this program",
        "The higher frustration levels loosely indicate a higher chance of being related to the "
        "symptom",
        "This is not a science so be careful and use lots of common sense",
        "",
        " ",
    };

    // The TOTAL column keeps its heading and total even when nothing occurred.
    for (int32_t column = kFirstSymptomColumn; column < kLastSymptomColumn; ++column) {
        if (grid.Cell(column, 1) == "0") {
            grid.SetCell(column, 0, "");
            grid.SetCell(column, 1, "");
        }
    }

    const std::size_t shown =
        columnWidth > 1 ? static_cast<std::size_t>(columnWidth) - 1 : std::string::npos;
    // A row without values gives no line in any block.
    std::vector<int32_t> valued;
    for (int32_t row = 0; row < grid.RowCount(); ++row) {
        if (grid.HasValues(row)) {
            valued.push_back(row);
        }
    }
    for (int32_t block = 0; block < kBlocks; ++block) {
        const int32_t firstColumn = kColumnsPerBlock * block + kFirstSymptomColumn;
        for (const int32_t row : valued) {
            std::string line = " ";
            for (int32_t column = firstColumn; column < firstColumn + kColumnsPerBlock; ++column) {
                const std::string& cell = grid.Cell(column, row);
                if (!cell.empty() && cell != kSortMarker) {
                    line.append(cell, 0, shown);
                    line += '\t';
                }
            }
            if (line.size() > 1) {
                lines.push_back(std::move(line));
            }
        }
        lines.insert(lines.end(), 3, std::string());
    }
    return lines;
}

}  // namespace quorvane
