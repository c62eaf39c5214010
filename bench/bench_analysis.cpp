// Times the analysis steps on a diary file: bench_analysis DIARY [RUNS]
// Without a file argument it generates the standard 10-year diary first.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "core/analysis/analysis.h"
#include "diary_generator.h"

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

}  // namespace

int main(int argc, char** argv) {
    using namespace quorvane;
    const std::string path = bench::DiaryPathFromArguments(argc, argv);
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 11;

    const SymptomTable symptoms;
    Analysis analysis(symptoms);
    const char* stages[] = {"read",        "ComputeTotals", "Correlate",
                            "SortColumns", "PrepareReport", "total"};
    std::vector<std::vector<double>> times(std::size(stages));
    std::size_t reportLines = 0;
    for (int run = 0; run < runs; ++run) {
        const Clock::time_point start = Clock::now();
        analysis.Reset();
        analysis.Read(path);
        const Clock::time_point read = Clock::now();
        analysis.ComputeTotals(3);
        const Clock::time_point totals = Clock::now();
        analysis.Correlate(3, '.');
        const Clock::time_point correlated = Clock::now();
        analysis.SortColumns();
        const Clock::time_point sorted = Clock::now();
        reportLines = analysis.PrepareReport(160).size();
        const Clock::time_point reported = Clock::now();

        times[0].push_back(Milliseconds(read - start));
        times[1].push_back(Milliseconds(totals - read));
        times[2].push_back(Milliseconds(correlated - totals));
        times[3].push_back(Milliseconds(sorted - correlated));
        times[4].push_back(Milliseconds(reported - sorted));
        times[5].push_back(Milliseconds(reported - start));
    }

    std::printf("diary: %s (%ju bytes), %d items, %zu report lines, %d runs\n", path.c_str(),
                static_cast<uintmax_t>(std::filesystem::file_size(path)),
                analysis.Items().ItemCount(), reportLines, runs);
    for (std::size_t i = 0; i < std::size(stages); ++i) {
        std::printf("  %-14s median %8.2f ms\n", stages[i], bench::Median(times[i]));
    }
    return 0;
}
