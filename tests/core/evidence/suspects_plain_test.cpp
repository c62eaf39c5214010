// The suspects as a person reads them: rounded chances, dates, and sentences
// that read naturally on the small tables of a short diary.
#include "core/evidence/suspects_plain.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "core/evidence/suspects_text.h"
#include "core/evidence/suspects_view.h"

namespace {

using quorvane::SuspectRow;

TEST(SuspectsPlain, ChancesAreRoundedToTwoDigitsWithAFloorAtAThousandth) {
    const struct {
        double p;
        const char* shown;
    } cases[] = {
        {1.5e-07, "< 0.001"}, {0.000999, "< 0.001"}, {0.001, "0.0010"},
        {0.0123, "0.012"},    {0.0996, "0.10"},      {0.5, "0.50"},
        {0.994, "0.99"},      {0.996, "1"},          {1, "1"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(quorvane::PlainProbability(c.p), c.shown) << c.p;
    }
    // The exact figure stays at hand for the tooltip.
    EXPECT_EQ(quorvane::ExactFigure(1.5e-07), "1.5e-07");
}

TEST(SuspectsPlain, ALabelReadsAsADateOnlyWithAMonthAndADayOfIt) {
    const struct {
        const char* label;
        const char* date;  // empty: no date
    } cases[] = {
        {"april 29, friday, tea, potato, egg, sausa", "April 29"},
        {"Monday June 1", "June 1"},
        {"1 March 2026", "March 1, 2026"},
        {"Sept 3", "September 3"},
        {"JAN 31, 1999", "January 31, 1999"},
        {"january, wednesday, bacon, tomato, fis", ""},
        {"may 40", ""},  // no such day: "may" is a word here
        {"bread, may, 2 eggs", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        const std::optional<std::string> date = quorvane::DateOfLabel(c.label);
        EXPECT_EQ(date.value_or(""), c.date) << c.label;
    }
}

SuspectRow Row(int64_t a, int64_t b, int64_t c, int64_t d, quorvane::RiskRatioInterval risk) {
    SuspectRow row;
    row.Item = "BACON";
    row.SymptomName = "HEADACHE";
    row.Lag = 0;
    row.Table = {a, b, c, d};
    row.Risk = risk;
    row.Tier = quorvane::SuspectTier::TooLittleData;
    return row;
}

TEST(SuspectsPlain, TheSentenceReadsNaturallyOnTablesWithoutEpisodesOrLimits) {
    constexpr double kNoLimit = std::numeric_limits<double>::infinity();
    // One day with it and an episode, none on the two others: no ratio, a floor.
    const std::string once = quorvane::SuspectSentence(Row(1, 0, 0, 2, {kNoLimit, 3, kNoLimit}), 9);
    EXPECT_EQ(once.substr(0, once.find(" Too little data")),
              "HEADACHE began later the same day as BACON on the one day you had it, and on none "
              "of the 2 other days. How much more often the diary cannot say, only that it is "
              "likely at least 3.0 times as often.");

    // A floor below 1 does not say "more often" at all; one day "says", not "say".
    const std::string tiny =
        quorvane::SuspectSentence(Row(1, 0, 0, 1, {kNoLimit, 0.35, kNoLimit}), 9);
    EXPECT_EQ(tiny,
              "HEADACHE began later the same day as BACON on the one day you had it, and not on "
              "the one other day. With so few days the diary cannot say whether that is more "
              "often at all. Too little data: 1 day with it says nothing either way; a food "
              "needs at least 3.");

    // No episode after it: "none of", no share of 0 %.
    const std::string never = quorvane::SuspectSentence(Row(0, 5, 3, 20, {0, 0, 2.5}), 9);
    EXPECT_EQ(never.substr(0, never.find(" Too little data")),
              "HEADACHE began later the same day as BACON on none of the 5 days you had it, and "
              "on 3 of 23 other days (13 %). That is less often than on other days, though it "
              "could be up to 2.5 times as often.");

    // The table's cell says the same in few words.
    EXPECT_EQ(quorvane::RatioRangeText({kNoLimit, 3, kNoLimit}), "at least 3.0");
    EXPECT_EQ(quorvane::RatioRangeText({kNoLimit, 0.35, kNoLimit}), "cannot tell");
    EXPECT_EQ(quorvane::RatioRangeText({3.1, 1.9, 5}), "3.1 (1.9 to 5.0)");

    // A table without either oddity keeps its counts and its range.
    const std::string plain = quorvane::SuspectSentence(Row(4, 6, 2, 18, {4, 1.2, 13}), 9);
    EXPECT_NE(plain.find("on 4 of the 10 days you had it (40 %), and on 2 of 20 other days "
                         "(10 %). That is 4.0 times as often (likely between 1.2 and 13 times)."),
              std::string::npos)
        << plain;
}

}  // namespace
