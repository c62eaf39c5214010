#include "core/challenge/randomization.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "core/challenge/challenge_analysis.h"
#include "core/challenge/challenge_random.h"

namespace quorvane {
namespace {

TEST(SignFlipPValue, MatchesCountsOfSignPatternsWorkedByHand) {
    // 2+1+1+1+1 = 6 is reached only with every sign +: 1 of 32.
    EXPECT_DOUBLE_EQ(SignFlipPValue(std::vector<int>{2, 1, 1, 1, 1}), 1.0 / 32);
    // The three 1s must all be +; the two 0s are free: 4 of 32.
    EXPECT_DOUBLE_EQ(SignFlipPValue(std::vector<int>{1, 1, 1, 0, 0}), 4.0 / 32);
    // +-2 +-1 +-1 +-1 reaches 3 as 2+1+1+1 or 2 with one 1 negative (4 ways), times
    // 2 for the 0: 8 of 32. A negative observed difference counts like any other.
    EXPECT_DOUBLE_EQ(SignFlipPValue(std::vector<int>{2, 1, -1, 1, 0}), 8.0 / 32);
    EXPECT_DOUBLE_EQ(SignFlipPValue(std::vector<int>{-1, -2, -1, -1, -1}), 1.0);
    EXPECT_DOUBLE_EQ(SignFlipPValue(std::vector<int>{}), 1.0);
}

TEST(SignFlipPValue, AgreesWithEnumerationWhenBothSidesHaveEqualDays) {
    // With equal days the rate difference orders assignments as the sum does, so
    // the convolution and the full enumeration must give the same p.
    ChallengeRandom random(7);
    for (int trial = 0; trial < 300; ++trial) {
        const int blocks = 1 + static_cast<int>(random.Below(10));
        std::vector<int> differences;
        std::vector<BlockCounts> counts;
        for (int b = 0; b < blocks; ++b) {
            const auto eaten = static_cast<int64_t>(random.Below(4));
            const auto avoided = static_cast<int64_t>(random.Below(3));
            differences.push_back(static_cast<int>(eaten - avoided));
            counts.push_back({eaten, 5, avoided, 5});
        }
        EXPECT_NEAR(SignFlipPValue(differences), EnumeratedRandomizationTest(counts).PValue, 1e-12)
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
