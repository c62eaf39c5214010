#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/challenge/challenge_plan.h"

namespace quorvane {

// Asked before any plan: such a food is tested only under medical care.
std::string SevereReactionQuestion(const std::string& food);
std::string SupervisedChallengeAdvice(const std::string& food);
std::string StopAndSeekCare(const std::string& food);

// The plan, or why there is none, in plain sentences for the window, the
// printed plan and quorvane-report; the first line is the heading.
std::vector<std::string> PlanOutcomeLines(const PlanOutcome& outcome);

// The plan day of a calendar date: days since StartDate; nullopt when the
// stored date cannot be read.
std::optional<int64_t> PlanDayOn(const ChallengePlan& plan, int64_t date);

// "Today: eat PEANUT", "Today: no PEANUT", or where today lies outside the plan.
std::string TodayInstruction(const ChallengePlan& plan, int64_t date);

// The word the composer writes on a plan day ("Challenge eat,"); empty outside.
std::string MarkerWordFor(const ChallengePlan& plan, int64_t planDay);

}  // namespace quorvane
