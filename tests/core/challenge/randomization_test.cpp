#include "core/challenge/randomization.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "core/challenge/challenge_analysis.h"
#include "core/challenge/challenge_random.h"

namespace quorvane {
namespace {

// Blocks with equal days on both sides, from eat-minus-avoid onset differences.
std::vector<BlockCounts> EqualDays(const std::vector<int>& differences) {
    std::vector<BlockCounts> blocks;
    for (const int d : differences) {
        blocks.push_back({std::max(d, 0), 5, std::max(-d, 0), 5});
    }
    return blocks;
}

// With equal days the statistic orders assignments as the sum of +-d does: the
// share of sign patterns reaching the observed sum, counted by convolution.
double SignFlipShare(const std::vector<int>& differences) {
    std::vector<double> share(1, 1.0);  // share[s + offset]
    int offset = 0;
    int observed = 0;
    for (const int d : differences) {
        const int step = std::abs(d);
        std::vector<double> next(share.size() + 2 * static_cast<std::size_t>(step), 0.0);
        for (std::size_t i = 0; i < share.size(); ++i) {
            next[i] += share[i] / 2;
            next[i + 2 * static_cast<std::size_t>(step)] += share[i] / 2;
        }
        share.swap(next);
        offset += step;
        observed += d;
    }
    double reaching = 0;
    for (int s = observed; s <= offset; ++s) {
        reaching += share[static_cast<std::size_t>(s + offset)];
    }
    return reaching;
}

TEST(EnumeratedRandomizationTest, MatchesSignPatternsCountedByHand) {
    // 2+1+1+1+1 = 6 is reached only with every sign +: 1 of 32.
    EXPECT_DOUBLE_EQ(EnumeratedRandomizationTest(EqualDays({2, 1, 1, 1, 1})).PValue, 1.0 / 32);
    // The three 1s must all be +; the two 0s are free: 4 of 32.
    EXPECT_DOUBLE_EQ(EnumeratedRandomizationTest(EqualDays({1, 1, 1, 0, 0})).PValue, 4.0 / 32);
    // +-2 +-1 +-1 +-1 reaches 3 as 2+1+1+1 or 2 with one 1 negative (4 ways), times
    // 2 for the 0: 8 of 32; the most extreme sum, 5, twice: 2 of 32.
    const RandomizationResult mixed = EnumeratedRandomizationTest(EqualDays({2, 1, -1, 1, 0}));
    EXPECT_DOUBLE_EQ(mixed.PValue, 8.0 / 32);
    EXPECT_DOUBLE_EQ(mixed.SmallestP, 2.0 / 32);
    EXPECT_EQ(mixed.Assignments, 32U);
    EXPECT_DOUBLE_EQ(EnumeratedRandomizationTest(EqualDays({-1, -2, -1, -1, -1})).PValue, 1.0);
}

TEST(EnumeratedRandomizationTest, AgreesWithTheSignFlipCountWhenDaysAreEqual) {
    ChallengeRandom random(7);
    for (int trial = 0; trial < 300; ++trial) {
        std::vector<int> differences;
        const std::size_t blocks = 1 + random.Below(12);
        for (std::size_t b = 0; b < blocks; ++b) {
            differences.push_back(static_cast<int>(random.Below(6)) - 2);
        }
        EXPECT_NEAR(EnumeratedRandomizationTest(EqualDays(differences)).PValue,
                    SignFlipShare(differences), 1e-12)
            << "trial " << trial;
    }
}

TEST(EnumeratedRandomizationTest, DeparturesMakeSidesUnequalAndTheHandCountHolds) {
    // Observed: 7 onsets in 15 exposed days, 1 in 15 others: 7/15 - 1/15 = 2/5.
    // Only swapping block 1 (an eat day skipped, its onset on the other side)
    // beats it: (7 - 0 + 1) / (15 - 2 + 4) = 8/17 against 0/13. So p = 2/32, and
    // that swap alone is the most extreme: 1/32.
    const std::vector<BlockCounts> blocks = {
        {2, 3, 0, 3}, {0, 2, 1, 4}, {1, 3, 0, 3}, {3, 4, 0, 2}, {1, 3, 0, 3}};
    const RandomizationResult result = EnumeratedRandomizationTest(blocks);
    EXPECT_EQ(result.Assignments, 32U);
    EXPECT_NEAR(result.Statistic, 0.4, 1e-12);
    EXPECT_DOUBLE_EQ(result.PValue, 2.0 / 32);
    EXPECT_DOUBLE_EQ(result.SmallestP, 1.0 / 32);

    // A sample of assignments estimates the same p.
    ChallengeRandom random(3);
    EXPECT_NEAR(SampledRandomizationP(blocks, 20000, random), 2.0 / 32, 0.006);
}

TEST(EnumeratedRandomizationTest, NoOnsetsGiveNothingToGoOn) {
    const std::vector<BlockCounts> blocks(6, BlockCounts{0, 4, 0, 4});
    const RandomizationResult result = EnumeratedRandomizationTest(blocks);
    EXPECT_DOUBLE_EQ(result.PValue, 1.0);
    EXPECT_DOUBLE_EQ(result.SmallestP, 1.0);
}

TEST(ExactRateRatio, MatchesClopperPearsonFromScipy) {
    // scipy.stats.beta.ppf on the exposed share of onsets, turned into ratios.
    const RateRatio a = ExactRateRatio(7, 15, 1, 15);
    EXPECT_DOUBLE_EQ(a.Ratio, 7.0);
    EXPECT_NEAR(a.Low, 0.8993003458753566, 1e-7);
    EXPECT_NEAR(a.High, 315.48338536877736, 1e-4);
    const RateRatio b = ExactRateRatio(9, 40, 2, 30);
    EXPECT_NEAR(b.Ratio, 3.375, 1e-12);
    EXPECT_NEAR(b.Low, 0.6985591936453257, 1e-7);
    EXPECT_NEAR(b.High, 32.09978695145085, 1e-5);
    const RateRatio none = ExactRateRatio(0, 10, 3, 12);
    EXPECT_EQ(none.Ratio, 0);
    EXPECT_EQ(none.Low, 0);
    EXPECT_NEAR(none.High, 2.9039422720240706, 1e-7);
    const RateRatio open = ExactRateRatio(3, 10, 0, 12);
    EXPECT_TRUE(std::isinf(open.Ratio));
    EXPECT_NEAR(open.Low, 0.49587762603707264, 1e-7);
    EXPECT_TRUE(std::isinf(open.High));
    EXPECT_FALSE(ExactRateRatio(0, 10, 0, 10).Defined);
}

}  // namespace
}  // namespace quorvane
