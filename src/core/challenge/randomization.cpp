#include "core/challenge/randomization.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <vector>

namespace quorvane {

namespace {

// Rates are ratios of small integers; sums of them can differ in the last bits
// between two assignments that are equal in exact arithmetic.
constexpr double kTie = 1e-9;

double RateDifference(int64_t exposedOnsets, int64_t exposedDays, int64_t otherOnsets,
                      int64_t otherDays) {
    const double exposed =
        exposedDays > 0 ? static_cast<double>(exposedOnsets) / static_cast<double>(exposedDays) : 0;
    const double other =
        otherDays > 0 ? static_cast<double>(otherOnsets) / static_cast<double>(otherDays) : 0;
    return exposed - other;
}

}  // namespace

double SignFlipPValue(std::span<const int> differences) {
    // share[s + offset] = the share of sign patterns so far whose sum is s.
    int64_t offset = 0;
    int64_t observed = 0;
    for (const int d : differences) {
        offset += std::abs(d);
        observed += d;
    }
    std::vector<double> share(static_cast<std::size_t>(2 * offset + 1), 0.0);
    std::vector<double> next(share.size(), 0.0);
    share[static_cast<std::size_t>(offset)] = 1;
    int64_t reach = 0;  // the sums so far lie within +-reach
    for (const int d : differences) {
        const int64_t step = std::abs(d);
        std::fill(next.begin(), next.end(), 0.0);
        for (int64_t sum = -reach; sum <= reach; ++sum) {
            const double here = share[static_cast<std::size_t>(sum + offset)];
            if (here != 0) {
                next[static_cast<std::size_t>(sum + step + offset)] += here / 2;
                next[static_cast<std::size_t>(sum - step + offset)] += here / 2;
            }
        }
        reach += step;
        share.swap(next);
    }
    double reaching = 0;
    for (int64_t sum = observed; sum <= offset; ++sum) {
        reaching += share[static_cast<std::size_t>(sum + offset)];
    }
    return std::min(reaching, 1.0);
}

RandomizationResult EnumeratedRandomizationTest(std::span<const BlockCounts> blocks) {
    if (blocks.size() > 24) {
        throw std::invalid_argument("too many blocks to enumerate");
    }
    RandomizationResult result;
    const auto total = uint64_t{1} << blocks.size();
    result.Assignments = total;
    int64_t exposedOnsets = 0;
    int64_t exposedDays = 0;
    int64_t otherOnsets = 0;
    int64_t otherDays = 0;
    for (const BlockCounts& b : blocks) {
        exposedOnsets += b.ExposedOnsets;
        exposedDays += b.ExposedDays;
        otherOnsets += b.OtherOnsets;
        otherDays += b.OtherDays;
    }
    result.Statistic = RateDifference(exposedOnsets, exposedDays, otherOnsets, otherDays);

    // Pattern bits set = blocks swapped. Only the totals enter the statistic, so
    // each assignment adds up the swapped blocks' shifts.
    uint64_t reaching = 0;
    std::vector<double> statistics;
    statistics.reserve(total);
    double largest = -1e300;
    for (uint64_t pattern = 0; pattern < total; ++pattern) {
        int64_t eo = exposedOnsets;
        int64_t ed = exposedDays;
        int64_t oo = otherOnsets;
        int64_t od = otherDays;
        for (std::size_t b = 0; b < blocks.size(); ++b) {
            if ((pattern >> b) & 1U) {
                const BlockCounts& c = blocks[b];
                eo += c.OtherOnsets - c.ExposedOnsets;
                ed += c.OtherDays - c.ExposedDays;
                oo += c.ExposedOnsets - c.OtherOnsets;
                od += c.ExposedDays - c.OtherDays;
            }
        }
        const double t = RateDifference(eo, ed, oo, od);
        statistics.push_back(t);
        largest = std::max(largest, t);
        reaching += t >= result.Statistic - kTie;
    }
    uint64_t atLargest = 0;
    for (const double t : statistics) {
        atLargest += t >= largest - kTie;
    }
    result.PValue = static_cast<double>(reaching) / static_cast<double>(total);
    result.SmallestP = static_cast<double>(atLargest) / static_cast<double>(total);
    return result;
}

}  // namespace quorvane
