#include "core/challenge/challenge_analysis.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "core/challenge/challenge_store.h"
#include "core/evidence/evidence_test_support.h"
#include "core/evidence/not_foods.h"
#include "core/evidence/suspects.h"
#include "core/evidence/suspects_summary_text.h"
#include "core/settings/profile_file.h"

namespace quorvane {
namespace {

using testing::EvidenceRun;

constexpr uint32_t kPrelude = 2;

// Five blocks of two 4-day periods; the first day of each period is a wash-out.
// Blocks: EA, AE, EA, EA, AE.
ChallengePlan CraftedPlan() {
    ChallengePlan plan;
    plan.Food = "PEANUT";
    plan.Symptom = "HEADACHE";
    plan.StartDay = kPrelude;
    plan.StartDate = "2026-12-11";
    plan.Lag = 0;
    plan.EpisodeDays = 1;
    plan.WashoutDays = 1;
    plan.PeriodDays = 4;
    plan.Blocks = 5;
    plan.Order = "EAAEEAEAAE";
    return plan;
}

struct DayChanges {
    std::set<int> Onsets;      // plan days with a headache
    std::set<int> Flipped;     // plan days where the diary departs from the plan
    std::set<int> WrongMarks;  // plan days marked with the other side's word
    int Days = 40;
};

// Two days before the plan, then one diary day per plan day, each ended by "#".
std::string CraftedDiary(const ChallengePlan& plan, const DayChanges& changes) {
    std::string text = "tea, #,\r\nbread, #,\r\n";
    for (int p = 0; p < changes.Days; ++p) {
        const bool eat = (plan.Instruction(p) == 'E') != (changes.Flipped.count(p) != 0);
        const bool markEat = (plan.Instruction(p) == 'E') != (changes.WrongMarks.count(p) != 0);
        text += "tea, ";
        text += markEat ? "Challenge eat, " : "Challenge avoid, ";
        text += eat ? "peanut, " : "";
        text += changes.Onsets.count(p) != 0 ? "headache, " : "";
        text += "#,\r\n";
    }
    return text;
}

// d = (2, 1, 1, 1, 1) eat-minus-avoid onsets on counted days; plan day 8 is a
// wash-out day of block 1 and must not count (it would make d1 = 0).
const std::set<int> kConfirmingOnsets = {1, 3, 8, 13, 17, 25, 27, 30, 38};

TEST(AnalyseChallenge, FinishedChallengeGivesTheHandCountedPValue) {
    const ChallengePlan plan = CraftedPlan();
    EvidenceRun run;
    run.Analyse(CraftedDiary(plan, {kConfirmingOnsets, {}, {}}));
    const ChallengeResult result = AnalyseChallenge(plan, run.Evidence(), run.Engine.Items());

    EXPECT_EQ(result.BlocksDone, 5);
    EXPECT_EQ(result.PlanDaysWritten, 40);
    EXPECT_EQ(result.EatenOnsets, 7);
    EXPECT_EQ(result.EatenDays, 15);
    EXPECT_EQ(result.AvoidedOnsets, 1);
    EXPECT_EQ(result.AvoidedDays, 15);
    // Sum 6 of +-2 +-1 +-1 +-1 +-1 only with every sign +: 1 of the 32 orders.
    EXPECT_DOUBLE_EQ(result.Test.PValue, 1.0 / 32);
    EXPECT_EQ(result.Verdict, ChallengeVerdict::Confirmed);
    EXPECT_TRUE(result.Departures.empty());
    EXPECT_DOUBLE_EQ(result.Rate.Ratio, 7.0);

    const std::vector<std::string> lines = ChallengeVerdictLines(plan, result);
    ASSERT_GE(lines.size(), 5U);
    EXPECT_EQ(lines[0], "Planned test of PEANUT for HEADACHE");
    EXPECT_EQ(lines[1], "Verdict: Confirmed.");
    EXPECT_EQ(lines[4], "Rate ratio 7.00 (95 % interval 0.90 to 315.5).");
    EXPECT_NE(lines[5].find("over the 32 orders"), std::string::npos);
    EXPECT_NE(lines[5].find("p = 0.031"), std::string::npos);
}

TEST(AnalyseChallenge, TheStoredPlansVerdictReachesTheDoctorsSummary) {
    const ChallengePlan plan = CraftedPlan();
    EvidenceRun run;
    run.Analyse(CraftedDiary(plan, {kConfirmingOnsets, {}, {}}));
    ProfileFile none = ProfileFile::FromBytes("");
    EXPECT_TRUE(StoredChallengeLines(none, run.Evidence(), run.Engine.Items()).empty());

    ProfileFile profile = ProfileFile::FromBytes("");
    StoreChallengePlan(profile, plan);
    DiaryFacts facts = FactsOf(run.Evidence(), "test", "00");
    facts.Challenge = StoredChallengeLines(profile, run.Evidence(), run.Engine.Items());
    ASSERT_FALSE(facts.Challenge.empty());
    const std::vector<SummaryBlock> page =
        SummaryOverview(FindSuspects(run.Evidence(), run.Engine.Items(), {}), facts);
    bool heading = false;
    bool verdict = false;
    for (const SummaryBlock& block : page) {
        heading = heading || (block.Type == SummaryBlock::Heading &&
                              block.Words == "Planned test of PEANUT for HEADACHE");
        verdict =
            verdict || (block.Type == SummaryBlock::Text && block.Words == "Verdict: Confirmed.");
    }
    EXPECT_TRUE(heading);
    EXPECT_TRUE(verdict);
}

TEST(AnalyseChallenge, DeparturesAreCountedAsTheDiarySaysAndListed) {
    // Plan day 13 (eat, with an onset) without peanut, plan day 30 (avoid, with an
    // onset) with it: block 1 becomes (0 of 2 | 1 of 4) and block 3 (3 of 4 | 0
    // of 2). The hand count over the 32 orders is in randomization_test: p = 2/32.
    const ChallengePlan plan = CraftedPlan();
    EvidenceRun run;
    run.Analyse(CraftedDiary(plan, {kConfirmingOnsets, {13, 30}, {0}}));
    const ChallengeResult result = AnalyseChallenge(plan, run.Evidence(), run.Engine.Items());

    EXPECT_EQ(result.EatenOnsets, 7);
    EXPECT_EQ(result.EatenDays, 15);
    EXPECT_DOUBLE_EQ(result.Test.PValue, 2.0 / 32);
    EXPECT_DOUBLE_EQ(result.Test.SmallestP, 1.0 / 32);
    EXPECT_EQ(result.Verdict, ChallengeVerdict::Tolerated);

    ASSERT_EQ(result.Departures.size(), 3U);
    EXPECT_EQ(result.Departures[0].PlanDay, 0);  // eaten as planned, marked "avoid"
    EXPECT_TRUE(result.Departures[0].Eaten);
    EXPECT_EQ(result.Departures[0].MarkerDisagrees, kChallengeAvoidWord);
    EXPECT_EQ(result.Departures[1].PlanDay, 13);
    EXPECT_EQ(result.Departures[1].DiaryDay, kPrelude + 13);
    EXPECT_EQ(result.Departures[1].Planned, 'E');
    EXPECT_FALSE(result.Departures[1].Eaten);
    EXPECT_EQ(result.Departures[2].PlanDay, 30);
    EXPECT_TRUE(result.Departures[2].Eaten);

    const std::vector<std::string> lines = ChallengeVerdictLines(plan, result);
    const auto has = [&lines](const std::string& text) {
        for (const std::string& line : lines) {
            if (line == text) {
                return true;
            }
        }
        return false;
    };
    EXPECT_TRUE(has("Plan day 14 (diary day 16): planned eat PEANUT, not eaten."));
    EXPECT_TRUE(has("Plan day 31 (diary day 33): planned no PEANUT, eaten."));
    EXPECT_TRUE(has(
        "Plan day 1 (diary day 3): planned eat PEANUT, eaten; the diary says CHALLENGE AVOID."));
    EXPECT_TRUE(has("More onsets came after PEANUT, but no more than chance alone gives often."));
}

TEST(AnalyseChallenge, VerdictsForTooFewEpisodesAToleratedFoodAndAnUnfinishedPlan) {
    const ChallengePlan plan = CraftedPlan();
    {
        // d = (1, 1, 0, 1, 1): the best sum, 4, comes with either sign of the 0:
        // 2 of 32, never below 5 %.
        EvidenceRun run;
        run.Analyse(CraftedDiary(plan, {{1, 13, 25, 38}, {}, {}}));
        const ChallengeResult result = AnalyseChallenge(plan, run.Evidence(), run.Engine.Items());
        EXPECT_DOUBLE_EQ(result.Test.SmallestP, 2.0 / 32);
        EXPECT_EQ(result.Verdict, ChallengeVerdict::NotEnoughEpisodes);
    }
    {
        // More onsets on avoid days in every block: enough to decide, and no effect.
        EvidenceRun run;
        // Plan day 34 continues the episode of day 33: no longer at risk.
        run.Analyse(CraftedDiary(plan, {{5, 9, 21, 29, 33, 34, 31}, {}, {}}));
        const ChallengeResult result = AnalyseChallenge(plan, run.Evidence(), run.Engine.Items());
        EXPECT_EQ(result.EatenOnsets, 0);
        EXPECT_EQ(result.AvoidedOnsets, 6);
        EXPECT_EQ(result.AvoidedDays, 14);
        EXPECT_DOUBLE_EQ(result.Test.SmallestP, 1.0 / 32);
        EXPECT_DOUBLE_EQ(result.Test.PValue, 1.0);
        EXPECT_EQ(result.Verdict, ChallengeVerdict::Tolerated);
    }
    {
        // 4.5 blocks written: the half block is left out of the test, so with the
        // confirming onsets of four blocks 1/16 is the best and nothing is decided.
        EvidenceRun run;
        run.Analyse(CraftedDiary(plan, {kConfirmingOnsets, {}, {}, 36}));
        const ChallengeResult result = AnalyseChallenge(plan, run.Evidence(), run.Engine.Items());
        EXPECT_EQ(result.BlocksDone, 4);
        EXPECT_EQ(result.PlanDaysWritten, 36);
        EXPECT_EQ(result.Test.Assignments, 16U);
        EXPECT_EQ(result.Verdict, ChallengeVerdict::NotEnoughEpisodes);
    }
}

TEST(AnalyseChallenge, ALaggedPlanCountsTheFoodOfTheDayBefore) {
    ChallengePlan plan = CraftedPlan();
    plan.Lag = 1;
    plan.WashoutDays = 2;
    // Onsets on counted days 2 and 3 of the periods (offset 2, 3 are counted).
    // Day 16 starts block 2's eat period: its onset at day 18 follows eating on 17.
    EvidenceRun run;
    DayChanges changes{{2, 14, 18, 26, 38}, {}, {}};
    run.Analyse(CraftedDiary(plan, changes));
    const ChallengeResult lagged = AnalyseChallenge(plan, run.Evidence(), run.Engine.Items());
    EXPECT_EQ(lagged.EatenOnsets, 5);
    EXPECT_EQ(lagged.EatenDays, 10);
    // Skipping peanut on plan day 25 moves the onset of day 26 to the other side,
    // though day 26 itself was eaten as planned.
    changes.Flipped = {25};
    run.Analyse(CraftedDiary(plan, changes));
    const ChallengeResult skipped = AnalyseChallenge(plan, run.Evidence(), run.Engine.Items());
    EXPECT_EQ(skipped.EatenOnsets, 4);
    EXPECT_EQ(skipped.AvoidedOnsets, 1);
    EXPECT_EQ(skipped.AvoidedDays, 11);
}

TEST(ChallengeWords, AreNoFoodToTheSuspects) {
    EXPECT_TRUE(IsCalendarOrPhrase(kChallengeEatWord));
    EXPECT_TRUE(IsCalendarOrPhrase(kChallengeAvoidWord));
    EXPECT_FALSE(IsCalendarOrPhrase("CHALLENGE"));
    // The marker words come with every headache here, yet are never ranked.
    const ChallengePlan plan = CraftedPlan();
    EvidenceRun run;
    run.Analyse(CraftedDiary(plan, {kConfirmingOnsets, {}, {}}));
    const SuspectsResult found = FindSuspects(run.Evidence(), run.Engine.Items(), {});
    bool sawPeanut = false;
    for (const SymptomSuspects& group : found.Symptoms) {
        for (const SuspectRow& row : group.Rows) {
            EXPECT_NE(row.Item, kChallengeEatWord);
            EXPECT_NE(row.Item, kChallengeAvoidWord);
            sawPeanut = sawPeanut || row.Item == "PEANUT";
        }
    }
    EXPECT_TRUE(sawPeanut);
}

}  // namespace
}  // namespace quorvane
