#include "cli/report_command.h"

#include <fstream>
#include <string>
#include <vector>

#include "cli/report_dump.h"
#include "core/analysis/analysis_state.h"
#include "core/analysis/correlation.h"
#include "core/analysis/record_reader.h"
#include "core/analysis/report.h"
#include "core/analysis/text_grid.h"
#include "core/evidence/diary_evidence.h"
#include "core/evidence/evidence.h"
#include "core/evidence/suspects.h"
#include "core/evidence/suspects_text.h"
#include "core/settings/profile_file.h"
#include "core/text/quorvane_error.h"

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

std::vector<std::string> LoadNotFoodsFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw QuorvaneError("Cannot open file " + path);
    }
    std::vector<std::string> words;
    std::string line;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.find_first_not_of(" \t") != std::string::npos) {
            words.push_back(line);
        }
    }
    return words;
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
    const bool suspects = options.WithSuspects || options.Dump == DumpKind::Suspects;
    const bool evidence = options.WithEvidence || options.Dump == DumpKind::Evidence || suspects;
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
    if (suspects) {
        std::vector<std::string> notFoods;
        if (!options.SettingsFile.empty()) {
            notFoods = ReadNotFoods(ProfileFile(options.SettingsFile));
        }
        if (!options.NotFoodsFile.empty()) {
            const std::vector<std::string> more = LoadNotFoodsFile(options.NotFoodsFile);
            notFoods.insert(notFoods.end(), more.begin(), more.end());
        }
        const SuspectsResult found = FindSuspects(state.Evidence, state.Items, notFoods);
        if (options.Dump == DumpKind::Suspects) {
            const TableFormat format = options.Format == DumpFormat::Csv    ? TableFormat::Csv
                                       : options.Format == DumpFormat::Json ? TableFormat::Json
                                                                            : TableFormat::Tsv;
            WriteSuspectsTable(found, format, out);
            return;
        }
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
