#pragma once

#include <cstdint>
#include <string>

namespace quorvane::bench {

struct DiaryShape {
    int Days = 3650;
    int DistinctItems = 1500;
};

// A realistic diary, the same bytes for the same seed: dated days of three to five
// meals, "$" after each meal, "#" after each day, CR LF line ends, items drawn with
// a long-tailed frequency and symptoms written in random letter case.
std::string GenerateDiary(uint64_t seed, const DiaryShape& shape = {});

}  // namespace quorvane::bench
