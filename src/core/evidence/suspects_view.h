#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/analysis/item_list.h"
#include "core/evidence/diary_evidence.h"
#include "core/evidence/suspects.h"

namespace quorvane {

// What the suspects page and the doctor's summary show, worked out from one
// finished read and its suspects, so that the widgets only draw and lay out.

// The symptoms the user monitors (slots 2 to 21): the page and the summary show
// these; slot 1, RANDOM, stays in the exported table only.
bool IsMonitoredSymptom(int symptom);

// The columns of the ranked table on the page.
enum SuspectViewColumn {
    kViewRank,
    kViewItem,
    kViewTier,
    kViewLag,
    kViewExposedDays,
    kViewEpisodesAfter,
    kViewRiskRatio,
    kViewP,
    kViewQ,
    kViewFlags,
    kViewColumnCount
};
// Long headings break onto a second line, so that a column is no wider than its figures.
std::string_view SuspectViewHeading(int column);
// One sentence on what the column means, for its header's tooltip.
std::string_view SuspectViewHeadingTip(int column);
// Whether the column is shown before the user chooses: the delay and q are
// rarely needed and cost room.
bool SuspectViewShownAtFirst(int column);
// A cell's tooltip: the exact figures behind a rounded one, or what a tier means.
std::string SuspectViewTip(const SuspectRow& row, int column);
// "3.1 (1.9 to 5.0)"; "at least 3.0" when the ratio has no upper limit, and
// "cannot tell" when then even its floor is below 1.
std::string RatioRangeText(const RiskRatioInterval& risk);
// The fields of one row in column order; the ratio with its interval in one field.
std::array<std::string, kViewColumnCount> SuspectViewFields(const SuspectRow& row);
std::string SuspectViewField(const SuspectRow& row, int column);
// What a column sorts by: the figure itself, so that 10 follows 9. Text columns
// (item, flags) have none and sort by their text.
bool SuspectViewNumeric(int column);
double SuspectViewSortKey(const SuspectRow& row, int column);
// The rows' indices in the order of one column: figures as figures, one that is no
// number after every number, text columns by their text; ties keep the rows' order.
std::vector<std::size_t> SuspectViewOrder(const std::vector<SuspectRow>& rows, int column,
                                          bool descending);

// Days are diary days from 0, as the evidence numbers them.
struct SuspectTimeline {
    uint32_t Days = 0;
    std::vector<uint32_t> Eaten;        // days the food was written down
    std::vector<uint32_t> Onsets;       // days an episode of the symptom began
    std::vector<uint32_t> SymptomDays;  // every day of every episode
};
// An episode begins on a symptom day whose day before had no such symptom, as
// the suspects are counted.
std::vector<uint32_t> EpisodeOnsets(const DiaryEvidence& evidence, int symptom);
// Empty Eaten when the read has no item of that name.
SuspectTimeline TimelineOf(const DiaryEvidence& evidence, const ItemList& items,
                           std::string_view item, int symptom);

// The interval plot: the first `most` rows by rank, and a log axis from a power
// of two at or below every lower bound (and 1) to one at or above every upper bound.
struct ForestPlot {
    struct Row {
        std::string Item;
        SuspectTier Tier = SuspectTier::NotEnoughData;
        RiskRatioInterval Risk;
    };
    std::vector<Row> Rows;
    double AxisLow = 0.5;
    double AxisHigh = 2;
};
// `judgedOnly` leaves out the foods had on too few days to be judged.
ForestPlot ForestOf(const SymptomSuspects& suspects, std::size_t most, bool judgedOnly = false);
// Where `value` lies on the log axis, 0 at AxisLow to 1 at AxisHigh, kept within.
double AxisFraction(const ForestPlot& plot, double value);
// The powers of two from AxisLow to AxisHigh, for the tick marks.
std::vector<double> AxisTicks(const ForestPlot& plot);
std::string AxisTickText(double value);  // "1/4", "1", "16"

}  // namespace quorvane
