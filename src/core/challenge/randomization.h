#pragma once

#include <cstdint>
#include <span>

namespace quorvane {

// Exact randomization tests over the 2^blocks orders a plan of paired periods
// could have drawn: each block's order is a coin, so the null distribution is
// every sign pattern applied to the blocks.

// The one-sided p of sum(d) among all sums of +-d: the share of sign patterns
// whose sum reaches the observed one. Differences are onset counts, so the sums
// are few and counted by convolution rather than enumeration.
double SignFlipPValue(std::span<const int> differences);

// A block's counted days split by what the diary says was eaten: the onsets and
// days on the exposed side and on the other. Flipping a block's order swaps the
// two sides, since a departure from the plan stays a departure.
struct BlockCounts {
    int64_t ExposedOnsets = 0;
    int64_t ExposedDays = 0;
    int64_t OtherOnsets = 0;
    int64_t OtherDays = 0;
};

struct RandomizationResult {
    double PValue = 1;         // one-sided: the exposed rate is higher
    double SmallestP = 1;      // the smallest p any outcome of these days could give
    double Statistic = 0;      // exposed rate minus other rate, onsets per day
    uint64_t Assignments = 0;  // 2^blocks
};

// Every one of the 2^blocks assignments, with the rate difference as statistic:
// it stays exact when departures make the two sides unequal in days. At most 24
// blocks (16 million assignments).
RandomizationResult EnumeratedRandomizationTest(std::span<const BlockCounts> blocks);

}  // namespace quorvane
