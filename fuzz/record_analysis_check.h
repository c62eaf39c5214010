#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quorvane::fuzzing {

// Runs arbitrary bytes through a whole analysis, twice on one long-lived state (once
// fed whole, once in chunk splits derived from the bytes), and returns every broken
// invariant as a sentence; an empty result means all held. The second run takes
// every step for small diaries and a share of the others, and the read alone for
// the rest: what the read leaves decides every later step.
//
// Byte 0 chooses the run's settings: bits 0-2 the minimum count text, bits 3-5 the
// column width, bit 6 the decimal separator, bit 7 a symptom table with duplicate,
// empty and item-like names. The remaining bytes are the diary.
std::vector<std::string> CheckRecordAnalysis(std::string_view input);

// The same input through the read alone, whole and split, with the read's own
// invariants: the items, the day window, the counts and the grid the read leaves.
// Some two and a half times the analysis's speed, for the fuzzer that hunts the parser.
std::vector<std::string> CheckRecordRead(std::string_view input);

}  // namespace quorvane::fuzzing
