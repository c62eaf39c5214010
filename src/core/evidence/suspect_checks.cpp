#include "core/evidence/suspect_checks.h"

#include <algorithm>

namespace quorvane {

namespace {

// A food had on this share of the diary's days is around every onset, before
// and after alike: which side it falls on more often is chance.
constexpr double kNearlyDaily = 0.7;

bool HasDay(std::span<const uint32_t> days, int64_t day) {
    return day >= 0 && std::binary_search(days.begin(), days.end(), static_cast<uint32_t>(day));
}

// A consequence or a craving comes after onsets; a cause before them.
void CheckTiming(SuspectRow& row, const Food& food, const SymptomDays& days) {
    for (const uint32_t onset : days.Onsets) {
        const int64_t t = onset;
        row.EpisodesWithBefore += HasDay(food.Days, t - 1) || HasDay(food.Days, t - 2);
        row.EpisodesWithAfter += HasDay(food.Days, t + 1) || HasDay(food.Days, t + 2);
    }
    const bool nearlyDaily = static_cast<double>(food.Days.size()) >=
                             kNearlyDaily * static_cast<double>(days.Status.size());
    row.ReverseTiming = !nearlyDaily && row.EpisodesWithAfter > row.EpisodesWithBefore;
}

// Among the other foods that look like suspects at the same lag, the one sharing
// most of this food's exposed days, and the ratio once it is allowed for.
void CheckPartner(SuspectRow& row, std::size_t self, const CheckContext& context,
                  std::vector<uint8_t>& mark) {
    const SymptomDays& days = context.Days;
    const Food& food = context.Foods[self];
    const int lag = row.Lag;
    std::fill(mark.begin(), mark.end(), 0);
    int64_t exposed = 0;
    for (std::size_t i = 0; i < food.Days.size(); ++i) {
        uint32_t day = 0;
        if (ExposedDay(food, i, lag, days, day)) {
            mark[day] = 1;
            ++exposed;
        }
    }
    const PartnerCandidate* partner = nullptr;
    int64_t bestShared = 0;
    for (const PartnerCandidate& other : context.Partners) {
        if (other.Food == self || other.P[static_cast<std::size_t>(lag)] > kPartnerP) {
            continue;
        }
        const Food& g = context.Foods[other.Food];
        int64_t shared = 0;
        for (std::size_t i = 0; i < g.Days.size(); ++i) {
            uint32_t day = 0;
            shared += ExposedDay(g, i, lag, days, day) && mark[day] == 1;
        }
        if (shared > bestShared) {
            bestShared = shared;
            partner = &other;
        }
    }
    if (partner == nullptr) {
        return;
    }
    const Food& g = context.Foods[partner->Food];
    row.Partner = g.Name;
    row.DaysWithoutPartner = exposed - bestShared;
    row.Inseparable = row.DaysWithoutPartner < 3;
    for (std::size_t i = 0; i < g.Days.size(); ++i) {
        uint32_t day = 0;
        if (ExposedDay(g, i, lag, days, day)) {
            mark[day] |= 2;
        }
    }
    // Strata: partner eaten or not, each day exposed or not by the same rule as
    // the row's table, so that the adjusted ratio answers the crude one.
    std::array<DayTable, 2> strata{};
    for (std::size_t day = 0; day < mark.size(); ++day) {
        if (days.Status[day] == kInEpisode) {
            continue;
        }
        DayTable& s = strata[(mark[day] & 2) != 0 ? 1 : 0];
        const bool onset = days.Status[day] == kOnset;
        if ((mark[day] & 1) != 0) {
            ++(onset ? s.A : s.B);
        } else {
            ++(onset ? s.C : s.D);
        }
    }
    double adjusted = 0;
    if (MantelHaenszelRiskRatio(strata, adjusted)) {
        row.AdjustedRatio = adjusted;
    }
}

// One exposed onset fewer, and each half of the diary alone.
void CheckRobustness(SuspectRow& row, const Food& food, const CheckContext& context) {
    const SymptomDays& days = context.Days;
    if (row.Table.A > 0) {
        row.PWithoutTopDay = CorrectedP(FisherGreaterPValue(
            DayTable{row.Table.A - 1, row.Table.B, row.Table.C, row.Table.D}, context.Factorials));
    }
    const auto half = static_cast<uint32_t>(days.Status.size() / 2);
    const DayTable first = StretchTable(food, row.Lag, days, 0, half);
    const DayTable second =
        StretchTable(food, row.Lag, days, half, static_cast<uint32_t>(days.Status.size()));
    if (BothRows(first)) {
        row.FirstHalfRatio = KatzRiskRatio(first).Ratio;
    }
    if (BothRows(second)) {
        row.SecondHalfRatio = KatzRiskRatio(second).Ratio;
    }
}

// A real trigger often acts more after two helpings than after one; the exact
// test of the exposed days alone, two helpings against one.
void CheckDose(SuspectRow& row, const Food& food, const CheckContext& context) {
    int64_t singleDays = 0;
    int64_t singleOnsets = 0;
    for (std::size_t i = 0; i < food.Days.size(); ++i) {
        uint32_t day = 0;
        if (!ExposedDay(food, i, row.Lag, context.Days, day)) {
            continue;
        }
        const bool onset = context.Days.Status[day] == kOnset;
        if (food.Helpings[i] >= 2) {
            ++row.DoubleDays;
            row.DoubleOnsets += onset;
        } else {
            ++singleDays;
            singleOnsets += onset;
        }
    }
    if (row.DoubleDays == 0 || singleDays == 0) {
        return;
    }
    const DayTable dose{row.DoubleOnsets, row.DoubleDays - row.DoubleOnsets, singleOnsets,
                        singleDays - singleOnsets};
    row.MoreAfterTwoHelpings = row.DoubleOnsets * singleDays > singleOnsets * row.DoubleDays &&
                               FisherGreaterPValue(dose, context.Factorials) <= 0.05;
}

}  // namespace

bool MayBePartner(const std::array<double, kSuspectLags>& p) {
    // As CheckPartner asks it: a p that is not above kPartnerP at the lag in question.
    return std::any_of(p.begin(), p.end(), [](double v) { return !(v > kPartnerP); });
}

double CorrectedP(double p) {
    return std::min(1.0, p * kSuspectLags);
}

void CheckSuspect(SuspectRow& row, std::size_t food, const CheckContext& context,
                  std::vector<uint8_t>& mark) {
    row.Checked = true;
    const Food& f = context.Foods[food];
    CheckTiming(row, f, context.Days);
    CheckPartner(row, food, context, mark);
    CheckRobustness(row, f, context);
    CheckDose(row, f, context);
}

void AddFlags(SuspectRow& row) {
    if (!row.CanReach) {
        row.Flags |= kTooFewExposures;
    }
    if (row.Table.A == 0 || row.Table.C == 0) {
        row.Flags |= kZeroCell;
    }
    if (!row.Checked) {
        return;
    }
    if (row.ReverseTiming) {
        row.Flags |= kReverseTiming;
    }
    if (row.Inseparable) {
        row.Flags |= kInseparable;
    }
    if (row.ExplainedByPartner) {
        row.Flags |= kExplainedByPartner;
    }
    if (row.PWithoutTopDay && *row.PWithoutTopDay > 0.05) {
        row.Flags |= kRestsOnOneDay;
    }
    if (!row.FirstHalfRatio || !row.SecondHalfRatio || *row.FirstHalfRatio <= 1 ||
        *row.SecondHalfRatio <= 1) {
        row.Flags |= kNotInBothHalves;
    }
    if (row.MoreAfterTwoHelpings) {
        row.Flags |= kMoreAfterTwoHelpings;
    }
}

}  // namespace quorvane
