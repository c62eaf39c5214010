#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/challenge/challenge_plan.h"
#include "core/challenge/randomization.h"

namespace quorvane {

class ProfileFile;

class DiaryEvidence;
class ItemList;

// The words the composer writes to record which day of the plan it was; the
// suspects treat them as no food.
inline constexpr const char* kChallengeEatWord = "CHALLENGE EAT";
inline constexpr const char* kChallengeAvoidWord = "CHALLENGE AVOID";

enum class ChallengeVerdict { NotEnoughEpisodes, Confirmed, Tolerated };

// A written plan day where the diary tells another story than the plan.
struct ChallengeDeparture {
    int PlanDay = 0;
    uint32_t DiaryDay = 0;
    char Planned = 'E';
    bool Eaten = false;           // what the diary says, as the analysis counts it
    std::string MarkerDisagrees;  // the marker word when it names the other side
};

// The exact conditional interval for the ratio of two onset rates (onsets per
// counted day), from the Clopper-Pearson interval of the exposed share of onsets.
struct RateRatio {
    bool Defined = false;  // false with no onset at all
    double Ratio = 0;      // infinite with no onset on the other side
    double Low = 0;
    double High = 0;  // infinite with no onset on the other side
};
RateRatio ExactRateRatio(int64_t exposedOnsets, int64_t exposedDays, int64_t otherOnsets,
                         int64_t otherDays, double confidence = 0.95);

struct ChallengeResult {
    int BlocksDone = 0;  // blocks whose days are all written; only these are tested
    int PlanDaysWritten = 0;
    bool SymptomKnown = true;
    // Counted days at risk (no episode running on), split by what the diary says
    // was eaten.
    int64_t EatenOnsets = 0;
    int64_t EatenDays = 0;
    int64_t AvoidedOnsets = 0;
    int64_t AvoidedDays = 0;
    RateRatio Rate;
    RandomizationResult Test;
    ChallengeVerdict Verdict = ChallengeVerdict::NotEnoughEpisodes;
    std::vector<ChallengeDeparture> Departures;
};

// Plan day p is diary day plan.StartDay + p. A counted day is exposed when the
// diary shows the food `Lag` days earlier, whatever the plan said; onsets are
// compared per day at risk, as the suspects count them.
ChallengeResult AnalyseChallenge(const ChallengePlan& plan, const DiaryEvidence& evidence,
                                 const ItemList& items);

std::string VerdictName(ChallengeVerdict verdict);

// The result in plain sentences, for the page, quorvane-report and the doctor's
// summary; the first line is the heading, the second the verdict.
std::vector<std::string> ChallengeVerdictLines(const ChallengePlan& plan,
                                               const ChallengeResult& result);

// The verdict lines of the plan the settings file keeps, analysed on this read;
// empty when it keeps none. For the doctor's summary.
std::vector<std::string> StoredChallengeLines(const ProfileFile& profile,
                                              const DiaryEvidence& evidence, const ItemList& items);

}  // namespace quorvane
