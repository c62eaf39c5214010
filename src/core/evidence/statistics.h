#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace quorvane {

// A 2 x 2 day table: rows exposed / not exposed, columns with / without the event.
struct DayTable {
    int64_t A = 0;  // exposed, event
    int64_t B = 0;  // exposed, no event
    int64_t C = 0;  // not exposed, event
    int64_t D = 0;  // not exposed, no event
};

struct RiskRatioInterval {
    double Ratio = 1;  // infinite when the unexposed row has no event
    double Low = 0;
    double High = 0;         // infinite when the unexposed row has no event
    bool Corrected = false;  // Katz only: 0.5 was added to every cell
};

// The two-sided normal quantile for `confidence`: 1.96 for 0.95.
double NormalQuantile(double confidence);

// The risk ratio with the Koopman asymptotic score interval at `confidence`:
// every ratio the score test would not reject. Unlike the log interval it keeps
// its coverage on tables such as 1 of 1 and needs no correction: no event among
// the exposed gives a lower bound of 0, none among the others an unbounded upper
// bound. Both rows must hold days.
RiskRatioInterval KoopmanRiskRatio(const DayTable& table, double confidence = 0.95);

// The score statistic of the ratio `theta`, falling as theta rises: above the
// quantile z, the interval lies wholly above theta; below -z, wholly below. One
// evaluation, for rules that ask only on which side of a bound a ratio lies.
double KoopmanScore(const DayTable& table, double theta);

// The risk ratio with its Katz (log) interval; kept for comparison in the
// benchmarks, since it is far too narrow on small tables at the normal quantile `z`. A zero
// cell adds 0.5 to all four, so the ratio and both bounds stay finite. Both rows
// must hold days.
RiskRatioInterval KatzRiskRatio(const DayTable& table, double z = 1.959963984540054);

// log(n!) for n up to a bound, so that many Fisher tests on one diary cost a
// few table look-ups each instead of log-gamma calls.
class LogFactorials {
  public:
    explicit LogFactorials(int64_t upTo);
    int64_t Size() const { return static_cast<int64_t>(values_.size()); }
    double operator()(int64_t n) const { return values_[static_cast<std::size_t>(n)]; }

  private:
    std::vector<double> values_;
};

// FisherGreaterPValue of the table, summed the same way from the table; the
// table must reach A + B + C + D.
double FisherGreaterPValue(const DayTable& table, const LogFactorials& logFactorials);

// Benjamini-Hochberg adjusted p-values (q-values), in the order given.
std::vector<double> BenjaminiHochberg(std::span<const double> pValues);

// The one-sided Fisher p of the most extreme table with these margins: every
// exposed day an event day, or every event day exposed. No smaller p is possible.
double SmallestFisherP(int64_t exposedDays, int64_t eventDays, int64_t allDays);

// The Mantel-Haenszel risk ratio over strata; absent when it is not defined.
bool MantelHaenszelRiskRatio(std::span<const DayTable> strata, double& ratio);

}  // namespace quorvane
