#include "core/evidence/suspects_view.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "core/evidence/evidence_test_support.h"
#include "core/evidence/suspects_plain.h"
#include "core/evidence/suspects_summary_text.h"

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
    // The calendar colours every day of an episode, onsets included.
    EXPECT_EQ(timeline.SymptomDays,
              (std::vector<uint32_t>{1, 2, 6, 11, 12, 16, 21, 22, 26, 31, 32, 36}));

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

    // The summary gives the dates alone, without the weekdays.
    const quorvane::DiaryFacts facts = quorvane::FactsOf(run.Evidence(), "9.9", "ab");
    EXPECT_EQ(facts.FirstDay, "June 1");
    EXPECT_EQ(facts.LastDay, "June 12");
    EXPECT_EQ(facts.Days, 3u);

    // A first line that is no date (a day's foods): day numbers at both ends,
    // never half a range in dates.
    quorvane::testing::EvidenceRun half;
    half.Analyse("january, wednesday, bacon, tomato, fish, #,\r\nFriday June 12\r\nbread, #,");
    const quorvane::DiaryFacts numbered = quorvane::FactsOf(half.Evidence(), "", "");
    EXPECT_EQ(numbered.FirstDay, "day 1");
    EXPECT_EQ(numbered.LastDay, "day 2");

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

    // Foods had on too few days to be judged can be left off the chart, and off its axis.
    group.Rows[0].Tier = SuspectTier::TooLittleData;
    const quorvane::ForestPlot judged = quorvane::ForestOf(group, 2, true);
    ASSERT_EQ(judged.Rows.size(), 2u);
    EXPECT_EQ(judged.Rows[0].Item, "B");
    EXPECT_DOUBLE_EQ(judged.AxisHigh, 4);

    // Nothing far from 1 still gives room either side of the line.
    const quorvane::ForestPlot narrow = quorvane::ForestOf(quorvane::SymptomSuspects{}, 5);
    EXPECT_DOUBLE_EQ(narrow.AxisLow, 0.5);
    EXPECT_DOUBLE_EQ(narrow.AxisHigh, 2);
}

TEST(SuspectsView, ChecksAreOneMarkedLineEachAndUncheckedRowsSaySo) {
    using quorvane::CheckMark;
    const Found found(WineDiary(100));
    const quorvane::SymptomSuspects& group = found.Group("HEADACHE");
    const SuspectRow& wine = group.Rows.front();
    ASSERT_TRUE(wine.Checked);
    const std::vector<quorvane::CheckLine> checks = quorvane::SuspectCheckLines(wine);
    ASSERT_GE(checks.size(), 2u);
    EXPECT_EQ(checks[0].Mark, CheckMark::Passed);
    EXPECT_EQ(checks[0].Text, "Eaten before episodes more than after them (" +
                                  std::to_string(wine.EpisodesWithBefore) + " before, " +
                                  std::to_string(wine.EpisodesWithAfter) + " after)");
    const SuspectRow& last = group.Rows.back();
    ASSERT_FALSE(last.Checked);
    const auto unchecked = quorvane::SuspectCheckLines(last);
    ASSERT_EQ(unchecked.size(), 1u);
    EXPECT_EQ(unchecked[0].Mark, CheckMark::Note);

    // Each finding against the suspicion is marked as a doubt, each for it as passed.
    SuspectRow row;
    row.Checked = true;
    row.Tier = SuspectTier::Strong;
    row.Partner = "CHEESE";
    row.Inseparable = true;
    row.PWithoutTopDay = 0.01;
    row.FirstHalfRatio = 13;
    row.SecondHalfRatio = std::numeric_limits<double>::infinity();
    row.MoreAfterTwoHelpings = true;
    row.DoubleDays = 5;
    row.DoubleOnsets = 4;
    const auto text = [](const std::vector<quorvane::CheckLine>& lines) {
        std::string all;
        for (const auto& line : lines) {
            all += (line.Mark == CheckMark::Passed  ? "+ "
                    : line.Mark == CheckMark::Doubt ? "! "
                                                    : ". ") +
                   line.Text + "\n";
        }
        return all;
    };
    EXPECT_EQ(text(quorvane::SuspectCheckLines(row)),
              "+ Eaten before episodes more than after them (0 before, 0 after)\n"
              "! Usually eaten with CHEESE: cannot tell them apart\n"
              "+ Still strong without its single most telling day\n"
              "+ Seen in both halves of the diary: 13 \xC3\x97 and only after it\n"
              "+ More often after two helpings: on 4 of 5 such days\n");
    row.Inseparable = false;
    row.ExplainedByPartner = true;
    row.AdjustedRatio = 1.2;
    row.ReverseTiming = true;
    row.Tier = SuspectTier::Suggestive;
    row.Flags = quorvane::kRestsOnOneDay | quorvane::kNotInBothHalves;
    row.SecondHalfRatio = 0.8;
    row.MoreAfterTwoHelpings = false;
    EXPECT_EQ(text(quorvane::SuspectCheckLines(row)),
              "! Eaten after episodes began as often as before (0 before, 0 after): it may be a "
              "consequence or a craving\n"
              "! Often eaten with CHEESE, which may explain it: allowing for it, only 1.2 times "
              "as often\n"
              "! Rests on its single most telling day: without it, it would not stand out\n"
              "! Not seen in both halves of the diary: 13 \xC3\x97 and 0.80 \xC3\x97\n");

    EXPECT_FALSE(quorvane::IsMonitoredSymptom(1));
    EXPECT_TRUE(quorvane::IsMonitoredSymptom(2));
    EXPECT_TRUE(quorvane::IsMonitoredSymptom(21));
    EXPECT_FALSE(quorvane::IsMonitoredSymptom(22));
}

std::string Joined(const std::vector<quorvane::SummaryBlock>& blocks) {
    std::string text;
    for (const quorvane::SummaryBlock& block : blocks) {
        text += (block.Type == quorvane::SummaryBlock::Heading ? "# " : "") + block.Words + "\n";
    }
    return text;
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
    const std::vector<quorvane::SummaryBlock> page =
        quorvane::DoctorSummaryPage(found.Result, found.Group("HEADACHE"), facts);
    const std::string text = Joined(page);
    EXPECT_EQ(page.front().Type, quorvane::SummaryBlock::Title);
    EXPECT_EQ(page.front().Words, "Food diary summary: HEADACHE");
    EXPECT_NE(text.find("Diary from day 1 to day 600: 600 days written, 120 episodes of HEADACHE"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("1. WINE - Strong: HEADACHE began the day after on 120 of 120 days"),
              std::string::npos)
        << text;
    // The pictures have their places, the calendar marking the top suspect.
    const auto calendar = std::find_if(page.begin(), page.end(), [](const auto& block) {
        return block.Type == quorvane::SummaryBlock::Calendar;
    });
    ASSERT_NE(calendar, page.end());
    EXPECT_EQ(calendar->Words, "WINE");
    EXPECT_EQ(std::count_if(
                  page.begin(), page.end(),
                  [](const auto& block) { return block.Type == quorvane::SummaryBlock::Forest; }),
              1);
    const auto tolerated = text.find("# Probably tolerated\n");
    ASSERT_NE(tolerated, std::string::npos);
    EXPECT_NE(text.find("BREAD", tolerated), std::string::npos) << text;
    EXPECT_NE(text.find("Benjamini-Hochberg"), std::string::npos);
    EXPECT_NE(text.find(std::to_string(found.Result.PairsTested) + " food-symptom pairs"),
              std::string::npos);
    EXPECT_NE(text.find("Quorvane version 2.05. SHA-256 of the diary file: 00ff."),
              std::string::npos);

    // The overview names each symptom's episodes and top suspects with their tiers.
    const std::string overview = Joined(quorvane::SummaryOverview(found.Result, facts));
    EXPECT_NE(overview.find("HEADACHE: 120 episodes. Top suspects: WINE (Strong)."),
              std::string::npos)
        << overview;
    EXPECT_NE(overview.find("SHA-256 of the diary file: 00ff."), std::string::npos);

    // A symptom with no suspect says so rather than showing an empty list.
    quorvane::SymptomSuspects none;
    none.Name = "RASH";
    const std::string empty = Joined(quorvane::DoctorSummaryPage(found.Result, none, facts));
    EXPECT_NE(empty.find("No food stood out as a suspect for RASH."), std::string::npos);
    EXPECT_NE(empty.find("None: no food was had on 10 days or more."), std::string::npos);
}

// Foods had often that still are not tolerated are told why: the upper-bound
// rule, not the number of days.
TEST(SuspectsView, TheToleratedListExplainsTheUpperBoundRule) {
    // Headache now and then, unrelated to anything: 40 days of bread, but few
    // episodes leave every range wide.
    const Found found(Diary(80, [](int d) {
        std::string words = d % 2 == 0 ? "bread" : "tea";
        if (d % 13 == 5) {
            words += ", headache";
        }
        return words;
    }));
    const quorvane::DiaryFacts facts = quorvane::FactsOf(found.Run.Evidence(), "", "");
    const std::string text =
        Joined(quorvane::DoctorSummaryPage(found.Result, found.Group("HEADACHE"), facts));
    EXPECT_NE(text.find("None yet. A food is listed here when it was had on at least 10 days and "
                        "the diary rules out, at every delay, that it makes HEADACHE even 1.5 "
                        "times as likely. 2 foods had 10 days or more, but with 6 episodes"),
              std::string::npos)
        << text;
}

}  // namespace
