#include "core/settings/profile_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "core/settings/settings_test_dir.h"
#include "core/text/quorvane_error.h"

namespace quorvane {
namespace {

struct ReadCase {
    const char* name;
    std::string content;
    const char* section;
    const char* key;
    std::string expected;
};

class ProfileFileTest : public SettingsTestDir {};

TEST_F(ProfileFileTest, ReadsWithTheProfileRules) {
    const std::string longValue(3000, 'x');
    const std::vector<ReadCase> cases = {
        {"missing section", "[Other]\r\nk=v\r\n", "S", "k", "fallback"},
        {"missing key", "[S]\r\nother=v\r\n", "S", "k", "fallback"},
        {"empty value is not the default", "[S]\r\nk=\r\n", "S", "k", ""},
        {"blanks and tabs trimmed", "[S]\r\nk= \t value with  inner \t \r\n", "S", "k",
         "value with  inner"},
        {"double quotes stripped", "[S]\r\nk= \"quoted \" \r\n", "S", "k", "quoted "},
        {"single quotes stripped", "[S]\r\nk='x'\r\n", "S", "k", "x"},
        {"unmatched quotes kept", "[S]\r\nk=\"x'\r\n", "S", "k", "\"x'"},
        {"lone quote kept", "[S]\r\nk=\"\r\n", "S", "k", "\""},
        {"names without case, trimmed", "  [ sEcTiOn ] trailing\nMainFILE = a\n", "Section",
         "mainfile", "a"},
        {"value keeps later equals", "[S]\r\nk=a=b\r\n", "S", "k", "a=b"},
        {"first duplicate section counts", "[S]\r\nk=1\r\n[S]\r\nk=2\r\nj=3\r\n", "S", "j",
         "fallback"},
        {"first duplicate key counts", "[S]\r\nk=1\r\nk=2\r\n", "S", "k", "1"},
        {"blanks between key and equals", "[S]\r\n \tk \t= v\r\n", "S", " k ", "v"},
        {"a longer key is no match", "[S]\r\nkey=1\r\nk ey=2\r\nk=3\r\n", "S", "K", "3"},
        {"a key holding equals names no line", "[S]\r\na=b=c\r\n", "S", "a=b", "fallback"},
        {"the empty key names an equals line", "[S]\r\nk=1\r\n \t=e\r\n", "S", " ", "e"},
        {"key before any section ignored", "k=0\r\n[S]\r\n", "S", "k", "fallback"},
        {"key of the next section ignored", "[S]\r\n[T]\r\nk=1\r\n", "S", "k", "fallback"},
        {"comment is no key", "[S]\r\n;k=1\r\n", "S", "k", "fallback"},
        {"lone CR ends a line", "[S]\rk=1\rj=2", "S", "j", "2"},
        {"value cut to 2047", "[S]\r\nk=" + longValue, "S", "k", longValue.substr(0, 2047)},
    };
    for (const auto& c : cases) {
        WriteBytes(c.content);
        EXPECT_EQ(ProfileFile(Path()).ReadString(c.section, c.key, "fallback"), c.expected)
            << c.name;
    }
    std::filesystem::remove(Path());
    EXPECT_EQ(ProfileFile(Path()).ReadString("S", "k", "fallback"), "fallback") << "no file";
}

struct WriteCase {
    const char* name;
    std::string before;
    const char* section;
    const char* key;
    std::string value;
    std::string after;
};

TEST_F(ProfileFileTest, WritesOnlyWhatChanges) {
    const std::vector<WriteCase> cases = {
        {"creates file and section", "", "S", "k", "v", "[S]\r\nk=v\r\n"},
        {"replaces in place, other line ends kept", "; note\n[S]\nk = old\r\nj=2\n", "s", "K",
         "new", "; note\n[S]\nK=new\r\nj=2\n"},
        {"new key after the last non-blank line", "[S]\r\na=1\r\n\r\n[T]\r\n", "S", "k", "v",
         "[S]\r\na=1\r\nk=v\r\n\r\n[T]\r\n"},
        {"new section at the end, last line ended", "[S]\r\na=1", "T", "k", "v",
         "[S]\r\na=1\r\n[T]\r\nk=v\r\n"},
        {"replacing an unended last line", "[S]\nk=1", "S", "k", "2", "[S]\nk=2"},
        {"first duplicate written", "[S]\r\nk=1\r\nk=1\r\n[S]\r\nk=1\r\n", "S", "k", "2",
         "[S]\r\nk=2\r\nk=1\r\n[S]\r\nk=1\r\n"},
        {"line breaks become own lines", "[S]\r\n", "S", "k", "a\r\nb\nc\rd\r\n",
         "[S]\r\nk=a\r\nb\r\nc\r\nd\r\n\r\n"},
        {"continuation that would parse is made inert", "[S]\r\n", "S", "k",
         "\r\n [T]\r\n2=X\r\n#,", "[S]\r\nk=\r\n; [T]\r\n;2=X\r\n#,\r\n"},
    };
    for (const auto& c : cases) {
        WriteBytes(c.before);
        ProfileFile file(Path());
        file.WriteString(c.section, c.key, c.value);
        EXPECT_EQ(ReadBytes(), c.after) << c.name;
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Dir()), {}), 1)
            << c.name << ": temporary file left behind";

        // The in-memory profile takes the same path to the same bytes, and no disk.
        std::filesystem::remove(Path());
        ProfileFile memory = ProfileFile::FromBytes(c.before);
        EXPECT_EQ(memory.Bytes(), c.before) << c.name << ": parsed bytes changed";
        memory.WriteString(c.section, c.key, c.value);
        EXPECT_EQ(memory.Bytes(), c.after) << c.name << " (in memory)";
        EXPECT_EQ(memory.ReadString(c.section, c.key, "absent"),
                  ProfileFile::FromBytes(c.after).ReadString(c.section, c.key, "absent"))
            << c.name;
        EXPECT_TRUE(std::filesystem::is_empty(Dir())) << c.name << ": in-memory write hit the disk";
    }
}

// A profile remembers its headers, its last section and that section's keys between
// reads and writes; whatever ran before, each read and write must act as on a profile
// parsed afresh. ";k" and ";2" are the keys a value's further lines make.
TEST_F(ProfileFileTest, ManyWritesActAsOnAFreshParse) {
    const std::vector<std::string> sections = {"S", " s ", "T", "Composer", "[x", ""};
    const std::vector<std::string> keys = {"k",    "K ",  "2", "21", "[y",
                                           " [T]", "a=b", "",  ";k", ";2"};
    const std::vector<std::string> values = {"v",    "",    "a\r\n[T]\r\nk=9", "\"q\"",
                                             "x\ny", "2=w", "\r2=\r\n"};
    std::mt19937 random(7);
    std::string expected = "; top\r\n[T]\r\nk=0\r\n[S]\r\n2=two\r\n;k=c\r\n2=dup";
    ProfileFile profile = ProfileFile::FromBytes(expected);
    std::size_t index = 0;
    for (int step = 0; step < 400; ++step) {
        // Runs of one section, as a load makes them.
        if (random() % 2 == 0) {
            index = random() % sections.size();
        }
        const std::string& section = sections[index];
        const std::string& key = keys[random() % keys.size()];
        const std::string& value = values[random() % values.size()];
        if (random() % 2 == 0) {
            ASSERT_EQ(profile.ReadString(section, key, "absent"),
                      ProfileFile::FromBytes(expected).ReadString(section, key, "absent"))
                << "step " << step << ": [" << section << "] " << key;
        }
        profile.WriteString(section, key, value);
        ProfileFile fresh = ProfileFile::FromBytes(expected);
        fresh.WriteString(section, key, value);
        expected = fresh.Bytes();
        ASSERT_EQ(profile.Bytes(), expected) << "step " << step << ": [" << section << "] " << key;
        // Another key of the same section, after the lines moved.
        const std::string& other = keys[random() % keys.size()];
        ASSERT_EQ(profile.ReadString(section, other, "absent"),
                  ProfileFile::FromBytes(expected).ReadString(section, other, "absent"))
            << "step " << step << ": [" << section << "] " << other << " after writing " << key;
    }
}

// Each of CR LF, lone CR and lone LF ends one line, in any mix and at the very end,
// and every end comes back as it was found. A new key goes after the section's last
// line that is not blank, and only a line without an end gets one.
TEST_F(ProfileFileTest, LineEndsComeBackAsFound) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"[S]\r\r\nk=1\n\r\nj=2\r", "[S]\r\r\nk=1\n\r\nj=2\rn=3\r\n"},
        {"\r\n\n\r\r[S]\nk=1\n\nj=2", "\r\n\n\r\r[S]\nk=1\n\nj=2\r\nn=3\r\n"},
        {"[S]\rk=1\r\n\rj=2\n\r", "[S]\rk=1\r\n\rj=2\nn=3\r\n\r"},
        {"[S]\n\rk=1\r\r\n\nj=2\r\n", "[S]\n\rk=1\r\r\n\nj=2\r\nn=3\r\n"},
    };
    for (const auto& [content, written] : cases) {
        ProfileFile profile = ProfileFile::FromBytes(content);
        EXPECT_EQ(profile.Bytes(), content);
        EXPECT_EQ(profile.ReadString("S", "k", "absent"), "1") << content;
        EXPECT_EQ(profile.ReadString("S", "j", "absent"), "2") << content;
        profile.WriteString("S", "n", "3");
        EXPECT_EQ(profile.Bytes(), written);
        EXPECT_EQ(profile.ReadString("S", "j", "absent"), "2") << written;
    }
}

TEST_F(ProfileFileTest, HandEditedFileSurvivesWrites) {
    // Garbage, comments, a 1 MB value, duplicates and no final line end.
    const std::string original = "garbage before sections\n\x01\x02 binary=\xff\r\n; comment\r\n" +
                                 std::string("[Big]\r\nhuge=") + std::string(1 << 20, 'h') +
                                 "\r\n[Unknown]\r\n  odd spacing   =   x  \r\n[S]\r\nk=1\r\n"
                                 "[s]\r\nk=dup\r\nno equals here";
    WriteBytes(original);
    ProfileFile file(Path());
    EXPECT_EQ(file.ReadString("Big", "huge", "").size(), 2047u);
    file.WriteString("S", "k", "2");
    file.WriteString("S", "new", "3");
    file.WriteString("Added", "k", "4");

    std::string expected = original;
    expected.replace(expected.find("[S]\r\nk=1"), 8, "[S]\r\nk=2\r\nnew=3");
    expected += "\r\n[Added]\r\nk=4\r\n";
    EXPECT_EQ(ReadBytes(), expected);
    ProfileFile reread(Path());
    EXPECT_EQ(reread.ReadString("Unknown", "odd spacing", ""), "x");
    EXPECT_EQ(reread.ReadString("S", "k", ""), "2");
    EXPECT_EQ(reread.ReadString("S", "new", ""), "3");
}

TEST_F(ProfileFileTest, FailedWriteChangesNothing) {
    const std::string missingDir = Dir() + "/missing/Quorvane.ini";
    ProfileFile inMissingDir(missingDir);
    try {
        inMissingDir.WriteString("S", "k", "v");
        ADD_FAILURE() << "write into a missing folder succeeded";
    } catch (const QuorvaneError& e) {
        EXPECT_STREQ(e.what(), ("Unable to write to " + missingDir).c_str());
    }
    EXPECT_EQ(inMissingDir.ReadString("S", "k", "none"), "none");

    // The file turns into a folder between two writes: the second fails and the
    // lines in memory stay those of the first.
    ProfileFile file(Path());
    file.WriteString("S", "k", "1");
    std::filesystem::remove(Path());
    std::filesystem::create_directory(Path());
    EXPECT_THROW(file.WriteString("S", "k", "2"), QuorvaneError);
    EXPECT_EQ(file.ReadString("S", "k", ""), "1");
    EXPECT_TRUE(std::filesystem::is_directory(Path()));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Dir()), {}), 1);
}

}  // namespace
}  // namespace quorvane
