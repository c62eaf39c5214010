#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "core/analysis/analysis_test_support.h"
#include "core/text/quorvane_error.h"

namespace quorvane {
namespace {

using testing::AnalysisRun;
using testing::TempDir;

std::string ReadError(AnalysisRun& run, const std::string& path) {
    try {
        run.Read(path);
    } catch (const QuorvaneError& error) {
        return error.what();
    }
    return "no error";
}

TEST(RecordFile, FilesThatCannotBeReadGiveTheFileError) {
    TempDir dir;
    const std::string plain = dir.Write("plain.txt", "tea,");
    AnalysisRun run;
    EXPECT_EQ(ReadError(run, dir.File("missing.txt")), "File not found");
    EXPECT_EQ(ReadError(run, dir.File("no-such-dir/missing.txt")), "File not found");
    EXPECT_EQ(ReadError(run, plain + "/inside.txt"), "Path not found");
    EXPECT_EQ(ReadError(run, dir.File("")), "File access denied");  // the folder itself
    // The item list is set up before the file is opened, so a failed read leaves
    // an empty list rather than the previous one.
    EXPECT_EQ(run.Items(), std::vector<std::string>{});
    EXPECT_EQ(run.Engine.Items().First()->Name, "AAA");
}

TEST(RecordFile, UnreadableFileIsAccessDenied) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "file permissions do not apply to root";
    }
    TempDir dir;
    const std::string path = dir.Write("locked.txt", "tea,");
    ASSERT_EQ(::chmod(path.c_str(), 0), 0);
    AnalysisRun run;
    EXPECT_EQ(ReadError(run, path), "File access denied");
}

TEST(RecordFile, DegenerateFilesGiveAnEmptyResult) {
    const char* contents[] = {"", "#", "###\r\n#", "\x1a tea,", ",,,,$$$@@@\r\r\r"};
    for (const char* content : contents) {
        TempDir dir;
        const std::string path = dir.Write("diary.txt", content);
        AnalysisRun run;
        const std::vector<std::string> report = run.Report(path);
        EXPECT_EQ(run.Items(), std::vector<std::string>{}) << content;
        EXPECT_EQ(run.Engine.Grid().RowCount(), 2) << content;
        // Header lines, then only the TOTAL block prints (its total 0 is kept).
        ASSERT_EQ(report.size(), 7U + 7 * 3 + 2 + 3) << content;
        EXPECT_EQ(report[7 + 21], " TOTAL\t");
        EXPECT_EQ(report[7 + 22], " 0\t");
    }
}

TEST(RecordFile, MillionCharacterLineIsOneCutWord) {
    TempDir dir;
    const std::string path = dir.Write("long.txt", "tea, " + std::string(1000000, 'b') + ",\r\n");
    AnalysisRun run;
    run.Read(path);
    EXPECT_EQ(run.Items(), (std::vector<std::string>{std::string(30, 'B') + "=1", "TEA=1"}));
}

TEST(RecordFile, RandomBinaryBytesGiveAWellFormedList) {
    std::mt19937 random(7);
    std::string bytes(1 << 20, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(random() % 256);
        if (c == 26) {
            c = 27;  // keep control-Z out so the whole megabyte is read
        }
    }
    TempDir dir;
    const std::string path = dir.Write("binary.bin", bytes);
    AnalysisRun run;
    const std::vector<std::string> report = run.Report(path, 1);
    ASSERT_GT(run.Engine.Items().ItemCount(), 1000);

    int32_t nodes = 0;
    const TItemNode* previous = run.Engine.Items().First();
    for (const TItemNode* node = previous->Next; node->Next != nullptr; node = node->Next) {
        ++nodes;
        EXPECT_LT(previous->Name, node->Name);
        EXPECT_LE(node->Name.size(), 30U);
        EXPECT_EQ(node->Name.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ "), std::string::npos);
        EXPECT_NE(node->Name.front(), ' ');
        previous = node;
    }
    EXPECT_EQ(nodes, run.Engine.Items().ItemCount());
    EXPECT_EQ(previous->Next->Name, "ZZZ");
    EXPECT_EQ(run.Engine.Grid().RowCount(), nodes + 2);
    EXPECT_GT(report.size(), 7U + 24);
}

long PeakResidentKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return -1;
}

TEST(RecordFile, HundredMegabyteDiaryIsReadInBoundedMemory) {
    TempDir dir;
    const std::string path = dir.File("big.txt");
    const std::string day =
        "may 1, tea, toast, jam, $, coffee\x01\xff, ham sandwich, $, headache, #,\r\n";
    {
        std::string block;
        while (block.size() < (1 << 20)) {
            block += day;
        }
        std::ofstream out(path, std::ios::binary);
        for (int i = 0; i < 100; ++i) {
            out.write(block.data(), static_cast<std::streamsize>(block.size()));
        }
        ASSERT_TRUE(out.good());
    }
    const long before = PeakResidentKilobytes();
    AnalysisRun run;
    run.Read(path);
    const long after = PeakResidentKilobytes();

    const int32_t days = run.DayEnds;
    EXPECT_GT(days, 1000000);
    EXPECT_EQ(run.Engine.Totals()[2], days);
    const TItemNode* tea = run.Find("TEA");
    ASSERT_NE(tea, nullptr);
    EXPECT_EQ(tea->Count, days);
    EXPECT_EQ(tea->SymptomHits[2], 3 * days - 3);  // each headache sees three days of tea
    EXPECT_EQ(run.Engine.Items().ItemCount(), 6);
    if (before > 0 && after > 0) {
        EXPECT_LT(after - before, 32 * 1024) << "the file must not be held in memory";
    }
}

}  // namespace
}  // namespace quorvane
