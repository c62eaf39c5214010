#include "core/evidence/suspects.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>
#include <limits>
#include <unordered_set>

#include "core/evidence/fisher.h"

namespace quorvane {

namespace {

// Views, so that a comparison looks at the lengths first: every item's words are
// looked up here.
constexpr std::string_view kNotFoodWords[] = {
    "JANUARY",  "FEBRUARY",    "MARCH",      "APRIL",       "MAY",
    "JUNE",     "JULY",        "AUGUST",     "SEPTEMBER",   "OCTOBER",
    "NOVEMBER", "DECEMBER",    "JAN",        "FEB",         "MAR",
    "APR",      "JUN",         "JUL",        "AUG",         "SEP",
    "SEPT",     "OCT",         "NOV",        "DEC",         "MONDAY",
    "TUESDAY",  "WEDNESDAY",   "THURSDAY",   "FRIDAY",      "SATURDAY",
    "SUNDAY",   "MON",         "TUE",        "TUES",        "WED",
    "THU",      "THUR",        "THURS",      "FRI",         "SAT",
    "SUN",      "END OF MEAL", "END OF DAY", "MISSED INFO", "QUITTING ADDICTION"};

enum DayStatus : uint8_t { kControl = 0, kOnset = 1, kInEpisode = 2 };

struct Food {
    const TItemNode* Node = nullptr;
    std::span<const uint32_t> Days;
    std::span<const uint16_t> Positions;
};

// One symptom's days: onsets, the later days of each episode (neither case nor
// control), and where in its day each onset came.
struct SymptomDays {
    std::vector<uint8_t> Status;
    std::vector<uint16_t> OnsetPosition;
    std::vector<uint32_t> Onsets;
    int64_t Eligible = 0;
};

SymptomDays ClassifyDays(const DiaryEvidence& evidence, int symptom) {
    SymptomDays days;
    const uint32_t count = evidence.DayCount();
    days.Status.assign(count, kControl);
    days.OnsetPosition.assign(count, 0);
    const std::vector<uint32_t>& occurred = evidence.SymptomDays(symptom);
    const std::vector<uint16_t>& positions = evidence.SymptomPositions(symptom);
    for (std::size_t i = 0; i < occurred.size(); ++i) {
        const uint32_t day = occurred[i];
        if (day >= count) {
            continue;
        }
        if (i > 0 && occurred[i - 1] + 1 == day) {
            days.Status[day] = kInEpisode;
        } else {
            days.Status[day] = kOnset;
            days.OnsetPosition[day] = i < positions.size() ? positions[i] : UINT16_MAX;
            days.Onsets.push_back(day);
        }
    }
    days.Eligible = static_cast<int64_t>(count) -
                    std::count(days.Status.begin(), days.Status.end(), kInEpisode);
    return days;
}

// The day the food's i-th day exposes at `lag`, and whether that day is a case
// or control at all. Whether a same-day entry came before the onset is for the
// caller: control days have no onset to come before, so there any entry counts.
bool Exposes(const Food& food, std::size_t i, int lag, const SymptomDays& days, uint32_t& day) {
    day = food.Days[i] + static_cast<uint32_t>(lag);
    return day < days.Status.size() && days.Status[day] != kInEpisode;
}

// The table of the days from `from` up to `to` alone, as for a half of the diary.
DayTable StretchTable(const Food& food, int lag, const SymptomDays& days, uint32_t from,
                      uint32_t to) {
    int64_t exposed = 0;
    int64_t a = 0;
    for (std::size_t i = 0; i < food.Days.size(); ++i) {
        uint32_t day = 0;
        if (!Exposes(food, i, lag, days, day) || day < from || day >= to) {
            continue;
        }
        const bool onset = days.Status[day] == kOnset;
        if (onset && lag == 0 && food.Positions[i] >= days.OnsetPosition[day]) {
            continue;  // eaten after the onset: an unexposed onset, as in TablesAt
        }
        ++exposed;
        a += onset;
    }
    int64_t eligible = 0;
    int64_t episodes = 0;
    for (uint32_t day = from; day < std::min<std::size_t>(to, days.Status.size()); ++day) {
        eligible += days.Status[day] != kInEpisode;
        episodes += days.Status[day] == kOnset;
    }
    return DayTable{a, exposed - a, episodes - a, eligible - exposed - (episodes - a)};
}

bool BothRows(const DayTable& t) {
    return t.A + t.B > 0 && t.C + t.D > 0;
}

double CorrectedP(double p) {
    return std::min(1.0, p * kSuspectLags);
}

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

bool HasDay(std::span<const uint32_t> days, int64_t day) {
    return day >= 0 && std::binary_search(days.begin(), days.end(), static_cast<uint32_t>(day));
}

std::string Upper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return upper;
}

// The tables of all lags in one walk of the food's days.
std::array<DayTable, kSuspectLags> TablesAt(const Food& food, const SymptomDays& days,
                                            int64_t episodes) {
    std::array<int64_t, kSuspectLags> exposed{};
    std::array<int64_t, kSuspectLags> a{};
    const std::size_t count = days.Status.size();
    const uint8_t* status = days.Status.data();
    for (std::size_t i = 0; i < food.Days.size(); ++i) {
        const std::size_t day = food.Days[i];
        if (day < count) {
            // An onset day exposes at lag 0 only when the food came first; eaten
            // after the onset it is an unexposed onset, counted in C alone.
            const uint8_t s = status[day];
            const bool before = s == kOnset && food.Positions[i] < days.OnsetPosition[day];
            exposed[0] += s == kControl || before;
            a[0] += before;
        }
        for (std::size_t lag = 1; lag < kSuspectLags && day + lag < count; ++lag) {
            const uint8_t s = status[day + lag];
            exposed[lag] += s != kInEpisode;
            a[lag] += s == kOnset;
        }
    }
    std::array<DayTable, kSuspectLags> tables{};
    for (std::size_t lag = 0; lag < kSuspectLags; ++lag) {
        tables[lag] = DayTable{a[lag], exposed[lag] - a[lag], episodes - a[lag],
                               days.Eligible - exposed[lag] - (episodes - a[lag])};
    }
    return tables;
}

struct Candidate {
    std::array<DayTable, kSuspectLags> Tables{};
    std::array<double, kSuspectLags> P{};
};

// A partner must look like a suspect itself at the food's lag: raw p at most this.
constexpr double kPartnerP = 0.05;

// A food that may be another's partner: raw p at most kPartnerP at some lag.
struct PartnerCandidate {
    std::size_t Food = 0;
    std::array<double, kSuspectLags> P{};
};

bool MayBePartner(const Candidate& candidate) {
    // As Check asks it: a p that is not above kPartnerP at the lag in question.
    return std::any_of(candidate.P.begin(), candidate.P.end(),
                       [](double p) { return !(p > kPartnerP); });
}

void Check(SuspectRow& row, std::size_t self, const std::vector<Food>& foods,
           const std::vector<PartnerCandidate>& candidates, const SymptomDays& days,
           const LogFactorials& logFactorials, std::vector<uint8_t>& mark) {
    row.Checked = true;
    const Food& food = foods[self];
    const int lag = row.Lag;

    // Reverse timing: the food around onsets, the two days before and after.
    for (const uint32_t onset : days.Onsets) {
        const int64_t t = onset;
        row.EpisodesWithBefore += HasDay(food.Days, t - 1) || HasDay(food.Days, t - 2);
        row.EpisodesWithAfter += HasDay(food.Days, t + 1) || HasDay(food.Days, t + 2);
    }
    row.ReverseTiming =
        row.EpisodesWithAfter > 0 && row.EpisodesWithAfter >= row.EpisodesWithBefore;

    // Co-exposure: among the other foods that look like suspects at the same lag,
    // the one sharing most of this food's exposed days.
    std::fill(mark.begin(), mark.end(), 0);
    int64_t exposed = 0;
    for (std::size_t i = 0; i < food.Days.size(); ++i) {
        uint32_t day = 0;
        if (Exposes(food, i, lag, days, day)) {
            mark[day] = 1;
            ++exposed;
        }
    }
    const PartnerCandidate* partner = nullptr;
    int64_t bestShared = 0;
    for (const PartnerCandidate& other : candidates) {
        if (other.Food == self || other.P[static_cast<std::size_t>(lag)] > kPartnerP) {
            continue;
        }
        const Food& g = foods[other.Food];
        int64_t shared = 0;
        for (std::size_t i = 0; i < g.Days.size(); ++i) {
            uint32_t day = 0;
            if (Exposes(g, i, lag, days, day) && mark[day] == 1) {
                ++shared;
            }
        }
        if (shared > bestShared) {
            bestShared = shared;
            partner = &other;
        }
    }
    if (partner != nullptr) {
        const Food& g = foods[partner->Food];
        row.Partner = g.Node->Name;
        row.DaysWithoutPartner = exposed - bestShared;
        row.Inseparable = row.DaysWithoutPartner < 3;
        for (std::size_t i = 0; i < g.Days.size(); ++i) {
            uint32_t day = 0;
            if (Exposes(g, i, lag, days, day)) {
                mark[day] |= 2;
            }
        }
        // Strata: partner eaten or not. Onsets use the food's own lag-0 rule
        // through its table; the strata count days as eaten or not that day.
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

    // Robustness: one exposed onset fewer, and each half of the diary alone.
    if (row.Table.A > 0) {
        row.PWithoutTopDay = CorrectedP(FisherGreaterPValue(
            DayTable{row.Table.A - 1, row.Table.B, row.Table.C, row.Table.D}, logFactorials));
    }
    const auto half = static_cast<uint32_t>(days.Status.size() / 2);
    const DayTable first = StretchTable(food, lag, days, 0, half);
    const DayTable second =
        StretchTable(food, lag, days, half, static_cast<uint32_t>(days.Status.size()));
    if (BothRows(first)) {
        row.FirstHalfRatio = KatzRiskRatio(first).Ratio;
    }
    if (BothRows(second)) {
        row.SecondHalfRatio = KatzRiskRatio(second).Ratio;
    }
}

void AddFlags(SuspectRow& row) {
    if (!row.CanReach) {
        row.Flags |= kTooFewExposures;
    }
    if (row.Risk.Corrected) {
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
}

}  // namespace

std::string_view SuspectFlagName(int bit) {
    static constexpr std::array<std::string_view, kSuspectFlagCount> kNames = {
        "too-few-exposures", "zero-cell",          "reverse-timing",      "inseparable",
        "rests-on-one-day",  "not-in-both-halves", "explained-by-partner"};
    return bit >= 0 && bit < kSuspectFlagCount ? kNames[static_cast<std::size_t>(bit)] : "";
}

std::string_view TierName(SuspectTier tier) {
    switch (tier) {
        case SuspectTier::Strong:
            return "strong";
        case SuspectTier::Suggestive:
            return "suggestive";
        case SuspectTier::NotEnoughData:
            return "not-enough-data";
        case SuspectTier::ProbablyTolerated:
            return "probably-tolerated";
        case SuspectTier::PossiblyProtective:
            return "possibly-protective";
    }
    return "not-enough-data";
}

bool IsCalendarOrPhrase(std::string_view name) {
    const auto listed = [](std::string_view word) {
        return std::find(std::begin(kNotFoodWords), std::end(kNotFoodWords), word) !=
               std::end(kNotFoodWords);
    };
    if (listed(name)) {
        return true;
    }
    // A date line such as "Monday March 1st" reads as one item of calendar words
    // and day numbers; it is no more a food than its words are.
    const auto dayNumber = [](std::string_view word) {
        const std::size_t digits = word.find_first_not_of("0123456789");
        const std::string_view suffix = digits == std::string_view::npos ? "" : word.substr(digits);
        return digits != 0 && (suffix.empty() || suffix == "ST" || suffix == "ND" ||
                               suffix == "RD" || suffix == "TH");
    };
    bool calendar = false;
    std::size_t start = 0;
    while (start < name.size()) {
        const std::size_t end = std::min(name.find(' ', start), name.size());
        const std::string_view word = name.substr(start, end - start);
        if (listed(word)) {
            calendar = true;
        } else if (!word.empty() && !dayNumber(word)) {
            return false;
        }
        start = end + 1;
    }
    return calendar;
}

SuspectsResult FindSuspects(const DiaryEvidence& evidence, const ItemList& items,
                            std::span<const std::string> notFoods,
                            const SuspectThresholds& thresholds) {
    SuspectsResult result;
    if (!evidence.Finished() || evidence.DayCount() == 0 || items.First() == nullptr) {
        return result;
    }
    std::unordered_set<std::string> excluded;
    for (const std::string& word : notFoods) {
        excluded.insert(Upper(word));
    }
    for (int s = 1; s <= kSymptomCount; ++s) {
        excluded.insert(evidence.SymptomName(s));
    }

    const DiaryEvidence::ItemDayIndex index = evidence.IndexItemDays(true);
    const LogFactorials logFactorials(evidence.DayCount());
    std::vector<Food> foods;
    for (const TItemNode* node = items.First()->Next; node != nullptr && node->Next != nullptr;
         node = node->Next) {
        if (IsCalendarOrPhrase(node->Name) || excluded.count(node->Name) != 0) {
            continue;
        }
        const std::span<const uint32_t> days = evidence.ItemDays(index, *node);
        if (days.empty()) {
            continue;
        }
        const auto offset = static_cast<std::size_t>(days.data() - index.Days.data());
        foods.push_back(
            {node, days, std::span<const uint16_t>(index.Positions).subspan(offset, days.size())});
    }

    struct Pending {
        std::size_t Symptom;  // into result.Symptoms
        std::size_t Row;
    };
    std::vector<Pending> family;
    std::vector<double> familyP;
    std::vector<SymptomDays> classified;
    // Per symptom: each row's food, and the foods that may be a partner, in food
    // order so that ties pick the same partner. Kept lean: a row per food and
    // symptom makes tens of thousands on a long diary.
    std::vector<std::vector<std::size_t>> rowFoods;
    std::vector<std::vector<PartnerCandidate>> partners;
    std::unordered_set<std::string> seenNames;
    for (int s = 1; s <= kLastUserSymptom; ++s) {
        if (evidence.SymptomDays(s).empty() || !seenNames.insert(evidence.SymptomName(s)).second) {
            continue;
        }
        SymptomDays days = ClassifyDays(evidence, s);
        const auto episodes = static_cast<int64_t>(days.Onsets.size());
        if (episodes == 0) {
            continue;
        }
        SymptomSuspects& group = result.Symptoms.emplace_back();
        group.Symptom = s;
        group.Name = evidence.SymptomName(s);
        group.Episodes = episodes;
        const int64_t needed = ExposureDaysNeeded(episodes, days.Eligible, thresholds.Strong);
        std::vector<std::size_t>& foodOfRow = rowFoods.emplace_back();
        std::vector<PartnerCandidate>& mayBePartners = partners.emplace_back();
        // Growing a vector of rows would copy them all into fresh pages again.
        group.Rows.reserve(foods.size());
        foodOfRow.reserve(foods.size());
        for (std::size_t f = 0; f < foods.size(); ++f) {
            Candidate candidate;
            bool any = false;
            candidate.Tables = TablesAt(foods[f], days, episodes);
            for (int lag = 0; lag < kSuspectLags; ++lag) {
                const DayTable& t = candidate.Tables[static_cast<std::size_t>(lag)];
                candidate.P[static_cast<std::size_t>(lag)] =
                    t.A == 0 ? 1.0 : FisherGreaterPValue(t, logFactorials);
                any = any || BothRows(t);
            }
            if (!any) {
                continue;
            }
            SuspectRow row;
            row.Item = foods[f].Node->Name;
            row.Symptom = s;
            row.SymptomName = group.Name;
            int best = -1;
            for (int lag = 0; lag < kSuspectLags; ++lag) {
                if (BothRows(candidate.Tables[static_cast<std::size_t>(lag)]) &&
                    (best < 0 || candidate.P[static_cast<std::size_t>(lag)] <
                                     candidate.P[static_cast<std::size_t>(best)])) {
                    best = lag;
                }
            }
            row.Lag = best;
            row.Table = candidate.Tables[static_cast<std::size_t>(best)];
            row.Risk = KatzRiskRatio(row.Table);
            row.HighestUpper = row.Risk.High;
            // The other lags can only lower a tier that this lag already rules out.
            for (int lag = 0; lag < kSuspectLags && row.HighestUpper < thresholds.ToleratedHigh;
                 ++lag) {
                const DayTable& t = candidate.Tables[static_cast<std::size_t>(lag)];
                if (lag != best && BothRows(t)) {
                    row.HighestUpper = std::max(row.HighestUpper, KatzRiskRatio(t).High);
                }
            }
            row.RawP = candidate.P[static_cast<std::size_t>(best)];
            row.PValue = CorrectedP(row.RawP);
            row.DaysNeeded = needed;
            row.CanReach = needed > 0 && row.Table.A + row.Table.B >= needed;
            if (row.CanReach) {
                family.push_back({result.Symptoms.size() - 1, group.Rows.size()});
                familyP.push_back(row.PValue);
            }
            group.Rows.push_back(std::move(row));
            foodOfRow.push_back(f);
            if (MayBePartner(candidate)) {
                mayBePartners.push_back({f, candidate.P});
            }
            ++result.PairsTested;
        }
        classified.push_back(std::move(days));
    }

    result.PairsInFamily = family.size();
    const std::vector<double> q = BenjaminiHochberg(familyP);
    for (std::size_t i = 0; i < family.size(); ++i) {
        result.Symptoms[family[i].Symptom].Rows[family[i].Row].QValue = q[i];
    }

    std::vector<uint8_t> mark(evidence.DayCount());
    for (std::size_t g = 0; g < result.Symptoms.size(); ++g) {
        SymptomSuspects& group = result.Symptoms[g];
        for (std::size_t r = 0; r < group.Rows.size(); ++r) {
            SuspectRow& row = group.Rows[r];
            const int64_t exposed = row.Table.A + row.Table.B;
            if (row.QValue <= thresholds.Strong && row.Risk.Low > 1) {
                row.Tier = SuspectTier::Strong;
            } else if (row.QValue <= thresholds.Suggestive && row.Risk.Ratio > 1) {
                row.Tier = SuspectTier::Suggestive;
            } else if (row.HighestUpper < 1) {
                row.Tier = SuspectTier::PossiblyProtective;
            } else if (exposed >= thresholds.ToleratedExposedDays &&
                       row.HighestUpper < thresholds.ToleratedHigh) {
                row.Tier = SuspectTier::ProbablyTolerated;
            } else {
                row.Tier = SuspectTier::NotEnoughData;
            }
            if (row.Tier == SuspectTier::Strong || row.Tier == SuspectTier::Suggestive) {
                Check(row, rowFoods[g][r], foods, partners[g], classified[g], logFactorials, mark);
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
        // Rows are large: order indices, then move the rows.
        std::vector<std::size_t> order(group.Rows.size());
        for (std::size_t r = 0; r < order.size(); ++r) {
            order[r] = r;
        }
        std::sort(order.begin(), order.end(), [&](std::size_t i, std::size_t j) {
            const SuspectRow& x = group.Rows[i];
            const SuspectRow& y = group.Rows[j];
            if (x.Tier != y.Tier) {
                return x.Tier < y.Tier;
            }
            if (x.Risk.Low != y.Risk.Low) {
                return x.Risk.Low > y.Risk.Low;
            }
            if (x.PValue != y.PValue) {
                return x.PValue < y.PValue;
            }
            return x.Item < y.Item;
        });
        // Each row goes to its place along the cycles of the order: a second vector
        // of rows would cost more in fresh pages than all the moves.
        for (std::size_t start = 0; start < order.size(); ++start) {
            if (order[start] == start) {
                continue;
            }
            SuspectRow held = std::move(group.Rows[start]);
            std::size_t at = start;
            while (order[at] != start) {
                const std::size_t from = order[at];
                group.Rows[at] = std::move(group.Rows[from]);
                order[at] = at;
                at = from;
            }
            group.Rows[at] = std::move(held);
            order[at] = at;
        }
        for (std::size_t r = 0; r < group.Rows.size(); ++r) {
            group.Rows[r].Rank = static_cast<int>(r + 1);
        }
    }
    return result;
}

}  // namespace quorvane
