#include "core/analysis/report.h"

#include <algorithm>
#include <array>
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
    // key order and then text order is exactly SortsBefore. The keys share one
    // buffer and the cells are moved, not copied. A cell's payload travels with its
    // text.
    struct Entry {
        std::size_t keyStart;
        std::size_t keyLength;
        GridCell cell;
    };
    constexpr std::size_t kColumns = kLastSymptomColumn - kFirstSymptomColumn + 1;
    // Sorting one column fills no other, so the rows holding values are found once;
    // rows 0 and 1 get the markers.
    std::vector<int32_t> valued;
    for (int32_t row = 0; row < rows; ++row) {
        if (row < 2 || grid.HasValues(row)) {
            valued.push_back(row);
        }
    }
    // Every column is sorted first and the rows are then refilled by rising column,
    // which writes each cell once instead of shifting the row's others around it.
    // All columns' entries in one array, column after column: sorted[c] is the
    // range from starts[c] to starts[c + 1].
    std::vector<Entry> sorted;
    std::array<std::size_t, kColumns + 1> starts{};
    std::array<GridCell, kColumns> headings;
    std::array<GridCell, kColumns> totals;
    // Cells the sort leaves where they are: those of other columns, and the rare
    // value without text above its column's sorted ones.
    struct Kept {
        int32_t column;
        int32_t row;
        GridCell cell;
    };
    std::vector<Kept> kept;
    std::string keys;
    for (int32_t column = kFirstSymptomColumn; column <= kLastSymptomColumn; ++column) {
        const auto index = static_cast<std::size_t>(column - kFirstSymptomColumn);
        const auto take = [&grid, column](int32_t row) {
            GridCell* cell = grid.Value(column, row);
            return cell != nullptr ? std::move(*cell) : GridCell{};
        };
        headings[index] = take(0);
        totals[index] = take(1);
        // The markers sort after the empty cells and before every value, which
        // leaves them just above the column's first value.
        grid.SetCell(column, 0, std::string(kSortMarker));
        grid.SetCell(column, 1, std::string(kSortMarker));

        // Empty texts are all equal and sort first: only the others need sorting,
        // which keeps a grid of many items and few values cheap.
        starts[index] = sorted.size();
        keys.clear();
        for (const int32_t row : valued) {
            GridCell* cell = grid.Value(column, row);
            if (cell == nullptr) {
                continue;
            }
            if (cell->Text.empty()) {
                kept.push_back(Kept{column, row, std::move(*cell)});
                continue;
            }
            const std::size_t keyStart = keys.size();
            keys += cell->Text;
            for (std::size_t i = keyStart; i < keys.size(); ++i) {
                keys[i] = UpperAscii(keys[i]);
            }
            sorted.push_back(Entry{keyStart, cell->Text.size(), std::move(*cell)});
        }
        const auto key = [&keys](const Entry& entry) {
            return std::string_view(keys).substr(entry.keyStart, entry.keyLength);
        };
        const auto first = sorted.begin() + static_cast<std::ptrdiff_t>(starts[index]);
        std::sort(first, sorted.end(), [&key](const Entry& a, const Entry& b) {
            const int order = key(a).compare(key(b));
            return order != 0 ? order < 0 : a.cell.Text < b.cell.Text;
        });
    }
    for (const int32_t row : valued) {
        for (int32_t column = kLastSymptomColumn + 1; column < grid.ColCount(); ++column) {
            if (GridCell* cell = grid.Value(column, row)) {
                kept.push_back(Kept{column, row, std::move(*cell)});
            }
        }
        grid.ClearValues(row);
    }

    starts[kColumns] = sorted.size();
    // Each column's values fill its last rows, in order: its first filled row.
    std::array<int32_t, kColumns> firstFilled{};
    int32_t firstRow = rows;
    for (std::size_t index = 0; index < kColumns; ++index) {
        firstFilled[index] = rows - static_cast<int32_t>(starts[index + 1] - starts[index]);
        firstRow = std::min(firstRow, firstFilled[index]);
    }
    for (int32_t row = firstRow; row < rows; ++row) {
        grid.ReserveValues(row, static_cast<std::size_t>(
                                    std::count_if(firstFilled.begin(), firstFilled.end(),
                                                  [row](int32_t first) { return row >= first; })));
        for (std::size_t index = 0; index < kColumns; ++index) {
            if (row >= firstFilled[index]) {
                const std::size_t place =
                    starts[index] + static_cast<std::size_t>(row - firstFilled[index]);
                grid.AppendValue(kFirstSymptomColumn + static_cast<int32_t>(index), row,
                                 std::move(sorted[place].cell));
            }
        }
    }
    for (Kept& cell : kept) {
        const std::size_t index = static_cast<std::size_t>(cell.column - kFirstSymptomColumn);
        if (cell.column > kLastSymptomColumn || cell.row < firstFilled[index]) {
            grid.SetCell(cell.column, cell.row, std::move(cell.cell));
        }
    }
    for (std::size_t index = 0; index < kColumns; ++index) {
        const int32_t column = kFirstSymptomColumn + static_cast<int32_t>(index);
        grid.SetCell(column, 0, std::move(headings[index]));
        grid.SetCell(column, 1, std::move(totals[index]));
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
            // Measured first, so the line is allocated once.
            std::array<std::string_view, kColumnsPerBlock> fields;
            std::size_t length = 1;
            for (int32_t i = 0; i < kColumnsPerBlock; ++i) {
                const std::string& cell = grid.Cell(firstColumn + i, row);
                if (!cell.empty() && cell != kSortMarker) {
                    fields[static_cast<std::size_t>(i)] = std::string_view(cell).substr(0, shown);
                    length += fields[static_cast<std::size_t>(i)].size() + 1;
                }
            }
            std::string line;
            line.reserve(length);
            line += ' ';
            for (const std::string_view field : fields) {
                if (!field.empty()) {
                    line += field;
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
