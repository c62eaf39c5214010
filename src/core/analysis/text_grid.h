#pragma once

#include <cstdint>
#include <string>
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

    int32_t ColCount() const { return columns_; }
    int32_t RowCount() const { return rows_; }
    void SetColCount(int32_t columns);  // keeps the cells that stay inside
    void SetRowCount(int32_t rows);

    const std::string& Cell(int32_t column, int32_t row) const { return At(column, row).Text; }
    const GridCell& At(int32_t column, int32_t row) const;
    // A plain text: any payload the cell held is dropped.
    void SetCell(int32_t column, int32_t row, std::string text);
    void SetCell(int32_t column, int32_t row, GridCell cell);
    // Empties every cell within the current counts; the counts stay.
    void ClearCells();

  private:
    int32_t columns_ = 0;
    int32_t rows_ = 0;
    // One vector per row, only as long as its last written column: a grid of many
    // items and few values stays small.
    std::vector<std::vector<GridCell>> cells_;
};

}  // namespace quorvane
