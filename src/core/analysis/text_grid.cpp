#include "core/analysis/text_grid.h"

#include <algorithm>
#include <utility>

namespace quorvane {

TextGrid::TextGrid(int32_t columns, int32_t rows)
    : columns_(std::max<int32_t>(columns, 0)), rows_(std::max<int32_t>(rows, 0)) {
    cells_.resize(static_cast<std::size_t>(rows_));
}

void TextGrid::SetColCount(int32_t columns) {
    columns_ = std::max<int32_t>(columns, 0);
    for (std::vector<GridCell>& row : cells_) {
        if (row.size() > static_cast<std::size_t>(columns_)) {
            row.resize(static_cast<std::size_t>(columns_));
        }
    }
}

void TextGrid::SetRowCount(int32_t rows) {
    rows_ = std::max<int32_t>(rows, 0);
    cells_.resize(static_cast<std::size_t>(rows_));
}

const GridCell& TextGrid::At(int32_t column, int32_t row) const {
    static const GridCell kEmpty;
    if (column < 0 || row < 0 || column >= columns_ || row >= rows_) {
        return kEmpty;
    }
    const std::vector<GridCell>& cells = cells_[static_cast<std::size_t>(row)];
    return static_cast<std::size_t>(column) < cells.size() ? cells[static_cast<std::size_t>(column)]
                                                           : kEmpty;
}

void TextGrid::SetCell(int32_t column, int32_t row, std::string text) {
    SetCell(column, row, GridCell{std::move(text)});
}

void TextGrid::SetCell(int32_t column, int32_t row, GridCell cell) {
    if (column < 0 || row < 0 || column >= columns_ || row >= rows_) {
        return;
    }
    std::vector<GridCell>& cells = cells_[static_cast<std::size_t>(row)];
    const auto index = static_cast<std::size_t>(column);
    if (index >= cells.size()) {
        if (cell.Text.empty() && !cell.IsCorrelation()) {
            return;  // already empty
        }
        cells.resize(index + 1);
    }
    cells[index] = std::move(cell);
}

void TextGrid::ClearCells() {
    for (std::vector<GridCell>& row : cells_) {
        row.clear();
    }
}

}  // namespace quorvane
