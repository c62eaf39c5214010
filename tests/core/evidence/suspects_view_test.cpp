#include "core/evidence/suspects_view.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/evidence/evidence_test_support.h"

namespace {

using quorvane::SuspectRow;
using quorvane::SuspectsResult;
using quorvane::SuspectTier;

std::string Diary(int days, const std::function<std::string(int)>& day) {
    std::string text;
    for (int d = 0; d < days; ++d) {
        text += day(d) + ", #,\r\n";
    }
    return text;
}

// Wine every fifth day with a headache the day after, which lasts two days
// every other time; bread and tea alternate, unrelated.
std::string WineDiary(int days) {
    return Diary(days, [](int d) {
        std::string words = d % 2 == 0 ? "bread" : "tea";
        if (d % 5 == 0) {
            words += ", wine";
        }
        if (d % 5 == 1 || (d % 10 == 2)) {
            words += ", headache";
        }
        return words;
    });
}

struct Found {
    quorvane::testing::EvidenceRun Run;
    SuspectsResult Result;
    explicit Found(const std::string& diary) {
        Run.Analyse(diary);
        Result = quorvane::FindSuspects(Run.Evidence(), Run.Engine.Items(), {});
    }
    const quorvane::SymptomSuspects& Group(const std::string& name) const {
        for (const auto& group : Result.Symptoms) {
            if (group.Name == name) {
                return group;
            }
        }
        ADD_FAILURE() << "no symptom " << name;
        return Result.Symptoms.front();
    }
};

TEST(SuspectsView, TimelineHoldsTheFoodsDaysAndOnsetsNotEveryEpisodeDay) {
    const Found found(WineDiary(40));
    const int headache = found.Group("HEADACHE").Symptom;
    const quorvane::SuspectTimeline timeline =
        quorvane::TimelineOf(found.Run.Evidence(), found.Run.Engine.Items(), "WINE", headache);
    EXPECT_EQ(timeline.Days, 40u);
    EXPECT_EQ(timeline.Eaten, (std::vector<uint32_t>{0, 5, 10, 15, 20, 25, 30, 35}));
    // Days 2, 12, ... continue the episode begun the day before.
    EXPECT_EQ(timeline.Onsets, (std::vector<uint32_t>{1, 6, 11, 16, 21, 26, 31, 36}));
    EXPECT_EQ(static_cast<int64_t>(timeline.Onsets.size()), found.Group("HEADACHE").Episodes);

    const quorvane::SuspectTimeline unknown =
        quorvane::TimelineOf(found.Run.Evidence(), found.Run.Engine.Items(), "KALE", headache);
    EXPECT_TRUE(unknown.Eaten.empty());
    EXPECT_EQ(unknown.Onsets, timeline.Onsets);
}

TEST(SuspectsView, FirstAndLastDayLabelsAreKeptWithoutASymptom) {
    quorvane::testing::EvidenceRun run;
    run.Analyse(
        "Monday June 1\r\ntea, #,\r\nTuesday, headache, #,\r\n  Friday June 12\r\nbread, #,");
    EXPECT_EQ(run.Evidence().DayCount(), 3u);
    EXPECT_EQ(run.Evidence().FirstDayLabel(), "Monday June 1");
    EXPECT_EQ(run.Evidence().LastDayLabel(), "Friday June 12");
    // The other days keep to the symptom days, as before.
    EXPECT_EQ(run.Evidence().DayLabel(0), "day 1");

    const quorvane::DiaryFacts facts = quorvane::FactsOf(run.Evidence(), "9.9", "ab");
    EXPECT_EQ(facts.FirstDay, "Monday June 1");
    EXPECT_EQ(facts.Days, 3u);

    quorvane::testing::EvidenceRun unlabelled;
    unlabelled.Analyse("1, #, 2, #,");
    const quorvane::DiaryFacts plain = quorvane::FactsOf(unlabelled.Evidence(), "", "");
    EXPECT_EQ(plain.FirstDay, "day 1");
    EXPECT_EQ(plain.LastDay, "day 2");
}

TEST(SuspectsView, ForestAxisIsWholePowersOfTwoAroundEveryIntervalAndOne) {
    quorvane::SymptomSuspects group;
    const auto add = [&](const char* item, double ratio, double low, double high) {
        SuspectRow& row = group.Rows.emplace_back();
        row.Item = item;
        row.Risk = {ratio, low, high, false};
    };
    add("A", 6, 2.5, 20);
    add("B", 1.2, 0.3, 3);
    add("C", 0.05, 0.001, 0.1);  // beyond `most`: left out of rows and axis
    const quorvane::ForestPlot plot = quorvane::ForestOf(group, 2);
    ASSERT_EQ(plot.Rows.size(), 2u);
    EXPECT_EQ(plot.Rows[0].Item, "A");
    EXPECT_DOUBLE_EQ(plot.AxisLow, 0.25);
    EXPECT_DOUBLE_EQ(plot.AxisHigh, 32);
    EXPECT_DOUBLE_EQ(quorvane::AxisFraction(plot, 0.25), 0);
    EXPECT_DOUBLE_EQ(quorvane::AxisFraction(plot, 1), 2.0 / 7.0);
    EXPECT_DOUBLE_EQ(quorvane::AxisFraction(plot, 1000), 1);
    EXPECT_DOUBLE_EQ(quorvane::AxisFraction(plot, 0), 0);
    EXPECT_EQ(quorvane::AxisTicks(plot), (std::vector<double>{0.25, 0.5, 1, 2, 4, 8, 16, 32}));
    EXPECT_EQ(quorvane::AxisTickText(0.25), "1/4");
    EXPECT_EQ(quorvane::AxisTickText(1.0 / 128), "1/128");
    EXPECT_EQ(quorvane::AxisTickText(16), "16");

    // Nothing far from 1 still gives room either side of the line.
    const quorvane::ForestPlot narrow = quorvane::ForestOf(quorvane::SymptomSuspects{}, 5);
    EXPECT_DOUBLE_EQ(narrow.AxisLow, 0.5);
    EXPECT_DOUBLE_EQ(narrow.AxisHigh, 2);
}

TEST(SuspectsView, ChecksAreSpelledOutForCheckedRowsOnly) {
    const Found found(WineDiary(100));
    const quorvane::SymptomSuspects& group = found.Group("HEADACHE");
    const SuspectRow& wine = group.Rows.front();
    ASSERT_TRUE(wine.Checked);
    const std::vector<std::string> checks = quorvane::SuspectChecks(wine);
    ASSERT_GE(checks.size(), 2u);
    EXPECT_EQ(
        checks[0],
        "Episodes with it in the two days before: " + std::to_string(wine.EpisodesWithBefore) +
            "; in the two days after: " + std::to_string(wine.EpisodesWithAfter) + ".");
    const SuspectRow& last = group.Rows.back();
    ASSERT_FALSE(last.Checked);
    EXPECT_EQ(quorvane::SuspectChecks(last),
              std::vector<std::string>{"Checks are made for strong and suggestive suspects only."});
    EXPECT_FALSE(quorvane::IsMonitoredSymptom(1));
    EXPECT_TRUE(quorvane::IsMonitoredSymptom(2));
    EXPECT_TRUE(quorvane::IsMonitoredSymptom(21));
    EXPECT_FALSE(quorvane::IsMonitoredSymptom(22));
}

TEST(SuspectsView, DoctorSummaryListsSuspectsToleratedMethodsAndTheFingerprint) {
    const Found found(Diary(600, [](int d) {
        std::string words = d % 2 == 0 ? "bread" : "tea";
        if (d % 5 == 0) {
            words += ", wine";
        }
        if (d % 5 == 1) {
            words += ", headache";
        }
        return words;
    }));
    const quorvane::DiaryFacts facts = quorvane::FactsOf(found.Run.Evidence(), "2.05", "00ff");
    const std::vector<std::string> page =
        quorvane::DoctorSummaryPage(found.Result, found.Group("HEADACHE"), facts);
    std::string text;
    for (const std::string& paragraph : page) {
        text += paragraph + "\n";
    }
    EXPECT_EQ(page.front(), "# Food diary summary: HEADACHE");
    EXPECT_NE(text.find("600 days written, 120 episodes of HEADACHE"), std::string::npos) << text;
    EXPECT_NE(text.find("1. WINE - strong: HEADACHE began the day after on 120 of 120 days"),
              std::string::npos)
        << text;
    const auto tolerated = text.find("# Probably tolerated\n");
    ASSERT_NE(tolerated, std::string::npos);
    EXPECT_NE(text.find("BREAD", tolerated), std::string::npos) << text;
    EXPECT_NE(text.find("Benjamini-Hochberg"), std::string::npos);
    EXPECT_NE(text.find(std::to_string(found.Result.PairsTested) + " food-symptom pairs"),
              std::string::npos);
    EXPECT_NE(text.find("Quorvane version 2.05. SHA-256 of the diary file: 00ff."),
              std::string::npos);

    // A symptom with no suspect says so rather than showing an empty list.
    quorvane::SymptomSuspects none;
    none.Name = "RASH";
    const std::vector<std::string> empty = quorvane::DoctorSummaryPage(found.Result, none, facts);
    std::string emptyText;
    for (const std::string& paragraph : empty) {
        emptyText += paragraph + "\n";
    }
    EXPECT_NE(emptyText.find("No food stood out as a suspect for RASH."), std::string::npos);
    EXPECT_NE(emptyText.find("None yet"), std::string::npos);
}

}  // namespace
