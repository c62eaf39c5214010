#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quorvane::fuzzing {

// Reads arbitrary bytes as a diary with the evidence gathered, finds the suspects and
// returns every broken rule of the result as a sentence; empty when all held: p and
// q in [0, 1] with every q at least its p, tiers that agree with the numbers and the
// thresholds, ranks 1 to n within each symptom in tier order.
//
// Byte 0: bits 0-1 the minimum count (1 to 4), bit 2 looser thresholds, bit 3 "TEA"
// and "COFFEE" named as no foods, bit 4 "TEA" and "STRESSED" also symptom names. The
// remaining bytes are the diary.
std::vector<std::string> CheckSuspects(std::string_view input);

}  // namespace quorvane::fuzzing
