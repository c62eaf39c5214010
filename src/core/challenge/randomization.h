#pragma once

#include <cstdint>
#include <span>

namespace quorvane {

class ChallengeRandom;

// Exact randomization tests over the 2^blocks orders a plan of paired periods
// could have drawn: each block's order is a coin, so the null distribution is
// every pattern of blocks swapped.

// A block's counted days at risk (no episode running from the day before), split
// by what the diary says was eaten. Swapping a block's order swaps the two
// sides, since a departure from the plan stays a departure.
struct BlockCounts {
    int64_t ExposedOnsets = 0;
    int64_t ExposedDays = 0;
    int64_t OtherOnsets = 0;
    int64_t OtherDays = 0;
};

struct RandomizationResult {
    double PValue = 1;         // one-sided: the exposed rate is higher
    double SmallestP = 1;      // the p of the most extreme assignment of these blocks
    double Statistic = 0;      // exposed rate minus other rate, onsets per day at risk
    uint64_t Assignments = 0;  // 2^blocks
};

// Every one of the 2^blocks assignments, in Gray-code order so that each differs
// from the last by one block. At most 24 blocks (16 million assignments).
RandomizationResult EnumeratedRandomizationTest(std::span<const BlockCounts> blocks);

// The same p estimated from `samples` random assignments (and the observed one),
// for designs too long to enumerate.
double SampledRandomizationP(std::span<const BlockCounts> blocks, int samples,
                             ChallengeRandom& random);

}  // namespace quorvane
