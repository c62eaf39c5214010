#include "cli/report_command.h"

#include <fstream>
#include <string>
#include <vector>

#include "core/analysis/analysis_state.h"
#include "core/analysis/correlation.h"
#include "core/evidence/diary_evidence.h"
#include "core/evidence/evidence.h"
#include "core/text/quorvane_error.h"
#include "core/analysis/record_reader.h"
#include "core/analysis/report.h"
#include "core/analysis/text_grid.h"
#include "cli/report_dump.h"

namespace quorvane::cli {

void LoadSymptomNamesFile(const std::string& path, SymptomTable& symptoms) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw QuorvaneError("Cannot open file " + path);
    }
    constexpr int kSlots = kLastUserSymptom - kFirstUserSymptom + 1;
    std::vector<std::string> names;
    std::string line;
    while (static_cast<int>(names.size()) < kSlots && std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        names.push_back(ShortName(line));
    }
    if (static_cast<int>(names.size()) < kSlots) {
        throw QuorvaneError(path + " holds " + std::to_string(names.size()) + " of the " +
                            std::to_string(kSlots) + " symptom names");
    }
    for (int i = 0; i < kSlots; ++i) {
        symptoms.SetName(kFirstUserSymptom + i, names[static_cast<std::size_t>(i)]);
    }
}

void RunReport(const ReportOptions& options, std::ostream& out, std::ostream& err) {
    SymptomTable symptoms;
    if (!options.SettingsFile.empty()) {
        LoadSettingsSymptoms(options.SettingsFile, symptoms);
    }
    if (!options.SymptomsFile.empty()) {
        LoadSymptomNamesFile(options.SymptomsFile, symptoms);
    }

    AnalysisState state;
    TextGrid grid;
    ResetAnalysis(state, grid, symptoms);
    state.AnalysisDone = true;
    state.Items.SetRowHook(GridRowHook(grid));

    ReaderHooks hooks;
    hooks.OnTooManyItemsPerDay = [&err]() { err << "too many items per day\n"; };
    const bool evidence = options.WithEvidence || options.Dump == DumpKind::Evidence;
    if (evidence) {
        hooks.Evidence = &state.Evidence;
    }
    ReadRecordFile(options.RecordFile, state.Reader, state.Items, state.SymptomTotals, symptoms,
                   hooks);

    ComputeTotals(state.Items, state.SymptomTotals, grid, symptoms, options.MinimumCountText);
    if (evidence) {
        state.Evidence.Finish(symptoms, TotalSymptoms(grid, symptoms));
    }
    if (options.Dump == DumpKind::Evidence) {
        WriteEvidenceTable(state.Evidence, state.Items, state.SymptomTotals,
                           options.MinimumCountText, out);
        return;
    }
    if (options.Dump == DumpKind::Items) {
        DumpItems(state.Items, state.SymptomTotals, out);
        return;
    }
    Correlate(state.Items, state.SymptomTotals, grid, options.MinimumCountText,
              options.DecimalSeparator);
    if (options.Dump == DumpKind::Grid) {
        DumpGrid(grid, out);
        return;
    }
    SortColumns(grid);
    if (options.Dump == DumpKind::Sorted) {
        DumpGrid(grid, out);
        return;
    }
    DumpReport(PrepareReport(grid, options.ColumnWidth), out);
}

}  // namespace quorvane::cli
