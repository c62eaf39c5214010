#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "core/analysis/analysis.h"

namespace quorvane::testing {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
  public:
    TempDir() {
        std::random_device device;
        path_ = std::filesystem::temp_directory_path() /
                ("quorvane-test-" + std::to_string(device()) + "-" + std::to_string(device()));
        std::filesystem::create_directories(path_);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }

    std::string File(std::string_view name) const { return (path_ / name).string(); }
    std::string Write(std::string_view name, std::string_view bytes) const {
        const std::string path = File(name);
        std::ofstream out(path, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        EXPECT_TRUE(out.good()) << path;
        return path;
    }

  private:
    std::filesystem::path path_;
};

// The help page's two example days, with CR LF line ends.
inline std::string ExampleDiaryPath() {
    return std::string(QUORVANE_SOURCE_DIR) + "/examples/example.txt";
}

// The analysis steps as the window runs them, on one long-lived analysis so that
// repeated runs can be compared.
struct AnalysisRun {
    SymptomTable Symptoms;
    Analysis Engine{Symptoms};
    int DayEnds = 0;
    int OverflowMessages = 0;

    void Read(const std::string& path) {
        Engine.Reset();
        ReadHooks hooks;
        hooks.OnDayEnd = [this]() { ++DayEnds; };
        hooks.OnTooManyItemsPerDay = [this]() { ++OverflowMessages; };
        Engine.Read(path, hooks);
    }

    std::vector<std::string> Report(const std::string& path, int32_t minimum = 3,
                                    int32_t width = 160, char separator = '.') {
        Read(path);
        Engine.ComputeTotals(minimum);
        Engine.Correlate(minimum, separator);
        Engine.SortColumns();
        return Engine.PrepareReport(width);
    }

    const TextGrid& Grid() const { return Engine.Grid(); }

    // Items between the sentinels as "NAME=COUNT".
    std::vector<std::string> Items() const {
        std::vector<std::string> items;
        for (const TItemNode& node : Engine.Items().Entries()) {
            items.push_back(node.Name + "=" + std::to_string(node.Count));
        }
        return items;
    }

    const TItemNode* Find(std::string_view name) const {
        for (const TItemNode* node = Engine.Items().First(); node != nullptr; node = node->Next) {
            if (node->Name == name) {
                return node;
            }
        }
        return nullptr;
    }
};

}  // namespace quorvane::testing
