#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <unistd.h>

#include "core/settings/settings_store.h"

namespace quorvane {

// A fresh folder per test (and per process, as builds may run side by side), holding the settings
// file under its usual name.
class SettingsTestDir : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = std::filesystem::temp_directory_path() /
               (std::string("quorvane-") + info->test_suite_name() + "-" + info->name() + "-" +
                std::to_string(::getpid()));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string Dir() const { return dir_.string(); }
    std::string Path() const { return SettingsPath(Dir()); }

    void WriteBytes(const std::string& bytes) const {
        std::ofstream(Path(), std::ios::binary | std::ios::trunc) << bytes;
    }
    std::string ReadBytes() const {
        std::ifstream in(Path(), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

  private:
    std::filesystem::path dir_;
};

}  // namespace quorvane
