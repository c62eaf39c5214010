// The planned test end to end: a diary with a suspicion, the plan made from it,
// the challenge lived with 90 % adherence, the whole diary read again and the
// verdict taken, many times over:
//   quorvane-bench-challenge [DIARIES] [SEED] [RATE] [RATIO] [LAG]
// Three challenges per diary, all under the same plan:
//   promised: the food acts exactly as the plan assumed (its ratio, the diary's
//             rate without it): the confirmations should reach the promised power;
//   true:     the food acts as it did when the diary was written (ratio 4 unless given), which
//             the diary's estimate may overstate;
//   none:     the food has no effect at all (the diary's suspicion came from
//             chance or a habit): confirmations are false and must stay <= 5 %.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/analysis/analysis.h"
#include "core/challenge/challenge_analysis.h"
#include "core/challenge/challenge_plan.h"
#include "core/evidence/suspects.h"
#include "seeded_random.h"

namespace {

using quorvane::bench::Random;

constexpr int kDiaryDays = 240;
constexpr double kEatsPeanut = 0.3;
constexpr double kOtherFoodChance = 0.35;
// Set from the command line.
double gBaseRate = 0.15;
double gTrueRatio = 4;
int gLag = 0;
constexpr double kAdherence = 0.9;
const std::vector<int> kEpisodeLengths = {1, 1, 1, 2};
const char* const kOtherFoods[] = {"TEA", "BREAD",  "EGG", "RICE",   "APPLE",  "CHEESE",
                                   "HAM", "POTATO", "OAT", "CARROT", "YOGURT", "PASTA"};

// A diary writer that keeps the onset process going across the diary and the
// challenge: one day a call.
class Person {
  public:
    explicit Person(uint64_t seed) : random_(seed) {}

    // `peanut` is what is eaten today; the onset chance follows what was eaten
    // gLag days ago.
    void Day(bool peanut, double baseRate, double ratio, const char* marker, std::string& text) {
        eaten_.push_back(peanut);
        for (const char* food : kOtherFoods) {
            if (random_.Chance(kOtherFoodChance)) {
                text += food;
                text += ", ";
            }
        }
        if (marker != nullptr) {
            text += marker;
            text += ", ";
        }
        if (peanut) {
            text += "peanut, ";
        }
        const std::size_t today = eaten_.size() - 1;
        const auto lag = static_cast<std::size_t>(gLag);
        const bool exposed = today >= lag && eaten_[today - lag];
        bool symptom = false;
        if (episodeLeft_ > 0) {
            --episodeLeft_;
            symptom = true;
        } else if (random_.Chance(std::min(0.95, exposed ? baseRate * ratio : baseRate))) {
            episodeLeft_ = kEpisodeLengths[static_cast<std::size_t>(
                               random_.Below(static_cast<int>(kEpisodeLengths.size())))] -
                           1;
            symptom = true;
        }
        if (symptom) {
            text += "headache, ";
        }
        text += "#,\r\n";
    }
    Random& Rng() { return random_; }

  private:
    Random random_;
    std::vector<bool> eaten_;
    int episodeLeft_ = 0;
};

struct Read {
    quorvane::SymptomTable Symptoms;
    quorvane::Analysis Engine{Symptoms};
    void Of(const std::string& text) {
        Engine.Reset();
        quorvane::ReadHooks hooks;
        hooks.GatherEvidence = true;
        Engine.ReadBytes(text, hooks);
        Engine.ComputeTotals(3);
    }
};

const quorvane::SuspectRow* PeanutRow(const quorvane::SuspectsResult& found) {
    for (const quorvane::SymptomSuspects& group : found.Symptoms) {
        for (const quorvane::SuspectRow& row : group.Rows) {
            if (row.Item == "PEANUT" && row.SymptomName == "HEADACHE") {
                return &row;
            }
        }
    }
    return nullptr;
}

struct Tally {
    int Challenges = 0;
    int Confirmed = 0;
    int NotEnough = 0;
    double Rate() const { return Challenges > 0 ? static_cast<double>(Confirmed) / Challenges : 0; }
};

// Lives the plan after `diary` and returns the verdict on the whole diary.
quorvane::ChallengeVerdict Challenge(const std::string& diary, const quorvane::ChallengePlan& plan,
                                     uint64_t seed, double baseRate, double ratio) {
    // The person's past is replayed so that the episode running at the end of the
    // diary carries on; a fresh stream then drives the challenge.
    Person person(seed);
    std::string text = diary;
    for (int p = 0; p < plan.TotalDays(); ++p) {
        const bool planned = plan.Instruction(p) == 'E';
        const bool eat = person.Rng().Chance(kAdherence) ? planned : !planned;
        person.Day(eat, baseRate, ratio, planned ? "Challenge eat" : "Challenge avoid", text);
    }
    Read read;
    read.Of(text);
    return quorvane::AnalyseChallenge(plan, read.Engine.Evidence(), read.Engine.Items()).Verdict;
}

void Count(Tally& tally, quorvane::ChallengeVerdict verdict) {
    ++tally.Challenges;
    tally.Confirmed += verdict == quorvane::ChallengeVerdict::Confirmed;
    tally.NotEnough += verdict == quorvane::ChallengeVerdict::NotEnoughEpisodes;
}

}  // namespace

int main(int argc, char** argv) {
    const int diaries = argc > 1 ? std::atoi(argv[1]) : 300;
    const uint64_t seed = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1;
    if (argc > 3) {
        gBaseRate = std::atof(argv[3]);
    }
    if (argc > 4) {
        gTrueRatio = std::atof(argv[4]);
    }
    if (argc > 5) {
        gLag = std::atoi(argv[5]);
    }
    const auto started = std::chrono::steady_clock::now();

    int planned = 0;
    int tooRare = 0;
    int nothing = 0;
    int notFound = 0;
    double promisedPower = 0;
    double days = 0;
    Tally promised;
    Tally truth;
    Tally none;
    for (int d = 0; d < diaries; ++d) {
        Person person(seed * 1000003 + static_cast<uint64_t>(d));
        std::string diary;
        for (int day = 0; day < kDiaryDays; ++day) {
            person.Day(person.Rng().Chance(kEatsPeanut), gBaseRate, gTrueRatio, nullptr, diary);
        }
        Read read;
        read.Of(diary);
        const quorvane::SuspectsResult found =
            quorvane::FindSuspects(read.Engine.Evidence(), read.Engine.Items(), {});
        const quorvane::SuspectRow* row = PeanutRow(found);
        if (row == nullptr) {
            ++notFound;
            continue;
        }
        const quorvane::PlanOutcome outcome = quorvane::PlanChallenge(
            quorvane::FactsForChallenge(read.Engine.Evidence(), *row), seed + 7919 * d, "");
        if (std::getenv("QUORVANE_BENCH_VERBOSE") != nullptr) {
            const quorvane::ChallengePlan& p = outcome.Plan;
            std::printf(
                "diary %d: ratio %.2f rate %.3f lag %d wash-out %d period %d blocks %d "
                "power %.3f result %d\n",
                d, row->Risk.Ratio, p.BaseRate, p.Lag, p.WashoutDays, p.PeriodDays, p.Blocks,
                p.Power, static_cast<int>(outcome.Result));
        }
        if (outcome.Result == quorvane::PlanOutcome::Kind::TooRare) {
            ++tooRare;
            continue;
        }
        if (outcome.Result == quorvane::PlanOutcome::Kind::NothingToConfirm) {
            ++nothing;
            continue;
        }
        const quorvane::ChallengePlan& plan = outcome.Plan;
        ++planned;
        promisedPower += plan.Power;
        days += plan.TotalDays();
        const uint64_t lived = seed * 7777 + static_cast<uint64_t>(d);
        Count(promised, Challenge(diary, plan, lived, plan.BaseRate, plan.AssumedRatio));
        Count(truth, Challenge(diary, plan, lived + 1, gBaseRate, gTrueRatio));
        Count(none, Challenge(diary, plan, lived + 2, plan.BaseRate, 1));
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

    std::printf(
        "diaries: %d of %d days, peanut on %.0f %% of days, headache onset %.2f a day, "
        "ratio %.1f at lag %d\n",
        diaries, kDiaryDays, kEatsPeanut * 100, gBaseRate, gTrueRatio, gLag);
    std::printf(
        "plans: %d made, %d too rare for 6 months, %d with nothing to confirm, %d with "
        "no peanut row\n",
        planned, tooRare, nothing, notFound);
    if (planned > 0) {
        std::printf("mean plan: %.0f days, promised power %.1f %%\n", days / planned,
                    100 * promisedPower / planned);
    }
    const auto line = [](const char* name, const Tally& t) {
        std::printf("%-9s %4d challenges, confirmed %5.1f %%, not enough episodes %5.1f %%\n", name,
                    t.Challenges, 100 * t.Rate(),
                    t.Challenges > 0 ? 100.0 * t.NotEnough / t.Challenges : 0.0);
    };
    line("promised", promised);
    line("true", truth);
    line("none", none);
    std::printf("adherence %.0f %%; %.1f s\n", kAdherence * 100, seconds);
    return 0;
}
