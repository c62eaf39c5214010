#include "core/analysis/text_grid.h"

#include <algorithm>
#include <utility>

namespace quorvane {

TextGrid::TextGrid(int32_t columns, int32_t rows)
    : columns_(std::max<int32_t>(columns, 0)), rows_(std::max<int32_t>(rows, 0)) {
    lead_.resize(static_cast<std::size_t>(rows_) * kLeadColumns);
    rest_.resize(static_cast<std::size_t>(rows_));
}

TextGrid::TextGrid(const TextGrid& other)
    : columns_(other.columns_), rows_(other.rows_), lead_(other.lead_) {
    for (const std::unique_ptr<Rest>& rest : other.rest_) {
        rest_.push_back(rest ? std::make_unique<Rest>(*rest) : nullptr);
    }
}

TextGrid& TextGrid::operator=(const TextGrid& other) {
    if (this != &other) {
        TextGrid copy(other);
        *this = std::move(copy);
    }
    return *this;
}

TextGrid::~TextGrid() = default;

void TextGrid::SetColCount(int32_t columns) {
    columns_ = std::max<int32_t>(columns, 0);
    for (std::size_t row = 0; row < rest_.size(); ++row) {
        for (int32_t column = columns_; column < kLeadColumns; ++column) {
            lead_[row * kLeadColumns + static_cast<std::size_t>(column)].clear();
        }
        std::unique_ptr<Rest>& rest = rest_[row];
        if (!rest) {
            continue;
        }
        if (columns_ <= kLeadColumns) {
            rest.reset();
        } else if (rest->size() > static_cast<std::size_t>(columns_ - kLeadColumns)) {
            rest->resize(static_cast<std::size_t>(columns_ - kLeadColumns));
        }
    }
}

void TextGrid::SetRowCount(int32_t rows) {
    rows_ = std::max<int32_t>(rows, 0);
    lead_.resize(static_cast<std::size_t>(rows_) * kLeadColumns);
    rest_.resize(static_cast<std::size_t>(rows_));
}

const std::string& TextGrid::Cell(int32_t column, int32_t row) const {
    static const std::string kEmpty;
    if (column < 0 || row < 0 || column >= columns_ || row >= rows_) {
        return kEmpty;
    }
    const auto r = static_cast<std::size_t>(row);
    if (column < kLeadColumns) {
        return lead_[r * kLeadColumns + static_cast<std::size_t>(column)];
    }
    const GridCell* cell = Value(column, row);
    return cell != nullptr ? cell->Text : kEmpty;
}

const GridCell* TextGrid::Value(int32_t column, int32_t row) const {
    if (column < kLeadColumns || row < 0 || column >= columns_ || row >= rows_) {
        return nullptr;
    }
    const Rest* rest = rest_[static_cast<std::size_t>(row)].get();
    const auto index = static_cast<std::size_t>(column - kLeadColumns);
    return rest != nullptr && index < rest->size() ? &(*rest)[index] : nullptr;
}

void TextGrid::SetCell(int32_t column, int32_t row, std::string text) {
    SetCell(column, row, GridCell{std::move(text)});
}

void TextGrid::SetCell(int32_t column, int32_t row, GridCell cell) {
    if (column < 0 || row < 0 || column >= columns_ || row >= rows_) {
        return;
    }
    const auto r = static_cast<std::size_t>(row);
    if (column < kLeadColumns) {
        lead_[r * kLeadColumns + static_cast<std::size_t>(column)] = std::move(cell.Text);
        return;
    }
    std::unique_ptr<Rest>& rest = rest_[r];
    const auto index = static_cast<std::size_t>(column - kLeadColumns);
    if (!rest || index >= rest->size()) {
        if (cell.Text.empty() && !cell.IsCorrelation()) {
            return;  // already empty
        }
        if (!rest) {
            rest = std::make_unique<Rest>();
        }
        rest->resize(index + 1);
    }
    (*rest)[index] = std::move(cell);
}

void TextGrid::ClearCells() {
    for (std::string& cell : lead_) {
        std::string().swap(cell);
    }
    for (std::unique_ptr<Rest>& rest : rest_) {
        rest.reset();
    }
}

}  // namespace quorvane
