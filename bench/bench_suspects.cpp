// How well the suspects find a planted trigger, beside other rules on the same rows:
//   quorvane-bench-suspects [--seeds tune|report] [DIARIES]   messy diaries (default 3000
//                                                             per scenario, report seeds)
//   quorvane-bench-suspects --tidy [DIARIES]   two-year diaries of one symptom (default 40)
//   quorvane-bench-suspects --time DIARY [RUNS]
// Every diary goes through the real reader and the engine, as quorvane-report runs them.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "core/analysis/analysis.h"
#include "core/evidence/suspects.h"
#include "core/evidence/suspects_text.h"
#include "diary_generator.h"
#include "messy_scenarios.h"
#include "suspect_orderings.h"
#include "suspects_simulator.h"

namespace {

using namespace quorvane;
using Clock = std::chrono::steady_clock;

struct Tally {
    int Diaries = 0;
    int SuspectsFirst = 0;
    int SuspectsTop3 = 0;
    int FrustrationFirst = 0;
    int FrustrationTop3 = 0;
    int TriggerStrong = 0;
    int OtherStrong = 0;  // strong rows that are not the trigger
};

void RunScenario(const char* name, bench::SimulationShape shape, int diaries) {
    const SymptomTable symptoms;
    Analysis analysis(symptoms);
    Tally tally;
    for (int seed = 1; seed <= diaries; ++seed) {
        const bench::SimulatedDiary diary =
            bench::SimulateDiary(static_cast<uint64_t>(seed) * 7919 + shape.Lag, shape);
        bench::ReadDiary(diary.Text, analysis);
        const SuspectsResult result = FindSuspects(analysis.Evidence(), analysis.Items(), {});
        ++tally.Diaries;
        for (const SymptomSuspects& group : result.Symptoms) {
            if (group.Name != diary.Symptom) {
                continue;
            }
            for (const SuspectRow& row : group.Rows) {
                const bool strong = row.Tier == SuspectTier::Strong;
                if (row.Item == diary.Trigger) {
                    tally.SuspectsFirst += row.Rank == 1;
                    tally.SuspectsTop3 += row.Rank <= 3;
                    tally.TriggerStrong += strong;
                } else {
                    tally.OtherStrong += strong;
                }
            }
            if (!diary.Trigger.empty()) {
                const int rank =
                    bench::FrustrationRank(analysis.Items(), group.Symptom, diary.Trigger);
                tally.FrustrationFirst += rank == 1;
                tally.FrustrationTop3 += rank >= 1 && rank <= 3;
            }
        }
    }
    const double n = tally.Diaries;
    if (shape.Planted) {
        std::printf("%-34s %4d  %5.1f %%  %5.1f %%  %5.1f %%  %5.1f %%  %5.1f %%  %6.3f\n", name,
                    tally.Diaries, 100 * tally.SuspectsFirst / n, 100 * tally.SuspectsTop3 / n,
                    100 * tally.FrustrationFirst / n, 100 * tally.FrustrationTop3 / n,
                    100 * tally.TriggerStrong / n, tally.OtherStrong / n);
    } else {
        std::printf("%-34s %4d  %44s  %6.3f\n", name, tally.Diaries, "", tally.OtherStrong / n);
    }
}

int Time(int argc, char** argv) {
    const std::string path = argc > 2 ? argv[2] : bench::DiaryPathFromArguments(0, argv);
    const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 11;
    const SymptomTable symptoms;
    Analysis analysis(symptoms);
    analysis.Reset();
    ReadHooks hooks;
    hooks.GatherEvidence = true;
    analysis.Read(path, hooks);
    analysis.ComputeTotals(3);
    std::vector<double> engine;
    std::vector<double> table;
    std::size_t rows = 0;
    for (int run = 0; run < runs; ++run) {
        const Clock::time_point start = Clock::now();
        const SuspectsResult result = FindSuspects(analysis.Evidence(), analysis.Items(), {});
        const Clock::time_point found = Clock::now();
        std::ostringstream out;
        WriteSuspectsTable(result, TableFormat::Tsv, out);
        const Clock::time_point written = Clock::now();
        engine.push_back(std::chrono::duration<double, std::milli>(found - start).count());
        table.push_back(std::chrono::duration<double, std::milli>(written - found).count());
        rows = result.PairsTested;
    }
    std::printf("suspects, %zu pairs: engine median %.2f ms, table median %.2f ms\n", rows,
                bench::Median(engine), bench::Median(table));
    return 0;
}

int RunTidy(int diaries) {
    std::printf("%-34s %4s  %7s  %7s  %7s  %7s  %7s  %6s\n", "scenario (2 years, 1 symptom)", "n",
                "sus. 1st", "sus. top3", "frus. 1st", "frus. top3", "trig. strong",
                "false strong/diary");
    for (const int lag : {0, 1, 2}) {
        for (const double strength : {0.15, 0.25, 0.40}) {
            bench::SimulationShape shape;
            shape.Lag = lag;
            shape.Strength = strength;
            char name[64];
            std::snprintf(name, sizeof name, "lag %d, strength %.2f", lag, strength);
            RunScenario(name, shape, diaries);
        }
    }
    bench::SimulationShape pair;
    pair.CoEatenPair = true;
    RunScenario("lag 1, 0.25, co-eaten partner", pair, diaries);
    bench::SimulationShape rare;
    rare.TriggerRate = 0.04;
    RunScenario("lag 1, 0.25, trigger on 4 % of days", rare, diaries);
    bench::SimulationShape frequent;
    frequent.BaseRate = 0.08;
    RunScenario("lag 1, 0.25, base rate 8 %", frequent, diaries);
    bench::SimulationShape plain;
    plain.WeekdayHabits = false;
    plain.Craving = false;
    plain.Staples = 0;
    RunScenario("lag 1, 0.25, no habits", plain, diaries);
    for (const int lag : {0, 1}) {
        bench::SimulationShape null;
        null.Planted = false;
        null.Lag = lag;
        RunScenario(lag == 0 ? "null diaries" : "null diaries, other seeds", null, diaries * 5);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string_view> args(argv + 1, argv + argc);
    if (!args.empty() && args[0] == "--time") {
        return Time(argc, argv);
    }
    bool tidy = false;
    bool report = true;
    int diaries = 0;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--tidy") {
            tidy = true;
        } else if (args[i] == "--seeds" && i + 1 < args.size() &&
                   (args[i + 1] == "tune" || args[i + 1] == "report")) {
            report = args[++i] == "report";
        } else if (std::atoi(std::string(args[i]).c_str()) > 0) {
            diaries = std::atoi(std::string(args[i]).c_str());
        } else {
            std::fprintf(stderr,
                         "usage: quorvane-bench-suspects [--seeds tune|report] [DIARIES]\n"
                         "       quorvane-bench-suspects --tidy [DIARIES]\n"
                         "       quorvane-bench-suspects --time DIARY [RUNS]\n");
            return 2;
        }
    }
    if (tidy) {
        return RunTidy(diaries > 0 ? diaries : 40);
    }
    return bench::RunMessyScenarios(diaries > 0 ? diaries : 3000, report);
}
