#include "core/evidence/suspect_tier.h"

#include <gtest/gtest.h>

namespace {

using quorvane::SuspectTier;
using quorvane::TierFacts;

TEST(SuspectTier, EachRuleAndItsBoundaries) {
    const quorvane::SuspectThresholds thresholds;
    struct Case {
        TierFacts Facts;  // exposed days, q, ratio, low, highest upper
        SuspectTier Expected;
    };
    const Case cases[] = {
        {{40, 0.01, 4.0, 2.0, 8.0}, SuspectTier::Strong},
        {{40, 0.05, 4.0, 1.01, 8.0}, SuspectTier::Strong},
        // q low but the interval reaches 1: only suggestive.
        {{40, 0.01, 4.0, 1.0, 8.0}, SuspectTier::Suggestive},
        {{40, 0.20, 1.1, 0.5, 3.0}, SuspectTier::Suggestive},
        {{40, 0.21, 3.0, 0.9, 9.0}, SuspectTier::NotEnoughData},
        // A low q with a ratio at or below 1 is no suspect.
        {{40, 0.10, 1.0, 0.5, 1.4}, SuspectTier::ProbablyTolerated},
        {{10, 1.0, 0.8, 0.2, 1.49}, SuspectTier::ProbablyTolerated},
        {{9, 1.0, 0.8, 0.2, 1.49}, SuspectTier::NotEnoughData},
        {{40, 1.0, 0.8, 0.2, 1.5}, SuspectTier::NotEnoughData},
        {{4, 1.0, 0.2, 0.0, 0.99}, SuspectTier::PossiblyProtective},
        // Fewer than three days: nothing can be said, however striking.
        {{2, 0.001, 50.0, 5.0, 90.0}, SuspectTier::TooLittleData},
        {{1, 1.0, 0.0, 0.0, 0.5}, SuspectTier::TooLittleData},
        {{3, 0.01, 50.0, 5.0, 90.0}, SuspectTier::Strong},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(quorvane::AssignTier(c.Facts, thresholds), c.Expected)
            << c.Facts.ExposedDays << " days, q " << c.Facts.QValue << ", ratio " << c.Facts.Ratio
            << " [" << c.Facts.Low << ", " << c.Facts.HighestUpper << "]";
    }
    EXPECT_EQ(quorvane::TierName(SuspectTier::TooLittleData), "too-little-data");
}

}  // namespace
