#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/analysis/text_grid.h"
#include "core/evidence/diary_evidence.h"
#include "core/evidence/evidence.h"

namespace quorvane {

inline constexpr std::size_t kTooltipEvidenceDays = 5;

// The parts of a correlation cell text "006.0  POTATO  11 times": the value in
// tenths, the item name (which may hold double spaces or end in a space) and the
// count. Null for any other text: headings, totals, sort markers, empty cells.
struct CellParts {
    int64_t Tenths = 0;
    std::string_view Item;
    int64_t Count = 0;
};
std::optional<CellParts> ParseCorrelationCell(std::string_view text);

// Several lines: the lag profile, the day table in words, the risk ratio, the
// p-value and the first evidence days.
std::string EvidenceTooltip(const CellEvidence& cell, std::string_view symptomName,
                            std::size_t maxDays = kTooltipEvidenceDays);

// The tooltip of results cell (column, row), found by the item name in the cell,
// so it holds after the columns are sorted. Empty for a cell that is not a
// correlation text of this read.
std::string ResultsCellTooltip(const DiaryEvidence& evidence, const TextGrid& grid, int32_t column,
                               int32_t row);

struct ShadeColour {
    uint8_t Red = 255;
    uint8_t Green = 255;
    uint8_t Blue = 255;
    bool operator==(const ShadeColour&) const = default;
};

// Shades each correlation cell by its frustration value against the highest value
// of its column: light for a low value, strong for the column's highest. Cells of
// value 0 and every other text stay unshaded.
class ResultsShading {
  public:
    // After the grid's cells have changed.
    void Recompute(const TextGrid& grid);
    std::optional<ShadeColour> CellShade(const TextGrid& grid, int32_t column, int32_t row) const;

  private:
    std::vector<int64_t> columnHighest_;  // tenths, per column
};

}  // namespace quorvane
