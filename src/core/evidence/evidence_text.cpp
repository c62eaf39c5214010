#include "core/evidence/evidence_text.h"

#include <algorithm>
#include <cmath>

namespace quorvane {

namespace {

std::string Plural(int64_t n, std::string_view one, std::string_view many) {
    return std::to_string(n) + " " + std::string(n == 1 ? one : many);
}

}  // namespace

std::string EvidenceTooltip(const CellEvidence& cell, std::string_view symptomName,
                            std::size_t maxDays) {
    const std::string symptom = cell.Symptom == kTotalSymptom ? std::string("A monitored symptom")
                                                              : std::string(symptomName);
    std::string text;
    text += "Hits: " + std::to_string(cell.Hits) + " = " + std::to_string(cell.Lags[0]) +
            " the same day + " + std::to_string(cell.Lags[1]) + " a day later + " +
            std::to_string(cell.Lags[2]) + " two days later\n";
    text += symptom + " followed " + cell.Item + " on " + std::to_string(cell.ExposedWithSymptom) +
            " of " + std::to_string(cell.ExposedWithSymptom + cell.ExposedWithoutSymptom) +
            " exposed days; on " + std::to_string(cell.OtherWithSymptom) + " of " +
            std::to_string(cell.OtherWithSymptom + cell.OtherWithoutSymptom) + " other days\n";
    text += "Risk ratio: " + FormatRiskRatio(cell.RiskRatio) + "\n";
    text += "p-value (one-sided Fisher): " + FormatPValue(cell.PValue);
    if (cell.ExposedWithSymptom == 0) {
        text += "\nNo evidence days";
        return text;
    }
    text += "\nEvidence days:";
    std::size_t shown = 0;
    for (const std::string& label : cell.EvidenceDays) {
        if (shown == maxDays) {
            break;
        }
        text += "\n  " + label;
        ++shown;
    }
    const int64_t more = cell.ExposedWithSymptom - static_cast<int64_t>(shown);
    if (more > 0) {
        text += "\n  and " + Plural(more, "more day", "more days");
    }
    return text;
}

std::string ResultsCellTooltip(const DiaryEvidence& evidence, const TextGrid& grid, int32_t column,
                               int32_t row) {
    const int symptom = column - 1;
    if (!evidence.Finished() || symptom < 1 || symptom > kSymptomCount || row < 2) {
        return {};
    }
    const GridCell* gridCell = grid.Value(column, row);
    if (gridCell == nullptr || !gridCell->IsCorrelation()) {
        return {};
    }
    const CellEvidence cell =
        ComputeCellEvidence(evidence, *gridCell->Item, symptom, kTooltipEvidenceDays);
    return EvidenceTooltip(cell, evidence.SymptomName(symptom));
}

void ResultsShading::Recompute(const TextGrid& grid) {
    columnHighest_.assign(static_cast<std::size_t>(std::max(grid.ColCount(), 0)), 0);
    for (int32_t column = 2; column < grid.ColCount(); ++column) {
        int64_t& highest = columnHighest_[static_cast<std::size_t>(column)];
        for (int32_t row = 2; row < grid.RowCount(); ++row) {
            const GridCell* cell = grid.Value(column, row);
            if (cell != nullptr && cell->IsCorrelation()) {
                highest = std::max(highest, cell->Tenths);
            }
        }
    }
}

std::optional<ShadeColour> ResultsShading::CellShade(const TextGrid& grid, int32_t column,
                                                     int32_t row) const {
    if (column < 2 || row < 2 || static_cast<std::size_t>(column) >= columnHighest_.size()) {
        return std::nullopt;
    }
    const int64_t highest = columnHighest_[static_cast<std::size_t>(column)];
    const GridCell* cell = grid.Value(column, row);
    if (cell == nullptr || !cell->IsCorrelation() || cell->Tenths <= 0 || highest <= 0) {
        return std::nullopt;
    }
    // From a pale tint for the lowest values to a strong orange at the column's top.
    constexpr ShadeColour kLight{255, 243, 224};
    constexpr ShadeColour kStrong{240, 130, 40};
    const double share =
        std::min(1.0, static_cast<double>(cell->Tenths) / static_cast<double>(highest));
    auto mix = [share](uint8_t light, uint8_t strong) {
        return static_cast<uint8_t>(std::lround(light + (strong - light) * share));
    };
    return ShadeColour{mix(kLight.Red, kStrong.Red), mix(kLight.Green, kStrong.Green),
                       mix(kLight.Blue, kStrong.Blue)};
}

}  // namespace quorvane
