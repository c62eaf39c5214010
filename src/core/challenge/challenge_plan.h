#pragma once

// Planning a randomized eat/avoid test of one suspect: blocks of two periods in
// random order, each period opening with a wash-out whose days are not counted,
// as many blocks as a simulated power of 80 % at the 5 % level asks for.

#include <cstdint>
#include <string>
#include <vector>

#include "core/evidence/statistics.h"

namespace quorvane {

class DiaryEvidence;
struct SuspectRow;

inline constexpr double kChallengeLevel = 0.05;
inline constexpr double kChallengePowerGoal = 0.8;
// 1 / 2^5 is the first share of orders below 5 %: fewer blocks can never confirm.
inline constexpr int kChallengeMinBlocks = 5;
// About six months: longer than that few people keep to a plan.
inline constexpr int kChallengeMaxDays = 182;
// A diary's ratio from a handful of onsets overstates the effect; a plan built on
// a larger one would promise power it does not have.
inline constexpr double kAssumedRatioCap = 4;
inline constexpr int kPowerTrials = 2000;
// Plans allow one day in ten off plan: people miss days.
inline constexpr double kPlannedAdherence = 0.9;
// Fixed, so that one diary always shows the same power, whatever the order's seed.
inline constexpr uint64_t kPowerSeed = 0x51A7E5C0FFEEULL;

struct ChallengePlan {
    std::string Food;
    std::string Symptom;
    uint32_t StartDay = 0;  // the diary day (counted by "#") of plan day 0
    std::string StartDate;  // "YYYY-MM-DD" of plan day 0
    int Lag = 0;
    int EpisodeDays = 1;
    int WashoutDays = 1;  // the first days of each period, not counted
    int PeriodDays = 7;
    int Blocks = 0;
    uint64_t Seed = 0;
    std::string Order;    // "E" or "A" per period, one of each per block
    double BaseRate = 0;  // onsets per day without the food, from the diary
    double AssumedRatio = 1;
    double Power = 0;

    int TotalDays() const { return 2 * Blocks * PeriodDays; }
    // 'E' (eat), 'A' (avoid), or 0 outside the plan.
    char Instruction(int64_t planDay) const;
    bool Counted(int64_t planDay) const { return planDay % PeriodDays >= WashoutDays; }
};

// What the diary says about one food and symptom, all a plan is made from.
struct ChallengeFacts {
    std::string Food;
    std::string Symptom;
    int Lag = 0;
    DayTable Table;    // at Lag
    double Ratio = 1;  // the diary's risk ratio; infinite with no onset without the food
    std::vector<int> EpisodeLengths;
    uint32_t DayCount = 0;
    int64_t Onsets = 0;
};

ChallengeFacts FactsForChallenge(const DiaryEvidence& evidence, const SuspectRow& row);

// The days of each run of symptom days, in diary order.
std::vector<int> EpisodeLengths(const DiaryEvidence& evidence, int symptom);

// The order of the periods, drawn from the seed: "EA" or "AE" per block.
std::string PeriodOrder(uint64_t seed, int blocks);

struct PowerModel {
    double BaseRate = 0;
    double Ratio = 1;
    int Lag = 0;
    std::vector<int> EpisodeLengths;  // drawn from for each simulated episode
    int PeriodDays = 7;
    int WashoutDays = 1;
    double Adherence = 1;  // the share of days kept to the plan
};

// The share of simulated challenges of `blocks` blocks that the randomization
// test confirms at kChallengeLevel, when the food multiplies the daily onset
// chance by the model's ratio; days off plan are counted as eaten or not, as the
// analysis counts them.
double SimulatedPower(const PowerModel& model, int blocks, int trials, uint64_t seed);

struct PlanOutcome {
    enum class Kind { Planned, TooRare, NothingToConfirm };
    Kind Result = Kind::NothingToConfirm;
    ChallengePlan Plan;  // Planned: the plan; TooRare: its shape, Blocks the blocks needed
    int DaysNeeded = 0;  // TooRare: 0 when even five years would not do
    double EpisodesPerMonth = 0;
};

// Plan day 0 is diary day facts.DayCount: the day after the last one written.
PlanOutcome PlanChallenge(const ChallengeFacts& facts, uint64_t seed, const std::string& startDate);

}  // namespace quorvane
