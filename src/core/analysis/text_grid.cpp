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
        while (!rest->empty() && rest->back().Column >= columns_) {
            rest->pop_back();
        }
        if (rest->empty()) {
            rest.reset();
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
    if (rest != nullptr) {
        for (const Placed& placed : *rest) {
            if (placed.Column >= column) {
                return placed.Column == column ? &placed.Cell : nullptr;
            }
        }
    }
    return nullptr;
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
    const bool empty = cell.Text.empty() && !cell.IsCorrelation();
    if (!rest) {
        if (empty) {
            return;  // already empty
        }
        rest = std::make_unique<Rest>();
    }
    auto at = std::find_if(rest->begin(), rest->end(),
                           [column](const Placed& placed) { return placed.Column >= column; });
    if (at != rest->end() && at->Column == column) {
        if (empty) {
            rest->erase(at);
        } else {
            at->Cell = std::move(cell);
        }
    } else if (!empty) {
        rest->insert(at, Placed{column, std::move(cell)});
    }
}

void TextGrid::AssignText(int32_t column, int32_t row, std::string_view text) {
    if (column >= 0 && column < kLeadColumns && row >= 0 && row < rows_) {
        lead_[static_cast<std::size_t>(row) * kLeadColumns + static_cast<std::size_t>(column)]
            .assign(text);
        return;
    }
    SetCell(column, row, std::string(text));
}

bool TextGrid::HasValues(int32_t row) const {
    if (row < 0 || row >= rows_) {
        return false;
    }
    const Rest* rest = rest_[static_cast<std::size_t>(row)].get();
    return rest != nullptr && !rest->empty();
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
