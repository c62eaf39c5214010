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
#include "core/evidence/statistics.h"

namespace quorvane {

// Lags tried per food: 0 earlier the same day, 1 and 2 days before the onset.
inline constexpr int kSuspectLags = 3;

// In rank order within a symptom.
enum class SuspectTier { Strong, Suggestive, NotEnoughData, ProbablyTolerated, PossiblyProtective };

// "strong", "suggestive", "not-enough-data", "probably-tolerated", "possibly-protective".
std::string_view TierName(SuspectTier tier);

// What a row's checks found; the names are the flags column's words.
enum SuspectFlag : uint8_t {
    kTooFewExposures = 1,     // "too-few-exposures": cannot reach significance
    kZeroCell = 2,            // "zero-cell": the interval is of the 0.5-corrected table
    kReverseTiming = 4,       // "reverse-timing"
    kInseparable = 8,         // "inseparable"
    kRestsOnOneDay = 16,      // "rests-on-one-day"
    kNotInBothHalves = 32,    // "not-in-both-halves"
    kExplainedByPartner = 64  // "explained-by-partner"
};
inline constexpr int kSuspectFlagCount = 7;
std::string_view SuspectFlagName(int bit);  // 0 to 6

struct SuspectThresholds {
    double Strong = 0.05;      // q at most this, and the interval above 1
    double Suggestive = 0.20;  // q at most this and the ratio above 1
    int64_t ToleratedExposedDays = 10;
    double ToleratedHigh = 1.5;  // every lag's upper bound below this
};

// Members are ordered by size, not by topic, so that the rows of a long diary
// (tens of thousands) carry no padding.
struct SuspectRow {
    std::string Item;
    std::string SymptomName;
    int Symptom = 0;
    int Rank = 0;  // 1 is the strongest suspect of its symptom
    SuspectTier Tier = SuspectTier::NotEnoughData;
    int Lag = 0;     // the lag of the smallest p
    DayTable Table;  // at Lag: A exposed onsets, B exposed other days, C, D
    RiskRatioInterval Risk;
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

    bool CanReach = true;  // DaysNeeded reached: the pair is in the false-discovery family
    bool Checked = false;
    bool ReverseTiming = false;
    bool Inseparable = false;
    // The partner accounts for the association: adjusted below 1.5 and below the
    // square root of the crude ratio. A strong row becomes suggestive.
    bool ExplainedByPartner = false;
    uint8_t Flags = 0;  // SuspectFlag bits
};

struct SymptomSuspects {
    int Symptom = 0;
    std::string Name;
    int64_t Episodes = 0;
    std::vector<SuspectRow> Rows;  // ranked
};

struct SuspectsResult {
    std::size_t PairsTested = 0;  // every food x symptom with days on both sides
    std::size_t PairsInFamily = 0;
    std::vector<SymptomSuspects> Symptoms;
};

// True for the words a diary holds that are no food: months, weekdays and their
// three-letter forms, and the composer's fixed phrases. Names are upper case.
bool IsCalendarOrPhrase(std::string_view name);

// The suspects of every symptom 1 to 21 that occurred, from one finished read.
// The plain sentence of a row is SuspectSentence(row, result.PairsTested), made
// when shown, so that a long diary's thousands of rows hold no text.
// `notFoods` are left out besides the built-in words and the symptom names;
// they are compared after folding to upper case.
SuspectsResult FindSuspects(const DiaryEvidence& evidence, const ItemList& items,
                            std::span<const std::string> notFoods,
                            const SuspectThresholds& thresholds = {});

}  // namespace quorvane
