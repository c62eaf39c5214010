#include "cli/challenge_command.h"

#include <random>
#include <string>
#include <vector>

#include "cli/report_command.h"
#include "core/analysis/analysis.h"
#include "core/challenge/challenge_analysis.h"
#include "core/challenge/challenge_date.h"
#include "core/challenge/challenge_store.h"
#include "core/challenge/challenge_text.h"
#include "core/evidence/not_foods.h"
#include "core/evidence/suspects.h"
#include "core/settings/profile_file.h"
#include "core/text/integer_text.h"
#include "core/text/quorvane_error.h"

namespace quorvane::cli {

namespace {

std::string Upper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

void PrintLines(const std::vector<std::string>& lines, std::ostream& out) {
    for (const std::string& line : lines) {
        out << line << '\n';
    }
}

uint64_t SeedFrom(const std::string& text) {
    if (text.empty()) {
        std::random_device device;
        return (static_cast<uint64_t>(device()) << 32) ^ device();
    }
    uint64_t seed = 0;
    for (const char c : text) {
        if (c < '0' || c > '9' || seed > (UINT64_MAX - 9) / 10) {
            throw QuorvaneError("'" + text + "' is not a valid seed");
        }
        seed = seed * 10 + static_cast<uint64_t>(c - '0');
    }
    return seed;
}

// The answer to the safety question: true for a severe reaction.
bool AskedSevere(const std::string& food, std::istream& in, std::ostream& err) {
    err << SevereReactionQuestion(food) << " [y/n] " << std::flush;
    std::string answer;
    if (!std::getline(in, answer)) {
        throw QuorvaneError(
            "No answer to the safety question: answer y or n, or pass "
            "--no-severe-reaction");
    }
    const std::string folded = Upper(answer);
    if (folded == "Y" || folded == "YES") {
        return true;
    }
    if (folded == "N" || folded == "NO") {
        return false;
    }
    throw QuorvaneError("Answer y or n to the safety question");
}

const SuspectRow* FindRow(const SuspectsResult& found, const std::string& food,
                          const std::string& symptom) {
    for (const SymptomSuspects& group : found.Symptoms) {
        if (Upper(group.Name) != Upper(symptom)) {
            continue;
        }
        for (const SuspectRow& row : group.Rows) {
            if (row.Item == food) {
                return &row;
            }
        }
    }
    return nullptr;
}

}  // namespace

bool WantsChallenge(const ReportOptions& options) {
    return !options.PlanChallengeFood.empty() || options.ChallengeResult;
}

int RunChallenge(const ReportOptions& options, std::istream& in, std::ostream& out,
                 std::ostream& err) {
    const SymptomTable symptoms = SymptomsOf(options);
    Analysis analysis(symptoms);
    analysis.Reset();
    ReadHooks hooks;
    hooks.OnTooManyItemsPerDay = [&err]() { err << "too many items per day\n"; };
    hooks.GatherEvidence = true;
    analysis.Read(options.RecordFile, hooks);
    analysis.ComputeTotals(StrToInt(options.MinimumCountText));

    if (options.ChallengeResult) {
        const std::optional<ChallengePlan> plan =
            ReadChallengePlan(ProfileFile(options.SettingsFile));
        if (!plan) {
            throw QuorvaneError(options.SettingsFile + " holds no challenge plan");
        }
        PrintLines(ChallengeVerdictLines(
                       *plan, AnalyseChallenge(*plan, analysis.Evidence(), analysis.Items())),
                   out);
        return 0;
    }

    const std::string food = Upper(options.PlanChallengeFood);
    std::vector<std::string> notFoods;
    if (!options.SettingsFile.empty()) {
        notFoods = ReadNotFoods(ProfileFile(options.SettingsFile));
    }
    if (!options.NotFoodsFile.empty()) {
        const std::vector<std::string> more = LoadNotFoodsFile(options.NotFoodsFile);
        notFoods.insert(notFoods.end(), more.begin(), more.end());
    }
    const SuspectsResult found = FindSuspects(analysis.Evidence(), analysis.Items(), notFoods);
    const SuspectRow* row = FindRow(found, food, options.ChallengeSymptom);
    if (row == nullptr) {
        throw QuorvaneError(food + " is not among the foods tested for " +
                            options.ChallengeSymptom + " in this diary");
    }
    if (!options.NoSevereReaction && AskedSevere(food, in, err)) {
        out << SupervisedChallengeAdvice(food) << '\n';
        return 0;
    }
    std::string startDate = options.ChallengeStartDate;
    if (startDate.empty()) {
        startDate = FormatIsoDate(LocalToday() + 1);
    } else if (!ParseIsoDate(startDate)) {
        throw QuorvaneError("'" + startDate + "' is not a date of the form YYYY-MM-DD");
    }
    const PlanOutcome outcome = PlanChallenge(FactsForChallenge(analysis.Evidence(), *row),
                                              SeedFrom(options.ChallengeSeedText), startDate);
    PrintLines(PlanOutcomeLines(outcome), out);
    if (outcome.Result == PlanOutcome::Kind::Planned) {
        out << "Order: " << outcome.Plan.Order << '\n';
        if (!options.SettingsFile.empty()) {
            ProfileFile profile(options.SettingsFile);
            StoreChallengePlan(profile, outcome.Plan);
            err << "The plan is stored in " << options.SettingsFile << '\n';
        }
    }
    return 0;
}

}  // namespace quorvane::cli
