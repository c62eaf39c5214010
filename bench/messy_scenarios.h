#pragma once

#include <string_view>

#include "core/analysis/analysis.h"

namespace quorvane::bench {

// Reads a diary as quorvane-report does, gathering the evidence.
void ReadDiary(std::string_view text, Analysis& analysis);

// Every messy scenario, `diaries` each (null diaries twice as many), on the
// report seeds or on the disjoint tuning seeds; prints one table. Returns 0.
int RunMessyScenarios(int diaries, bool reportSeeds);

}  // namespace quorvane::bench
