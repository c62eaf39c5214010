#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "cli/report_process.h"
#include "core/analysis/analysis_test_support.h"
#include "core/challenge/challenge_plan.h"
#include "core/challenge/challenge_store.h"
#include "core/settings/profile_file.h"

namespace {

using quorvane::ChallengePlan;
using quorvane::ProfileFile;
using quorvane::ReadChallengePlan;
using quorvane::testing::Lines;
using quorvane::testing::Outcome;
using quorvane::testing::Slurp;
using quorvane::testing::TempDir;

// RunReport with `input` as the standard input, for the safety question.
Outcome RunWithInput(const TempDir& dir, std::vector<std::string> arguments,
                     const std::string& input) {
    const std::string inPath = dir.Write("stdin.txt", input);
    const std::string outPath = dir.File("stdout.txt");
    const std::string errPath = dir.File("stderr.txt");
    arguments.insert(arguments.begin(), QUORVANE_REPORT_BINARY);
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        const int in = ::open(inPath.c_str(), O_RDONLY);
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (in < 0 || out < 0 || err < 0 || ::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 ||
            ::dup2(err, 2) < 0) {
            ::_exit(127);
        }
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    Outcome outcome;
    int status = 0;
    if (child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status)) {
        outcome.status = WEXITSTATUS(status);
    }
    outcome.out = Slurp(outPath);
    outcome.err = Slurp(errPath);
    return outcome;
}

// Peanut on about a third of the days and a headache that often follows it the
// same day: a suspicion strong and frequent enough for a plan of a few months.
std::string SuspiciousDiary() {
    std::mt19937 random(4);
    const std::vector<std::string> foods = {"tea", "bread", "egg", "rice", "apple", "ham"};
    std::string text;
    for (int day = 0; day < 200; ++day) {
        for (int i = 0; i < 3; ++i) {
            text += foods[random() % foods.size()] + ", ";
        }
        const bool peanut = random() % 3 == 0;
        text += peanut ? "peanut, " : "";
        if (random() % 100 < (peanut ? 50 : 12)) {
            text += "headache, ";
        }
        text += "#,\r\n";
    }
    return text;
}

// The settings file as a first run leaves it, with one user line of its own.
std::string InitialisedSettings() {
    return "[Active]\r\nmain=motion2\r\n[Options]\r\nSound=1\r\nLevel=3\r\n[Configuration]\r\n"
           "Name=Odra Vennt\r\nMainFile=example.txt\r\n[Symptoms]\r\n2=HEADACHE\r\n3=IBS\r\n"
           "; a line of the user's own\r\n[Composer]\r\n0=End of Meal, $,\r\n[Not Foods]\r\n"
           "1=vitamin\r\n";
}

const std::vector<std::string> kDumps = {"report", "grid", "sorted", "items", "suspects"};

std::vector<std::string> AllDumps(const TempDir& dir, const std::string& diary,
                                  const std::string& settings) {
    std::vector<std::string> outputs;
    for (const std::string& dump : kDumps) {
        outputs.push_back(
            quorvane::testing::RunReport(dir, {diary, "--settings", settings, "--dump", dump}).out);
    }
    return outputs;
}

TEST(ChallengeCommand, PlansStoresAndAnalysesWithoutChangingAnyOtherOutput) {
    TempDir dir;
    const std::string diary = dir.Write("diary.txt", SuspiciousDiary());
    const std::string settings = dir.Write("Quorvane.ini", InitialisedSettings());
    const std::vector<std::string> before = AllDumps(dir, diary, settings);

    const Outcome planned =
        RunWithInput(dir,
                     {diary, "--settings", settings, "--plan-challenge", "peanut", "--symptom",
                      "headache", "--seed", "12345", "--start-date", "2026-12-11"},
                     "n\n");
    ASSERT_EQ(planned.status, 0) << planned.err;
    EXPECT_NE(planned.err.find("severe reaction"), std::string::npos);
    const std::vector<std::string> lines = Lines(planned.out);
    ASSERT_GE(lines.size(), 7U) << planned.out;
    EXPECT_EQ(lines[0], "Challenge plan: PEANUT and HEADACHE");
    EXPECT_EQ(lines[1].rfind("Safety: ", 0), 0U);

    // Every line the file held is still there, in order, before the new section.
    const std::string stored = Slurp(settings);
    ASSERT_EQ(stored.substr(0, InitialisedSettings().size()), InitialisedSettings());
    EXPECT_EQ(stored.substr(InitialisedSettings().size()).rfind("[Challenge]\r\n", 0), 0U);
    const std::optional<ChallengePlan> plan = ReadChallengePlan(ProfileFile(settings));
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->Seed, 12345U);
    EXPECT_EQ(plan->StartDay, 200U);
    EXPECT_EQ(lines.back(), "Order: " + plan->Order);
    EXPECT_EQ(AllDumps(dir, diary, settings), before);

    // The plan lived with every day as planned, a headache on most eat days.
    std::string lived = SuspiciousDiary();
    for (int p = 0; p < plan->TotalDays(); ++p) {
        const bool eat = plan->Instruction(p) == 'E';
        lived += eat ? "Challenge eat, tea, peanut, " : "Challenge avoid, tea, ";
        lived += eat && p % 3 != 0 ? "headache, " : "";
        lived += "#,\r\n";
    }
    const std::string livedDiary = dir.Write("lived.txt", lived);
    const std::vector<std::string> livedBefore = AllDumps(dir, livedDiary, settings);
    const Outcome result = quorvane::testing::RunReport(
        dir, {livedDiary, "--settings", settings, "--challenge-result"});
    ASSERT_EQ(result.status, 0) << result.err;
    const std::vector<std::string> verdict = Lines(result.out);
    ASSERT_GE(verdict.size(), 2U);
    EXPECT_EQ(verdict[0], "Planned test of PEANUT for HEADACHE");
    EXPECT_EQ(verdict[1], "Verdict: Confirmed.");
    EXPECT_EQ(Slurp(settings), stored);
    EXPECT_EQ(AllDumps(dir, livedDiary, settings), livedBefore);
    // The marker words are in the report as the reader makes them, and never suspects.
    EXPECT_NE(livedBefore[0].find("CHALLENGE EAT"), std::string::npos);
    EXPECT_EQ(livedBefore[4].find("CHALLENGE"), std::string::npos);
}

TEST(ChallengeCommand, ASevereReactionOrNoAnswerMakesNoPlan) {
    TempDir dir;
    const std::string diary = dir.Write("diary.txt", SuspiciousDiary());
    const std::string settings = dir.Write("Quorvane.ini", InitialisedSettings());
    const std::vector<std::string> plan = {diary,    "--settings", settings,  "--plan-challenge",
                                           "PEANUT", "--symptom",  "HEADACHE"};

    const Outcome severe = RunWithInput(dir, plan, "yes\n");
    EXPECT_EQ(severe.status, 0);
    EXPECT_NE(severe.out.find("medical supervision"), std::string::npos) << severe.out;
    EXPECT_EQ(severe.out.find("Challenge plan"), std::string::npos);
    EXPECT_EQ(Slurp(settings), InitialisedSettings());

    for (const std::string& answer : {std::string(), std::string("maybe\n")}) {
        const Outcome unanswered = RunWithInput(dir, plan, answer);
        EXPECT_EQ(unanswered.status, 1) << answer;
        EXPECT_EQ(unanswered.out, "");
        EXPECT_EQ(Slurp(settings), InitialisedSettings());
    }

    const Outcome notSuspect =
        RunWithInput(dir, {diary, "--plan-challenge", "caviar", "--symptom", "headache"}, "n\n");
    EXPECT_EQ(notSuspect.status, 1);
    EXPECT_NE(notSuspect.err.find("CAVIAR is not among the foods tested for headache"),
              std::string::npos)
        << notSuspect.err;
}

TEST(ChallengeCommand, RefusesIncompleteCommandLines) {
    TempDir dir;
    const std::string diary = dir.Write("diary.txt", SuspiciousDiary());
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{diary, "--plan-challenge", "peanut"},
          std::vector<std::string>{diary, "--challenge-result"},
          std::vector<std::string>{diary, "--settings", "x.ini", "--challenge-result",
                                   "--plan-challenge", "peanut", "--symptom", "headache"}}) {
        const Outcome outcome = quorvane::testing::RunReport(dir, arguments);
        EXPECT_EQ(outcome.status, 2) << arguments.size();
        EXPECT_NE(outcome.err.find("usage:"), std::string::npos);
    }
    const std::string empty = dir.Write("empty.ini", "[Active]\r\nmain=motion2\r\n");
    const Outcome none =
        quorvane::testing::RunReport(dir, {diary, "--settings", empty, "--challenge-result"});
    EXPECT_EQ(none.status, 1);
    EXPECT_NE(none.err.find("holds no challenge plan"), std::string::npos);
}

}  // namespace
