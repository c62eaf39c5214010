#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane::cli {

enum class DumpKind { Report, Grid, Sorted, Items, Evidence, Suspects, Variants };
enum class DumpFormat { Tsv, Csv, Json };

struct ReportOptions {
    std::string RecordFile;
    std::string MinimumCountText = "3";  // parsed by the engine, as the window's box is
    int32_t ColumnWidth = 160;           // the width the window's first analysis uses
    std::string SymptomsFile;
    std::string SettingsFile;
    char DecimalSeparator = '.';
    DumpKind Dump = DumpKind::Report;
    // Gathers the evidence in the read while printing the chosen dump unchanged:
    // what the window's analysis does; each cell's figures are computed on demand.
    bool WithEvidence = false;
    // The suspects table's format, and a file of words that are no food, one a line.
    DumpFormat Format = DumpFormat::Tsv;
    // Finds the suspects after the read as well, printing the chosen dump unchanged.
    bool WithSuspects = false;
    std::string NotFoodsFile;
    // The "Aliases", "Ingredients" and "Not Same" sections without a settings file.
    std::string AliasesFile;
    // The doctor's summary PDF, written besides the chosen dump; the report is
    // then not printed unless a dump was asked for.
    std::string SummaryFile;
    bool DumpChosen = false;
    // A planned test of one suspect, or the analysis of the plan --settings holds.
    std::string PlanChallengeFood;
    std::string ChallengeSymptom;
    std::string ChallengeSeedText;   // empty: drawn from the system
    std::string ChallengeStartDate;  // empty: tomorrow
    bool NoSevereReaction = false;   // the safety question answered "no" beforehand
    bool ChallengeResult = false;
    bool ShowHelp = false;
};

// Bad command lines: the caller prints the usage line and exits with status 2.
class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

std::string_view UsageLine();

// The arguments after the program name.
ReportOptions ParseReportArguments(const std::vector<std::string_view>& arguments);

}  // namespace quorvane::cli
