#include "core/challenge/randomization.h"

#include <algorithm>
#include <bit>
#include <stdexcept>

#include "core/challenge/challenge_random.h"

namespace quorvane {

namespace {

// Rates are ratios of small integers; two assignments equal in exact arithmetic
// can differ in the last bits.
constexpr double kTie = 1e-9;

struct Totals {
    int64_t ExposedOnsets = 0;
    int64_t ExposedDays = 0;
    int64_t OtherOnsets = 0;
    int64_t OtherDays = 0;

    void Swap(const BlockCounts& b, int sign) {
        ExposedOnsets += sign * (b.OtherOnsets - b.ExposedOnsets);
        ExposedDays += sign * (b.OtherDays - b.ExposedDays);
        OtherOnsets -= sign * (b.OtherOnsets - b.ExposedOnsets);
        OtherDays -= sign * (b.OtherDays - b.ExposedDays);
    }
    double Statistic() const {
        const double exposed =
            ExposedDays > 0 ? static_cast<double>(ExposedOnsets) / static_cast<double>(ExposedDays)
                            : 0;
        const double other =
            OtherDays > 0 ? static_cast<double>(OtherOnsets) / static_cast<double>(OtherDays) : 0;
        return exposed - other;
    }
};

Totals Observed(std::span<const BlockCounts> blocks) {
    Totals totals;
    for (const BlockCounts& b : blocks) {
        totals.ExposedOnsets += b.ExposedOnsets;
        totals.ExposedDays += b.ExposedDays;
        totals.OtherOnsets += b.OtherOnsets;
        totals.OtherDays += b.OtherDays;
    }
    return totals;
}

}  // namespace

RandomizationResult EnumeratedRandomizationTest(std::span<const BlockCounts> blocks) {
    if (blocks.size() > 24) {
        throw std::invalid_argument("too many blocks to enumerate");
    }
    RandomizationResult result;
    const uint64_t total = uint64_t{1} << blocks.size();
    result.Assignments = total;
    Totals totals = Observed(blocks);
    result.Statistic = totals.Statistic();

    uint64_t reaching = 0;
    uint64_t atLargest = 0;
    double largest = -1e300;
    uint64_t swapped = 0;
    for (uint64_t i = 0; i < total; ++i) {
        if (i > 0) {
            // Gray code: step i swaps or swaps back the block of i's lowest set bit.
            const auto block = static_cast<std::size_t>(std::countr_zero(i));
            const bool swap = ((swapped >> block) & 1U) == 0;
            totals.Swap(blocks[block], swap ? 1 : -1);
            swapped ^= uint64_t{1} << block;
        }
        const double t = totals.Statistic();
        reaching += t >= result.Statistic - kTie;
        if (t > largest + kTie) {
            largest = t;
            atLargest = 1;
        } else if (t >= largest - kTie) {
            ++atLargest;
        }
    }
    result.PValue = static_cast<double>(reaching) / static_cast<double>(total);
    result.SmallestP = static_cast<double>(atLargest) / static_cast<double>(total);
    return result;
}

double SampledRandomizationP(std::span<const BlockCounts> blocks, int samples,
                             ChallengeRandom& random) {
    const Totals observed = Observed(blocks);
    const double statistic = observed.Statistic();
    int reaching = 1;  // the observed assignment is one of the draws
    for (int s = 0; s < samples; ++s) {
        Totals totals = observed;
        for (const BlockCounts& b : blocks) {
            if ((random.Next() >> 63) != 0) {
                totals.Swap(b, 1);
            }
        }
        reaching += totals.Statistic() >= statistic - kTie;
    }
    return static_cast<double>(reaching) / (samples + 1);
}

}  // namespace quorvane
