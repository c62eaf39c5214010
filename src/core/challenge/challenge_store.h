#pragma once

#include <optional>

#include "core/challenge/challenge_plan.h"

namespace quorvane {

class ProfileFile;

// The plan lives in the settings file's "Challenge" section, one key a value,
// written by the profile rules like every other section, so that no line of the
// other sections changes.
inline constexpr const char* kChallengeSection = "Challenge";

void StoreChallengePlan(ProfileFile& profile, const ChallengePlan& plan);

// nullopt when no plan is stored (no section, or an empty "Food"). Raises
// QuorvaneError when the stored plan cannot be one: a test needs its order whole.
std::optional<ChallengePlan> ReadChallengePlan(const ProfileFile& profile);

// "Food" emptied: the section and its other keys stay, as the profile rules
// never remove lines.
void ForgetChallengePlan(ProfileFile& profile);

}  // namespace quorvane
