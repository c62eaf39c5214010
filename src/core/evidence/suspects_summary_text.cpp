#include "core/evidence/suspects_summary_text.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "core/evidence/suspects_plain.h"
#include "core/evidence/suspects_view.h"

namespace quorvane {

namespace {

// Listed on a summary page at most, so that one symptom keeps to about a sheet.
constexpr std::size_t kSummarySuspects = 12;
constexpr std::size_t kSummaryTolerated = 40;
constexpr std::size_t kOverviewSuspects = 3;

bool IsSuspect(const SuspectRow& row) {
    return row.Tier == SuspectTier::Strong || row.Tier == SuspectTier::Suggestive;
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

std::string Plural(int64_t count, const std::string& one) {
    return std::to_string(count) + " " + one + (count == 1 ? "" : "s");
}

std::string RangeSentence(const DiaryFacts& facts) {
    return "Diary from " + facts.FirstDay + " to " + facts.LastDay + ": " +
           Plural(facts.Days, "day") + " written.";
}

std::string ReproduceLine(const DiaryFacts& facts) {
    return "Quorvane version " + facts.Version + ". SHA-256 of the diary file: " + facts.Sha256 +
           ".";
}

std::string SuspectLine(const SuspectRow& row, const std::string& symptom) {
    const int64_t exposed = row.Table.A + row.Table.B;
    std::string line = std::to_string(row.Rank) + ". " + row.Item + " - " +
                       std::string(TierLabel(row.Tier)) + ": " + symptom + " began " +
                       LagPhrase(row.Lag) + " on " + std::to_string(row.Table.A) + " of " +
                       std::to_string(exposed) + " days with it; ";
    line += std::isfinite(row.Risk.Ratio)
                ? TimesText(row.Risk.Ratio) + " times as often as on other days (95 % range " +
                      TimesText(row.Risk.Low) + " to " + TimesText(row.Risk.High) + ")"
                : "never on other days (at least " + TimesText(row.Risk.Low) +
                      " times as often, 95 % range)";
    line +=
        ", q " + std::string(row.QValue < 0.001 ? "" : "= ") + PlainProbability(row.QValue) + ".";
    const std::string flags = FlagLabels(row.Flags);
    if (!flags.empty()) {
        line += " Checks: " + flags + ".";
    }
    return line;
}

std::string ToleratedText(const SymptomSuspects& suspects) {
    const std::string& name = suspects.Name;
    std::vector<std::string> tolerated;
    std::size_t often = 0;
    for (const SuspectRow& row : suspects.Rows) {
        if (row.Tier == SuspectTier::ProbablyTolerated) {
            tolerated.push_back(row.Item);
        }
        if (row.Table.A + row.Table.B >= 10) {
            ++often;
        }
    }
    const std::string rule =
        "A food is listed here when it was had on at least 10 days and the "
        "diary rules out, at every delay, that it makes " +
        name + " even 1.5 times as likely.";
    if (!tolerated.empty()) {
        std::string list;
        for (std::size_t i = 0; i < tolerated.size() && i < kSummaryTolerated; ++i) {
            list += (i > 0 ? ", " : "") + tolerated[i];
        }
        if (tolerated.size() > kSummaryTolerated) {
            list += " and " + std::to_string(tolerated.size() - kSummaryTolerated) + " more";
        }
        return list + ". " + rule;
    }
    if (often == 0) {
        return "None: no food was had on 10 days or more. " + rule;
    }
    return "None yet. " + rule + " " + Plural(static_cast<int64_t>(often), "food") +
           " had 10 days or more, but with " + Plural(suspects.Episodes, "episode") +
           " the diary's ranges are still too wide to rule that out for any of them.";
}

std::string MethodText(const SuspectsResult& result) {
    return "Foods are ranked by the strength of the evidence. For each food and each delay (later "
           "the same day, the next day, two days later) a one-sided exact test (Fisher's) asks "
           "how likely it is by chance that the symptom began after the food this often; the "
           "best of the three delays counts, its p multiplied by 3 for the choice. Because " +
           std::to_string(result.PairsTested) +
           " food-symptom pairs were tested, false discoveries are controlled across all of "
           "them (Benjamini-Hochberg q-values), and the tiers use q: strong means q at most 0.05 "
           "and the whole range above 1; suggestive, q at most 0.20 and more often after the "
           "food. The range of \"times as often\" is Koopman's score interval, which holds on "
           "small counts; it is widened for each delay because the best of three is chosen, so "
           "that it still holds 95 % of the time. Foods had on fewer than 3 days are not judged. "
           "A diary can only point at foods to test: a planned test with a doctor confirms or "
           "clears them.";
}

}  // namespace

DiaryFacts FactsOf(const DiaryEvidence& evidence, std::string version, std::string sha256) {
    DiaryFacts facts;
    facts.Days = evidence.DayCount();
    const std::optional<std::string> first = DateOfLabel(evidence.FirstDayLabel());
    const std::optional<std::string> last = DateOfLabel(evidence.LastDayLabel());
    // Half a range in dates would read as if both ends were.
    if (first && last) {
        facts.FirstDay = *first;
        facts.LastDay = *last;
    } else {
        facts.FirstDay = "day 1";
        facts.LastDay = "day " + std::to_string(facts.Days);
    }
    facts.Version = std::move(version);
    facts.Sha256 = std::move(sha256);
    return facts;
}

const SuspectRow* CalendarFood(const SymptomSuspects& suspects) {
    const auto top = std::find_if(suspects.Rows.begin(), suspects.Rows.end(), IsSuspect);
    return top != suspects.Rows.end() ? &*top : nullptr;
}

std::vector<SummaryBlock> SummaryOverview(const SuspectsResult& result, const DiaryFacts& facts) {
    std::vector<SummaryBlock> page;
    page.push_back({SummaryBlock::Title, "Food diary summary"});
    page.push_back({SummaryBlock::Text, RangeSentence(facts)});
    page.push_back({SummaryBlock::Heading, "Symptoms and their top suspects"});
    bool any = false;
    for (const SymptomSuspects& group : result.Symptoms) {
        if (!IsMonitoredSymptom(group.Symptom)) {
            continue;
        }
        any = true;
        std::string line = group.Name + ": " + Plural(group.Episodes, "episode") + ". ";
        std::string top;
        std::size_t listed = 0;
        for (const SuspectRow& row : group.Rows) {
            if (listed == kOverviewSuspects || !IsSuspect(row)) {
                break;
            }
            top += (listed++ > 0 ? ", " : "") + row.Item + " (" + std::string(TierLabel(row.Tier)) +
                   ")";
        }
        line += listed > 0 ? "Top suspects: " + top + "." : "No food stood out.";
        page.push_back({SummaryBlock::Text, line});
    }
    if (!any) {
        page.push_back({SummaryBlock::Text, "No monitored symptom began in this diary."});
    }
    page.push_back({SummaryBlock::Text,
                    "An episode is a run of days with the symptom; it begins on the first. A "
                    "page for each symptom follows, with its suspects, a chart of how much more "
                    "often it began after each, and a calendar of the diary."});
    if (!facts.Challenge.empty()) {
        page.push_back({SummaryBlock::Heading, facts.Challenge.front()});
        for (std::size_t i = 1; i < facts.Challenge.size(); ++i) {
            page.push_back({SummaryBlock::Text, facts.Challenge[i]});
        }
    }
    page.push_back({SummaryBlock::Heading, "What the tiers mean"});
    for (const SuspectTier tier : {SuspectTier::Strong, SuspectTier::Suggestive,
                                   SuspectTier::NotEnoughData, SuspectTier::ProbablyTolerated}) {
        page.push_back({SummaryBlock::Text,
                        std::string(TierLabel(tier)) + ": " + std::string(TierMeaning(tier))});
    }
    page.push_back({SummaryBlock::Heading, "To reproduce"});
    page.push_back({SummaryBlock::Text, ReproduceLine(facts)});
    return page;
}

std::vector<SummaryBlock> DoctorSummaryPage(const SuspectsResult& result,
                                            const SymptomSuspects& suspects,
                                            const DiaryFacts& facts) {
    const std::string& name = suspects.Name;
    std::vector<SummaryBlock> page;
    page.push_back({SummaryBlock::Title, "Food diary summary: " + name});
    page.push_back({SummaryBlock::Text, "Diary from " + facts.FirstDay + " to " + facts.LastDay +
                                            ": " + Plural(facts.Days, "day") + " written, " +
                                            Plural(suspects.Episodes, "episode") + " of " + name +
                                            " (a run of days with it; it begins on the first)."});

    page.push_back({SummaryBlock::Heading, "Suspects"});
    std::size_t listed = 0;
    std::size_t more = 0;
    for (const SuspectRow& row : suspects.Rows) {
        if (!IsSuspect(row)) {
            continue;
        }
        if (listed == kSummarySuspects) {
            ++more;
            continue;
        }
        ++listed;
        page.push_back({SummaryBlock::Text, SuspectLine(row, name)});
    }
    if (listed == 0) {
        page.push_back({SummaryBlock::Text, "No food stood out as a suspect for " + name + "."});
    } else if (more > 0) {
        page.push_back(
            {SummaryBlock::Text, "and " + std::to_string(more) + " more in the program's table."});
    }
    page.push_back({SummaryBlock::Heading, "How much more often, with the 95 % range"});
    const bool judged =
        std::any_of(suspects.Rows.begin(), suspects.Rows.end(),
                    [](const auto& row) { return row.Tier != SuspectTier::TooLittleData; });
    if (judged) {
        page.push_back({SummaryBlock::Forest, {}});
    } else {
        page.push_back(
            {SummaryBlock::Text, "No food was had on 3 days or more, so none is charted."});
    }
    const SuspectRow* marked = CalendarFood(suspects);
    page.push_back({SummaryBlock::Heading, marked != nullptr
                                               ? "Calendar: " + name + " and " + marked->Item
                                               : "Calendar: " + name});
    page.push_back({SummaryBlock::Calendar, marked != nullptr ? marked->Item : std::string()});

    page.push_back({SummaryBlock::Heading, "Probably tolerated"});
    page.push_back({SummaryBlock::Text, ToleratedText(suspects)});
    page.push_back({SummaryBlock::Heading, "How this was worked out"});
    page.push_back({SummaryBlock::Text, MethodText(result)});
    page.push_back({SummaryBlock::Heading, "To reproduce"});
    page.push_back({SummaryBlock::Text, ReproduceLine(facts)});
    return page;
}

}  // namespace quorvane
