#include "core/evidence/suspects.h"

#include <algorithm>
#include <array>
#include <numeric>
#include <unordered_map>
#include <unordered_set>

#include "core/evidence/suspect_checks.h"

namespace quorvane {

namespace {

// The least exposure count whose most extreme table reaches `alpha` after the
// lag correction: all exposed days onsets, P = K (K-1) ... / (M (M-1) ...). It
// falls while the count is at most K and rises after, so 0 when K days fail.
int64_t ExposureDaysNeeded(int64_t episodes, int64_t eligible, double alpha) {
    double p = 1;
    for (int64_t n = 1; n <= episodes && n < eligible; ++n) {
        p *= static_cast<double>(episodes - n + 1) / static_cast<double>(eligible - n + 1);
        if (CorrectedP(p) <= alpha) {
            return n;
        }
    }
    return 0;
}

// One symptom's intervals by table. Within a symptom a table is fixed by its
// exposed days and exposed onsets at any lag, and foods share tables: the
// 10-year benchmark diary's 13,500 rows need a few hundred intervals a symptom.
class IntervalsOfSymptom {
  public:
    const RiskRatioInterval& Of(const DayTable& table) {
        const auto key =
            (static_cast<uint64_t>(ExposedDays(table)) << 32) ^ static_cast<uint64_t>(table.A);
        auto [at, added] = known_.try_emplace(key);
        if (added) {
            at->second = KoopmanRiskRatio(table, kSuspectConfidence);
        }
        return at->second;
    }

  private:
    std::unordered_map<uint64_t, RiskRatioInterval> known_;
};

// One food against one symptom: the tables and p of every lag, the row at the
// lag of the smallest p. False when no lag has days on both sides.
bool TestFood(const Food& food, const SymptomDays& days, const LogFactorials& factorials,
              const SuspectThresholds& thresholds, IntervalsOfSymptom& intervals, SuspectRow& row,
              std::array<double, kSuspectLags>& p) {
    const std::array<DayTable, kSuspectLags> tables = TablesAt(food, days);
    int best = -1;
    for (int lag = 0; lag < kSuspectLags; ++lag) {
        const DayTable& t = tables[static_cast<std::size_t>(lag)];
        p[static_cast<std::size_t>(lag)] = t.A == 0 ? 1.0 : FisherGreaterPValue(t, factorials);
        if (BothRows(t) &&
            (best < 0 || p[static_cast<std::size_t>(lag)] < p[static_cast<std::size_t>(best)])) {
            best = lag;
        }
    }
    if (best < 0) {
        return false;
    }
    row.Item = food.Name;
    row.FromItems = food.FromItems;
    row.Lag = best;
    row.Table = tables[static_cast<std::size_t>(best)];
    row.Risk = intervals.Of(row.Table);
    row.HighestUpper = row.Risk.High;
    // The other lags can only lower a tier that this lag already rules out.
    for (int lag = 0; lag < kSuspectLags && row.HighestUpper < thresholds.ToleratedHigh; ++lag) {
        const DayTable& t = tables[static_cast<std::size_t>(lag)];
        if (lag != best && BothRows(t)) {
            row.HighestUpper = std::max(row.HighestUpper, intervals.Of(t).High);
        }
    }
    row.RawP = p[static_cast<std::size_t>(best)];
    row.PValue = CorrectedP(row.RawP);
    return true;
}

// One symptom's rows, before q-values and tiers; each row's food and the foods
// that may be a partner beside them.
struct SymptomTest {
    SymptomSuspects Group;
    SymptomDays Days;
    std::vector<std::size_t> RowFood;
    std::vector<PartnerCandidate> Partners;
};

SymptomTest TestSymptom(const DiaryEvidence& evidence, int symptom, const std::vector<Food>& foods,
                        const LogFactorials& factorials, const SuspectThresholds& thresholds) {
    SymptomTest test;
    test.Days = ClassifyDays(evidence, symptom);
    SymptomSuspects& group = test.Group;
    group.Symptom = symptom;
    group.Name = evidence.SymptomName(symptom);
    group.Episodes = static_cast<int64_t>(test.Days.Onsets.size());
    if (group.Episodes == 0) {
        return test;
    }
    const int64_t needed =
        ExposureDaysNeeded(group.Episodes, test.Days.Eligible, thresholds.Strong);
    group.Rows.reserve(foods.size());
    test.RowFood.reserve(foods.size());
    IntervalsOfSymptom intervals;
    for (std::size_t f = 0; f < foods.size(); ++f) {
        SuspectRow row;
        std::array<double, kSuspectLags> p{};
        if (!TestFood(foods[f], test.Days, factorials, thresholds, intervals, row, p)) {
            continue;
        }
        row.Symptom = symptom;
        row.SymptomName = group.Name;
        row.DaysNeeded = needed;
        // A food that could never reach significance, or that has too few days to
        // be believed if it did, stays out of the false-discovery family.
        const int64_t exposed = ExposedDays(row.Table);
        row.CanReach = needed > 0 && exposed >= needed && exposed >= thresholds.MinExposedDays;
        group.Rows.push_back(std::move(row));
        test.RowFood.push_back(f);
        if (MayBePartner(p)) {
            test.Partners.push_back({f, p});
        }
    }
    return test;
}

void AssignQValues(std::vector<SymptomTest>& tests) {
    std::vector<SuspectRow*> family;
    std::vector<double> p;
    for (SymptomTest& test : tests) {
        for (SuspectRow& row : test.Group.Rows) {
            if (row.CanReach) {
                family.push_back(&row);
                p.push_back(row.PValue);
            }
        }
    }
    const std::vector<double> q = BenjaminiHochberg(p);
    for (std::size_t i = 0; i < family.size(); ++i) {
        family[i]->QValue = q[i];
    }
}

void AssignTiersAndCheck(SymptomTest& test, const std::vector<Food>& foods,
                         const LogFactorials& factorials, const SuspectThresholds& thresholds,
                         std::vector<uint8_t>& mark) {
    const CheckContext context{foods, test.Partners, test.Days, factorials};
    for (std::size_t r = 0; r < test.Group.Rows.size(); ++r) {
        SuspectRow& row = test.Group.Rows[r];
        row.Tier = AssignTier(
            {ExposedDays(row.Table), row.QValue, row.Risk.Ratio, row.Risk.Low, row.HighestUpper},
            thresholds);
        if (row.Tier == SuspectTier::Strong || row.Tier == SuspectTier::Suggestive) {
            CheckSuspect(row, test.RowFood[r], context, mark);
            // The partner accounts for it: adjusted below 1.5 and below the square
            // root of the crude ratio.
            if (!row.Inseparable && row.AdjustedRatio && *row.AdjustedRatio < 1.5 &&
                *row.AdjustedRatio * *row.AdjustedRatio < row.Risk.Ratio) {
                row.ExplainedByPartner = true;
                if (row.Tier == SuspectTier::Strong) {
                    row.Tier = SuspectTier::Suggestive;
                }
            }
        }
        AddFlags(row);
    }
}

}  // namespace

std::string_view SuspectFlagName(int bit) {
    static constexpr std::array<std::string_view, kSuspectFlagCount> kNames = {
        "too-few-exposures",    "zero-cell",
        "reverse-timing",       "inseparable",
        "rests-on-one-day",     "not-in-both-halves",
        "explained-by-partner", "more-after-two-helpings"};
    return bit >= 0 && bit < kSuspectFlagCount ? kNames[static_cast<std::size_t>(bit)] : "";
}

void RankSuspects(std::vector<SuspectRow>& rows) {
    // Rows are large: order indices, then move the rows.
    std::vector<std::size_t> order(rows.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::sort(order.begin(), order.end(), [&](std::size_t i, std::size_t j) {
        const SuspectRow& x = rows[i];
        const SuspectRow& y = rows[j];
        const bool xLittle = x.Tier == SuspectTier::TooLittleData;
        const bool yLittle = y.Tier == SuspectTier::TooLittleData;
        if (xLittle != yLittle) {
            return yLittle;
        }
        if (x.PValue != y.PValue) {
            return x.PValue < y.PValue;
        }
        if (ExposedDays(x.Table) != ExposedDays(y.Table)) {
            return ExposedDays(x.Table) > ExposedDays(y.Table);
        }
        return x.Item < y.Item;
    });
    // Each row goes to its place along the cycles of the order: a second vector
    // of rows would cost more in fresh pages than all the moves.
    for (std::size_t start = 0; start < order.size(); ++start) {
        if (order[start] == start) {
            continue;
        }
        SuspectRow held = std::move(rows[start]);
        std::size_t at = start;
        while (order[at] != start) {
            const std::size_t from = order[at];
            rows[at] = std::move(rows[from]);
            order[at] = at;
            at = from;
        }
        rows[at] = std::move(held);
        order[at] = at;
    }
    for (std::size_t r = 0; r < rows.size(); ++r) {
        rows[r].Rank = static_cast<int>(r + 1);
    }
}

SuspectsResult FindSuspects(const DiaryEvidence& evidence, const ItemList& items,
                            std::span<const std::string> notFoods,
                            const SuspectThresholds& thresholds) {
    return FindSuspects(evidence, items, notFoods, FoodGroups(), thresholds);
}

SuspectsResult FindSuspects(const DiaryEvidence& evidence, const ItemList& items,
                            std::span<const std::string> notFoods, const FoodGroups& groups,
                            const SuspectThresholds& thresholds) {
    SuspectsResult result;
    if (!evidence.Finished() || evidence.DayCount() == 0 || items.First() == nullptr) {
        return result;
    }
    const DiaryEvidence::ItemDayIndex index = evidence.IndexItemDays(true);
    FoodStorage storage;
    const std::vector<Food> foods =
        CollectFoods(evidence, index, items, NotFoods(notFoods, evidence), groups, storage);
    const LogFactorials factorials(evidence.DayCount());

    std::vector<SymptomTest> tests;
    std::unordered_set<std::string> seenNames;  // a name in two slots is one symptom
    for (int s = 1; s <= kLastUserSymptom; ++s) {
        if (evidence.SymptomDays(s).empty() || !seenNames.insert(evidence.SymptomName(s)).second) {
            continue;
        }
        SymptomTest test = TestSymptom(evidence, s, foods, factorials, thresholds);
        if (test.Group.Episodes > 0) {
            result.PairsTested += test.Group.Rows.size();
            tests.push_back(std::move(test));
        }
    }
    AssignQValues(tests);

    std::vector<uint8_t> mark(evidence.DayCount());
    for (SymptomTest& test : tests) {
        result.PairsInFamily += static_cast<std::size_t>(
            std::count_if(test.Group.Rows.begin(), test.Group.Rows.end(),
                          [](const SuspectRow& row) { return row.CanReach; }));
        AssignTiersAndCheck(test, foods, factorials, thresholds, mark);
        RankSuspects(test.Group.Rows);
        result.Symptoms.push_back(std::move(test.Group));
    }
    return result;
}

}  // namespace quorvane
