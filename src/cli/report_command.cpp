#include "cli/report_command.h"

#include <fstream>
#include <string>
#include <vector>

#include "cli/report_dump.h"
#include "cli/report_summary.h"
#include "core/analysis/analysis.h"
#include "core/challenge/challenge_analysis.h"
#include "core/evidence/evidence.h"
#include "core/evidence/not_foods.h"
#include "core/evidence/suspects.h"
#include "core/evidence/suspects_text.h"
#include "core/foods/food_groups.h"
#include "core/foods/variants.h"
#include "core/settings/profile_file.h"
#include "core/text/integer_text.h"
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

namespace {

FoodGroups LoadFoodGroups(const ReportOptions& options) {
    FoodGroups groups;
    if (!options.SettingsFile.empty()) {
        groups = ReadFoodGroups(ProfileFile(options.SettingsFile));
    }
    if (!options.AliasesFile.empty()) {
        if (!std::ifstream(options.AliasesFile, std::ios::binary)) {
            throw QuorvaneError("Cannot open file " + options.AliasesFile);
        }
        groups.Add(ReadFoodGroups(ProfileFile(options.AliasesFile)));
    }
    return groups;
}

// "rare<TAB>common<TAB>rare_count<TAB>common_count<TAB>kind" under a header.
void DumpVariants(const std::vector<VariantSuggestion>& suggestions, std::ostream& out) {
    out << "rare\tcommon\trare_count\tcommon_count\tkind\n";
    for (const VariantSuggestion& s : suggestions) {
        out << s.Rare << '\t' << s.Common << '\t' << s.RareCount << '\t' << s.CommonCount << '\t'
            << VariantKindName(s.Kind) << '\n';
    }
}

}  // namespace

SymptomTable SymptomsOf(const ReportOptions& options) {
    SymptomTable symptoms;
    if (!options.SettingsFile.empty()) {
        LoadSettingsSymptoms(options.SettingsFile, symptoms);
    }
    if (!options.SymptomsFile.empty()) {
        LoadSymptomNamesFile(options.SymptomsFile, symptoms);
    }
    return symptoms;
}

void RunReport(const ReportOptions& options, std::ostream& out, std::ostream& err) {
    const SymptomTable symptoms = SymptomsOf(options);
    Analysis analysis(symptoms);
    analysis.Reset();

    ReadHooks hooks;
    hooks.OnTooManyItemsPerDay = [&err]() { err << "too many items per day\n"; };
    const bool summary = !options.SummaryFile.empty();
    const bool suspects = options.WithSuspects || options.Dump == DumpKind::Suspects ||
                          options.Dump == DumpKind::Variants || summary;
    hooks.GatherEvidence = options.WithEvidence || options.Dump == DumpKind::Evidence || suspects;
    analysis.Read(options.RecordFile, hooks);

    // Parsed after the read, as the window parses its box: a missing file is
    // reported before a bad minimum.
    const int32_t minimum = StrToInt(options.MinimumCountText);
    analysis.ComputeTotals(minimum);
    if (options.Dump == DumpKind::Evidence) {
        WriteEvidenceTable(analysis.Evidence(), analysis.Items(), analysis.Totals(), minimum, out);
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
        const FoodGroups groups = LoadFoodGroups(options);
        if (options.Dump == DumpKind::Variants) {
            DumpVariants(SuggestVariants(analysis.Evidence(), analysis.Items(), notFoods, groups),
                         out);
            return;
        }
        const SuspectsResult found =
            FindSuspects(analysis.Evidence(), analysis.Items(), notFoods, groups);
        if (summary) {
            const std::vector<std::string> challenge =
                options.SettingsFile.empty()
                    ? std::vector<std::string>()
                    : StoredChallengeLines(ProfileFile(options.SettingsFile), analysis.Evidence(),
                                           analysis.Items());
            WriteSummaryFile(options.SummaryFile, options.RecordFile, found, analysis, challenge);
            // Only the summary was asked for: the report is not printed too.
            if (!options.DumpChosen) {
                return;
            }
        }
        if (options.Dump == DumpKind::Suspects) {
            const TableFormat format = options.Format == DumpFormat::Csv    ? TableFormat::Csv
                                       : options.Format == DumpFormat::Json ? TableFormat::Json
                                                                            : TableFormat::Tsv;
            WriteSuspectsTable(found, format, out);
            return;
        }
    }
    if (options.Dump == DumpKind::Items) {
        DumpItems(analysis.Items(), analysis.Totals(), out);
        return;
    }
    analysis.Correlate(minimum, options.DecimalSeparator);
    if (options.Dump == DumpKind::Grid) {
        DumpGrid(analysis.Grid(), out);
        return;
    }
    analysis.SortColumns();
    if (options.Dump == DumpKind::Sorted) {
        DumpGrid(analysis.Grid(), out);
        return;
    }
    DumpReport(analysis.PrepareReport(options.ColumnWidth), out);
}

}  // namespace quorvane::cli
