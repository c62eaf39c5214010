#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/analysis/item_list.h"
#include "core/evidence/diary_evidence.h"
#include "core/evidence/not_foods.h"
#include "core/evidence/statistics.h"
#include "core/evidence/suspect_days.h"
#include "core/evidence/suspect_tier.h"
#include "core/foods/food_groups.h"

namespace quorvane {

// The shown interval's level: the lag is the best of three, so each lag's
// interval is widened to keep 95 % for the choice.
inline constexpr double kSuspectConfidence = 1 - 0.05 / kSuspectLags;

// What a row's checks found; the names are the flags column's words.
enum SuspectFlag : uint8_t {
    kTooFewExposures = 1,        // "too-few-exposures": cannot reach significance
    kZeroCell = 2,               // "zero-cell": no onset on one side, the interval is open there
    kReverseTiming = 4,          // "reverse-timing"
    kInseparable = 8,            // "inseparable"
    kRestsOnOneDay = 16,         // "rests-on-one-day"
    kNotInBothHalves = 32,       // "not-in-both-halves"
    kExplainedByPartner = 64,    // "explained-by-partner"
    kMoreAfterTwoHelpings = 128  // "more-after-two-helpings"
};
inline constexpr int kSuspectFlagCount = 8;
std::string_view SuspectFlagName(int bit);  // 0 to 7

// Members are ordered by size, not by topic, so that the rows of a long diary
// (tens of thousands) carry no padding.
struct SuspectRow {
    std::string Item;
    // The items whose days the row's food joins (an alias's, an ingredient's
    // dishes), commas between; empty for one item as written.
    std::string FromItems;
    std::string SymptomName;
    int Symptom = 0;
    int Rank = 0;  // 1 is the strongest suspect of its symptom
    SuspectTier Tier = SuspectTier::NotEnoughData;
    int Lag = 0;             // the lag of the smallest p
    DayTable Table;          // at Lag: A exposed onsets, B exposed other days, C, D
    RiskRatioInterval Risk;  // Koopman's score interval at kSuspectConfidence
    // The largest upper bound over the lags; past the food's own lag only worked
    // out while below ToleratedHigh, all that the tiers ask of it.
    double HighestUpper = 0;
    double RawP = 1;    // one-sided Fisher at Lag
    double PValue = 1;  // RawP times the lags tried, at most 1
    double QValue = 1;  // Benjamini-Hochberg over the pairs that can reach significance
    // The exposure days below which even the most extreme table could not reach
    // significance; 0 when no count would (too few episodes).
    int64_t DaysNeeded = 0;

    // The checks, made for strong and suggestive rows (Checked).
    int64_t EpisodesWithBefore = 0;  // onsets with the food on one of the two days before
    int64_t EpisodesWithAfter = 0;   // and on one of the two days after
    std::string Partner;             // the co-eaten food that looks most like a suspect too
    int64_t DaysWithoutPartner = 0;
    std::optional<double> AdjustedRatio;  // Mantel-Haenszel, stratified by Partner
    std::optional<double> PWithoutTopDay;
    std::optional<double> FirstHalfRatio;
    std::optional<double> SecondHalfRatio;
    // Dose: the exposed days with two or more helpings, and their onsets.
    int64_t DoubleDays = 0;
    int64_t DoubleOnsets = 0;

    bool CanReach = true;  // DaysNeeded reached: the pair is in the false-discovery family
    bool Checked = false;
    bool ReverseTiming = false;
    bool Inseparable = false;
    // The partner accounts for the association: adjusted below 1.5 and below the
    // square root of the crude ratio. A strong row becomes suggestive.
    bool ExplainedByPartner = false;
    // Onsets clearly more frequent after two helpings than after one.
    bool MoreAfterTwoHelpings = false;
    uint8_t Flags = 0;  // SuspectFlag bits
};

struct SymptomSuspects {
    int Symptom = 0;
    std::string Name;
    int64_t Episodes = 0;
    std::vector<SuspectRow> Rows;  // in RankSuspects' order
};

struct SuspectsResult {
    std::size_t PairsTested = 0;  // every food x symptom with days on both sides
    std::size_t PairsInFamily = 0;
    std::vector<SymptomSuspects> Symptoms;
};

// Rows by the strength of evidence: the lag-corrected p, then more exposed days,
// then the name; rows with too little data after all others. Sets Rank.
void RankSuspects(std::vector<SuspectRow>& rows);

// The suspects of every symptom 1 to 21 that occurred, from one finished read.
// The plain sentence of a row is SuspectSentence(row, result.PairsTested), made
// when shown, so that a long diary's thousands of rows hold no text.
// `notFoods` are left out besides the built-in words and the symptom names;
// they are compared after folding to upper case.
SuspectsResult FindSuspects(const DiaryEvidence& evidence, const ItemList& items,
                            std::span<const std::string> notFoods,
                            const SuspectThresholds& thresholds = {});
// The same with the person's foods: aliases merged into their food and each
// ingredient tested as a food, all in one false-discovery family.
SuspectsResult FindSuspects(const DiaryEvidence& evidence, const ItemList& items,
                            std::span<const std::string> notFoods, const FoodGroups& groups,
                            const SuspectThresholds& thresholds = {});

}  // namespace quorvane
