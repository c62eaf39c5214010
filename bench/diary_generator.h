#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quorvane::bench {

struct DiaryShape {
    int Days = 3650;
    int DistinctItems = 1500;
};

// A realistic diary, the same bytes for the same seed: dated days of three to five
// meals, "$" after each meal, "#" after each day, CR LF line ends, items drawn with
// a long-tailed frequency and symptoms written in random letter case.
std::string GenerateDiary(uint64_t seed, const DiaryShape& shape = {});

// The diary named on the command line (argv[1]), or the seed-1 diary written to
// the temporary folder when none is named.
std::string DiaryPathFromArguments(int argc, char** argv);

double Median(std::vector<double> values);

}  // namespace quorvane::bench
