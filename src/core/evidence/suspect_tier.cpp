#include "core/evidence/suspect_tier.h"

namespace quorvane {

std::string_view TierName(SuspectTier tier) {
    switch (tier) {
        case SuspectTier::Strong:
            return "strong";
        case SuspectTier::Suggestive:
            return "suggestive";
        case SuspectTier::NotEnoughData:
            return "not-enough-data";
        case SuspectTier::ProbablyTolerated:
            return "probably-tolerated";
        case SuspectTier::PossiblyProtective:
            return "possibly-protective";
        case SuspectTier::TooLittleData:
            return "too-little-data";
    }
    return "not-enough-data";
}

SuspectTier AssignTier(const TierFacts& facts, const SuspectThresholds& thresholds) {
    // A food had once or twice says nothing either way, however it turned out.
    if (facts.ExposedDays < thresholds.MinExposedDays) {
        return SuspectTier::TooLittleData;
    }
    if (facts.QValue <= thresholds.Strong && facts.Low > 1) {
        return SuspectTier::Strong;
    }
    if (facts.QValue <= thresholds.Suggestive && facts.Ratio > 1) {
        return SuspectTier::Suggestive;
    }
    if (facts.HighestUpper < 1) {
        return SuspectTier::PossiblyProtective;
    }
    if (facts.ExposedDays >= thresholds.ToleratedExposedDays &&
        facts.HighestUpper < thresholds.ToleratedHigh) {
        return SuspectTier::ProbablyTolerated;
    }
    return SuspectTier::NotEnoughData;
}

}  // namespace quorvane
