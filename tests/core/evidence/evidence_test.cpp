#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/analysis/analysis_test_support.h"
#include "core/evidence/evidence.h"
#include "core/evidence/evidence_test_support.h"

namespace quorvane {
namespace {

using testing::EvidenceRun;

struct ExpectedCell {
    const char* item;
    int symptom;
    int32_t count;
    int32_t hits;
    LagProfile lags;
    int64_t a, b, c, d;
    const char* riskRatio;
    const char* pValue;
    std::vector<std::string> days;
};

void ExpectCell(const EvidenceRun& run, const ExpectedCell& e) {
    SCOPED_TRACE(std::string(e.item) + " / " + std::to_string(e.symptom));
    const CellEvidence cell = run.Cell(e.item, e.symptom);
    EXPECT_EQ(cell.Count, e.count);
    EXPECT_EQ(cell.Hits, e.hits);
    EXPECT_EQ(cell.Lags, e.lags);
    EXPECT_EQ(cell.ExposedWithSymptom, e.a);
    EXPECT_EQ(cell.ExposedWithoutSymptom, e.b);
    EXPECT_EQ(cell.OtherWithSymptom, e.c);
    EXPECT_EQ(cell.OtherWithoutSymptom, e.d);
    EXPECT_EQ(FormatRiskRatio(cell.RiskRatio), e.riskRatio);
    EXPECT_EQ(FormatPValue(cell.PValue), e.pValue);
    EXPECT_EQ(cell.EvidenceDays, e.days);
}

// Days 0..5: milk | bread | HEADACHE | bread | bread | milk HEADACHE.
TEST(CellEvidence, HandComputedTablesWhereOnlyExposedDaysHadTheSymptom) {
    EvidenceRun run;
    run.Analyse("milk, #, bread, #, headache, #, bread, #, bread, #, milk, headache, #,\r\n");
    EXPECT_EQ(run.Engine.Evidence().DayCount(), 6U);
    const ExpectedCell cells[] = {
        // exposed 0,1,2,5; p = C(4,2) / C(6,2) = 6/15
        {"MILK", 2, 2, 2, {1, 0, 1}, 2, 2, 0, 2, "inf", "0.4", {"headache,", "milk, headache,"}},
        {"MILK", 22, 2, 2, {1, 0, 1}, 2, 2, 0, 2, "inf", "0.4", {"headache,", "milk, headache,"}},
        // exposed 1..5; p = C(5,2) / C(6,2) = 10/15
        {"BREAD",
         2,
         3,
         3,
         {0, 2, 1},
         2,
         3,
         0,
         1,
         "inf",
         "0.666667",
         {"headache,", "milk, headache,"}},
    };
    for (const ExpectedCell& cell : cells) {
        ExpectCell(run, cell);
    }
}

// Days 0..6: egg H | egg | toast H | toast | toast | toast | toast H.
TEST(CellEvidence, HandComputedTablesWithSymptomDaysOnBothSides) {
    EvidenceRun run;
    run.Analyse(
        "egg, headache, #, egg, #, toast, headache, #, toast, #, toast, #, toast, #, "
        "toast, headache, #");
    EXPECT_EQ(run.Engine.Evidence().DayCount(), 7U);
    const ExpectedCell cells[] = {
        // (2/4) / (1/3); p = (C(4,2) C(3,1) + C(4,3)) / C(7,3) = 22/35
        {"EGG",
         2,
         2,
         3,
         {1, 1, 1},
         2,
         2,
         1,
         2,
         "1.500",
         "0.628571",
         {"egg, headache,", "toast, headache,"}},
        // (2/5) / (1/2); p = (C(5,2) C(2,1) + C(5,3)) / C(7,3) = 30/35
        {"TOAST",
         2,
         5,
         4,
         {2, 1, 1},
         2,
         3,
         1,
         1,
         "0.800",
         "0.857143",
         {"toast, headache,", "toast, headache,"}},
    };
    for (const ExpectedCell& cell : cells) {
        ExpectCell(run, cell);
    }
    // Only the first days are listed when fewer are asked for; a still counts all.
    const CellEvidence one = ComputeCellEvidence(run.Engine.Evidence(), run.Item("EGG"), 2, 1);
    EXPECT_EQ(one.EvidenceDays.size(), 1U);
    EXPECT_EQ(one.ExposedWithSymptom, 2);
}

TEST(CellEvidence, TheHelpExampleDays) {
    std::ifstream file(testing::ExampleDiaryPath(), std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(file)),
                           std::istreambuf_iterator<char>());
    EvidenceRun run;
    run.Analyse(text, 3);
    // The stretch after the last "#" holds no word, so two days.
    EXPECT_EQ(run.Engine.Evidence().DayCount(), 2U);
    const std::vector<std::string> secondDay = {"april 30, saturday, bacon, egg, headache"};
    const ExpectedCell cells[] = {
        // both COFFEE credits come from the first day; the second day's COFFEE
        // follows the headache
        {"COFFEE", 2, 3, 2, {0, 2, 0}, 1, 1, 0, 0, "n/a", "1", secondDay},
        {"COFFEE", 22, 3, 2, {0, 2, 0}, 1, 1, 0, 0, "n/a", "1", secondDay},
        // eaten after the headache: no hit, but the day is exposed
        {"HAM", 2, 1, 0, {0, 0, 0}, 1, 0, 0, 1, "inf", "0.5", secondDay},
        {"APRIL", 2, 2, 2, {1, 1, 0}, 1, 1, 0, 0, "n/a", "1", secondDay},
    };
    for (const ExpectedCell& cell : cells) {
        ExpectCell(run, cell);
    }
}

TEST(DiaryEvidence, CountsDaysLikeTheReaderEndsThem) {
    struct Case {
        const char* text;
        uint32_t days;
    };
    const Case cases[] = {
        {"", 0},
        {"tea,", 1},                // a last stretch with a word is a day
        {"tea, #", 1},              //
        {"tea, #,\r\n\r\n", 1},     // one without is not
        {"tea, #, coffee,", 2},     //
        {"tea, #, coffee", 1},      // the pending word is dropped
        {"#,#,#,", 3},              // empty days between "#" count
        {"tea, \x1a coffee, #", 1}  // nothing after control-Z is read
    };
    for (const Case& c : cases) {
        EvidenceRun run;
        run.Analyse(c.text);
        EXPECT_EQ(run.Engine.Evidence().DayCount(), c.days) << c.text;
    }
}

TEST(DiaryEvidence, DayLabels) {
    struct Case {
        const char* day;
        const char* label;
    };
    const Case cases[] = {
        {",\r\n\r\n april 30, saturday, bacon, egg, headache, $, grapefruit,\r\n",
         "april 30, saturday, bacon, egg, headache"},
        {"  ,, \t, headache\r\n", "headache"},
        {"12 34\r\n\r\nheadache, $\r\n", "headache, $"},  // a line without a letter
        {"headache,\ttea\r\n", "headache, tea"},          // control bytes become spaces
        {"1234567890123456789012345678901234567890123 x, headache,",
         "1234567890123456789012345678901234567890"},
        {"a very long first line that goes beyond forty characters, headache,",
         "a very long first line that goes beyond"},  // cut, then trimmed
        {"headache,\nsecond,\n", "headache,"},        // a line feed ends a line too
    };
    for (const Case& c : cases) {
        // Fed a byte at a time too: a label may span chunks.
        for (const std::size_t chunk : {std::size_t{0}, std::size_t{1}}) {
            EvidenceRun run;
            run.Analyse(std::string("tea, #") + c.day + "#, tea,", 1, chunk);
            EXPECT_EQ(run.Engine.Evidence().SymptomDays(2), std::vector<uint32_t>{1}) << c.day;
            EXPECT_EQ(run.Engine.Evidence().DayLabel(1), c.label) << c.day;
        }
    }
}

TEST(DiaryEvidence, AWordPendingAtTheDayEndBelongsToTheNewDay) {
    EvidenceRun run;
    run.Analyse("x, #headache#");
    // The reader ends the day before it finishes the word, so the symptom lands in
    // the third stretch, whose text holds no letter.
    EXPECT_EQ(run.Engine.Evidence().DayCount(), 3U);
    EXPECT_EQ(run.Engine.Evidence().SymptomDays(2), std::vector<uint32_t>{2});
    EXPECT_EQ(run.Engine.Evidence().DayLabel(2), "day 3");
    EXPECT_EQ(run.Engine.Evidence().DayLabel(0), "day 1");  // no symptom: no label kept
}

TEST(DiaryEvidence, DuplicateSymptomNamesCreditTheLastIndexOnly) {
    EvidenceRun run;
    run.Symptoms.SetName(3, "HEADACHE");
    run.Analyse("tea, headache, #,");
    const CellEvidence first = run.Cell("TEA", 2);
    const CellEvidence last = run.Cell("TEA", 3);
    const CellEvidence total = run.Cell("TEA", 22);
    EXPECT_EQ(first.Hits, 0);
    EXPECT_EQ(first.Lags, (LagProfile{0, 0, 0}));
    EXPECT_EQ(first.ExposedWithSymptom, 1);  // the word still occurred as both
    EXPECT_EQ(last.Hits, 1);
    EXPECT_EQ(last.Lags, (LagProfile{1, 0, 0}));
    EXPECT_EQ(total.Hits, 1);
    EXPECT_EQ(total.Lags, (LagProfile{1, 0, 0}));
    EXPECT_EQ(total.ExposedWithSymptom, 1);
}

TEST(DiaryEvidence, AnItemPushedOutOfAFullDayIsExposedButNotCredited) {
    std::string day;
    for (int i = 0; i < 203; ++i) {
        day += std::string("food") + static_cast<char>('a' + i / 26) +
               static_cast<char>('a' + i % 26) + ", ";
    }
    EvidenceRun run;
    run.Analyse(day + "headache, #,");
    // Slot 200 holds the last item of the day; the ones before it were replaced.
    const CellEvidence replaced = run.Cell("FOODHS", 2);  // the 201st item
    const CellEvidence kept = run.Cell("FOODHU", 2);      // the 203rd
    EXPECT_EQ(replaced.Hits, 0);
    EXPECT_EQ(replaced.Lags, (LagProfile{0, 0, 0}));
    EXPECT_EQ(replaced.ExposedWithSymptom, 1);
    EXPECT_EQ(kept.Hits, 1);
    EXPECT_EQ(kept.Lags, (LagProfile{1, 0, 0}));
}

TEST(DiaryEvidence, ItemsBeyondTheShortIdsKeepTheirDays) {
    // More items than fit the log's 16-bit ids: the later ones are stored wide.
    auto name = [](int i) {
        std::string word = "Q";
        for (int digit = 0; digit < 4; ++digit, i /= 26) {
            word += static_cast<char>('A' + i % 26);
        }
        return word;
    };
    std::string text;
    for (int i = 0; i < 70000; ++i) {
        text += name(i) + (i == 34999 ? ", #" : ", ");
    }
    EvidenceRun run;
    run.Analyse(text + "headache, #");
    for (const int i : {0, 34999, 35000, 65533, 65534, 65535, 69999}) {
        const bool first = i < 35000;
        EXPECT_EQ(run.Engine.Evidence().ItemDays(run.Item(name(i))),
                  std::vector<uint32_t>{first ? 0U : 1U})
            << i;
        const CellEvidence cell = run.Cell(name(i), 2);
        EXPECT_EQ(cell.ExposedWithSymptom + cell.ExposedWithoutSymptom, first ? 2 : 1) << i;
    }
}

TEST(DiaryEvidence, ResetBetweenAnalysesLeavesNothingBehind) {
    EvidenceRun run;
    run.Analyse("milk, headache, #, milk, #, milk, headache, #");
    run.Analyse("milk, #, headache, #");
    const CellEvidence cell = run.Cell("MILK", 2);
    EXPECT_EQ(run.Engine.Evidence().DayCount(), 2U);
    EXPECT_EQ(cell.Lags, (LagProfile{0, 1, 0}));
    EXPECT_EQ(cell.ExposedWithSymptom + cell.ExposedWithoutSymptom, 2);
}

}  // namespace
}  // namespace quorvane
