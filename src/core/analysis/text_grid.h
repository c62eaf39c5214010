#pragma once

#include <bit>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quorvane {

struct TItemNode;

// One results cell: the text exactly as shown and reported, and for a correlation
// cell what it was computed from, so nothing has to parse the text back.
struct GridCell {
    std::string Text;
    const TItemNode* Item = nullptr;  // the item of a correlation cell, else null
    int64_t Tenths = 0;               // its frustration value in tenths

    bool IsCorrelation() const { return Item != nullptr; }
};

// The results grid's cells, addressed (column, row) from 0. Reads outside the
// current counts are empty; writes outside them are ignored. At most kMaxColumns
// columns: the results have 24.
class TextGrid {
  public:
    static constexpr int32_t kMaxColumns = 66;

    TextGrid(int32_t columns = 0, int32_t rows = 0);
    TextGrid(const TextGrid& other);
    TextGrid& operator=(const TextGrid& other);
    TextGrid(TextGrid&&) noexcept = default;
    TextGrid& operator=(TextGrid&&) noexcept = default;
    ~TextGrid();

    int32_t ColCount() const { return columns_; }
    int32_t RowCount() const { return rows_; }
    void SetColCount(int32_t columns);  // keeps the cells that stay inside
    void SetRowCount(int32_t rows);

    // Reads are inline: the sort, the report and every walk over the grid read each
    // cell, and most reads are of empty cells.
    const std::string& Cell(int32_t column, int32_t row) const {
        if (column < 0 || row < 0 || column >= columns_ || row >= rows_) {
            return Empty();
        }
        if (column < kLeadColumns) {
            return lead_[static_cast<std::size_t>(row) * kLeadColumns +
                         static_cast<std::size_t>(column)];
        }
        const GridCell* cell = Value(column, row);
        return cell != nullptr ? cell->Text : Empty();
    }
    // A written cell of the value columns (2 on), with its payload; null for an
    // empty cell and for the name and count columns, which hold text only.
    const GridCell* Value(int32_t column, int32_t row) const {
        if (column < kLeadColumns || row < 0 || column >= columns_ || row >= rows_) {
            return nullptr;
        }
        const Rest* rest = rest_[static_cast<std::size_t>(row)].get();
        if (rest == nullptr || (rest->Written & Bit(column)) == 0) {
            return nullptr;
        }
        return &rest->Cells[Place(rest->Written, column)];
    }
    // The same cell to change in place, e.g. to move its text out; the caller then
    // writes it again through SetCell, which empties it for good when given nothing.
    GridCell* Value(int32_t column, int32_t row) {
        return const_cast<GridCell*>(std::as_const(*this).Value(column, row));
    }
    // A plain text: any payload the cell held is dropped.
    void SetCell(int32_t column, int32_t row, std::string text);
    void SetCell(int32_t column, int32_t row, GridCell cell);
    // A plain text like SetCell's, written into the cell's own storage where it can
    // be: rewriting a million names and counts then allocates next to nothing.
    void AssignText(int32_t column, int32_t row, std::string_view text);
    // Room for `count` value cells in the row, so that writing them moves none.
    void ReserveValues(int32_t row, std::size_t count);
    // Empties the row's value columns (2 on) but keeps their storage for AppendValue.
    void ClearValues(int32_t row);
    // SetCell for a row refilled by rising column: a cell right of every written one
    // is added without a search or a shift.
    void AppendValue(int32_t column, int32_t row, GridCell cell);
    // False for a row whose value columns (2 on) are all empty: walks over the
    // values skip most rows of a long diary on this alone.
    bool HasValues(int32_t row) const {
        return row >= 0 && row < rows_ && rest_[static_cast<std::size_t>(row)] != nullptr &&
               rest_[static_cast<std::size_t>(row)]->Written != 0;
    }
    // Empties every cell within the current counts; the counts stay.
    void ClearCells();

  private:
    // Every row has a name and a count, but few have values: the first two columns
    // are one flat array, the rest a vector per row that exists only once written
    // and holds only its written cells, by rising column. A grid of a million items
    // and few values stays small. The mask's bit (column - 2) marks a written cell,
    // so a cell's place is the count of the bits below it: the sort and every
    // walk over the values read cells without searching the row.
    static constexpr int32_t kLeadColumns = 2;
    struct Rest {
        uint64_t Written = 0;
        std::vector<GridCell> Cells;
    };
    static uint64_t Bit(int32_t column) { return uint64_t{1} << (column - kLeadColumns); }
    // The index in Cells of the column's cell, written or not.
    static std::size_t Place(uint64_t written, int32_t column) {
        return static_cast<std::size_t>(std::popcount(written & (Bit(column) - 1)));
    }
    static const std::string& Empty();

    int32_t columns_ = 0;
    int32_t rows_ = 0;
    std::vector<std::string> lead_;            // columns 0 and 1, row by row
    std::vector<std::unique_ptr<Rest>> rest_;  // from column 2 on, by row
};

}  // namespace quorvane
