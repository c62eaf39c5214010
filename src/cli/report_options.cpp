#include "cli/report_options.h"

#include <string>

#include "core/text/integer_text.h"
#include "core/text/quorvane_error.h"

namespace quorvane::cli {

namespace {

DumpKind ParseDumpKind(std::string_view value) {
    if (value == "report") {
        return DumpKind::Report;
    }
    if (value == "grid") {
        return DumpKind::Grid;
    }
    if (value == "sorted") {
        return DumpKind::Sorted;
    }
    if (value == "items") {
        return DumpKind::Items;
    }
    if (value == "evidence") {
        return DumpKind::Evidence;
    }
    if (value == "suspects") {
        return DumpKind::Suspects;
    }
    if (value == "variants") {
        return DumpKind::Variants;
    }
    throw UsageError("unknown dump kind '" + std::string(value) + "'");
}

DumpFormat ParseFormat(std::string_view value) {
    if (value == "tsv") {
        return DumpFormat::Tsv;
    }
    if (value == "csv") {
        return DumpFormat::Csv;
    }
    if (value == "json") {
        return DumpFormat::Json;
    }
    throw UsageError("unknown format '" + std::string(value) + "'");
}

}  // namespace

std::string_view UsageLine() {
    return "usage: quorvane-report RECORD_FILE [--min-count N] [--column-width W] "
           "[--symptoms FILE] [--settings INI] [--decimal-separator C] "
           "[--dump report|grid|sorted|items|evidence|suspects|variants] [--with-evidence] "
           "[--with-suspects] [--format tsv|csv|json] [--not-foods FILE] [--aliases FILE] "
           "[--summary FILE.pdf] "
           "[--plan-challenge FOOD --symptom NAME [--seed N] [--start-date YYYY-MM-DD] "
           "[--no-severe-reaction]] [--challenge-result]";
}

ReportOptions ParseReportArguments(const std::vector<std::string_view>& arguments) {
    ReportOptions options;
    bool haveRecordFile = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string_view argument = arguments[i];
        if (argument == "--help" || argument == "-h") {
            options.ShowHelp = true;
            continue;
        }
        if (argument == "--with-evidence") {
            options.WithEvidence = true;
            continue;
        }
        if (argument == "--with-suspects") {
            options.WithSuspects = true;
            continue;
        }
        if (argument == "--no-severe-reaction") {
            options.NoSevereReaction = true;
            continue;
        }
        if (argument == "--challenge-result") {
            options.ChallengeResult = true;
            continue;
        }
        if (argument.size() < 2 || argument.substr(0, 2) != "--") {
            if (!argument.empty() && argument.front() == '-' && argument != "-") {
                throw UsageError("unknown option '" + std::string(argument) + "'");
            }
            if (haveRecordFile) {
                throw UsageError("more than one record file");
            }
            options.RecordFile = std::string(argument);
            haveRecordFile = true;
            continue;
        }
        // Both "--name value" and "--name=value".
        std::string_view name = argument;
        std::string_view value;
        const std::size_t equals = argument.find('=');
        if (equals != std::string_view::npos) {
            name = argument.substr(0, equals);
            value = argument.substr(equals + 1);
        } else {
            if (i + 1 >= arguments.size()) {
                throw UsageError("missing value for '" + std::string(argument) + "'");
            }
            value = arguments[++i];
        }

        if (name == "--min-count") {
            options.MinimumCountText = std::string(value);
        } else if (name == "--column-width") {
            try {
                options.ColumnWidth = StrToInt(value);
            } catch (const QuorvaneError& error) {
                throw UsageError(error.what());
            }
        } else if (name == "--symptoms") {
            options.SymptomsFile = std::string(value);
        } else if (name == "--settings") {
            options.SettingsFile = std::string(value);
        } else if (name == "--decimal-separator") {
            if (value.size() != 1) {
                throw UsageError("the decimal separator must be one character");
            }
            options.DecimalSeparator = value.front();
        } else if (name == "--dump") {
            options.Dump = ParseDumpKind(value);
            options.DumpChosen = true;
        } else if (name == "--format") {
            options.Format = ParseFormat(value);
        } else if (name == "--not-foods") {
            options.NotFoodsFile = std::string(value);
        } else if (name == "--aliases") {
            options.AliasesFile = std::string(value);
        } else if (name == "--summary") {
            if (value.empty()) {
                throw UsageError("--summary needs a file name");
            }
            options.SummaryFile = std::string(value);
        } else if (name == "--plan-challenge") {
            options.PlanChallengeFood = std::string(value);
        } else if (name == "--symptom") {
            options.ChallengeSymptom = std::string(value);
        } else if (name == "--seed") {
            options.ChallengeSeedText = std::string(value);
        } else if (name == "--start-date") {
            options.ChallengeStartDate = std::string(value);
        } else {
            throw UsageError("unknown option '" + std::string(name) + "'");
        }
    }
    if (options.ShowHelp) {
        return options;
    }
    if (!haveRecordFile) {
        throw UsageError("no record file given");
    }
    if (!options.SymptomsFile.empty() && !options.SettingsFile.empty()) {
        throw UsageError("--symptoms and --settings exclude each other");
    }
    if (!options.PlanChallengeFood.empty() && options.ChallengeSymptom.empty()) {
        throw UsageError("--plan-challenge needs --symptom");
    }
    if (!options.PlanChallengeFood.empty() && options.ChallengeResult) {
        throw UsageError("--plan-challenge and --challenge-result exclude each other");
    }
    if (options.ChallengeResult && options.SettingsFile.empty()) {
        throw UsageError("--challenge-result needs --settings holding the plan");
    }
    return options;
}

}  // namespace quorvane::cli
