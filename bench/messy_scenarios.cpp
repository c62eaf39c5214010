#include "messy_scenarios.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <climits>
#include <cstdio>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "core/evidence/suspects.h"
#include "interval_coverage.h"
#include "messy_diary.h"
#include "suspect_orderings.h"

namespace quorvane::bench {

namespace {

constexpr int kUnranked = INT_MAX;
constexpr std::array kOrderings = {"engine", "Katz bound", "raw p", "frustration"};

// A planted symptom's place under one ordering: the best and the worst placed of
// its triggers (the same with one trigger).
struct Places {
    int Best = kUnranked;
    int Worst = 0;
    void Add(int place) {
        place = place == 0 ? kUnranked : place;
        Best = std::min(Best, place);
        Worst = std::max(Worst, place);
    }
};

struct Tally {
    std::array<std::vector<Places>, kOrderings.size()> Cases;
    int Triggers = 0;
    int TriggersStrong = 0;
    int PlantedSymptoms = 0;
    int OtherStrong = 0;  // in planted symptoms, not a trigger
    int Craved = 0;
    int CravedStrong = 0;
    int NullSymptoms = 0;
    int NullStrong = 0;
    int Intervals = 0;  // trigger rows at the planted lag, with the planted ratio known
    int Covered = 0;    // of them, the shown interval holds that ratio
};

MessyShape LongTail(double strength, int days = 240) {
    MessyShape shape;
    shape.MinDays = shape.MaxDays = days;
    shape.Symptoms = {{"Headache", 0.04, {{0, 0.10, strength}}},
                      {"Stomach ache", 0.04, {{1, 0.10, strength}}},
                      {"Mental fog", 0.04, {}}};
    return shape;
}

// Every mess at once; without triggers for the null diaries, but with the
// craving, which then is a prodrome of attacks that nothing brought on.
MessyShape Hard(bool planted) {
    MessyShape shape;
    shape.MinDays = 120;
    shape.MaxDays = 720;
    shape.MondayFactor = 1.5;
    shape.SeasonalFoods = 6;
    shape.Seasonal = 0.5;
    shape.LagJitter = true;
    shape.Dose = true;
    shape.Misspelled = 0.05;
    SymptomPlan headache{"Headache", 0.03, {{0, 0.10, 0.45}, {1, 0.08, 0.45}}, true, true};
    SymptomPlan stomach{"Stomach ache", 0.04, {{1, 0.12, 0.45}}, true, false};
    if (!planted) {
        headache.Triggers.clear();
        stomach.Triggers.clear();
    }
    shape.Symptoms = {headache, stomach, {"Mental fog", 0.04, {}}};
    return shape;
}

// The true risk ratio of an onset after the trigger, where the plan makes it
// plain: one trigger, and nothing else moving the onset rate.
std::optional<double> PlantedRatio(const MessyShape& shape, const SymptomPlan& plan) {
    if (plan.Triggers.size() != 1 || shape.LagJitter || shape.Dose || shape.Seasonal != 0 ||
        shape.MondayFactor != 1) {
        return std::nullopt;
    }
    const double base = plan.BaseRate;
    return 1 + plan.Triggers[0].Strength * (1 - base) / base;
}

void Count(const MessyShape& shape, const MessyDiary& diary, const Analysis& analysis,
           const SuspectsResult& result, Tally& tally) {
    for (std::size_t s = 0; s < diary.Symptoms.size(); ++s) {
        const PlantedSymptom& planted = diary.Symptoms[s];
        const SymptomPlan& plan = shape.Symptoms[s];
        const std::optional<double> ratio = PlantedRatio(shape, plan);
        const SymptomSuspects* group = nullptr;
        for (const SymptomSuspects& g : result.Symptoms) {
            if (g.Name == planted.Name) {
                group = &g;
            }
        }
        const std::vector<SuspectRow> none;
        const std::vector<SuspectRow>& rows = group != nullptr ? group->Rows : none;
        int strong = 0;
        for (const SuspectRow& row : rows) {
            const bool isTrigger = std::find(planted.Triggers.begin(), planted.Triggers.end(),
                                             row.Item) != planted.Triggers.end();
            if (isTrigger && ratio && row.Lag == plan.Triggers[0].Lag) {
                ++tally.Intervals;
                tally.Covered += row.Risk.Low <= *ratio && *ratio <= row.Risk.High;
            }
            if (row.Tier == SuspectTier::Strong) {
                const bool craved = row.Item == planted.Craved;
                strong += !isTrigger && !craved;
                tally.TriggersStrong += isTrigger;
                tally.CravedStrong += craved;
            }
        }
        tally.Craved += !planted.Craved.empty();
        if (planted.Triggers.empty()) {
            ++tally.NullSymptoms;
            tally.NullStrong += strong;
            continue;
        }
        ++tally.PlantedSymptoms;
        tally.OtherStrong += strong;
        tally.Triggers += static_cast<int>(planted.Triggers.size());
        const RowOrder katz = KatzBoundOrder(rows);
        const RowOrder raw = RawPOrder(rows);
        std::array<Places, kOrderings.size()> places;
        for (const std::string& trigger : planted.Triggers) {
            places[0].Add(EngineRank(rows, trigger));
            places[1].Add(PlaceOf(katz, trigger));
            places[2].Add(PlaceOf(raw, trigger));
            places[3].Add(
                group != nullptr ? FrustrationRank(analysis.Items(), group->Symptom, trigger) : 0);
        }
        for (std::size_t o = 0; o < places.size(); ++o) {
            tally.Cases[o].push_back(places[o]);
        }
    }
}

void Print(const char* name, int diaries, const Tally& tally) {
    std::printf("%-36s %4d", name, diaries);
    for (const std::vector<Places>& cases : tally.Cases) {
        if (cases.empty()) {
            std::printf(" | %15s", "");
            continue;
        }
        const double n = static_cast<double>(cases.size());
        const auto first =
            std::count_if(cases.begin(), cases.end(), [](const Places& p) { return p.Best == 1; });
        const auto top3 =
            std::count_if(cases.begin(), cases.end(), [](const Places& p) { return p.Worst <= 3; });
        std::vector<int> worst;
        for (const Places& p : cases) {
            worst.push_back(p.Worst);
        }
        std::nth_element(worst.begin(), worst.begin() + static_cast<std::ptrdiff_t>(n / 2),
                         worst.end());
        const int median = worst[static_cast<std::size_t>(n / 2)];
        const std::string shown = median == kUnranked ? "none" : std::to_string(median);
        std::printf(" | %4.0f %4.0f %5s", 100 * first / n, 100 * top3 / n, shown.c_str());
    }
    if (tally.PlantedSymptoms > 0) {
        std::printf(" | %5.0f %6.2f", 100.0 * tally.TriggersStrong / tally.Triggers,
                    static_cast<double>(tally.OtherStrong) / tally.PlantedSymptoms);
    } else {
        std::printf(" | %5s %6s", "", "");
    }
    std::printf(" %6.3f", tally.NullSymptoms > 0
                              ? static_cast<double>(tally.NullStrong) / tally.NullSymptoms
                              : 0.0);
    if (tally.Craved > 0) {
        std::printf(" %5.0f", 100.0 * tally.CravedStrong / tally.Craved);
    } else {
        std::printf(" %5s", "");
    }
    if (tally.Intervals > 0) {
        std::printf(" %5.1f (%d)", 100.0 * tally.Covered / tally.Intervals, tally.Intervals);
    }
    std::printf("\n");
}

}  // namespace

void ReadDiary(std::string_view text, Analysis& analysis) {
    analysis.Reset();
    ReadHooks hooks;
    hooks.GatherEvidence = true;
    analysis.ReadBytes(text, hooks);
    analysis.ComputeTotals(3);
}

int RunMessyScenarios(int diaries, bool reportSeeds) {
    struct Scenario {
        const char* Name;
        MessyShape Shape;
        int Diaries;
    };
    MessyShape twoTriggers = LongTail(0.3);
    twoTriggers.Symptoms[0].Triggers.push_back({1, 0.08, 0.3});
    twoTriggers.Symptoms[1].Triggers.clear();
    MessyShape null = LongTail(0);
    for (SymptomPlan& plan : null.Symptoms) {
        plan.Triggers.clear();
    }
    const std::vector<Scenario> scenarios = {
        {"long tail, moderate (240 d)", LongTail(0.3), diaries},
        {"long tail, strong", LongTail(0.5), diaries},
        {"long tail, weak", LongTail(0.15), diaries},
        {"short diaries (120 d), moderate", LongTail(0.3, 120), diaries},
        {"two triggers for headache", twoTriggers, diaries},
        {"hard: all the mess, 120-720 d", Hard(true), diaries},
        {"null diaries, long tail", null, 2 * diaries},
        {"null diaries, all the mess", Hard(false), 2 * diaries},
    };
    // Disjoint by construction: a scenario never draws a million diaries.
    const uint64_t firstSeed = reportSeeds ? 1'000'000'000 : 0;
    std::printf("seeds: %s (diary i of scenario s: seed %llu + 1000000 s + i)\n",
                reportSeeds ? "report" : "tune", static_cast<unsigned long long>(firstSeed));
    std::printf(
        "Per planted symptom: the trigger 1st (%%), in the top three (%%), median place.\n"
        "Two triggers: 1st when either is first; top three and the median by the lower placed.\n"
        "Katz bound: tier, then the Katz lower bound, then p (the rule being replaced).\n"
        "trig strong: triggers in the strong tier (%%); other: strong rows per planted\n"
        "symptom that are neither a trigger nor the craved food; null: the same per symptom\n"
        "with no trigger; prod. strong: the food craved before attacks, strong (%%).\n"
        "cover: trigger rows at the planted lag whose shown interval holds the planted\n"
        "ratio (%%, rows), where one trigger alone moves the onset rate.\n\n");
    std::printf("%-36s %4s", "scenario", "n");
    for (const char* ordering : kOrderings) {
        std::printf(" | %-15s", ordering);
    }
    std::printf(" | %5s %6s %6s %5s %5s\n", "trig", "other", "null", "prod.", "cover");
    std::printf("%-36s %4s", "", "");
    for (std::size_t o = 0; o < kOrderings.size(); ++o) {
        std::printf(" | %4s %4s %5s", "1st", "top3", "med");
    }
    std::printf(" | %5s %6s %6s %5s %5s\n", "strng", "strong", "strong", "strng", "%");
    const SymptomTable symptoms;
    Analysis analysis(symptoms);
    const auto start = std::chrono::steady_clock::now();
    const std::clock_t cpuStart = std::clock();
    for (std::size_t s = 0; s < scenarios.size(); ++s) {
        Tally tally;
        for (int i = 0; i < scenarios[s].Diaries; ++i) {
            const uint64_t seed = firstSeed + 1'000'000 * s + static_cast<uint64_t>(i);
            const MessyDiary diary = SimulateMessyDiary(seed, scenarios[s].Shape);
            ReadDiary(diary.Text, analysis);
            Count(scenarios[s].Shape, diary, analysis,
                  FindSuspects(analysis.Evidence(), analysis.Items(), {}), tally);
        }
        Print(scenarios[s].Name, scenarios[s].Diaries, tally);
    }
    RunIntervalCoverage(firstSeed + 999'000'000, 10'000);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    // Both, as the machine may be shared: the processor time is the bench's own.
    std::printf("\n%.1f s, %.1f s of processor time\n", seconds,
                static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC);
    return 0;
}

}  // namespace quorvane::bench
