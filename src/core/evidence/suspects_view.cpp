#include "core/evidence/suspects_view.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <numeric>

#include "core/evidence/suspects_plain.h"

namespace quorvane {

namespace {

constexpr std::array<std::string_view, kViewColumnCount> kHeadings = {
    "Rank", "Food", "Tier",  "Delay", "Days\neaten", "Episodes\nafter", "Times as\noften",
    "p",    "q",    "Checks"};

constexpr std::array<std::string_view, kViewColumnCount> kHeadingTips = {
    "The order of the evidence: 1 is the food most likely to bring the symptom on.",
    "The food as written in the diary.",
    "What the evidence amounts to, from Strong to Too little data.",
    "The delay that fits best: 0 is later the same day, 1 the next day, 2 two days later.",
    "On how many diary days the food was eaten, counted at that delay.",
    "On how many of those days an episode of the symptom began.",
    "How many times as often an episode began after the food as on other days, with the "
    "95 % range.",
    "How likely a link this strong would be by chance alone for this one food.",
    "The same after allowing for every food that was checked; the tiers use this one.",
    "What the checks found that speaks against the suspicion or for it."};

std::string Printed(const char* format, double value) {
    char text[48];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

const TItemNode* FindItem(const ItemList& items, std::string_view name) {
    for (const TItemNode& node : items.Entries()) {
        if (node.Next != nullptr && node.Name == name) {
            return &node;
        }
    }
    return nullptr;
}

}  // namespace

bool IsMonitoredSymptom(int symptom) {
    return symptom >= kFirstUserSymptom && symptom <= kLastUserSymptom;
}

std::string_view SuspectViewHeading(int column) {
    return column >= 0 && column < kViewColumnCount ? kHeadings[static_cast<std::size_t>(column)]
                                                    : std::string_view();
}

std::string_view SuspectViewHeadingTip(int column) {
    return column >= 0 && column < kViewColumnCount ? kHeadingTips[static_cast<std::size_t>(column)]
                                                    : std::string_view();
}

bool SuspectViewShownAtFirst(int column) {
    return column != kViewLag && column != kViewQ;
}

std::string RatioRangeText(const RiskRatioInterval& risk) {
    // No episode on the other days: the ratio has no upper limit, only a floor.
    // and a floor below 1 says nothing.
    if (!std::isfinite(risk.Ratio)) {
        return risk.Low >= 1 ? "at least " + TimesText(risk.Low) : "cannot tell";
    }
    return TimesText(risk.Ratio) + " (" + TimesText(risk.Low) + " to " + TimesText(risk.High) + ")";
}

std::string SuspectViewTip(const SuspectRow& row, int column) {
    switch (column) {
        case kViewTier:
            return std::string(TierMeaning(row.Tier));
        case kViewRiskRatio:
            return "exact: " + ExactFigure(row.Risk.Ratio) + " (" + ExactFigure(row.Risk.Low) +
                   " to " + ExactFigure(row.Risk.High) + ")";
        case kViewP:
            return "p = " + ExactFigure(row.PValue) +
                   " (without allowing for the three delays: " + ExactFigure(row.RawP) + ")";
        case kViewQ:
            return "q = " + ExactFigure(row.QValue);
        default:
            return SuspectViewField(row, column);
    }
}

std::string SuspectViewField(const SuspectRow& row, int column) {
    switch (column) {
        case kViewRank:
            return std::to_string(row.Rank);
        case kViewItem:
            return row.Item;
        case kViewTier:
            return std::string(TierLabel(row.Tier));
        case kViewLag:
            return std::to_string(row.Lag);
        case kViewExposedDays:
            return std::to_string(row.Table.A + row.Table.B);
        case kViewEpisodesAfter:
            return std::to_string(row.Table.A);
        case kViewRiskRatio:
            return RatioRangeText(row.Risk);
        case kViewP:
            return PlainProbability(row.PValue);
        case kViewQ:
            return PlainProbability(row.QValue);
        case kViewFlags:
            return FlagLabels(row.Flags);
        default:
            return {};
    }
}

std::array<std::string, kViewColumnCount> SuspectViewFields(const SuspectRow& row) {
    std::array<std::string, kViewColumnCount> fields;
    for (int column = 0; column < kViewColumnCount; ++column) {
        fields[static_cast<std::size_t>(column)] = SuspectViewField(row, column);
    }
    return fields;
}

bool SuspectViewNumeric(int column) {
    return column != kViewItem && column != kViewFlags;
}

double SuspectViewSortKey(const SuspectRow& row, int column) {
    switch (column) {
        case kViewRank:
            return row.Rank;
        case kViewTier:
            return static_cast<double>(row.Tier);
        case kViewLag:
            return row.Lag;
        case kViewExposedDays:
            return static_cast<double>(row.Table.A + row.Table.B);
        case kViewEpisodesAfter:
            return static_cast<double>(row.Table.A);
        case kViewRiskRatio:
            return row.Risk.Ratio;
        case kViewP:
            return row.PValue;
        case kViewQ:
            return row.QValue;
        default:
            return 0;
    }
}

namespace {

bool FigureLess(double a, double b) {
    if (std::isnan(a) || std::isnan(b)) {
        return !std::isnan(a) && std::isnan(b);
    }
    return a < b;
}

template <typename Key, typename Less>
void SortBy(std::vector<std::size_t>& order, const std::vector<Key>& keys, bool descending,
            Less less) {
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return descending ? less(keys[b], keys[a]) : less(keys[a], keys[b]);
    });
}

}  // namespace

std::vector<std::size_t> SuspectViewOrder(const std::vector<SuspectRow>& rows, int column,
                                          bool descending) {
    std::vector<std::size_t> order(rows.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    if (SuspectViewNumeric(column)) {
        std::vector<double> keys(rows.size());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            keys[i] = SuspectViewSortKey(rows[i], column);
        }
        SortBy(order, keys, descending, FigureLess);
    } else {
        std::vector<std::string> keys(rows.size());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            keys[i] = SuspectViewField(rows[i], column);
        }
        SortBy(order, keys, descending, std::less<>());
    }
    return order;
}

std::vector<uint32_t> EpisodeOnsets(const DiaryEvidence& evidence, int symptom) {
    std::vector<uint32_t> onsets;
    if (symptom < 1 || symptom > kSymptomCount) {
        return onsets;
    }
    const std::vector<uint32_t>& days = evidence.SymptomDays(symptom);
    for (std::size_t i = 0; i < days.size(); ++i) {
        if (days[i] >= evidence.DayCount()) {
            break;
        }
        if (i == 0 || days[i - 1] + 1 != days[i]) {
            onsets.push_back(days[i]);
        }
    }
    return onsets;
}

SuspectTimeline TimelineOf(const DiaryEvidence& evidence, const ItemList& items,
                           std::string_view item, int symptom) {
    SuspectTimeline timeline;
    timeline.Days = evidence.DayCount();
    timeline.Onsets = EpisodeOnsets(evidence, symptom);
    if (symptom >= 1 && symptom <= kSymptomCount) {
        timeline.SymptomDays = evidence.SymptomDays(symptom);
        std::erase_if(timeline.SymptomDays, [&](uint32_t day) { return day >= timeline.Days; });
    }
    if (const TItemNode* node = FindItem(items, item)) {
        timeline.Eaten = evidence.ItemDays(*node);
        std::erase_if(timeline.Eaten, [&](uint32_t day) { return day >= timeline.Days; });
    }
    return timeline;
}

ForestPlot ForestOf(const SymptomSuspects& suspects, std::size_t most, bool judgedOnly) {
    ForestPlot plot;
    double low = 1;
    double high = 1;
    for (const SuspectRow& row : suspects.Rows) {
        if (plot.Rows.size() == most) {
            break;
        }
        if (judgedOnly && row.Tier == SuspectTier::TooLittleData) {
            continue;
        }
        plot.Rows.push_back({row.Item, row.Tier, row.Risk});
        if (std::isfinite(row.Risk.Low) && row.Risk.Low > 0) {
            low = std::min(low, row.Risk.Low);
        }
        if (std::isfinite(row.Risk.High)) {
            high = std::max(high, row.Risk.High);
        }
    }
    // Whole powers of two, at least one either side of 1, so that the line at 1
    // never sits on the frame.
    plot.AxisLow = std::pow(2.0, std::min(-1.0, std::floor(std::log2(low))));
    plot.AxisHigh = std::pow(2.0, std::max(1.0, std::ceil(std::log2(high))));
    return plot;
}

double AxisFraction(const ForestPlot& plot, double value) {
    if (!(value > 0)) {
        return 0;
    }
    const double span = std::log(plot.AxisHigh) - std::log(plot.AxisLow);
    return std::clamp((std::log(value) - std::log(plot.AxisLow)) / span, 0.0, 1.0);
}

std::vector<double> AxisTicks(const ForestPlot& plot) {
    std::vector<double> ticks;
    const auto first = static_cast<int>(std::lround(std::log2(plot.AxisLow)));
    const auto last = static_cast<int>(std::lround(std::log2(plot.AxisHigh)));
    // Every power on a short axis, every other on a long one.
    const int step = last - first > 8 ? 2 : 1;
    for (int power = first; power <= last; power += step) {
        ticks.push_back(std::ldexp(1.0, power));
    }
    return ticks;
}

std::string AxisTickText(double value) {
    // Fractions stay short where decimals would not: 1/128 rather than 0.0078125.
    if (value > 0 && value < 1) {
        return "1/" + Printed("%g", 1 / value);
    }
    return Printed("%g", value);
}

}  // namespace quorvane
