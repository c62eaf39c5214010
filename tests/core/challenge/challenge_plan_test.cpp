#include "core/challenge/challenge_plan.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "core/analysis/symptom_table.h"
#include "core/challenge/challenge_date.h"
#include "core/challenge/challenge_store.h"
#include "core/challenge/challenge_text.h"
#include "core/settings/profile_file.h"
#include "core/settings/settings_store.h"
#include "core/text/quorvane_error.h"

namespace quorvane {
namespace {

// A diary of 304 days with `onsets` one-day episodes, `withOnsets` of them in the
// `withDays` days after the food.
ChallengeFacts Facts(int64_t withOnsets, int64_t withDays, int64_t onsets, int lag,
                     std::vector<int> lengths) {
    ChallengeFacts facts;
    facts.Food = "PEANUT";
    facts.Symptom = "HEADACHE";
    facts.Lag = lag;
    facts.DayCount = 304;
    facts.Onsets = onsets;
    facts.EpisodeLengths = std::move(lengths);
    const int64_t otherDays = 300 - withDays;
    facts.Table = {withOnsets, withDays - withOnsets, onsets - withOnsets,
                   otherDays - (onsets - withOnsets)};
    const double withRate = static_cast<double>(withOnsets) / withDays;
    const double otherRate = static_cast<double>(onsets - withOnsets) / otherDays;
    facts.Ratio = otherRate > 0 ? withRate / otherRate : std::numeric_limits<double>::infinity();
    return facts;
}

TEST(PeriodOrder, IsDrawnFromTheSeedOnePairPerBlock) {
    EXPECT_EQ(PeriodOrder(42, 8), PeriodOrder(42, 8));
    EXPECT_NE(PeriodOrder(42, 8), PeriodOrder(43, 8));
    int eatFirst = 0;
    for (uint64_t seed = 0; seed < 1000; ++seed) {
        const std::string order = PeriodOrder(seed, 6);
        ASSERT_EQ(order.size(), 12U);
        for (std::size_t b = 0; b < order.size(); b += 2) {
            ASSERT_TRUE(order.substr(b, 2) == "EA" || order.substr(b, 2) == "AE") << order;
        }
        eatFirst += order[0] == 'E';
    }
    // A fair coin: 500 +- 4.4 standard deviations.
    EXPECT_GT(eatFirst, 430);
    EXPECT_LT(eatFirst, 570);
}

TEST(SimulatedPower, AgreesWithAnIndependentSimulation) {
    // Reference figures from a separate numpy simulation of the same model that
    // tries every block swap plainly (3000, 2000 and 3000 trials): 0.104, 0.323
    // and 0.036; the tolerances are three standard errors of the difference.
    const PowerModel plain{0.1, 2, 0, {1}, 7, 1, 1.0};
    EXPECT_NEAR(SimulatedPower(plain, 6, kPowerTrials, 1), 0.104, 0.027);
    const PowerModel lagged{0.08, 2.5, 1, {1, 2, 2, 3}, 7, 3, 0.9};
    EXPECT_NEAR(SimulatedPower(lagged, 10, kPowerTrials, 1), 0.323, 0.045);
    // No effect: the exact test keeps its level.
    const PowerModel none{0.1, 1, 1, {1, 2}, 7, 3, 0.9};
    const double level = SimulatedPower(none, 8, kPowerTrials, 1);
    EXPECT_NEAR(level, 0.036, 0.016);
    EXPECT_LE(level, kChallengeLevel + 0.01);
    // Determinism: the seed names the figure.
    EXPECT_EQ(SimulatedPower(plain, 6, 500, 9), SimulatedPower(plain, 6, 500, 9));
}

TEST(PlanChallenge, TakesTheFewestBlocksThatReachEightyPercent) {
    // 70 of 100 days with peanut, 40 of 200 without: ratio 3.5; lag 1; episodes
    // mostly of two days, so a wash-out of 3 and whole-week periods.
    const ChallengeFacts facts = Facts(70, 100, 110, 1, {1, 2, 2, 2, 3});
    const PlanOutcome outcome = PlanChallenge(facts, 77, "2026-12-11");
    ASSERT_EQ(outcome.Result, PlanOutcome::Kind::Planned);
    const ChallengePlan& plan = outcome.Plan;
    EXPECT_EQ(plan.StartDay, 304U);
    EXPECT_EQ(plan.EpisodeDays, 2);
    EXPECT_EQ(plan.WashoutDays, 3);
    EXPECT_EQ(plan.PeriodDays % 7, 0);
    EXPECT_GE(plan.Blocks, kChallengeMinBlocks);
    EXPECT_LE(plan.TotalDays(), kChallengeMaxDays);
    EXPECT_EQ(plan.Order, PeriodOrder(77, plan.Blocks));
    EXPECT_NEAR(plan.BaseRate, 40.0 / 200, 1e-12);
    EXPECT_NEAR(plan.AssumedRatio, facts.Ratio, 1e-12);

    PowerModel model{
        plan.BaseRate, plan.AssumedRatio, 1, facts.EpisodeLengths, plan.PeriodDays, 3, 0.9};
    EXPECT_DOUBLE_EQ(plan.Power, SimulatedPower(model, plan.Blocks, kPowerTrials, kPowerSeed));
    EXPECT_GE(plan.Power, kChallengePowerGoal);
    if (plan.Blocks > kChallengeMinBlocks) {
        EXPECT_LT(SimulatedPower(model, plan.Blocks - 1, kPowerTrials, kPowerSeed),
                  kChallengePowerGoal);
    }

    const std::vector<std::string> lines = PlanOutcomeLines(outcome);
    EXPECT_EQ(lines[0], "Challenge plan: PEANUT and HEADACHE");
    EXPECT_EQ(lines[1], StopAndSeekCare("PEANUT"));
    bool powerShown = false;
    for (const std::string& line : lines) {
        powerShown = powerShown || line.rfind("Power: ", 0) == 0;
    }
    EXPECT_TRUE(powerShown);
}

TEST(PlanChallenge, SaysPlainlyWhenTheSymptomIsTooRareOrNothingIsRaised) {
    // 20 onsets in 304 days: two a month; ratio 1.6.
    const PlanOutcome rare = PlanChallenge(Facts(8, 90, 20, 0, {1}), 1, "2026-12-11");
    ASSERT_EQ(rare.Result, PlanOutcome::Kind::TooRare);
    const std::string line = PlanOutcomeLines(rare)[1];
    EXPECT_EQ(line.rfind("At your rate of 2 episodes a month a test would take ", 0), 0U) << line;
    EXPECT_NE(line.find("longer than the 6 months"), std::string::npos) << line;
    EXPECT_TRUE(rare.DaysNeeded == 0 || rare.DaysNeeded > kChallengeMaxDays);

    const PlanOutcome none = PlanChallenge(Facts(3, 90, 20, 0, {1}), 1, "2026-12-11");
    EXPECT_EQ(none.Result, PlanOutcome::Kind::NothingToConfirm);
    EXPECT_NE(PlanOutcomeLines(none)[1].find("nothing to confirm"), std::string::npos);

    // No onset without the food: the ratio is unbounded; the plan assumes the cap.
    const PlanOutcome open = PlanChallenge(Facts(12, 40, 12, 0, {1}), 1, "2026-12-11");
    EXPECT_EQ(open.Plan.AssumedRatio, kAssumedRatioCap);
    EXPECT_NEAR(open.Plan.BaseRate, 0.5 / 260, 1e-12);
}

TEST(ChallengeStore, RoundTripsAndLeavesEverySpecifiedLineAsItWas) {
    ProfileFile profile = ProfileFile::FromBytes("");
    SymptomTable symptoms;
    LoadSettings(profile, symptoms);  // the first run's sections
    profile.WriteString("Not Foods", "1", "vitamin");
    const std::string before = profile.Bytes();

    PlanOutcome outcome = PlanChallenge(Facts(70, 100, 110, 1, {1, 2, 2, 2, 3}), 5, "2026-12-11");
    ChallengePlan plan = outcome.Plan;
    plan.Food = "PEANUT BUTTER ";  // an item may end in a blank
    StoreChallengePlan(profile, plan);
    const std::string after = profile.Bytes();
    ASSERT_GT(after.size(), before.size());
    EXPECT_EQ(after.substr(0, before.size()), before);
    EXPECT_EQ(after.substr(before.size()).rfind("[Challenge]", 0), 0U);

    const std::optional<ChallengePlan> read = ReadChallengePlan(profile);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->Food, plan.Food);
    EXPECT_EQ(read->Symptom, plan.Symptom);
    EXPECT_EQ(read->StartDay, plan.StartDay);
    EXPECT_EQ(read->StartDate, plan.StartDate);
    EXPECT_EQ(read->Lag, plan.Lag);
    EXPECT_EQ(read->WashoutDays, plan.WashoutDays);
    EXPECT_EQ(read->PeriodDays, plan.PeriodDays);
    EXPECT_EQ(read->Blocks, plan.Blocks);
    EXPECT_EQ(read->Seed, plan.Seed);
    EXPECT_EQ(read->Order, plan.Order);
    EXPECT_NEAR(read->Power, plan.Power, 1e-6);

    // A second plan rewrites the section's values only.
    plan.Seed = 6;
    plan.Order = PeriodOrder(6, plan.Blocks);
    StoreChallengePlan(profile, plan);
    EXPECT_EQ(profile.Bytes().substr(0, before.size()), before);
    EXPECT_EQ(profile.Bytes().size(), after.size() - std::to_string(5).size() + 1);
    SymptomTable reloaded;
    EXPECT_FALSE(LoadSettings(profile, reloaded).FirstRun);
    for (int s = 1; s <= kSymptomCount; ++s) {
        EXPECT_EQ(reloaded.Name(s), symptoms.Name(s));
    }

    ForgetChallengePlan(profile);
    EXPECT_FALSE(ReadChallengePlan(profile));
}

TEST(ChallengeStore, RefusesAPlanWhoseOrderIsDamaged) {
    ProfileFile profile = ProfileFile::FromBytes(
        "[Challenge]\r\nFood=PEANUT\r\nSymptom=HEADACHE\r\nStartDay=3\r\nStartDate=2026-12-11\r\n"
        "Lag=1\r\nEpisodeDays=2\r\nWashoutDays=3\r\nPeriodDays=7\r\nBlocks=2\r\nSeed=9\r\n"
        "Order=EAAE\r\nBaseRate=0.1\r\nAssumedRatio=3\r\nPower=0.8\r\n");
    ASSERT_TRUE(ReadChallengePlan(profile));
    for (const char* order : {"EAA", "EAEE", "EAXY", ""}) {
        profile.WriteString("Challenge", "Order", order);
        EXPECT_THROW(ReadChallengePlan(profile), QuorvaneError) << order;
    }
    profile.WriteString("Challenge", "Order", "AEEA");
    profile.WriteString("Challenge", "WashoutDays", "7");
    EXPECT_THROW(ReadChallengePlan(profile), QuorvaneError);
    profile.WriteString("Challenge", "WashoutDays", "x");
    EXPECT_THROW(ReadChallengePlan(profile), QuorvaneError);
}

TEST(ChallengeDates, CountDaysAndWeekdaysExactly) {
    // Python's datetime: 2026-12-10 is day 20797 and a Thursday; 2000-02-29, 11016.
    EXPECT_EQ(ParseIsoDate("2026-12-10"), 20797);
    EXPECT_EQ(WeekdayOf(20797), 3);
    EXPECT_EQ(ParseIsoDate("2000-02-29"), 11016);
    EXPECT_EQ(FormatIsoDate(11016), "2000-02-29");
    EXPECT_EQ(ShortDate(20797), "Thu 10 Dec");
    for (const char* bad : {"2026-02-29", "2026-13-01", "2026-1-01", "26-12-10", "2026-12-1x"}) {
        EXPECT_FALSE(ParseIsoDate(bad)) << bad;
    }
}

TEST(TodayInstruction, FollowsThePlanDayOfTheDate) {
    ChallengePlan plan;
    plan.Food = "PEANUT";
    plan.StartDate = "2026-12-11";
    plan.PeriodDays = 7;
    plan.WashoutDays = 3;
    plan.Blocks = 2;
    plan.Order = "AEEA";
    const int64_t start = *ParseIsoDate("2026-12-11");
    EXPECT_EQ(TodayInstruction(plan, start - 1), "The challenge starts Fri 11 Dec with no PEANUT.");
    EXPECT_EQ(TodayInstruction(plan, start), "Today: no PEANUT");
    EXPECT_EQ(TodayInstruction(plan, start + 7), "Today: eat PEANUT");
    EXPECT_EQ(TodayInstruction(plan, start + 20), "Today: eat PEANUT");
    EXPECT_EQ(TodayInstruction(plan, start + 21), "Today: no PEANUT");
    EXPECT_EQ(TodayInstruction(plan, start + 28), "The challenge is over: see its result.");
    EXPECT_EQ(MarkerWordFor(plan, 7), "Challenge eat,");
    EXPECT_EQ(MarkerWordFor(plan, 0), "Challenge avoid,");
    EXPECT_EQ(MarkerWordFor(plan, 28), "");
    plan.StartDate = "soon";
    EXPECT_EQ(TodayInstruction(plan, start), "The plan's start date cannot be read.");
}

}  // namespace
}  // namespace quorvane
