#include "cli/report_summary.h"
#include "core/text/quorvane_error.h"

namespace quorvane::cli {

void WriteSummaryFile(const std::string&, const std::string&, const SuspectsResult&,
                      const Analysis&, const std::vector<std::string>&) {
    throw QuorvaneError("--summary needs the build with Qt: this quorvane-report has none");
}

}  // namespace quorvane::cli
