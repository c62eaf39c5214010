#include "core/evidence/evidence.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/evidence/fisher.h"

namespace quorvane {

namespace {

// Tabs and line ends inside a field would shift the columns of the table.
std::string TableField(std::string_view text) {
    std::string field(text);
    std::replace_if(
        field.begin(), field.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; },
        ' ');
    return field;
}

}  // namespace

CellEvidence ComputeCellEvidence(const DiaryEvidence& evidence, const TItemNode& node, int symptom,
                                 std::size_t maxDays) {
    const std::vector<uint32_t> itemDays = evidence.ItemDays(node);
    return ComputeCellEvidence(evidence, node, itemDays, symptom, maxDays);
}

CellEvidence ComputeCellEvidence(const DiaryEvidence& evidence, const TItemNode& node,
                                 std::span<const uint32_t> itemDays, int symptom,
                                 std::size_t maxDays) {
    CellEvidence cell;
    cell.Item = node.Name;
    cell.Symptom = symptom;
    cell.Count = node.Count;
    cell.Hits = symptom >= 1 && symptom <= kSymptomCount ? node.SymptomHits[symptom] : 0;
    cell.Lags = evidence.Lags(node, symptom);
    if (symptom < 1 || symptom > kSymptomCount) {
        return cell;
    }

    // Each occurrence day k exposes k, k + 1 and k + 2; the days come ascending, so
    // the exposed stretches come ascending too and the symptom days inside each are
    // found by binary search from where the last stretch ended.
    const std::vector<uint32_t>& symptomDays = evidence.SymptomDays(symptom);
    const int64_t dayCount = evidence.DayCount();
    int64_t exposed = 0;
    int64_t exposedWithSymptom = 0;
    int64_t coveredUpTo = -1;  // last exposed day so far
    auto from = symptomDays.begin();
    for (const uint32_t day : itemDays) {
        const int64_t first = std::max<int64_t>(day, coveredUpTo + 1);
        const int64_t last =
            std::min<int64_t>(static_cast<int64_t>(day) + kLagDays - 1, dayCount - 1);
        if (first > last) {
            continue;
        }
        coveredUpTo = last;
        exposed += last - first + 1;
        const auto begin = std::lower_bound(from, symptomDays.end(), first);
        const auto end = std::upper_bound(begin, symptomDays.end(), last);
        exposedWithSymptom += end - begin;
        for (auto it = begin; it != end && cell.EvidenceDays.size() < maxDays; ++it) {
            cell.EvidenceDays.push_back(evidence.DayLabel(*it));
        }
        from = end;
    }
    const auto symptomDayCount = static_cast<int64_t>(symptomDays.size());
    cell.ExposedWithSymptom = exposedWithSymptom;
    cell.ExposedWithoutSymptom = exposed - exposedWithSymptom;
    cell.OtherWithSymptom = symptomDayCount - exposedWithSymptom;
    cell.OtherWithoutSymptom = dayCount - exposed - cell.OtherWithSymptom;

    const int64_t exposedDays = exposed;
    const int64_t otherDays = dayCount - exposed;
    if (exposedDays > 0 && otherDays > 0) {
        const double exposedRate =
            static_cast<double>(cell.ExposedWithSymptom) / static_cast<double>(exposedDays);
        const double otherRate =
            static_cast<double>(cell.OtherWithSymptom) / static_cast<double>(otherDays);
        if (otherRate > 0) {
            cell.RiskRatio = exposedRate / otherRate;
        } else if (exposedRate > 0) {
            cell.RiskRatio = std::numeric_limits<double>::infinity();
        }
    }
    cell.PValue = FisherGreaterPValue(cell.ExposedWithSymptom, cell.ExposedWithoutSymptom,
                                      cell.OtherWithSymptom, cell.OtherWithoutSymptom);
    return cell;
}

std::string FormatRiskRatio(const std::optional<double>& ratio) {
    if (!ratio) {
        return "n/a";
    }
    if (std::isinf(*ratio)) {
        return "inf";
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.3f", *ratio);
    return text;
}

std::string FormatPValue(double p) {
    char text[64];
    std::snprintf(text, sizeof text, "%.6g", p);
    return text;
}

void WriteEvidenceTable(const DiaryEvidence& evidence, const ItemList& items,
                        const SymptomCounters& totals, int32_t minimum, std::ostream& out,
                        std::size_t maxDays) {
    out << "item\tsymptom\tcount\thits\tlag0\tlag1\tlag2\ta\tb\tc\td\trisk_ratio\tp_value\t"
           "evidence_days\n";
    const DiaryEvidence::ItemDayIndex index = evidence.IndexItemDays();
    // The rows and cells Correlate writes.
    for (const TItemNode& item : items.Entries()) {
        const TItemNode* node = &item;
        if (node->Count < minimum) {
            continue;
        }
        for (int s = 1; s <= kSymptomCount; ++s) {
            if (totals[s] == 0) {
                continue;
            }
            const CellEvidence cell =
                ComputeCellEvidence(evidence, *node, evidence.ItemDays(index, *node), s, maxDays);
            out << TableField(cell.Item) << '\t' << TableField(evidence.SymptomName(s)) << '\t'
                << cell.Count << '\t' << cell.Hits << '\t' << cell.Lags[0] << '\t' << cell.Lags[1]
                << '\t' << cell.Lags[2] << '\t' << cell.ExposedWithSymptom << '\t'
                << cell.ExposedWithoutSymptom << '\t' << cell.OtherWithSymptom << '\t'
                << cell.OtherWithoutSymptom << '\t' << FormatRiskRatio(cell.RiskRatio) << '\t'
                << FormatPValue(cell.PValue) << '\t';
            for (std::size_t i = 0; i < cell.EvidenceDays.size(); ++i) {
                out << (i > 0 ? " | " : "") << TableField(cell.EvidenceDays[i]);
            }
            const auto shown = static_cast<int64_t>(cell.EvidenceDays.size());
            if (cell.ExposedWithSymptom > shown) {
                out << (shown > 0 ? " | " : "") << '+' << cell.ExposedWithSymptom - shown
                    << " more";
            }
            out << '\n';
        }
    }
}

}  // namespace quorvane
