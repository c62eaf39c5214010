#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "core/analysis/report.h"
#include "core/evidence/evidence.h"
#include "core/evidence/evidence_test_support.h"

namespace quorvane {
namespace {

using testing::EvidenceRun;

// A random diary, with what each day holds written down as it is generated, so
// that the day tables can be counted here independently of the evidence code.
struct GeneratedDiary {
    std::string Text;
    std::vector<std::set<std::string>> DayItems;
    std::vector<std::set<std::string>> DaySymptoms;
};

GeneratedDiary Generate(uint32_t seed) {
    static const std::vector<std::string> kItems = {
        "tea",  "coffee", "white bread", "egg",  "ham",  "potato", "milk",  "apple",
        "rice", "fish",   "cheese",      "plum", "oats", "honey",  "curry", "beer"};
    static const std::vector<std::string> kSymptoms = {"headache", "HeadAche", "ibs", "random",
                                                       "stressed"};
    std::mt19937 random(seed);
    auto below = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    GeneratedDiary diary;
    const int days = 20 + below(60);
    for (int day = 0; day < days; ++day) {
        diary.DayItems.emplace_back();
        diary.DaySymptoms.emplace_back();
        diary.Text += "day " + std::to_string(day) + ",\r\n";
        diary.DayItems.back().insert("DAY");
        // Now and then a day too full for the window, so slot 200 is reused.
        const int words = below(12) == 0 ? 195 + below(20) : below(15);
        for (int w = 0; w < words; ++w) {
            if (below(6) == 0) {
                const std::string& symptom = kSymptoms[below(static_cast<int>(kSymptoms.size()))];
                diary.Text += symptom + ", ";
                std::string upper;
                for (const char c : symptom) {
                    upper += static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
                }
                diary.DaySymptoms.back().insert(upper);
            } else {
                const std::string& item = kItems[below(static_cast<int>(kItems.size()))];
                diary.Text += item + (below(4) == 0 ? ", $,\r\n" : ", ");
                std::string upper;
                for (const char c : item) {
                    upper += static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
                }
                diary.DayItems.back().insert(upper);
            }
        }
        diary.Text += "#,\r\n\r\n";
    }
    return diary;
}

TEST(EvidenceProperty, LagPartsAddUpToTheHitsAndDayTablesMatchACount) {
    for (uint32_t seed = 1; seed <= 12; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        const GeneratedDiary diary = Generate(seed);
        EvidenceRun run;
        run.Symptoms.SetName(5, "IBS");  // beside slot 6: duplicate names
        run.Analyse(diary.Text, 1, 1 + seed * 97);
        const DiaryEvidence& evidence = run.Engine.Evidence();
        ASSERT_EQ(evidence.DayCount(), diary.DayItems.size());

        auto symptomOn = [&](std::size_t day, int s) {
            const std::set<std::string>& today = diary.DaySymptoms[day];
            if (s == kTotalSymptom) {
                for (int j = kFirstUserSymptom; j <= kLastUserSymptom; ++j) {
                    if (today.count(run.Symptoms.Name(j)) > 0) {
                        return true;
                    }
                }
                return false;
            }
            return today.count(run.Symptoms.Name(s)) > 0;
        };

        int cellsChecked = 0;
        for (const TItemNode* node = run.Engine.Items().First()->Next; node->Next != nullptr;
             node = node->Next) {
            for (int s = 1; s <= kSymptomCount; ++s) {
                const CellEvidence cell = ComputeCellEvidence(evidence, *node, s);
                ASSERT_EQ(cell.Lags[0] + cell.Lags[1] + cell.Lags[2], node->SymptomHits[s])
                    << node->Name << " " << s;

                int64_t a = 0, b = 0, c = 0, d = 0;
                for (std::size_t day = 0; day < diary.DayItems.size(); ++day) {
                    bool exposed = false;
                    for (std::size_t back = 0; back < 3 && back <= day; ++back) {
                        exposed = exposed || diary.DayItems[day - back].count(node->Name) > 0;
                    }
                    const bool ill = symptomOn(day, s);
                    (exposed ? (ill ? a : b) : (ill ? c : d)) += 1;
                }
                ASSERT_EQ(cell.ExposedWithSymptom, a) << node->Name << " " << s;
                ASSERT_EQ(cell.ExposedWithoutSymptom, b) << node->Name << " " << s;
                ASSERT_EQ(cell.OtherWithSymptom, c) << node->Name << " " << s;
                ASSERT_EQ(cell.OtherWithoutSymptom, d) << node->Name << " " << s;
                ASSERT_EQ(static_cast<int64_t>(cell.EvidenceDays.size()), a);
                ++cellsChecked;
            }
        }
        EXPECT_GT(cellsChecked, 0);
        // Duplicate names: the credit went to slot 6, the occurrences to both.
        EXPECT_EQ(run.Engine.Totals()[5], run.Engine.Totals()[6]);
    }
}

// The grid and the report are the same whether the evidence is gathered or not.
TEST(EvidenceProperty, GatheringChangesNoResult) {
    for (uint32_t seed = 20; seed <= 24; ++seed) {
        const GeneratedDiary diary = Generate(seed);
        std::vector<std::vector<std::string>> results;
        for (const bool gather : {false, true}) {
            EvidenceRun run;
            run.Engine.Reset();
            ReadHooks hooks;
            hooks.GatherEvidence = gather;
            run.Engine.ReadBytes(diary.Text, hooks);
            run.Engine.ComputeTotals(2);
            run.Engine.Correlate(2, '.');
            std::vector<std::string> cells;
            for (int32_t row = 0; row < run.Engine.Grid().RowCount(); ++row) {
                for (int32_t column = 0; column < run.Engine.Grid().ColCount(); ++column) {
                    cells.push_back(run.Engine.Grid().Cell(column, row));
                }
            }
            run.Engine.SortColumns();
            const std::vector<std::string> report = run.Engine.PrepareReport(160);
            cells.insert(cells.end(), report.begin(), report.end());
            results.push_back(cells);
        }
        EXPECT_EQ(results[0], results[1]) << "seed " << seed;
    }
}

}  // namespace
}  // namespace quorvane
