#pragma once

// The checks made of a strong or suggestive row: what might explain the
// association away (timing, a co-eaten partner, one telling day, one half of
// the diary) and what strengthens it (a dose effect).

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/evidence/statistics.h"
#include "core/evidence/suspect_days.h"
#include "core/evidence/suspects.h"

namespace quorvane {

// A partner must look like a suspect itself at the food's lag: raw p at most this.
inline constexpr double kPartnerP = 0.05;

// A food that may be another's partner, with its raw p at each lag.
struct PartnerCandidate {
    std::size_t Food = 0;
    std::array<double, kSuspectLags> P{};
};

bool MayBePartner(const std::array<double, kSuspectLags>& p);

// The lag-corrected p: the row's lag is the best of kSuspectLags.
double CorrectedP(double p);

struct CheckContext {
    const std::vector<Food>& Foods;
    const std::vector<PartnerCandidate>& Partners;  // of the row's symptom, in food order
    const SymptomDays& Days;
    const LogFactorials& Factorials;
};

// `mark` is scratch of one entry per diary day.
void CheckSuspect(SuspectRow& row, std::size_t food, const CheckContext& context,
                  std::vector<uint8_t>& mark);

// The flags column's bits from what the row holds.
void AddFlags(SuspectRow& row);

}  // namespace quorvane
