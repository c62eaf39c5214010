#include "suspects_check.h"

#include <cmath>
#include <set>

#include "core/analysis/analysis.h"
#include "core/evidence/suspects.h"
#include "core/foods/food_groups.h"

namespace quorvane::fuzzing {
namespace {

constexpr std::size_t kMaxViolations = 20;

class Violations {
  public:
    void Add(const SuspectRow& row, const std::string& text) {
        if (list_.size() < kMaxViolations) {
            list_.push_back(row.Item + " / " + row.SymptomName + ": " + text);
        }
    }
    void Add(std::string text) {
        if (list_.size() < kMaxViolations) {
            list_.push_back(std::move(text));
        }
    }
    std::vector<std::string> Take() { return std::move(list_); }

  private:
    std::vector<std::string> list_;
};

bool Probability(double p) {
    return p >= 0 && p <= 1;  // false for NaN too
}

void CheckRow(const SuspectRow& row, const SuspectThresholds& limits, Violations& out) {
    if (!Probability(row.RawP) || !Probability(row.PValue) || !Probability(row.QValue)) {
        out.Add(row, "a p or q outside [0, 1]: " + std::to_string(row.RawP) + ", " +
                         std::to_string(row.PValue) + ", " + std::to_string(row.QValue));
    }
    if (row.PValue < row.RawP) {
        out.Add(row, "the corrected p is below the raw p");
    }
    if (row.QValue < row.PValue) {
        out.Add(row,
                "q " + std::to_string(row.QValue) + " below its p " + std::to_string(row.PValue));
    }
    if (row.CanReach && row.Table.A + row.Table.B < limits.MinExposedDays) {
        out.Add(row, "a pair with too little data is in the false-discovery family");
    }
    if (!row.CanReach && row.QValue != 1) {
        out.Add(row, "a pair that cannot reach significance has q below 1");
    }
    const RiskRatioInterval& risk = row.Risk;
    // Open only where the table has no onset: above with none on the other days.
    if (std::isnan(risk.Ratio) || !std::isfinite(risk.Low) || std::isnan(risk.High) ||
        risk.Low < 0 || risk.Low > risk.Ratio || risk.Ratio > risk.High ||
        std::isinf(risk.High) != (row.Table.C == 0) || (risk.Low == 0) != (row.Table.A == 0)) {
        out.Add(row, "the interval is not low <= ratio <= high, or open with onsets on that side");
    }
    if (!(row.HighestUpper >= risk.High)) {
        out.Add(row, "the highest upper bound is below the row's own");
    }
    const DayTable& t = row.Table;
    if (t.A < 0 || t.B < 0 || t.C < 0 || t.D < 0) {
        out.Add(row, "a negative count in the day table " + std::to_string(t.A) + " " +
                         std::to_string(t.B) + " " + std::to_string(t.C) + " " +
                         std::to_string(t.D));
    } else if (t.A + t.B == 0 || t.C + t.D == 0) {
        out.Add(row, "the day table lacks a row");
    }
    if (row.Lag < 0 || row.Lag >= kSuspectLags) {
        out.Add(row, "lag " + std::to_string(row.Lag));
    }

    const bool tooLittle = t.A + t.B < limits.MinExposedDays;
    const bool strongNumbers = !tooLittle && row.QValue <= limits.Strong && risk.Low > 1;
    const bool suggestiveNumbers = !tooLittle && row.QValue <= limits.Suggestive && risk.Ratio > 1;
    const bool protective = !tooLittle && row.HighestUpper < 1;
    const bool tolerated = !tooLittle && t.A + t.B >= limits.ToleratedExposedDays &&
                           row.HighestUpper < limits.ToleratedHigh;
    switch (row.Tier) {
        case SuspectTier::Strong:
            if (!strongNumbers || row.ExplainedByPartner) {
                out.Add(row, "strong without q <= " + std::to_string(limits.Strong) +
                                 " and an interval above 1, or explained by a partner");
            }
            break;
        case SuspectTier::Suggestive:
            if (!(strongNumbers && row.ExplainedByPartner) &&
                (strongNumbers || !suggestiveNumbers)) {
                out.Add(row, "suggestive against its numbers");
            }
            break;
        case SuspectTier::PossiblyProtective:
            if (strongNumbers || suggestiveNumbers || !protective) {
                out.Add(row, "possibly protective against its numbers");
            }
            break;
        case SuspectTier::ProbablyTolerated:
            if (strongNumbers || suggestiveNumbers || protective || !tolerated) {
                out.Add(row, "probably tolerated against its numbers");
            }
            break;
        case SuspectTier::NotEnoughData:
            if (strongNumbers || suggestiveNumbers || protective || tolerated) {
                out.Add(row, "not enough data against its numbers");
            }
            break;
        case SuspectTier::TooLittleData:
            if (!tooLittle) {
                out.Add(row, "too little data with enough exposed days");
            }
            break;
        default:
            out.Add(row, "a tier out of range");
    }
    const bool flagged = row.Tier == SuspectTier::Strong || row.Tier == SuspectTier::Suggestive;
    if (row.Checked != flagged) {
        out.Add(row, row.Checked ? "checked though no suspect" : "a suspect left unchecked");
    }
    if (row.ExplainedByPartner && row.Tier != SuspectTier::Suggestive) {
        out.Add(row, "explained by a partner but not suggestive");
    }
    if (((row.Flags & kTooFewExposures) != 0) == row.CanReach) {
        out.Add(row, "the too-few-exposures flag disagrees with the pair's reach");
    }
}

}  // namespace

std::vector<std::string> CheckSuspects(std::string_view input) {
    Violations out;
    if (input.empty()) {
        return out.Take();
    }
    const auto options = static_cast<unsigned char>(input.front());
    const int32_t minimum = 1 + (options & 3);
    SuspectThresholds limits;
    if ((options & 4) != 0) {
        limits.Strong = 0.2;
        limits.Suggestive = 0.6;
        limits.ToleratedExposedDays = 2;
        limits.ToleratedHigh = 4;
    }
    std::vector<std::string> notFoods;
    if ((options & 8) != 0) {
        notFoods = {"tea", " Coffee"};
    }
    SymptomTable symptoms;
    if ((options & 16) != 0) {
        symptoms.SetName(10, "TEA");
        symptoms.SetName(11, "STRESSED");
    }

    // Aliases and dishes, nested and one a food of the diary, merge days.
    FoodGroups groups;
    if ((options & 32) != 0) {
        groups.Aliases = {{"COFFEE", "TEA"}, {"BREAD", "TOAST"}};
        groups.Ingredients = {{"TOAST", {"WHEAT", "BUTTER"}}, {"PIZZA", {"TOAST", "CHEESE"}}};
    }

    Analysis analysis(symptoms);
    analysis.Reset();
    ReadHooks hooks;
    hooks.GatherEvidence = true;
    analysis.ReadBytes(input.substr(1), hooks);
    analysis.ComputeTotals(minimum);
    const SuspectsResult result =
        FindSuspects(analysis.Evidence(), analysis.Items(), notFoods, groups, limits);

    std::size_t rows = 0;
    std::set<int> symptomsSeen;
    for (const SymptomSuspects& group : result.Symptoms) {
        if (group.Symptom < 1 || group.Symptom > kLastUserSymptom ||
            !symptomsSeen.insert(group.Symptom).second) {
            out.Add("symptom " + std::to_string(group.Symptom) + " listed out of range or twice");
        }
        if (group.Episodes < 1) {
            out.Add(group.Name + " is listed without an episode");
        }
        std::set<std::string> items;
        for (std::size_t r = 0; r < group.Rows.size(); ++r) {
            const SuspectRow& row = group.Rows[r];
            CheckRow(row, limits, out);
            if (row.Rank != static_cast<int>(r + 1)) {
                out.Add(row,
                        "rank " + std::to_string(row.Rank) + " at place " + std::to_string(r + 1));
            }
            if (r > 0) {
                // Evidence first: too little data last, then p, then more exposed days.
                const SuspectRow& before = group.Rows[r - 1];
                const bool little = row.Tier == SuspectTier::TooLittleData;
                const bool beforeLittle = before.Tier == SuspectTier::TooLittleData;
                if ((beforeLittle && !little) ||
                    (little == beforeLittle && before.PValue > row.PValue)) {
                    out.Add(row, "ranked below a row with weaker evidence");
                }
            }
            if (row.Symptom != group.Symptom || row.SymptomName != group.Name) {
                out.Add(row, "filed under another symptom");
            }
            if (!items.insert(row.Item).second) {
                out.Add(row, "listed twice for one symptom");
            }
            if (row.Item == "TEA" && !notFoods.empty()) {
                out.Add(row, "a named no-food is listed");
            }
            if (groups.Aliases.count(row.Item) != 0) {
                out.Add(row, "an alias is listed as a food of its own");
            }
        }
        rows += group.Rows.size();
    }
    if (rows != result.PairsTested || result.PairsInFamily > result.PairsTested) {
        out.Add(std::to_string(rows) + " rows for " + std::to_string(result.PairsTested) +
                " pairs tested, " + std::to_string(result.PairsInFamily) + " in the family");
    }
    return out.Take();
}

}  // namespace quorvane::fuzzing
