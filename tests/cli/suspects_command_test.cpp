#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "cli/report_process.h"
#include "core/analysis/analysis_test_support.h"

namespace {

using quorvane::testing::ExampleDiaryPath;
using quorvane::testing::Lines;
using quorvane::testing::Outcome;
using quorvane::testing::RunReport;
using quorvane::testing::TempDir;

using Row = std::vector<std::string>;

// Wine on every fifth day and a migraine-like headache the next; the rest random.
std::string PlantedDiary(uint32_t seed) {
    const std::vector<std::string> words = {"tea",    "coffee", "white bread", "egg", "ham",
                                            "potato", "milk",   "apple",       "ibs", "monday"};
    std::mt19937 random(seed);
    std::string text;
    for (int day = 0; day < 150; ++day) {
        text += "may " + std::to_string(day % 31 + 1) + ", ";
        for (int i = 0; i < 6; ++i) {
            text += words[random() % words.size()] + (i == 2 ? ", $,\r\n" : ", ");
        }
        text += day % 5 == 0 ? "red wine, " : "";
        text += day % 5 == 1 ? "Headache, " : "";
        text += "#,\r\n";
    }
    return text;
}

std::vector<Row> ParseTsv(const std::string& text) {
    std::vector<Row> rows;
    for (const std::string& line : Lines(text)) {
        Row row;
        std::size_t start = 0;
        for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos;
             start = tab + 1) {
            row.push_back(line.substr(start, tab - start));
        }
        row.push_back(line.substr(start));
        rows.push_back(row);
    }
    return rows;
}

// RFC 4180: CR LF between records, quotes around fields holding , " or line ends.
std::vector<Row> ParseCsv(const std::string& text) {
    std::vector<Row> rows;
    Row row;
    std::string field;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            row.push_back(field);
            field.clear();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            row.push_back(field);
            field.clear();
            rows.push_back(row);
            row.clear();
            ++i;
        } else {
            field += c;
        }
    }
    EXPECT_TRUE(field.empty() && row.empty()) << "the last record lacks its CR LF";
    return rows;
}

// An array of flat objects of strings, numbers and null, as the table writes it;
// values come back as the TSV shows them (null as empty).
std::vector<Row> ParseJson(const std::string& text, const Row& columns) {
    std::vector<Row> rows;
    std::size_t i = 0;
    auto skip = [&]() {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\n' || text[i] == ',')) {
            ++i;
        }
    };
    auto string = [&]() {
        std::string out;
        EXPECT_EQ(text[i], '"');
        for (++i; i < text.size() && text[i] != '"'; ++i) {
            if (text[i] == '\\') {
                ++i;
                if (text[i] == 'u') {
                    out += static_cast<char>(std::stoi(text.substr(i + 1, 4), nullptr, 16));
                    i += 4;
                } else {
                    out += text[i];
                }
            } else {
                out += text[i];
            }
        }
        ++i;
        return out;
    };
    EXPECT_EQ(text[i++], '[');
    for (skip(); i < text.size() && text[i] == '{'; skip()) {
        ++i;
        Row row;
        for (skip(); text[i] != '}'; skip()) {
            const std::string key = string();
            EXPECT_EQ(key, columns[row.size()]);
            EXPECT_EQ(text[i++], ':');
            skip();
            if (text[i] == '"') {
                row.push_back(string());
            } else {
                const std::size_t end = text.find_first_of(",}", i);
                const std::string value = text.substr(i, end - i);
                row.push_back(value == "null" ? "" : value);
                i = end;
            }
        }
        ++i;
        rows.push_back(row);
    }
    EXPECT_EQ(text.substr(i), "]\n");
    return rows;
}

std::size_t Column(const Row& header, const std::string& name) {
    const auto it = std::find(header.begin(), header.end(), name);
    EXPECT_NE(it, header.end()) << name;
    return static_cast<std::size_t>(it - header.begin());
}

TEST(SuspectsCommand, FindingTheSuspectsChangesNoOtherOutput) {
    TempDir dir;
    const std::vector<std::string> diaries = {ExampleDiaryPath(),
                                              dir.Write("planted.txt", PlantedDiary(3))};
    for (const std::string& diary : diaries) {
        for (const char* dump : {"report", "grid", "sorted", "items", "evidence"}) {
            const Outcome plain = RunReport(dir, {diary, "--dump", dump});
            const Outcome found = RunReport(dir, {diary, "--dump", dump, "--with-suspects"});
            ASSERT_EQ(plain.status, 0) << diary;
            EXPECT_EQ(found.status, 0);
            EXPECT_FALSE(plain.out.empty());
            EXPECT_EQ(plain.out, found.out) << diary << " " << dump;
        }
    }
}

TEST(SuspectsCommand, RanksThePlantedTriggerFirstInEveryFormat) {
    TempDir dir;
    const std::string diary = dir.Write("planted.txt", PlantedDiary(7));
    const Outcome tsv = RunReport(dir, {diary, "--dump", "suspects"});
    ASSERT_EQ(tsv.status, 0) << tsv.err;
    const std::vector<Row> rows = ParseTsv(tsv.out);
    ASSERT_GT(rows.size(), 2u);
    const Row& header = rows[0];
    for (const char* name :
         {"item", "symptom", "rank", "tier", "lag", "exposed_days", "episodes_after", "risk_ratio",
          "ci_low", "ci_high", "p_value", "q_value", "flags", "sentence"}) {
        Column(header, name);
    }
    bool seen = false;
    for (std::size_t r = 1; r < rows.size(); ++r) {
        ASSERT_EQ(rows[r].size(), header.size()) << r;
        EXPECT_NE(rows[r][Column(header, "item")], "MONDAY");
        EXPECT_NE(rows[r][Column(header, "item")], "IBS");
        if (rows[r][Column(header, "item")] == "RED WINE" &&
            rows[r][Column(header, "symptom")] == "HEADACHE") {
            seen = true;
            EXPECT_EQ(rows[r][Column(header, "rank")], "1");
            EXPECT_EQ(rows[r][Column(header, "tier")], "strong");
            EXPECT_EQ(rows[r][Column(header, "lag")], "1");
            EXPECT_EQ(rows[r][Column(header, "exposed_days")], "30");
            EXPECT_EQ(rows[r][Column(header, "episodes_after")], "30");
        }
    }
    EXPECT_TRUE(seen);

    const Outcome csv = RunReport(dir, {diary, "--dump", "suspects", "--format", "csv"});
    ASSERT_EQ(csv.status, 0);
    EXPECT_EQ(ParseCsv(csv.out), rows);
    const Outcome json = RunReport(dir, {diary, "--dump", "suspects", "--format=json"});
    ASSERT_EQ(json.status, 0);
    std::vector<Row> body(rows.begin() + 1, rows.end());
    EXPECT_EQ(ParseJson(json.out, header), body);

    EXPECT_EQ(RunReport(dir, {diary, "--dump", "suspects", "--format", "xml"}).status, 2);
}

TEST(SuspectsCommand, TheUsersNotFoodsComeFromAFileOrTheSettings) {
    TempDir dir;
    const std::string diary = dir.Write("planted.txt", PlantedDiary(5));
    const std::string words = dir.Write("not-foods.txt", "red wine\r\n\r\nTea\n");
    const std::string ini = dir.Write("Quorvane.ini", "[Not Foods]\r\n1=coffee\r\n");
    auto items = [](const Outcome& run) {
        std::vector<std::string> names;
        for (const Row& row : ParseTsv(run.out)) {
            names.push_back(row[0]);
        }
        return names;
    };
    auto has = [](const std::vector<std::string>& names, const std::string& name) {
        return std::find(names.begin(), names.end(), name) != names.end();
    };
    const std::vector<std::string> all = items(RunReport(dir, {diary, "--dump", "suspects"}));
    EXPECT_TRUE(has(all, "RED WINE") && has(all, "TEA") && has(all, "COFFEE"));
    const std::vector<std::string> fromFile =
        items(RunReport(dir, {diary, "--dump", "suspects", "--not-foods", words}));
    EXPECT_FALSE(has(fromFile, "RED WINE") || has(fromFile, "TEA"));
    EXPECT_TRUE(has(fromFile, "COFFEE"));
    const std::vector<std::string> fromSettings =
        items(RunReport(dir, {diary, "--dump", "suspects", "--settings", ini}));
    EXPECT_FALSE(has(fromSettings, "COFFEE"));
    EXPECT_TRUE(has(fromSettings, "RED WINE"));
    EXPECT_EQ(RunReport(dir, {diary, "--dump", "suspects", "--not-foods", dir.File("none")}).status,
              1);
}

#if !QUORVANE_REPORT_DRAWS_SUMMARY
// The build without Qt cannot draw the summary and says so, writing nothing.
TEST(SuspectsCommand, TheBuildWithoutQtRefusesTheSummary) {
    const TempDir dir;
    const std::string pdf = dir.File("summary.pdf");
    const Outcome run = RunReport(dir, {ExampleDiaryPath(), "--summary", pdf});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("--summary needs the build with Qt"), std::string::npos) << run.err;
    EXPECT_FALSE(std::ifstream(pdf).good());
}
#endif

}  // namespace
