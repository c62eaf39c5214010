#include "core/challenge/challenge_analysis.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <unordered_set>

#include "core/analysis/item_list.h"
#include "core/challenge/challenge_store.h"
#include "core/evidence/diary_evidence.h"
#include "core/evidence/suspect_days.h"

namespace quorvane {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// P(X >= k) for X ~ Binomial(n, p).
double UpperTail(int64_t k, int64_t n, double p) {
    if (k <= 0) {
        return 1;
    }
    if (p <= 0) {
        return 0;
    }
    if (p >= 1) {
        return 1;
    }
    double sum = 0;
    for (int64_t i = k; i <= n; ++i) {
        const double logTerm =
            std::lgamma(static_cast<double>(n) + 1) - std::lgamma(static_cast<double>(i) + 1) -
            std::lgamma(static_cast<double>(n - i) + 1) + static_cast<double>(i) * std::log(p) +
            static_cast<double>(n - i) * std::log1p(-p);
        sum += std::exp(logTerm);
    }
    return std::min(sum, 1.0);
}

// The p at which `tail(p)` (rising in p) crosses `target`, by bisection.
template <typename Tail>
double Solve(Tail tail, double target) {
    double low = 0;
    double high = 1;
    for (int i = 0; i < 200; ++i) {
        const double middle = (low + high) / 2;
        (tail(middle) < target ? low : high) = middle;
    }
    return (low + high) / 2;
}

const TItemNode* FindItem(const ItemList& items, const std::string& name) {
    if (items.First() == nullptr) {
        return nullptr;
    }
    for (const TItemNode* node = items.First()->Next; node != nullptr && node->Next != nullptr;
         node = node->Next) {
        if (node->Name == name) {
            return node;
        }
    }
    return nullptr;
}

std::unordered_set<uint32_t> DaysOf(const DiaryEvidence& evidence, const ItemList& items,
                                    const std::string& name) {
    const TItemNode* node = FindItem(items, name);
    if (node == nullptr) {
        return {};
    }
    const std::vector<uint32_t> days = evidence.ItemDays(*node);
    return {days.begin(), days.end()};
}

int SymptomIndex(const DiaryEvidence& evidence, const std::string& name) {
    for (int s = 1; s <= kLastUserSymptom; ++s) {
        if (evidence.SymptomName(s) == name) {
            return s;
        }
    }
    return 0;
}

std::string Figure(double value) {
    if (std::isinf(value)) {
        return "unbounded";
    }
    char text[32];
    std::snprintf(text, sizeof text, value < 10 ? "%.2f" : "%.1f", value);
    return text;
}

std::string PFigure(double p) {
    char text[32];
    std::snprintf(text, sizeof text, p < 0.001 ? "%.5f" : "%.3f", p);
    return text;
}

std::string Plural(int64_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

RateRatio ExactRateRatio(int64_t exposedOnsets, int64_t exposedDays, int64_t otherOnsets,
                         int64_t otherDays, double confidence) {
    RateRatio rate;
    const int64_t onsets = exposedOnsets + otherOnsets;
    if (onsets == 0 || exposedDays <= 0 || otherDays <= 0) {
        return rate;
    }
    rate.Defined = true;
    const double alpha = (1 - confidence) / 2;
    // Given the onsets, the exposed share is binomial with p = r / (r + 1) for
    // r = ratio x exposedDays / otherDays.
    const double low =
        exposedOnsets == 0
            ? 0
            : Solve([&](double p) { return UpperTail(exposedOnsets, onsets, p); }, alpha);
    const double high =
        exposedOnsets == onsets
            ? 1
            : Solve([&](double p) { return UpperTail(exposedOnsets + 1, onsets, p); }, 1 - alpha);
    const double scale = static_cast<double>(otherDays) / static_cast<double>(exposedDays);
    const auto ratioOf = [scale](double p) { return p >= 1 ? kInfinity : p / (1 - p) * scale; };
    rate.Ratio = otherOnsets == 0 ? kInfinity
                                  : static_cast<double>(exposedOnsets) /
                                        static_cast<double>(otherOnsets) * scale;
    rate.Low = ratioOf(low);
    rate.High = ratioOf(high);
    return rate;
}

ChallengeResult AnalyseChallenge(const ChallengePlan& plan, const DiaryEvidence& evidence,
                                 const ItemList& items) {
    ChallengeResult result;
    const int symptom = SymptomIndex(evidence, plan.Symptom);
    result.SymptomKnown = symptom != 0;
    const SymptomDays days = symptom != 0 ? ClassifyDays(evidence, symptom) : SymptomDays{};
    const std::unordered_set<uint32_t> eaten = DaysOf(evidence, items, plan.Food);
    const std::unordered_set<uint32_t> eatMarks = DaysOf(evidence, items, kChallengeEatWord);
    const std::unordered_set<uint32_t> avoidMarks = DaysOf(evidence, items, kChallengeAvoidWord);
    const int64_t dayCount = evidence.DayCount();

    const int64_t written = std::clamp<int64_t>(dayCount - plan.StartDay, 0, plan.TotalDays());
    result.PlanDaysWritten = static_cast<int>(written);
    for (int p = 0; p < written; ++p) {
        const uint32_t day = plan.StartDay + static_cast<uint32_t>(p);
        const char planned = plan.Instruction(p);
        const bool ate = eaten.count(day) != 0;
        const bool markedEat = eatMarks.count(day) != 0;
        const bool markedAvoid = avoidMarks.count(day) != 0;
        std::string disagrees;
        if (planned == 'E' && markedAvoid && !markedEat) {
            disagrees = kChallengeAvoidWord;
        } else if (planned == 'A' && markedEat && !markedAvoid) {
            disagrees = kChallengeEatWord;
        }
        if (ate != (planned == 'E') || !disagrees.empty()) {
            result.Departures.push_back({p, day, planned, ate, disagrees});
        }
    }

    const int periodDays = plan.PeriodDays;
    result.BlocksDone = static_cast<int>(written / (2 * periodDays));
    std::vector<BlockCounts> blocks(static_cast<std::size_t>(result.BlocksDone));
    for (int p = 0; p < result.BlocksDone * 2 * periodDays; ++p) {
        if (!plan.Counted(p)) {
            continue;
        }
        const uint32_t day = plan.StartDay + static_cast<uint32_t>(p);
        if (symptom != 0 && days.Status[day] == kInEpisode) {
            continue;  // an episode runs on from the day before: not at risk
        }
        const bool exposed = eaten.count(day - static_cast<uint32_t>(plan.Lag)) != 0;
        const bool onset = symptom != 0 && days.Status[day] == kOnset;
        BlockCounts& block = blocks[static_cast<std::size_t>(p / (2 * periodDays))];
        (exposed ? block.ExposedDays : block.OtherDays) += 1;
        (exposed ? block.ExposedOnsets : block.OtherOnsets) += onset;
        (exposed ? result.EatenDays : result.AvoidedDays) += 1;
        (exposed ? result.EatenOnsets : result.AvoidedOnsets) += onset;
    }
    if (!blocks.empty()) {
        result.Test = EnumeratedRandomizationTest(blocks);
    }
    result.Rate = ExactRateRatio(result.EatenOnsets, result.EatenDays, result.AvoidedOnsets,
                                 result.AvoidedDays);
    if (blocks.empty() || result.Test.SmallestP > kChallengeLevel) {
        result.Verdict = ChallengeVerdict::NotEnoughEpisodes;
    } else if (result.Test.PValue <= kChallengeLevel && result.Test.Statistic > 0) {
        result.Verdict = ChallengeVerdict::Confirmed;
    } else {
        result.Verdict = ChallengeVerdict::Tolerated;
    }
    return result;
}

std::string VerdictName(ChallengeVerdict verdict) {
    switch (verdict) {
        case ChallengeVerdict::Confirmed:
            return "Confirmed";
        case ChallengeVerdict::Tolerated:
            return "Not confirmed \xE2\x80\x94 it looks tolerated";
        case ChallengeVerdict::NotEnoughEpisodes:
            break;
    }
    return "Not enough episodes yet";
}

std::vector<std::string> ChallengeVerdictLines(const ChallengePlan& plan,
                                               const ChallengeResult& result) {
    std::vector<std::string> lines;
    lines.push_back("Planned test of " + plan.Food + " for " + plan.Symptom);
    lines.push_back("Verdict: " + VerdictName(result.Verdict) + ".");
    if (result.Verdict == ChallengeVerdict::Tolerated && result.Test.Statistic > 0) {
        lines.push_back("More onsets came after " + plan.Food +
                        ", but no more than chance alone gives often.");
    }
    if (!result.SymptomKnown) {
        lines.push_back(plan.Symptom + " is not among the monitored symptoms now.");
    }
    lines.push_back(std::to_string(result.BlocksDone) + " of " +
                    Plural(plan.Blocks, "block", "blocks") + " done (" +
                    std::to_string(result.PlanDaysWritten) + " of " +
                    std::to_string(plan.TotalDays()) + " planned days written); each block is " +
                    std::to_string(plan.PeriodDays) + " days with and " +
                    std::to_string(plan.PeriodDays) + " without, in random order, the first " +
                    Plural(plan.WashoutDays, "day", "days") + " of each period not counted.");
    if (result.BlocksDone > 0) {
        lines.push_back("Onsets on counted days at risk: " + std::to_string(result.EatenOnsets) +
                        " in " + Plural(result.EatenDays, "day", "days") + " after " + plan.Food +
                        ", " + std::to_string(result.AvoidedOnsets) + " in " +
                        Plural(result.AvoidedDays, "day", "days") + " without.");
        if (result.Rate.Defined) {
            lines.push_back("Rate ratio " + Figure(result.Rate.Ratio) + " (95 % interval " +
                            Figure(result.Rate.Low) + " to " + Figure(result.Rate.High) + ").");
        }
        lines.push_back(
            "Exact randomization test over the " + std::to_string(result.Test.Assignments) +
            " orders the plan could have drawn: one-sided p = " + PFigure(result.Test.PValue) +
            "; the smallest p these days allow is " + PFigure(result.Test.SmallestP) + ".");
    }
    if (result.BlocksDone < plan.Blocks && result.BlocksDone > 0) {
        lines.push_back(
            "An interim look: a verdict before the last block is less sure than "
            "the plan's 5 % level.");
    }
    if (result.Departures.empty()) {
        if (result.PlanDaysWritten > 0) {
            lines.push_back("The diary shows every written day as planned.");
        }
    } else {
        lines.push_back("Days that went otherwise than planned, counted as the diary says: " +
                        std::to_string(result.Departures.size()) + ".");
        for (const ChallengeDeparture& d : result.Departures) {
            std::string line = "Plan day " + std::to_string(d.PlanDay + 1) + " (diary day " +
                               std::to_string(d.DiaryDay + 1) + "): planned " +
                               (d.Planned == 'E' ? "eat " : "no ") + plan.Food + ", ";
            line += d.Eaten ? "eaten" : "not eaten";
            if (!d.MarkerDisagrees.empty()) {
                line += "; the diary says " + d.MarkerDisagrees;
            }
            lines.push_back(line + ".");
        }
    }
    return lines;
}

std::vector<std::string> StoredChallengeLines(const ProfileFile& profile,
                                              const DiaryEvidence& evidence,
                                              const ItemList& items) {
    const std::optional<ChallengePlan> plan = ReadChallengePlan(profile);
    if (!plan || !evidence.Finished()) {
        return {};
    }
    return ChallengeVerdictLines(*plan, AnalyseChallenge(*plan, evidence, items));
}

}  // namespace quorvane
