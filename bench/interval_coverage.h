#pragma once

#include <cstdint>

namespace quorvane::bench {

// How often risk-ratio intervals hold the true ratio on small day tables drawn
// with known rates: exposed days 1 to 30, onset rates 2 to 30 %, true ratios 1, 2
// and 4. Prints a table.
void RunIntervalCoverage(uint64_t firstSeed, int tablesPerBand);

}  // namespace quorvane::bench
