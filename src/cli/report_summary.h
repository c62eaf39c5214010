#pragma once

#include <string>

#include "core/analysis/analysis.h"
#include "core/evidence/suspects.h"

namespace quorvane::cli {

// Writes the doctor's summary PDF of `found` to `path`, as the window's button
// does. Only the build with Qt can draw it; the Qt-free one raises QuorvaneError.
void WriteSummaryFile(const std::string& path, const std::string& diaryPath,
                      const SuspectsResult& found, const Analysis& analysis);

}  // namespace quorvane::cli
