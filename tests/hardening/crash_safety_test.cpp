// Saves killed at random moments: a child process saves two alternating texts over
// and over and is killed with SIGKILL; after every kill the file on disk must be one
// of the two texts byte for byte, never a mix or a cut, and only the saves' own
// temporary files may be left beside it.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QString>
#include <array>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <random>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "core/settings/profile_file.h"
#include "ui/text_file.h"

namespace quorvane {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kMaxKills = 200;
constexpr auto kMaxDuration = std::chrono::seconds(30);

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// QUORVANE_CRASH_SEED replays a run; otherwise a fresh seed, printed either way.
uint32_t Seed() {
    const char* fixed = std::getenv("QUORVANE_CRASH_SEED");
    const uint32_t seed = fixed != nullptr ? static_cast<uint32_t>(std::strtoul(fixed, nullptr, 10))
                                           : std::random_device{}();
    std::cout << "crash-safety seed: " << seed << " (QUORVANE_CRASH_SEED=" << seed
              << " replays it)\n";
    ::testing::Test::RecordProperty("seed", std::to_string(seed));
    return seed;
}

class CrashSafetyTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::temp_directory_path() /
               (std::string("quorvane-crash-") + info->name() + "-" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    // `save(i)` writes version i (0 or 1) of the file at `target`, whose bytes are
    // `versions[i]`. The file holds version 0 on entry. `strayName` matches the
    // temporary files a killed save may leave.
    void KillSavesAtRandom(const fs::path& target, const std::array<std::string, 2>& versions,
                           const std::function<void(int)>& save, const std::regex& strayName) {
        std::mt19937 random(Seed());
        ASSERT_EQ(ReadBytes(target), versions[0]);

        // Kill moments spread over about two whole saves, so every phase gets hit.
        const Clock::time_point start = Clock::now();
        save(1);
        save(0);
        const auto saveTime =
            std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start) / 2;
        std::uniform_int_distribution<int64_t> delay(0, 2 * saveTime.count() + 1000);

        int kills = 0;
        std::array<int, 2> seen{};
        const Clock::time_point begin = Clock::now();
        while (kills < kMaxKills && Clock::now() - begin < kMaxDuration) {
            // The child says when two warm-up saves are done (a fresh child's first
            // saves are slow with copy-on-write faults), so kills land in steady saves.
            int ready[2];
            ASSERT_EQ(::pipe(ready), 0);
            const pid_t child = ::fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                ::close(ready[0]);
                try {
                    save(1);
                    save(0);
                    const char go = 1;
                    if (::write(ready[1], &go, 1) == 1) {
                        for (int i = 1;; i ^= 1) {
                            save(i);
                        }
                    }
                } catch (...) {
                }
                ::_exit(3);  // a save failed: the parent sees no SIGKILL
            }
            ::close(ready[1]);
            char go = 0;
            const bool started = ::read(ready[0], &go, 1) == 1;
            ::close(ready[0]);
            if (started) {
                std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
            }
            ::kill(child, SIGKILL);
            int status = 0;
            ASSERT_EQ(::waitpid(child, &status, 0), child);
            ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
                << "the saving child ended by itself, status " << status;
            ++kills;

            const std::string bytes = ReadBytes(target);
            const int version = bytes == versions[0] ? 0 : bytes == versions[1] ? 1 : -1;
            ASSERT_NE(version, -1) << "after kill " << kills << " the file holds " << bytes.size()
                                   << " bytes that are neither version (" << versions[0].size()
                                   << " or " << versions[1].size() << " bytes)";
            ++seen[static_cast<std::size_t>(version)];
        }

        std::vector<std::string> strays;
        for (const fs::directory_entry& entry : fs::directory_iterator(dir_)) {
            if (entry.path() != target) {
                strays.push_back(entry.path().filename().string());
            }
        }
        std::cout << kills << " kills: old/new version found " << seen[0] << "/" << seen[1]
                  << " times; " << strays.size() << " temporary files left beside the file\n";
        RecordProperty("kills", kills);
        RecordProperty("stray_files", static_cast<int>(strays.size()));
        EXPECT_LE(strays.size(), static_cast<std::size_t>(kills));
        for (const std::string& stray : strays) {
            EXPECT_TRUE(std::regex_match(stray, strayName)) << "unexpected file " << stray;
        }

        // Whatever a killed save left behind, the next save goes through.
        const int last = ReadBytes(target) == versions[0] ? 0 : 1;
        save(1 - last);
        EXPECT_EQ(ReadBytes(target), versions[static_cast<std::size_t>(1 - last)]);
    }

    fs::path dir_;
};

// Two diaries of a few MB with different lengths, so a cut shows as well as a mix.
std::vector<std::string> DiaryLines(int days, const std::string& food) {
    std::vector<std::string> lines;
    for (int day = 0; day < days; ++day) {
        lines.push_back("day " + std::to_string(day) + ", " + food + ", coffee, $,");
        lines.push_back("toast, " + food + " pie, headache, #,");
    }
    return lines;
}

TEST_F(CrashSafetyTest, RecordSaveLeavesOldOrNewText) {
    const std::array<std::vector<std::string>, 2> lines = {DiaryLines(40000, "potato"),
                                                           DiaryLines(32000, "sweet red pepper")};
    std::array<QString, 2> texts;
    std::array<std::string, 2> bytes;  // every line ends in CR LF on disk
    for (std::size_t v = 0; v < 2; ++v) {
        std::string joined;
        for (const std::string& line : lines[v]) {
            joined += (joined.empty() ? "" : "\n") + line;
            bytes[v] += line + "\r\n";
        }
        texts[v] = QString::fromLatin1(joined.data(), static_cast<qsizetype>(joined.size()));
    }
    const fs::path target = dir_ / "diary.txt";
    const QString path = QString::fromStdString(target.string());
    const auto save = [&](int v) { WriteTextFile(path, texts[static_cast<std::size_t>(v)]); };
    save(0);
    KillSavesAtRandom(target, bytes, save, std::regex(R"(diary\.txt\..+)"));
}

TEST_F(CrashSafetyTest, SettingsWriteLeavesOldOrNewFile) {
    const fs::path target = dir_ / "Quorvane.ini";
    // A large settings file, so that a write takes long enough to be cut.
    {
        std::ofstream out(target, std::ios::binary);
        out << "[Active]\r\nmain=motion2\r\n[Configuration]\r\nMainFile=example.txt\r\n";
        for (int section = 0; section < 250; ++section) {
            out << "[Extra" << section << "]\r\n";
            for (int key = 0; key < 100; ++key) {
                out << "key" << key << "=value " << section * key << " kept as it is\r\n";
            }
        }
    }
    const std::array<std::string, 2> values = {"diaries/old.txt", "other folder/new diary.txt"};
    ProfileFile profile(target.string());
    const auto save = [&](int v) {
        profile.WriteString("Configuration", "MainFile", values[static_cast<std::size_t>(v)]);
    };
    std::array<std::string, 2> bytes;
    save(1);
    bytes[1] = ReadBytes(target);
    save(0);
    bytes[0] = ReadBytes(target);
    ASSERT_NE(bytes[0], bytes[1]);
    KillSavesAtRandom(target, bytes, save, std::regex(R"(\.Quorvane\.ini\.[0-9a-f]+\.tmp)"));
    EXPECT_EQ(ProfileFile(target.string()).ReadString("Configuration", "MainFile", ""),
              values[static_cast<std::size_t>(ReadBytes(target) == bytes[0] ? 0 : 1)]);
}

}  // namespace
}  // namespace quorvane
