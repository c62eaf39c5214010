// Times the settings file as the program uses it, on a Quorvane.ini as a first
// start writes it: bench_settings [RUNS]
//   - a first start in a fresh folder (every write reaches the disk),
//   - a later start's load from that file,
//   - the same two on a profile held in memory, where the lookups are all that is left.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "core/settings/profile_file.h"
#include "core/settings/settings_store.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

template <typename Work>
double MedianMicroseconds(int runs, Work work) {
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        const Clock::time_point start = Clock::now();
        work();
        times.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    return Median(times);
}

}  // namespace

int main(int argc, char** argv) {
    using namespace quorvane;
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 101;
    const fs::path root = fs::temp_directory_path() /
                          ("quorvane-bench-settings-" + std::to_string(std::random_device()()));
    fs::create_directories(root);

    int folder = 0;
    const double firstStart = MedianMicroseconds(runs, [&] {
        const fs::path dir = root / std::to_string(folder++);
        fs::create_directories(dir);
        SymptomTable symptoms;
        LoadSettings(dir.string(), symptoms);
    });
    const fs::path written = root / "0";
    const double laterStart = MedianMicroseconds(runs, [&] {
        SymptomTable symptoms;
        LoadSettings(written.string(), symptoms);
    });

    std::ifstream in(SettingsPath(written.string()), std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const double firstInMemory = MedianMicroseconds(runs, [] {
        ProfileFile profile = ProfileFile::FromBytes("");
        SymptomTable symptoms;
        LoadSettings(profile, symptoms);
    });
    const double laterInMemory = MedianMicroseconds(runs, [&] {
        ProfileFile profile = ProfileFile::FromBytes(bytes);
        SymptomTable symptoms;
        LoadSettings(profile, symptoms);
    });
    fs::remove_all(root);

    std::printf(
        "Quorvane.ini as a first start writes it: %zu lines, %zu bytes; medians of %d runs\n",
        static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')), bytes.size(), runs);
    std::printf("  first start, on disk        %9.1f us\n", firstStart);
    std::printf("  later start, on disk        %9.1f us\n", laterStart);
    std::printf("  first start, in memory      %9.1f us\n", firstInMemory);
    std::printf("  later start, in memory      %9.1f us\n", laterInMemory);
    return 0;
}
