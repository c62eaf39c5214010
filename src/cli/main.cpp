#include <exception>
#include <iostream>
#include <string_view>
#include <vector>

#include "cli/challenge_command.h"
#include "cli/report_command.h"
#include "cli/report_options.h"

int main(int argc, char** argv) {
    using namespace quorvane::cli;
    std::ios::sync_with_stdio(false);

    ReportOptions options;
    try {
        options = ParseReportArguments(std::vector<std::string_view>(argv + 1, argv + argc));
    } catch (const UsageError& error) {
        std::cerr << "quorvane-report: " << error.what() << '\n' << UsageLine() << '\n';
        return 2;
    }
    if (options.ShowHelp) {
        std::cout << UsageLine() << '\n';
        return 0;
    }

    try {
        if (WantsChallenge(options)) {
            const int status = RunChallenge(options, std::cin, std::cout, std::cerr);
            std::cout.flush();
            return status;
        }
        RunReport(options, std::cout, std::cerr);
        std::cout.flush();
        if (!std::cout) {
            std::cerr << "quorvane-report: cannot write the output\n";
            return 1;
        }
    } catch (const std::exception& error) {
        std::cout.flush();
        std::cerr << error.what() << '\n';
        return 1;
    }
    return 0;
}
