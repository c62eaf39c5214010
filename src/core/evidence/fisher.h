#pragma once

#include <cstdint>

namespace quorvane {

// One-sided Fisher exact test for a positive association in the 2 x 2 table
//   a b
//   c d
// with all margins fixed: the probability of seeing a or more in the top left
// cell by chance. Log-factorials keep it exact to better than 1e-10 for tables
// of millions of days. 1 for an empty table or when a is the least possible.
double FisherGreaterPValue(int64_t a, int64_t b, int64_t c, int64_t d);

}  // namespace quorvane
