#pragma once

#include <istream>
#include <ostream>

#include "cli/report_options.h"

namespace quorvane::cli {

bool WantsChallenge(const ReportOptions& options);

// --plan-challenge: asks the safety question on `err` and reads the answer from
// `in` (unless --no-severe-reaction), then prints the plan and stores it in the
// --settings file when one is given. --challenge-result: prints the analysis of
// the stored plan. Returns the exit status.
int RunChallenge(const ReportOptions& options, std::istream& in, std::ostream& out,
                 std::ostream& err);

}  // namespace quorvane::cli
