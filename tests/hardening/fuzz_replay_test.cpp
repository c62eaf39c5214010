// The fuzzers' seeds and every input a fuzzer ever broke, replayed through the same
// invariant checks in the ordinary builds, plus records far larger than the fuzzers try.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "profile_round_trip_check.h"
#include "record_analysis_check.h"
#include "settings_load_check.h"
#include "suspects_check.h"
#if QUORVANE_REPLAY_TEXT_CODEC
#include "text_codec_check.h"
#endif

namespace quorvane::fuzzing {
namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The seed corpus kept for the fuzzer and the regression inputs, in name order.
std::vector<fs::path> SavedInputs(const std::string& target) {
    std::vector<fs::path> inputs;
    const fs::path root(QUORVANE_SOURCE_DIR);
    for (const fs::path& folder : {root / "fuzz" / "corpus" / target,
                                   root / "tests" / "hardening" / "regressions" / target}) {
        if (!fs::is_directory(folder)) {
            continue;
        }
        for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
            if (entry.is_regular_file()) {
                inputs.push_back(entry.path());
            }
        }
    }
    std::sort(inputs.begin(), inputs.end());
    return inputs;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += "\n  " + line;
    }
    return text;
}

// The reader's and the analysis's fuzzers share their inputs.
TEST(FuzzReplay, RecordAnalysisInvariantsHoldForEverySavedInput) {
    std::vector<fs::path> inputs = SavedInputs("record_reader");
    ASSERT_GE(inputs.size(), 5u) << "the record reader's seed corpus is missing";
    const std::vector<fs::path> analysisFindings = SavedInputs("record_analysis");
    inputs.insert(inputs.end(), analysisFindings.begin(), analysisFindings.end());
    for (const fs::path& input : inputs) {
        const std::string bytes = ReadBytes(input);
        const std::vector<std::string> broken = CheckRecordAnalysis(bytes);
        EXPECT_TRUE(broken.empty()) << input << Joined(broken);
        const std::vector<std::string> brokenRead = CheckRecordRead(bytes);
        EXPECT_TRUE(brokenRead.empty()) << input << " (the read alone)" << Joined(brokenRead);
    }
}

TEST(FuzzReplay, ProfileRoundTripHoldsForEverySavedInput) {
    const fs::path folder =
        fs::temp_directory_path() / ("quorvane-profile-replay-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const std::vector<fs::path> inputs = SavedInputs("profile_file");
    ASSERT_GE(inputs.size(), 5u) << "the settings file's seed corpus is missing";
    for (const fs::path& input : inputs) {
        const std::string bytes = ReadBytes(input);
        const std::vector<std::string> broken = CheckProfileRoundTrip(bytes);
        EXPECT_TRUE(broken.empty()) << input << Joined(broken);
        // The fuzzer works in memory; the file path must store exactly the same bytes.
        const std::vector<std::string> onDisk = CheckProfileFileMatchesMemory(bytes, folder);
        EXPECT_TRUE(onDisk.empty()) << input << Joined(onDisk);
    }
    fs::remove_all(folder);
}

TEST(FuzzReplay, SettingsLoadRulesHoldForEverySavedInput) {
    const std::vector<fs::path> inputs = SavedInputs("settings_load");
    ASSERT_GE(inputs.size(), 4u) << "the settings load's seed corpus is missing";
    for (const fs::path& input : inputs) {
        const std::vector<std::string> broken = CheckSettingsLoad(ReadBytes(input));
        EXPECT_TRUE(broken.empty()) << input << Joined(broken);
    }
}

TEST(FuzzReplay, SuspectsRulesHoldForEverySavedInput) {
    const std::vector<fs::path> inputs = SavedInputs("suspects");
    ASSERT_GE(inputs.size(), 5u) << "the suspects' seed corpus is missing";
    for (const fs::path& input : inputs) {
        const std::vector<std::string> broken = CheckSuspects(ReadBytes(input));
        EXPECT_TRUE(broken.empty()) << input << Joined(broken);
    }
}

#if QUORVANE_REPLAY_TEXT_CODEC
TEST(FuzzReplay, TextCodecRulesHoldForEverySavedInput) {
    const std::vector<fs::path> inputs = SavedInputs("text_codec");
    ASSERT_GE(inputs.size(), 5u) << "the text codec's seed corpus is missing";
    for (const fs::path& input : inputs) {
        const std::vector<std::string> broken = CheckTextCodec(ReadBytes(input));
        EXPECT_TRUE(broken.empty()) << input << Joined(broken);
    }
}
#endif

// Sizes beyond the fuzzers' length limit: a record is read in chunks and every count
// saturates, so none of these may crash, hang or break an invariant.
TEST(BadInput, LargeRecordsKeepEveryInvariant) {
    auto repeated = [](const std::string& unit, std::size_t times) {
        std::string text;
        text.reserve(unit.size() * times);
        for (std::size_t i = 0; i < times; ++i) {
            text += unit;
        }
        return text;
    };
    std::string distinctItems;  // 2000 items in one day: the day's slots overflow
    for (int i = 0; i < 2000; ++i) {
        distinctItems += "item";
        for (int n = i; n > 0; n /= 26) {
            distinctItems += static_cast<char>('a' + n % 26);
        }
        distinctItems += ", ";
    }
    const struct {
        const char* what;
        std::string diary;
    } cases[] = {
        {"one word of 2 MB without a separator", repeated("abcdefghij klmnopqrstuvwxyz", 80000)},
        {"separators only", repeated(",#$@\r\n", 100000)},
        {"20000 days, each with a symptom", repeated("tea, coffee, headache, #\r\n", 20000)},
        {"2000 distinct items in one day", distinctItems + "headache, #, tea, stressed,"},
        {"high bytes and control characters",
         repeated(std::string("\x80\xff\x01\t\x7f\x1b"), 50000)},
    };
    for (const auto& c : cases) {
        for (const char options : {'\x00', '\x2a'}) {
            const std::vector<std::string> broken = CheckRecordAnalysis(options + c.diary);
            EXPECT_TRUE(broken.empty()) << c.what << Joined(broken);
        }
    }
}

}  // namespace
}  // namespace quorvane::fuzzing
