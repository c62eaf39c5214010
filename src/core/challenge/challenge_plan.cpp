#include "core/challenge/challenge_plan.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/challenge/challenge_random.h"
#include "core/challenge/randomization.h"
#include "core/evidence/diary_evidence.h"
#include "core/evidence/suspect_days.h"
#include "core/evidence/suspects.h"

namespace quorvane {

namespace {

constexpr double kDaysPerMonth = 30.44;
constexpr int kWeek = 7;
// Past this the message says "more than five years" rather than a figure.
constexpr int kLongestSearchDays = 5 * 365;
// A day's onset chance never reaches certainty, however large the ratio.
constexpr double kHighestDailyChance = 0.95;
// Up to the six-month cap every assignment is tried; past it, where the figure
// only says how long a test would take, a sample of them.
constexpr int kEnumeratedBlocks = 13;
constexpr int kSampledAssignments = 400;

// Long enough for most of the diary's episodes: an episode still running when a
// period ends must not block onsets in the next period's counted days.
int TypicalEpisodeDays(std::vector<int> lengths) {
    if (lengths.empty()) {
        return 1;
    }
    std::sort(lengths.begin(), lengths.end());
    const std::size_t rank = (3 * lengths.size() + 3) / 4;  // nearest-rank 75th percentile
    return std::clamp(lengths[rank - 1], 1, 14);
}

double BaseRateOf(const DayTable& t) {
    const int64_t days = t.C + t.D;
    if (days <= 0) {
        return 0;
    }
    // No onset without the food: half an onset keeps the plan finite.
    return static_cast<double>(std::max<double>(static_cast<double>(t.C), 0.5)) /
           static_cast<double>(days);
}

struct Shape {
    int PeriodDays = 0;
    int Blocks = 0;  // 0: none found
    double Power = 0;
};

// The fewest blocks of `model`'s periods reaching the power goal within
// `maxDays`, searched one by one up to the cap and by doubling past it.
Shape FewestBlocks(const PowerModel& model, int maxDays) {
    const int perBlock = 2 * model.PeriodDays;
    const int most = maxDays / perBlock;
    Shape shape{model.PeriodDays, 0, 0};
    const int capBlocks = kChallengeMaxDays / perBlock;
    // Past the cap the figure only says how long a test would take: a rougher
    // estimate does.
    const auto powerOf = [&](int blocks) {
        const int trials = blocks > capBlocks ? kPowerTrials / 4 : kPowerTrials;
        return SimulatedPower(model, blocks, trials, kPowerSeed);
    };
    int low = kChallengeMinBlocks - 1;  // known to fall short
    int high = 0;                       // known to reach the goal
    double highPower = 0;
    for (int blocks = kChallengeMinBlocks; blocks <= std::min(capBlocks, most); ++blocks) {
        const double power = powerOf(blocks);
        if (power >= kChallengePowerGoal) {
            return Shape{model.PeriodDays, blocks, power};
        }
        low = blocks;
    }
    for (int blocks = std::max(low * 2, kChallengeMinBlocks); high == 0; blocks *= 2) {
        const int tried = std::min(blocks, most);
        if (tried <= low) {
            return shape;
        }
        const double power = powerOf(tried);
        if (power >= kChallengePowerGoal) {
            high = tried;
            highPower = power;
        } else {
            low = tried;
            if (tried == most) {
                return shape;
            }
        }
    }
    while (high - low > 1) {
        const int middle = (low + high) / 2;
        const double power = powerOf(middle);
        if (power >= kChallengePowerGoal) {
            high = middle;
            highPower = power;
        } else {
            low = middle;
        }
    }
    return Shape{model.PeriodDays, high, highPower};
}

}  // namespace

char ChallengePlan::Instruction(int64_t planDay) const {
    if (planDay < 0 || planDay >= TotalDays() || PeriodDays <= 0) {
        return 0;
    }
    const auto period = static_cast<std::size_t>(planDay / PeriodDays);
    return period < Order.size() ? Order[period] : 0;
}

std::vector<int> EpisodeLengths(const DiaryEvidence& evidence, int symptom) {
    std::vector<int> lengths;
    uint32_t previous = 0;
    for (const uint32_t day : evidence.SymptomDays(symptom)) {
        if (!lengths.empty() && day == previous + 1) {
            ++lengths.back();
        } else if (lengths.empty() || day != previous) {
            lengths.push_back(1);
        }
        previous = day;
    }
    return lengths;
}

ChallengeFacts FactsForChallenge(const DiaryEvidence& evidence, const SuspectRow& row) {
    ChallengeFacts facts;
    facts.Food = row.Item;
    facts.Symptom = row.SymptomName;
    facts.Lag = row.Lag;
    facts.Table = row.Table;
    facts.Ratio = row.Risk.Ratio;
    facts.EpisodeLengths = EpisodeLengths(evidence, row.Symptom);
    facts.DayCount = evidence.DayCount();
    facts.Onsets = static_cast<int64_t>(facts.EpisodeLengths.size());
    return facts;
}

std::string PeriodOrder(uint64_t seed, int blocks) {
    ChallengeRandom random(seed);
    std::string order;
    for (int b = 0; b < blocks; ++b) {
        order += (random.Next() >> 63) != 0 ? "EA" : "AE";
    }
    return order;
}

double SimulatedPower(const PowerModel& model, int blocks, int trials, uint64_t seed) {
    if (blocks <= 0 || trials <= 0 || model.PeriodDays <= 0) {
        return 0;
    }
    ChallengeRandom random(seed);
    const double avoidChance = std::min(model.BaseRate, kHighestDailyChance);
    const double eatChance = std::min(model.BaseRate * model.Ratio, kHighestDailyChance);
    const int days = 2 * blocks * model.PeriodDays;
    std::vector<BlockCounts> counts(static_cast<std::size_t>(blocks));
    std::vector<bool> eaten(static_cast<std::size_t>(days));
    int confirmed = 0;
    for (int trial = 0; trial < trials; ++trial) {
        const std::string order = PeriodOrder(random.Next(), blocks);
        for (int day = 0; day < days; ++day) {
            const bool planned = order[static_cast<std::size_t>(day / model.PeriodDays)] == 'E';
            const bool offPlan = model.Adherence < 1 && !random.Chance(model.Adherence);
            eaten[static_cast<std::size_t>(day)] = planned != offPlan;
        }
        std::fill(counts.begin(), counts.end(), BlockCounts{});
        int episodeLeft = 0;
        bool yesterday = false;  // a symptom day
        for (int day = 0; day < days; ++day) {
            bool symptom = episodeLeft > 0;
            if (symptom) {
                --episodeLeft;
            } else {
                const int exposedDay = day - model.Lag;
                const bool exposed = exposedDay >= 0 && eaten[static_cast<std::size_t>(exposedDay)];
                symptom = random.Chance(exposed ? eatChance : avoidChance);
                if (symptom) {
                    const int length =
                        model.EpisodeLengths.empty()
                            ? 1
                            : model.EpisodeLengths[random.Below(model.EpisodeLengths.size())];
                    episodeLeft = std::max(length, 1) - 1;
                }
            }
            // As the diary reads it: symptom days in a row are one episode, and
            // only its first day is at risk.
            const bool atRisk = !(symptom && yesterday);
            const bool onset = symptom && !yesterday;
            yesterday = symptom;
            if (!atRisk || day % model.PeriodDays < model.WashoutDays) {
                continue;
            }
            const bool exposed = eaten[static_cast<std::size_t>(day - model.Lag)];
            BlockCounts& block = counts[static_cast<std::size_t>(day / (2 * model.PeriodDays))];
            (exposed ? block.ExposedDays : block.OtherDays) += 1;
            (exposed ? block.ExposedOnsets : block.OtherOnsets) += onset;
        }
        const double p = blocks <= kEnumeratedBlocks
                             ? EnumeratedRandomizationTest(counts).PValue
                             : SampledRandomizationP(counts, kSampledAssignments, random);
        confirmed += p <= kChallengeLevel + 1e-12;
    }
    return static_cast<double>(confirmed) / trials;
}

PlanOutcome PlanChallenge(const ChallengeFacts& facts, uint64_t seed,
                          const std::string& startDate) {
    PlanOutcome outcome;
    outcome.EpisodesPerMonth =
        facts.DayCount > 0 ? static_cast<double>(facts.Onsets) * kDaysPerMonth / facts.DayCount : 0;
    ChallengePlan& plan = outcome.Plan;
    plan.Food = facts.Food;
    plan.Symptom = facts.Symptom;
    plan.StartDay = facts.DayCount;
    plan.StartDate = startDate;
    plan.Lag = facts.Lag;
    plan.EpisodeDays = TypicalEpisodeDays(facts.EpisodeLengths);
    plan.WashoutDays = plan.Lag + plan.EpisodeDays;
    plan.Seed = seed;
    plan.BaseRate = BaseRateOf(facts.Table);
    plan.AssumedRatio =
        std::isfinite(facts.Ratio) ? std::min(facts.Ratio, kAssumedRatioCap) : kAssumedRatioCap;
    if (!(plan.AssumedRatio > 1) || plan.BaseRate <= 0) {
        outcome.Result = PlanOutcome::Kind::NothingToConfirm;
        return outcome;
    }

    // Whole weeks, so that every period holds each weekday once and weekday
    // habits fall alike on both sides; at least three counted days after the
    // wash-out. Of the lengths that fit, the one with the shortest plan wins.
    PowerModel model;
    model.BaseRate = plan.BaseRate;
    model.Ratio = plan.AssumedRatio;
    model.Lag = plan.Lag;
    model.EpisodeLengths = facts.EpisodeLengths;
    model.WashoutDays = plan.WashoutDays;
    model.Adherence = kPlannedAdherence;
    const int shortest = kWeek * ((plan.WashoutDays + 3 + kWeek - 1) / kWeek);
    Shape best;
    for (int period = shortest; period <= shortest + 3 * kWeek; period += kWeek) {
        model.PeriodDays = period;
        const int bestDays =
            best.Blocks > 0 ? best.Blocks * 2 * best.PeriodDays : kLongestSearchDays;
        const Shape shape = FewestBlocks(model, bestDays);
        if (shape.Blocks > 0 &&
            (best.Blocks == 0 || shape.Blocks * shape.PeriodDays < best.Blocks * best.PeriodDays)) {
            best = shape;
        }
    }
    plan.PeriodDays = best.Blocks > 0 ? best.PeriodDays : shortest;
    plan.Blocks = best.Blocks;
    plan.Power = best.Power;
    plan.Order = PeriodOrder(seed, plan.Blocks);
    if (best.Blocks == 0 || plan.TotalDays() > kChallengeMaxDays) {
        outcome.Result = PlanOutcome::Kind::TooRare;
        outcome.DaysNeeded = best.Blocks > 0 ? plan.TotalDays() : 0;
        return outcome;
    }
    outcome.Result = PlanOutcome::Kind::Planned;
    return outcome;
}

}  // namespace quorvane
