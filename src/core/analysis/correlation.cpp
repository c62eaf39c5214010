#include "core/analysis/correlation.h"

#include <array>
#include <charconv>
#include <string>
#include <utility>

#include "core/text/integer_text.h"

namespace quorvane {

namespace {

void WriteSymptomHeadings(TextGrid& grid, const SymptomTable& symptoms, SymptomCounters& totals) {
    grid.ReserveValues(0, kSymptomCount);
    for (int i = 1; i <= kSymptomCount; ++i) {
        grid.AppendValue(i + 1, 0, GridCell{symptoms.Name(i)});
        totals[i] = 0;
    }
}

}  // namespace

void ResetResultsHeader(TextGrid& grid, const SymptomTable& symptoms, SymptomCounters& totals) {
    grid.SetColCount(kResultsColumns);
    // The heading and the totals row exist even before any item has been read.
    if (grid.RowCount() < 2) {
        grid.SetRowCount(2);
    }
    grid.SetCell(0, 0, "");
    grid.SetCell(1, 0, "count");
    WriteSymptomHeadings(grid, symptoms, totals);
}

void RefreshSymptomHeadings(TextGrid& grid, const SymptomTable& symptoms, SymptomCounters& totals) {
    WriteSymptomHeadings(grid, symptoms, totals);
}

ItemList::RowHook GridRowHook(TextGrid& grid) {
    return [&grid](int32_t itemCount, const std::string& name) {
        grid.SetRowCount(itemCount + 2);
        grid.SetCell(0, itemCount + 1, name);
    };
}

void ComputeTotals(ItemList& items, SymptomCounters& totals, const TextGrid& grid,
                   const SymptomTable& symptoms, int32_t minimum) {
    int32_t sum = 0;
    for (int j = kFirstUserSymptom; j <= kLastUserSymptom; ++j) {
        sum = SaturatingAdd(sum, totals[j]);
    }
    totals[kTotalSymptom] = sum;

    // A heading renamed since the read no longer stands for these hits.
    std::array<bool, kSymptomCount + 1> counted{};
    for (int j = kFirstUserSymptom; j <= kLastUserSymptom; ++j) {
        counted[j] = grid.Cell(j + 1, 0) == symptoms.Name(j);
    }
    const auto total = [&](TItemNode& node) {
        if (node.SymptomHits.Empty()) {
            return;  // no hits, and a total of 0 is what it reads already
        }
        int32_t hits = 0;
        if (node.Count >= minimum) {
            for (int j = kFirstUserSymptom; j <= kLastUserSymptom; ++j) {
                if (counted[j]) {
                    hits = SaturatingAdd(hits, std::as_const(node.SymptomHits)[j]);
                }
            }
        }
        node.SymptomHits.Set(kTotalSymptom, hits);
    };
    // The "AAA" sentinel counts its occurrences and hits like an item, so it gets
    // its total too; the read-order walk covers only the items between the sentinels.
    if (TItemNode* first = items.First()) {
        total(*first);
    }
    items.ForEachInReadOrder(total);
}

void Correlate(const ItemList& items, const SymptomCounters& totals, TextGrid& grid,
               int32_t minimum, char decimalSeparator) {
    grid.ReserveValues(1, kSymptomCount);
    for (int i = 1; i <= kSymptomCount; ++i) {
        grid.AppendValue(i + 1, 1, GridCell{std::to_string(totals[i])});
    }
    std::size_t valueColumns = 0;
    for (int j = 1; j <= kSymptomCount; ++j) {
        valueColumns += totals[j] != 0 ? 1 : 0;
    }
    int32_t row = 1;
    const std::span<TItemNode* const> ordered = items.InOrder();
    constexpr std::size_t kAhead = 8;  // list order is far from memory order
    for (std::size_t i = 0; i < ordered.size(); ++i) {
        if (i + kAhead < ordered.size()) {
            __builtin_prefetch(ordered[i + kAhead]);
        }
        const TItemNode& node = *ordered[i];
        ++row;
        char count[16];
        const char* countEnd = std::to_chars(count, count + sizeof count, node.Count).ptr;
        grid.AssignText(0, row, node.Name);
        grid.AssignText(1, row,
                        std::string_view(count, static_cast<std::size_t>(countEnd - count)));
        if (node.Count < minimum) {
            continue;
        }
        grid.ReserveValues(row, valueColumns);
        for (int j = 1; j <= kSymptomCount; ++j) {
            if (totals[j] != 0) {
                const int32_t hits = node.SymptomHits[j];
                grid.AppendValue(
                    j + 1, row,
                    GridCell{CorrelationCellText(hits, node.Count, node.Name, decimalSeparator),
                             &node, FrustrationTenths(hits, node.Count)});
            }
        }
    }
}

int64_t FrustrationTenths(int32_t hits, int32_t count) {
    const int64_t numerator = count > 0 && hits > 0 ? 9 * static_cast<int64_t>(hits) : 0;
    const int64_t denominator = count > 0 ? count : 1;
    return (20 * numerator + denominator) / (2 * denominator);
}

std::string CorrelationCellText(int32_t hits, int32_t count, std::string_view name,
                                char decimalSeparator) {
    // The value 9 * hits / count, handled as the exact fraction so that rounding
    // is half up on the true value and the pad follows the unrounded value.
    const int64_t numerator = count > 0 && hits > 0 ? 9 * static_cast<int64_t>(hits) : 0;
    const int64_t denominator = count > 0 ? count : 1;
    const int64_t tenths = FrustrationTenths(hits, count);

    // Above 99.999 no pad, above 9.999 one zero, else two.
    const std::size_t pad = 1000 * numerator > 99999 * denominator  ? 0
                            : 1000 * numerator > 9999 * denominator ? 1
                                                                    : 2;
    // Built in one allocation: a grid holds one of these per item and symptom.
    char whole[24];
    char* wholeEnd = std::to_chars(whole, whole + sizeof whole, tenths / 10).ptr;
    char times[16];
    char* timesEnd = std::to_chars(times, times + sizeof times, count).ptr;
    constexpr std::string_view kGap = "  ";
    constexpr std::string_view kTimes = " times";
    std::string text;
    text.reserve(pad + static_cast<std::size_t>(wholeEnd - whole) + 2 + 2 * kGap.size() +
                 name.size() + static_cast<std::size_t>(timesEnd - times) + kTimes.size());
    text.append(pad, '0');
    text.append(whole, wholeEnd);
    text += decimalSeparator;
    text += static_cast<char>('0' + tenths % 10);
    text += kGap;
    text += name;
    text += kGap;
    text.append(times, timesEnd);
    text += kTimes;
    return text;
}

}  // namespace quorvane
