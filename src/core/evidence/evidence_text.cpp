#include "core/evidence/evidence_text.h"

#include <algorithm>
#include <cmath>

namespace quorvane {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::optional<int64_t> ParseDigits(std::string_view digits) {
    if (digits.empty() || digits.size() > 18 ||
        !std::all_of(digits.begin(), digits.end(), IsDigit)) {
        return std::nullopt;
    }
    int64_t value = 0;
    for (const char c : digits) {
        value = value * 10 + (c - '0');
    }
    return value;
}

std::string Plural(int64_t n, std::string_view one, std::string_view many) {
    return std::to_string(n) + " " + std::string(n == 1 ? one : many);
}

}  // namespace

std::optional<CellParts> ParseCorrelationCell(std::string_view text) {
    // The value: digits, one separator, one digit, then two spaces.
    std::size_t integerEnd = 0;
    while (integerEnd < text.size() && IsDigit(text[integerEnd])) {
        ++integerEnd;
    }
    if (integerEnd == 0 || integerEnd + 4 > text.size() || IsDigit(text[integerEnd]) ||
        text[integerEnd] == ' ' || !IsDigit(text[integerEnd + 1]) ||
        text.substr(integerEnd + 2, 2) != "  ") {
        return std::nullopt;
    }
    const std::optional<int64_t> integer = ParseDigits(text.substr(0, integerEnd));
    if (!integer || *integer > INT64_MAX / 10 - 9) {
        return std::nullopt;
    }
    // The count from the end: "  COUNT times". The name is what lies between, so
    // double spaces inside it or a trailing space stay with the name.
    constexpr std::string_view kTimes = " times";
    std::string_view rest = text.substr(integerEnd + 4);
    if (rest.size() < kTimes.size() || rest.substr(rest.size() - kTimes.size()) != kTimes) {
        return std::nullopt;
    }
    rest.remove_suffix(kTimes.size());
    std::size_t countStart = rest.size();
    while (countStart > 0 && IsDigit(rest[countStart - 1])) {
        --countStart;
    }
    const std::optional<int64_t> count = ParseDigits(rest.substr(countStart));
    if (!count || countStart < 3 || rest.substr(countStart - 2, 2) != "  ") {
        return std::nullopt;
    }
    CellParts parts;
    parts.Tenths = *integer * 10 + (text[integerEnd + 1] - '0');
    parts.Item = rest.substr(0, countStart - 2);
    parts.Count = *count;
    return parts;
}

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
    const std::optional<CellParts> parts = ParseCorrelationCell(grid.Cell(column, row));
    if (!parts) {
        return {};
    }
    const TItemNode* node = evidence.FindItem(parts->Item);
    // A cell left from another read names an item this read does not know, or
    // knows with another count.
    if (node == nullptr || node->Count != parts->Count) {
        return {};
    }
    const CellEvidence cell = ComputeCellEvidence(evidence, *node, symptom, kTooltipEvidenceDays);
    return EvidenceTooltip(cell, evidence.SymptomName(symptom));
}

void ResultsShading::Recompute(const TextGrid& grid) {
    columnHighest_.assign(static_cast<std::size_t>(std::max(grid.ColCount(), 0)), 0);
    for (int32_t column = 2; column < grid.ColCount(); ++column) {
        int64_t& highest = columnHighest_[static_cast<std::size_t>(column)];
        for (int32_t row = 2; row < grid.RowCount(); ++row) {
            if (const std::optional<CellParts> parts =
                    ParseCorrelationCell(grid.Cell(column, row))) {
                highest = std::max(highest, parts->Tenths);
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
    const std::optional<CellParts> parts = ParseCorrelationCell(grid.Cell(column, row));
    if (!parts || parts->Tenths <= 0 || highest <= 0) {
        return std::nullopt;
    }
    // From a pale tint for the lowest values to a strong orange at the column's top.
    constexpr ShadeColour kLight{255, 243, 224};
    constexpr ShadeColour kStrong{240, 130, 40};
    const double share =
        std::min(1.0, static_cast<double>(parts->Tenths) / static_cast<double>(highest));
    auto mix = [share](uint8_t light, uint8_t strong) {
        return static_cast<uint8_t>(std::lround(light + (strong - light) * share));
    };
    return ShadeColour{mix(kLight.Red, kStrong.Red), mix(kLight.Green, kStrong.Green),
                       mix(kLight.Blue, kStrong.Blue)};
}

}  // namespace quorvane
