// Times the evidence work against the analysis it rides on:
//   bench_evidence DIARY [RUNS]
// Without a file argument it generates the standard 10-year diary first. Runs with
// and without the evidence alternate, so that a busy machine slows both alike.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/analysis/analysis.h"
#include "core/evidence/evidence.h"
#include "core/evidence/evidence_text.h"
#include "diary_generator.h"

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

// The whole analysis as quorvane-report runs it; returns the report's line count.
std::size_t Analyse(const std::string& path, quorvane::Analysis& analysis, bool evidence) {
    analysis.Reset();
    quorvane::ReadHooks hooks;
    hooks.GatherEvidence = evidence;
    analysis.Read(path, hooks);
    analysis.ComputeTotals(3);
    analysis.Correlate(3, '.');
    analysis.SortColumns();
    return analysis.PrepareReport(160).size();
}

}  // namespace

int main(int argc, char** argv) {
    using namespace quorvane;
    const std::string path = bench::DiaryPathFromArguments(argc, argv);
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 21;

    const SymptomTable symptoms;
    Analysis analysis(symptoms);
    std::vector<double> without;
    std::vector<double> with;
    for (int run = 0; run < runs; ++run) {
        for (const bool evidence : {false, true}) {
            const Clock::time_point start = Clock::now();
            Analyse(path, analysis, evidence);
            (evidence ? with : without).push_back(Milliseconds(Clock::now() - start));
        }
    }
    const double plain = bench::Median(without);
    const double gathered = bench::Median(with);
    std::printf("analysis without evidence   median %8.2f ms\n", plain);
    std::printf("analysis with evidence      median %8.2f ms  (%+.1f %%)\n", gathered,
                100.0 * (gathered - plain) / plain);

    // The state now holds the last run with evidence; the grid is sorted.
    std::vector<double> table;
    std::size_t cells = 0;
    for (int run = 0; run < std::max(1, runs / 4); ++run) {
        std::ostringstream out;
        const Clock::time_point start = Clock::now();
        WriteEvidenceTable(analysis.Evidence(), analysis.Items(), analysis.Totals(), 3, out);
        table.push_back(Milliseconds(Clock::now() - start));
        cells = static_cast<std::size_t>(std::count(out.view().begin(), out.view().end(), '\n'));
    }
    std::printf("evidence table, %zu cells  median %8.2f ms\n", cells > 0 ? cells - 1 : 0,
                bench::Median(table));

    // A tooltip of every correlation cell of the TOTAL column, the busiest one.
    std::vector<double> tooltips;
    const TextGrid& grid = analysis.Grid();
    for (int32_t row = 2; row < grid.RowCount(); ++row) {
        const Clock::time_point start = Clock::now();
        const std::string text =
            ResultsCellTooltip(analysis.Evidence(), grid, kTotalSymptom + 1, row);
        if (!text.empty()) {
            tooltips.push_back(Milliseconds(Clock::now() - start));
        }
    }
    if (!tooltips.empty()) {
        std::printf("tooltip, %zu TOTAL cells    median %8.3f ms, slowest %.3f ms\n",
                    tooltips.size(), bench::Median(tooltips),
                    *std::max_element(tooltips.begin(), tooltips.end()));
    }
    return 0;
}
