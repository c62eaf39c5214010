#pragma once

#include <cstdint>
#include <string_view>

namespace quorvane {

// What a row's evidence amounts to: a label and a filter, never its rank.
enum class SuspectTier {
    Strong,
    Suggestive,
    NotEnoughData,
    ProbablyTolerated,
    PossiblyProtective,
    TooLittleData
};

// "strong", "suggestive", "not-enough-data", "probably-tolerated",
// "possibly-protective", "too-little-data".
std::string_view TierName(SuspectTier tier);

struct SuspectThresholds {
    double Strong = 0.05;        // q at most this, and the interval above 1
    double Suggestive = 0.20;    // q at most this and the ratio above 1
    int64_t MinExposedDays = 3;  // fewer at the row's lag: too little data to say anything
    int64_t ToleratedExposedDays = 10;
    double ToleratedHigh = 1.5;  // every lag's upper bound below this
};

// What the tier is decided from, at the row's lag.
struct TierFacts {
    int64_t ExposedDays = 0;
    double QValue = 1;
    double Ratio = 1;
    double Low = 0;           // the interval's lower bound
    double HighestUpper = 0;  // the largest upper bound over the lags
};

SuspectTier AssignTier(const TierFacts& facts, const SuspectThresholds& thresholds);

}  // namespace quorvane
