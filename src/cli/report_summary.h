#pragma once

#include <string>
#include <vector>

#include "core/analysis/analysis.h"
#include "core/evidence/suspects.h"

namespace quorvane::cli {

// Writes the doctor's summary PDF of `found` to `path`, as the window's button
// does. Only the build with Qt can draw it; the Qt-free one raises QuorvaneError.
// `challenge` holds a planned test's verdict lines, or nothing.
void WriteSummaryFile(const std::string& path, const std::string& diaryPath,
                      const SuspectsResult& found, const Analysis& analysis,
                      const std::vector<std::string>& challenge);

}  // namespace quorvane::cli
