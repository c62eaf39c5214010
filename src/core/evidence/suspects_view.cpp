#include "core/evidence/suspects_view.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <numeric>

namespace quorvane {

namespace {

constexpr std::array<std::string_view, kViewColumnCount> kHeadings = {
    "Rank", "Item", "Tier", "Lag", "Exposed days", "Episodes after", "Risk ratio (95 %)",
    "p",    "q",    "Flags"};

// Listed on a summary page at most, so that one symptom fits one sheet.
constexpr std::size_t kSummarySuspects = 12;
constexpr std::size_t kSummaryTolerated = 40;

std::string Printed(const char* format, double value) {
    char text[48];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// Two decimals below 10, fewer above: "0.42", "3.10", "12.5", "140".
std::string Ratio(double value) {
    if (!std::isfinite(value)) {
        return "inf";
    }
    return Printed(value >= 100 ? "%.0f" : value >= 10 ? "%.1f" : "%.2f", value);
}

std::string Probability(double value) {
    return Printed("%.2g", value);
}

std::string FlagsText(uint8_t flags) {
    std::string text;
    for (int bit = 0; bit < kSuspectFlagCount; ++bit) {
        if ((flags & (1 << bit)) != 0) {
            if (!text.empty()) {
                text += ", ";
            }
            text += SuspectFlagName(bit);
        }
    }
    return text;
}

const char* LagPhrase(int lag) {
    switch (lag) {
        case 0:
            return "later the same day";
        case 1:
            return "the day after";
        default:
            return "two days after";
    }
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

std::string SuspectViewField(const SuspectRow& row, int column) {
    switch (column) {
        case kViewRank:
            return std::to_string(row.Rank);
        case kViewItem:
            return row.Item;
        case kViewTier:
            return std::string(TierName(row.Tier));
        case kViewLag:
            return std::to_string(row.Lag);
        case kViewExposedDays:
            return std::to_string(row.Table.A + row.Table.B);
        case kViewEpisodesAfter:
            return std::to_string(row.Table.A);
        case kViewRiskRatio:
            return Ratio(row.Risk.Ratio) + " (" + Ratio(row.Risk.Low) + "-" + Ratio(row.Risk.High) +
                   ")";
        case kViewP:
            return Probability(row.PValue);
        case kViewQ:
            return Probability(row.QValue);
        case kViewFlags:
            return FlagsText(row.Flags);
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

std::vector<std::string> SuspectChecks(const SuspectRow& row) {
    std::vector<std::string> lines;
    if (!row.Checked) {
        lines.push_back("Checks are made for strong and suggestive suspects only.");
        return lines;
    }
    lines.push_back(
        "Episodes with it in the two days before: " + std::to_string(row.EpisodesWithBefore) +
        "; in the two days after: " + std::to_string(row.EpisodesWithAfter) +
        (row.ReverseTiming ? " (reverse timing)." : "."));
    if (!row.Partner.empty()) {
        std::string line = "Most often eaten with: " + row.Partner + "; " +
                           std::to_string(row.DaysWithoutPartner) + " days without it";
        if (row.Inseparable) {
            line += " (inseparable)";
        } else if (row.AdjustedRatio) {
            line += "; allowing for it, risk ratio " + Ratio(*row.AdjustedRatio);
            if (row.ExplainedByPartner) {
                line += " (explained by it)";
            }
        }
        lines.push_back(line + ".");
    } else {
        lines.push_back("No other suspect shares its days.");
    }
    if (row.PWithoutTopDay) {
        lines.push_back("p without its most telling day: " + Probability(*row.PWithoutTopDay) +
                        ((row.Flags & kRestsOnOneDay) != 0 ? " (rests on one day)." : "."));
    }
    if (row.FirstHalfRatio || row.SecondHalfRatio) {
        lines.push_back("Risk ratio in the diary's first half: " +
                        (row.FirstHalfRatio ? Ratio(*row.FirstHalfRatio) : std::string("n/a")) +
                        "; second half: " +
                        (row.SecondHalfRatio ? Ratio(*row.SecondHalfRatio) : std::string("n/a")) +
                        ((row.Flags & kNotInBothHalves) != 0 ? " (not in both halves)." : "."));
    }
    return lines;
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
    if (const TItemNode* node = FindItem(items, item)) {
        timeline.Eaten = evidence.ItemDays(*node);
        std::erase_if(timeline.Eaten, [&](uint32_t day) { return day >= timeline.Days; });
    }
    return timeline;
}

ForestPlot ForestOf(const SymptomSuspects& suspects, std::size_t most) {
    ForestPlot plot;
    double low = 1;
    double high = 1;
    for (const SuspectRow& row : suspects.Rows) {
        if (plot.Rows.size() == most) {
            break;
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

DiaryFacts FactsOf(const DiaryEvidence& evidence, std::string version, std::string sha256) {
    DiaryFacts facts;
    facts.Days = evidence.DayCount();
    facts.FirstDay = evidence.FirstDayLabel().empty() ? "day 1" : evidence.FirstDayLabel();
    facts.LastDay = evidence.LastDayLabel().empty() ? "day " + std::to_string(facts.Days)
                                                    : evidence.LastDayLabel();
    facts.Version = std::move(version);
    facts.Sha256 = std::move(sha256);
    return facts;
}

std::vector<std::string> DoctorSummaryPage(const SuspectsResult& result,
                                           const SymptomSuspects& suspects,
                                           const DiaryFacts& facts) {
    const std::string& name = suspects.Name;
    std::vector<std::string> page;
    page.push_back("# Food diary summary: " + name);
    page.push_back("Diary from \"" + facts.FirstDay + "\" to \"" + facts.LastDay +
                   "\": " + std::to_string(facts.Days) + " days written, " +
                   std::to_string(suspects.Episodes) + " episode" +
                   (suspects.Episodes == 1 ? "" : "s") + " of " + name +
                   " (an episode is a run of days with it; it begins on the first).");

    page.push_back("# Suspects");
    std::vector<std::string> tolerated;
    std::size_t listed = 0;
    std::size_t more = 0;
    for (const SuspectRow& row : suspects.Rows) {
        if (row.Tier == SuspectTier::ProbablyTolerated) {
            tolerated.push_back(row.Item);
        }
        if (row.Tier != SuspectTier::Strong && row.Tier != SuspectTier::Suggestive) {
            continue;
        }
        if (listed == kSummarySuspects) {
            ++more;
            continue;
        }
        ++listed;
        const int64_t exposed = row.Table.A + row.Table.B;
        std::string line =
            std::to_string(row.Rank) + ". " + row.Item + " - " + std::string(TierName(row.Tier)) +
            ": " + name + " began " + LagPhrase(row.Lag) + " on " + std::to_string(row.Table.A) +
            " of " + std::to_string(exposed) + " days with it; " + Ratio(row.Risk.Ratio) +
            " times as often as on other days (95% interval " + Ratio(row.Risk.Low) + " to " +
            Ratio(row.Risk.High) + "), q = " + Probability(row.QValue) + ".";
        const std::string flags = FlagsText(row.Flags);
        if (!flags.empty()) {
            line += " Checks: " + flags + ".";
        }
        page.push_back(line);
    }
    if (listed == 0) {
        page.push_back("No food stood out as a suspect for " + name + ".");
    } else if (more > 0) {
        page.push_back("and " + std::to_string(more) + " more in the program's table.");
    }

    page.push_back("# Probably tolerated");
    if (tolerated.empty()) {
        page.push_back("None yet: a food needs at least 10 days in the diary with no sign of " +
                       name + " after it.");
    } else {
        std::string list;
        for (std::size_t i = 0; i < tolerated.size() && i < kSummaryTolerated; ++i) {
            list += (i > 0 ? ", " : "") + tolerated[i];
        }
        if (tolerated.size() > kSummaryTolerated) {
            list += " and " + std::to_string(tolerated.size() - kSummaryTolerated) + " more";
        }
        page.push_back(list + ".");
    }

    page.push_back("# How this was worked out");
    page.push_back(
        "Each food is compared with the diary's other days: on how many of the days with the "
        "food an episode began later that day, the next day or two days later (the three lags), "
        "against how often one began otherwise. For each lag an exact one-sided Fisher test asks "
        "whether the food was followed by an episode more often than chance allows; the best lag "
        "counts, with its p multiplied by 3 for the three lags tried. Because " +
        std::to_string(result.PairsTested) +
        " food-symptom pairs were tested, the p-values are corrected with the Benjamini-Hochberg "
        "method into q-values across all pairs tested (leaving out those with too few days ever "
        "to show a link). The risk ratio says how many times as often an "
        "episode began after the food; its 95 % interval uses the log method, adding 0.5 to every "
        "count when one is zero. Tiers: strong means q at most 0.05 and the whole interval above "
        "1; suggestive means q at most 0.20 and a ratio above 1; probably tolerated means at "
        "least 10 days with the food and every lag's upper bound below 1.5; possibly protective "
        "means every lag's whole interval below 1; the rest have not enough data. A diary can only "
        "point at "
        "foods to test; a planned test with a doctor confirms or clears them.");

    page.push_back("# To reproduce");
    page.push_back("Quorvane version " + facts.Version +
                   ". SHA-256 of the diary file: " + facts.Sha256 + ".");
    return page;
}

}  // namespace quorvane
