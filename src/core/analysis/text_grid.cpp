#include "core/analysis/text_grid.h"

#include <algorithm>
#include <utility>

namespace quorvane {

namespace {

int32_t ClampColumns(int32_t columns) {
    return std::clamp<int32_t>(columns, 0, TextGrid::kMaxColumns);
}

}  // namespace

TextGrid::TextGrid(int32_t columns, int32_t rows)
    : columns_(ClampColumns(columns)), rows_(std::max<int32_t>(rows, 0)) {
    lead_.resize(static_cast<std::size_t>(rows_) * kLeadColumns);
    rest_.resize(static_cast<std::size_t>(rows_));
}

TextGrid::TextGrid(const TextGrid& other)
    : columns_(other.columns_), rows_(other.rows_), lead_(other.lead_) {
    rest_.reserve(other.rest_.size());
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
    columns_ = ClampColumns(columns);
    // The bits of the columns that stay inside.
    const uint64_t kept = columns_ > kLeadColumns ? (Bit(columns_ - 1) << 1) - 1 : 0;
    for (std::size_t row = 0; row < rest_.size(); ++row) {
        for (int32_t column = columns_; column < kLeadColumns; ++column) {
            lead_[row * kLeadColumns + static_cast<std::size_t>(column)].clear();
        }
        std::unique_ptr<Rest>& rest = rest_[row];
        if (!rest) {
            continue;
        }
        rest->Written &= kept;
        rest->Cells.resize(static_cast<std::size_t>(std::popcount(rest->Written)));
        if (rest->Written == 0) {
            rest.reset();
        }
    }
}

void TextGrid::SetRowCount(int32_t rows) {
    rows_ = std::max<int32_t>(rows, 0);
    lead_.resize(static_cast<std::size_t>(rows_) * kLeadColumns);
    rest_.resize(static_cast<std::size_t>(rows_));
}

const std::string& TextGrid::Empty() {
    static const std::string kEmpty;
    return kEmpty;
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
    const auto at = rest->Cells.begin() + static_cast<std::ptrdiff_t>(Place(rest->Written, column));
    if ((rest->Written & Bit(column)) != 0) {
        if (empty) {
            rest->Cells.erase(at);
            rest->Written &= ~Bit(column);
        } else {
            *at = std::move(cell);
        }
    } else if (!empty) {
        rest->Cells.insert(at, std::move(cell));
        rest->Written |= Bit(column);
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

void TextGrid::ReserveValues(int32_t row, std::size_t count) {
    if (row < 0 || row >= rows_ || count == 0) {
        return;
    }
    std::unique_ptr<Rest>& rest = rest_[static_cast<std::size_t>(row)];
    if (!rest) {
        rest = std::make_unique<Rest>();
    }
    rest->Cells.reserve(count);
}

void TextGrid::ClearValues(int32_t row) {
    if (row < 0 || row >= rows_) {
        return;
    }
    if (Rest* rest = rest_[static_cast<std::size_t>(row)].get()) {
        rest->Written = 0;
        rest->Cells.clear();
    }
}

void TextGrid::AppendValue(int32_t column, int32_t row, GridCell cell) {
    if (column < kLeadColumns || row < 0 || column >= columns_ || row >= rows_) {
        SetCell(column, row, std::move(cell));
        return;
    }
    std::unique_ptr<Rest>& rest = rest_[static_cast<std::size_t>(row)];
    if ((rest && rest->Written >= Bit(column)) || (cell.Text.empty() && !cell.IsCorrelation())) {
        SetCell(column, row, std::move(cell));  // not right of the others, or nothing to add
        return;
    }
    if (!rest) {
        rest = std::make_unique<Rest>();
    }
    rest->Cells.push_back(std::move(cell));
    rest->Written |= Bit(column);
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
