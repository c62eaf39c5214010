#include "core/settings/settings_store.h"

#include <gtest/gtest.h>

#include "core/settings/profile_file.h"
#include "core/settings/settings_test_dir.h"
#include "core/text/quorvane_error.h"

namespace quorvane {
namespace {

class SettingsStoreTest : public SettingsTestDir {};

TEST_F(SettingsStoreTest, PathJoinsStartDirAndFileName) {
    EXPECT_EQ(SettingsPath("/home/user"), "/home/user/Quorvane.ini");
    EXPECT_EQ(SettingsPath("/"), "//Quorvane.ini");
}

TEST_F(SettingsStoreTest, FirstRunWritesEveryDefaultInOrder) {
    SymptomTable symptoms;
    const LoadedSettings loaded = LoadSettings(Dir(), symptoms);
    EXPECT_TRUE(loaded.FirstRun);
    EXPECT_EQ(loaded.MainFileName, "example.txt");

    std::string expected =
        "[Active]\r\nmain=motion2\r\n[Options]\r\nSound=1\r\nLevel=3\r\n"
        "[Configuration]\r\nName=Odra Vennt\r\nMainFile=example.txt\r\n[Symptoms]\r\n";
    for (int n = 2; n <= 21; ++n) {
        expected += std::to_string(n) + "=" + SymptomTable::BuiltInName(n) + "\r\n";
        EXPECT_EQ(symptoms.Name(n), SymptomTable::BuiltInName(n));
    }
    expected += "[Composer]\r\n";
    for (int key = 0; key < 48; ++key) {
        expected += std::to_string(key) + "=" + DefaultComposerWords()[key / 6][key % 6] + "\r\n";
    }
    EXPECT_EQ(ReadBytes(), expected);
    EXPECT_NE(expected.find("\r\n2=HEADACHE\r\n"), std::string::npos);
    EXPECT_NE(expected.find("\r\n21=20_________\r\n"), std::string::npos);
    EXPECT_NE(expected.find("\r\n5=dairy\r\n6=End of Day, #, \r\n7=beef\r\n"), std::string::npos);
    EXPECT_NE(expected.find("\r\n18=Quitting Addiction, #, \r\n"), std::string::npos);
    EXPECT_NE(expected.find("\r\n47=digestive issue,\r\n"), std::string::npos);

    // The grid shows what the file gives back: no fixed tokens, trailing blanks gone.
    ComposerWords shown = DefaultComposerWords();
    shown[1][0] = "End of Day, #,";
    shown[2][0] = "Missed Info, #,";
    shown[3][0] = "Quitting Addiction, #,";
    EXPECT_EQ(loaded.Words, shown);

    // The next start takes the normal branch and places the fixed tokens.
    const LoadedSettings again = LoadSettings(Dir(), symptoms);
    EXPECT_FALSE(again.FirstRun);
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(again.Words[c][0], FixedRowTokens()[c]);
    }
    EXPECT_EQ(again.Words[4][0], "sugar,");
    EXPECT_EQ(again.Words[0][5], "dairy");
}

TEST_F(SettingsStoreTest, OnlyTheExactMarkerCountsAsInitialised) {
    const struct {
        const char* markerLine;
        bool firstRun;
    } cases[] = {
        {"main=motion2", false}, {"main= \tmotion2  ", false}, {"MAIN=motion2", false},
        {"main=Motion2", true},  {"main=motion", true},        {"main=motion 2", true},
        {"main=motion22", true}, {"other=motion2", true},
    };
    for (const auto& c : cases) {
        WriteBytes(std::string("[Active]\r\n") + c.markerLine +
                   "\r\n[Configuration]\r\nMainFile=diary.txt\r\n[Symptoms]\r\n2=CUSTOM\r\n");
        SymptomTable symptoms;
        const LoadedSettings loaded = LoadSettings(Dir(), symptoms);
        EXPECT_EQ(loaded.FirstRun, c.firstRun) << c.markerLine;
        EXPECT_EQ(loaded.MainFileName, c.firstRun ? "example.txt" : "diary.txt") << c.markerLine;
        EXPECT_EQ(symptoms.Name(2), c.firstRun ? "HEADACHE" : "CUSTOM") << c.markerLine;
        EXPECT_EQ(ProfileFile(Path()).ReadString("Symptoms", "2", ""),
                  c.firstRun ? "HEADACHE" : "CUSTOM")
            << c.markerLine;
    }
}

TEST_F(SettingsStoreTest, NormalBranchReadsWithDefaults) {
    const std::string forty = "ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEFGHIJKLMN";
    WriteBytes("[Active]\r\nmain=motion2\r\n[Symptoms]\r\n3=" + forty +
               "\r\n4=\r\n5=nausea\r\n[Composer]\r\n0=x\r\n12=y\r\n47=last\r\n");
    SymptomTable symptoms;
    const LoadedSettings loaded = LoadSettings(Dir(), symptoms);
    EXPECT_FALSE(loaded.FirstRun);
    EXPECT_EQ(loaded.MainFileName, "example.txt");
    EXPECT_EQ(symptoms.Name(3), forty.substr(0, 30));
    EXPECT_EQ(symptoms.Name(4), "");
    EXPECT_EQ(symptoms.Name(5), "nausea");
    EXPECT_EQ(symptoms.Name(7), "7_________");
    EXPECT_EQ(symptoms.Name(15), "15_________");
    EXPECT_EQ(ProfileFile(Path()).ReadString("Symptoms", "3", ""), forty);
    EXPECT_EQ(loaded.Words[0][0], FixedRowTokens()[0]);
    EXPECT_EQ(loaded.Words[2][0], FixedRowTokens()[2]);
    EXPECT_EQ(loaded.Words[0][1], "Not Entered");
    EXPECT_EQ(loaded.Words[7][5], "last");
}

TEST_F(SettingsStoreTest, FirstRunThatCannotWriteInitialisesNothing) {
    const std::string missing = Dir() + "/missing";
    SymptomTable symptoms;
    symptoms.SetName(2, "RENAMED");
    try {
        LoadSettings(missing, symptoms);
        ADD_FAILURE() << "a first run in a missing folder succeeded";
    } catch (const QuorvaneError& e) {
        EXPECT_STREQ(e.what(), ("Unable to write to " + missing + "/Quorvane.ini").c_str());
    }
    EXPECT_EQ(symptoms.Name(2), "RENAMED");
    std::filesystem::create_directory(Path());
    EXPECT_THROW(LoadSettings(Dir(), symptoms), QuorvaneError) << "settings path is a folder";
}

TEST_F(SettingsStoreTest, StoredWordsNeverBreakOtherKeys) {
    // The words go in before the sections they try to forge exist.
    WriteBytes("[Active]\r\nmain=motion2\r\n");
    const struct {
        std::string word;
        std::string readBack;
    } hostile[] = {
        {"a=b", "a=b"},
        {"[Symptoms]", "[Symptoms]"},
        {"\r\n[Symptoms]\r\n2=X", ""},
        {"x\n[Configuration]\rMainFile=evil.txt\n\n=", "x"},
        {"ctl\x01\x02\x7f\x1b\t;end", "ctl\x01\x02\x7f\x1b\t;end"},
        {std::string(255, 'w'), std::string(255, 'w')},
    };
    ComposerWords words = DefaultComposerWords();
    PlaceFixedRowTokens(words);
    ComposerWords expected = words;
    for (std::size_t i = 0; i < std::size(hostile); ++i) {
        words[4 + i / 3][1 + i % 3] = hostile[i].word;
        expected[4 + i / 3][1 + i % 3] = hostile[i].readBack;
    }
    // Stored twice, as a second "Set" writes the continuation lines once more.
    StoreComposerWords(Path(), words);
    StoreComposerWords(Path(), words);

    SymptomTable symptoms;
    EXPECT_EQ(LoadSettings(Dir(), symptoms).MainFileName, "example.txt");
    EXPECT_EQ(symptoms.Name(2), "2_________");
    EXPECT_EQ(LoadComposerWords(Path()), expected);

    symptoms.SetName(9, "WHEAT 2");
    StoreSymptoms(Path(), symptoms);
    StoreMainFile(Path(), "/records/diary.txt");
    SymptomTable reloaded;
    const LoadedSettings loaded = LoadSettings(Dir(), reloaded);
    EXPECT_FALSE(loaded.FirstRun);
    EXPECT_EQ(loaded.MainFileName, "/records/diary.txt");
    EXPECT_EQ(loaded.Words, expected);
    for (int n = 1; n <= 22; ++n) {
        EXPECT_EQ(reloaded.Name(n), symptoms.Name(n)) << n;
    }
}

}  // namespace
}  // namespace quorvane
