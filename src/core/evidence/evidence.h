#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/analysis/item_list.h"
#include "core/analysis/symptom_table.h"
#include "core/evidence/diary_evidence.h"

namespace quorvane {

// What stands behind one correlation cell. Days are the diary days of the read;
// a day is exposed when the item occurred on it or on one of the two days before.
struct CellEvidence {
    std::string Item;
    int Symptom = 0;
    int32_t Count = 0;
    int32_t Hits = 0;  // the cell's hits: SymptomHits[Symptom]
    LagProfile Lags{};
    int64_t ExposedWithSymptom = 0;     // a
    int64_t ExposedWithoutSymptom = 0;  // b
    int64_t OtherWithSymptom = 0;       // c
    int64_t OtherWithoutSymptom = 0;    // d
    // (a / (a + b)) / (c / (c + d)); infinite when only exposed days had the
    // symptom, absent when a side has no days or no side had the symptom.
    std::optional<double> RiskRatio;
    double PValue = 1;  // one-sided Fisher exact test for a positive association
    // Labels of the first exposed symptom days, in diary order; a counts them all.
    std::vector<std::string> EvidenceDays;
};

// The evidence of `node` for symptom 1 to 22 (22: any symptom TOTAL sums), with
// at most `maxDays` evidence day labels. `evidence` must be finished.
CellEvidence ComputeCellEvidence(const DiaryEvidence& evidence, const TItemNode& node, int symptom,
                                 std::size_t maxDays = std::numeric_limits<std::size_t>::max());
// The same with the item's days given, as when walking all the cells.
CellEvidence ComputeCellEvidence(const DiaryEvidence& evidence, const TItemNode& node,
                                 std::span<const uint32_t> itemDays, int symptom,
                                 std::size_t maxDays);

// "1.500", "inf" or "n/a".
std::string FormatRiskRatio(const std::optional<double>& ratio);
// printf's %.6g: "0.0123457", "1", "3.2e-07".
std::string FormatPValue(double p);

// One tab-separated line per written correlation cell (Count at least the minimum
// and the symptom's total not 0), items in list order and symptoms 1 to 22, after
// a header line. Labels are joined by " | ", at most `maxDays` per line, followed
// by "+N more" when the cell has more.
inline constexpr std::size_t kTableEvidenceDays = 10;
void WriteEvidenceTable(const DiaryEvidence& evidence, const ItemList& items,
                        const SymptomCounters& totals, std::string_view minimumCountText,
                        std::ostream& out, std::size_t maxDays = kTableEvidenceDays);

}  // namespace quorvane
