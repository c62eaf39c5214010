#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
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
// current counts are empty; writes outside them are ignored.
class TextGrid {
  public:
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

    const std::string& Cell(int32_t column, int32_t row) const;
    // A written cell of the value columns (2 on), with its payload; null for an
    // empty cell and for the name and count columns, which hold text only.
    const GridCell* Value(int32_t column, int32_t row) const;
    // A plain text: any payload the cell held is dropped.
    void SetCell(int32_t column, int32_t row, std::string text);
    void SetCell(int32_t column, int32_t row, GridCell cell);
    // A plain text like SetCell's, written into the cell's own storage where it can
    // be: rewriting a million names and counts then allocates next to nothing.
    void AssignText(int32_t column, int32_t row, std::string_view text);
    // False for a row whose value columns (2 on) are all empty: walks over the
    // values skip most rows of a long diary on this alone.
    bool HasValues(int32_t row) const;
    // Empties every cell within the current counts; the counts stay.
    void ClearCells();

  private:
    // Every row has a name and a count, but few have values: the first two columns
    // are one flat array, the rest a vector per row that exists only once written
    // and holds only its written cells, by rising column. A grid of a million items
    // and few values stays small.
    static constexpr int32_t kLeadColumns = 2;
    struct Placed {
        int32_t Column;
        GridCell Cell;
    };
    using Rest = std::vector<Placed>;

    int32_t columns_ = 0;
    int32_t rows_ = 0;
    std::vector<std::string> lead_;            // columns 0 and 1, row by row
    std::vector<std::unique_ptr<Rest>> rest_;  // from column 2 on, by row
};

}  // namespace quorvane
