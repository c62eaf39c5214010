#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quorvane::fuzzing {

// Loads arbitrary bytes as Quorvane.ini (in memory) the way the program starts, loads
// what that left once more, then composes a diary from the loaded word grid, reads it
// and refills the grid from its items. Returns every broken rule as a sentence; empty
// when all held. The whole input is the file's content.
std::vector<std::string> CheckSettingsLoad(std::string_view input);

}  // namespace quorvane::fuzzing
