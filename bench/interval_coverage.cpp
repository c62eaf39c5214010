#include "interval_coverage.h"

#include <array>
#include <cstdio>
#include <functional>
#include <vector>

#include "core/evidence/statistics.h"
#include "seeded_random.h"

namespace quorvane::bench {

namespace {

int64_t Binomial(Random& random, int64_t n, double p) {
    int64_t hits = 0;
    for (int64_t i = 0; i < n; ++i) {
        hits += random.Chance(p);
    }
    return hits;
}

struct Method {
    const char* Name;
    std::function<RiskRatioInterval(const DayTable&)> Interval;
};

struct Misses {
    int Tables = 0;
    int Below = 0;  // the whole interval under the true ratio
    int Above = 0;  // over it: a false alarm when the truth is 1
};

}  // namespace

void RunIntervalCoverage(uint64_t firstSeed, int tablesPerBand) {
    const std::vector<Method> methods = {
        {"Koopman score", [](const DayTable& t) { return KoopmanRiskRatio(t, 0.95); }},
        {"Katz, 0.5 on zero cells", [](const DayTable& t) { return KatzRiskRatio(t); }},
    };
    struct Band {
        int Low;
        int High;
    };
    constexpr std::array<Band, 3> kBands = {{{1, 5}, {6, 15}, {16, 30}}};
    constexpr std::array kRatios = {1.0, 2.0, 4.0};
    std::printf(
        "\nThe 95 %% interval of the risk ratio on tables with a known ratio: exposed days in\n"
        "the band, 60 to 600 other days, onset rates 2 to 30 %%; covered %% (the interval\n"
        "above the truth %%, below it %%), %d tables a cell. Above a true 1 is a false alarm.\n\n",
        tablesPerBand);
    std::printf("%-24s %5s", "exposed days", "ratio");
    for (const Band& band : kBands) {
        std::printf(" | %2d to %-2d %11s", band.Low, band.High, "");
    }
    std::printf("\n");
    for (std::size_t m = 0; m < methods.size(); ++m) {
        Random random(firstSeed + 77 * m);
        for (const double ratio : kRatios) {
            std::printf("%-24s %5.0f", ratio == kRatios[0] ? methods[m].Name : "", ratio);
            for (const Band& band : kBands) {
                Misses misses;
                while (misses.Tables < tablesPerBand) {
                    const int64_t exposed = band.Low + random.Below(band.High - band.Low + 1);
                    const int64_t other = 60 + random.Below(541);
                    const double base = 0.02 + 0.28 * random.Unit();
                    if (base * ratio > 0.95) {
                        continue;
                    }
                    DayTable table;
                    table.A = Binomial(random, exposed, base * ratio);
                    table.B = exposed - table.A;
                    table.C = Binomial(random, other, base);
                    table.D = other - table.C;
                    if (table.A + table.C == 0) {
                        continue;  // no onset at all: no diary would show a ratio
                    }
                    const RiskRatioInterval interval = methods[m].Interval(table);
                    ++misses.Tables;
                    misses.Below += interval.High < ratio;
                    misses.Above += interval.Low > ratio;
                }
                const double n = misses.Tables;
                std::printf(" | %5.1f (%4.1f, %4.1f)  ",
                            100 * (n - misses.Below - misses.Above) / n, 100 * misses.Above / n,
                            100 * misses.Below / n);
            }
            std::printf("\n");
        }
    }
}

}  // namespace quorvane::bench
