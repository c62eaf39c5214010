#include "core/challenge/challenge_text.h"

#include <cmath>
#include <cstdio>

#include "core/challenge/challenge_date.h"

namespace quorvane {

namespace {

constexpr double kDaysPerMonth = 30.44;

std::string Figure(double value, const char* format) {
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string Days(int64_t n) {
    return std::to_string(n) + (n == 1 ? " day" : " days");
}

std::string Months(int64_t days) {
    const auto months = static_cast<int64_t>(std::ceil(static_cast<double>(days) / kDaysPerMonth));
    return std::to_string(months) + (months == 1 ? " month" : " months");
}

std::string Rate(double episodesPerMonth) {
    const double rounded = std::round(episodesPerMonth * 10) / 10;
    const std::string figure =
        rounded == std::floor(rounded) ? Figure(rounded, "%.0f") : Figure(rounded, "%.1f");
    return figure + (rounded == 1 ? " episode" : " episodes") + " a month";
}

}  // namespace

std::string SevereReactionQuestion(const std::string& food) {
    return "Before planning a test: has " + food +
           " ever caused a severe reaction, such as swelling of the lips, tongue or throat, "
           "trouble breathing, or fainting?";
}

std::string SupervisedChallengeAdvice(const std::string& food) {
    return "Do not test " + food +
           " at home. A food that has caused a severe reaction is tested only under medical "
           "supervision: ask your doctor about a supervised food challenge. No plan was made.";
}

std::string StopAndSeekCare(const std::string& food) {
    return "Safety: if swelling, trouble breathing or fainting comes after " + food +
           ", stop the test at once and seek urgent care.";
}

std::vector<std::string> PlanOutcomeLines(const PlanOutcome& outcome) {
    const ChallengePlan& plan = outcome.Plan;
    std::vector<std::string> lines;
    lines.push_back("Challenge plan: " + plan.Food + " and " + plan.Symptom);
    if (outcome.Result == PlanOutcome::Kind::NothingToConfirm) {
        lines.push_back("The diary shows no more " + plan.Symptom + " onsets after " + plan.Food +
                        " than without it: there is nothing to confirm, so no plan was made.");
        return lines;
    }
    const std::string effect =
        "if " + plan.Food + " multiplies the daily chance of a " + plan.Symptom + " onset by " +
        Figure(plan.AssumedRatio, "%.2g") +
        (plan.AssumedRatio >= kAssumedRatioCap ? " (the diary shows more; a plan assumes at most " +
                                                     Figure(kAssumedRatioCap, "%.0f") + ")"
                                               : " (as the diary shows)");
    if (outcome.Result == PlanOutcome::Kind::TooRare) {
        std::string line =
            "At your rate of " + Rate(outcome.EpisodesPerMonth) + " a test would take ";
        line += outcome.DaysNeeded > 0 ? Months(outcome.DaysNeeded) : "more than five years";
        line += ": longer than the " + Months(kChallengeMaxDays) +
                " a home test can fairly ask, so no plan was made.";
        lines.push_back(line);
        lines.push_back("That is the time for an 80 % chance of confirming the food " + effect +
                        ". Keep the diary: a doctor may suggest another way.");
        return lines;
    }
    lines.push_back(StopAndSeekCare(plan.Food));
    lines.push_back(
        "Starts " +
        (plan.StartDate.empty() ? std::string("on the next diary day") : plan.StartDate) +
        ", on the diary day after the last one written, and takes " + Days(plan.TotalDays()) +
        ". Write one diary day per calendar day, each ending with #.");
    lines.push_back(std::to_string(plan.Blocks) + " blocks, each of two " +
                    std::to_string(plan.PeriodDays) + "-day periods: one with " + plan.Food +
                    " every day, one with none, in an order drawn at random (seed " +
                    std::to_string(plan.Seed) + ").");
    lines.push_back("The first " + Days(plan.WashoutDays) +
                    " of each period are a wash-out and are not counted (a lag of " +
                    Days(plan.Lag) + " and episodes of up to " + Days(plan.EpisodeDays) + ").");
    lines.push_back("Power: " + effect + ", this test confirms it with " +
                    Figure(plan.Power * 100, "%.0f") +
                    " % probability at the 5 % level, even with one day in ten off plan (" +
                    std::to_string(kPowerTrials) + " simulated challenges).");
    lines.push_back(
        "Each day write \"Challenge eat\" or \"Challenge avoid\" in the diary, so "
        "that it shows which day of the plan it was.");
    return lines;
}

std::optional<int64_t> PlanDayOn(const ChallengePlan& plan, int64_t date) {
    const std::optional<int64_t> start = ParseIsoDate(plan.StartDate);
    if (!start) {
        return std::nullopt;
    }
    return date - *start;
}

std::string TodayInstruction(const ChallengePlan& plan, int64_t date) {
    const std::optional<int64_t> day = PlanDayOn(plan, date);
    if (!day) {
        return "The plan's start date cannot be read.";
    }
    if (*day < 0) {
        const char first = plan.Instruction(0);
        return "The challenge starts " + ShortDate(date - *day) + " with " +
               (first == 'E' ? "eating " : "no ") + plan.Food + ".";
    }
    switch (plan.Instruction(*day)) {
        case 'E':
            return "Today: eat " + plan.Food;
        case 'A':
            return "Today: no " + plan.Food;
        default:
            return "The challenge is over: see its result.";
    }
}

std::string MarkerWordFor(const ChallengePlan& plan, int64_t planDay) {
    switch (plan.Instruction(planDay)) {
        case 'E':
            return "Challenge eat,";
        case 'A':
            return "Challenge avoid,";
        default:
            return "";
    }
}

}  // namespace quorvane
