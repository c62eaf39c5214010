#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "cli/report_options.h"
#include "core/analysis/symptom_table.h"

namespace quorvane::cli {

// Slots 2 to 21 from the first 20 lines of a plain text file, stored cut to 30 bytes.
void LoadSymptomNamesFile(const std::string& path, SymptomTable& symptoms);

// Slots 2 to 21 from an initialised settings file; any other file leaves the table.
void LoadSettingsSymptoms(const std::string& path, SymptomTable& symptoms);

// The symptom table the options name: the settings file's, then the names file's.
SymptomTable SymptomsOf(const ReportOptions& options);

// The words of a --not-foods file, one a line; blank lines are skipped.
std::vector<std::string> LoadNotFoodsFile(const std::string& path);

// Runs the analysis the window runs and writes the chosen dump to `out`. Raises
// QuorvaneError with the user's message; day overflows are told on `err`.
void RunReport(const ReportOptions& options, std::ostream& out, std::ostream& err);

}  // namespace quorvane::cli
