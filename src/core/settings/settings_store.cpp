#include "core/settings/settings_store.h"

#include "core/settings/profile_file.h"

namespace quorvane {
namespace {

constexpr std::string_view kMarkerSection = "Active";
constexpr std::string_view kMarkerKey = "main";
constexpr std::string_view kInitialisedMarker = "motion2";
constexpr std::string_view kConfigurationSection = "Configuration";
constexpr std::string_view kMainFileKey = "MainFile";
constexpr std::string_view kDefaultMainFile = "example.txt";
constexpr std::string_view kSymptomsSection = "Symptoms";
constexpr std::string_view kComposerSection = "Composer";
constexpr std::string_view kMissingWord = "Not Entered";

std::string ComposerKey(int column, int row) {
    return std::to_string(6 * column + row);
}

// A missing slot reads as its own key number and nine underscores, e.g. "15_________".
std::string SymptomDefault(int slot) {
    return std::to_string(slot) + "_________";
}

void ReadSymptoms(const ProfileFile& file, SymptomTable& symptoms) {
    for (int n = kFirstUserSymptom; n <= kLastUserSymptom; ++n) {
        symptoms.SetName(n,
                         file.ReadString(kSymptomsSection, std::to_string(n), SymptomDefault(n)));
    }
}

void WriteSymptoms(ProfileFile& file, const SymptomTable& symptoms) {
    for (int n = kFirstUserSymptom; n <= kLastUserSymptom; ++n) {
        file.WriteString(kSymptomsSection, std::to_string(n), symptoms.Name(n));
    }
}

ComposerWords ReadComposerWords(const ProfileFile& file) {
    ComposerWords words;
    for (int c = 0; c < kComposerColumns; ++c) {
        for (int r = 0; r < kComposerRows; ++r) {
            words[c][r] = file.ReadString(kComposerSection, ComposerKey(c, r), kMissingWord);
        }
    }
    return words;
}

// The first run's sequence after the marker check: every default written, the word
// grid shown as the file returns it (so trailing blanks are gone, no fixed tokens).
LoadedSettings InitialiseSettings(ProfileFile& file, SymptomTable& symptoms) {
    file.WriteString(kMarkerSection, kMarkerKey, kInitialisedMarker);
    file.WriteString("Options", "Sound", "1");
    file.WriteString("Options", "Level", "3");
    file.WriteString(kConfigurationSection, "Name", "Odra Vennt");
    file.WriteString(kConfigurationSection, kMainFileKey, kDefaultMainFile);

    LoadedSettings loaded;
    loaded.FirstRun = true;
    loaded.MainFileName = kDefaultMainFile;
    WriteSymptoms(file, symptoms);
    loaded.Words = DefaultComposerWords();
    for (int c = 0; c < kComposerColumns; ++c) {
        for (int r = 0; r < kComposerRows; ++r) {
            const std::string key = ComposerKey(c, r);
            file.WriteString(kComposerSection, key, loaded.Words[c][r]);
            loaded.Words[c][r] = file.ReadString(kComposerSection, key, kMissingWord);
        }
    }
    return loaded;
}

}  // namespace

const std::array<std::string, 4>& FixedRowTokens() {
    static const std::array<std::string, 4> tokens = {
        "End of Meal, $,",
        "End of Day, #,\r\n\r\n",
        "Missed Info, #, \r\n#,\r\n#,\r\n\r\n",
        "Quitting addiction, #, \r\n#,\r\n#,\r\n\r\n",
    };
    return tokens;
}

void PlaceFixedRowTokens(ComposerWords& words) {
    const auto& tokens = FixedRowTokens();
    for (std::size_t c = 0; c < tokens.size(); ++c) {
        words[c][0] = tokens[c];
    }
}

const ComposerWords& DefaultComposerWords() {
    // Indexed [column][row], as the grid is.
    static const ComposerWords words = {{
        {"End of Meal, $,", "fruit,", "salad,", "vegetable,", "desert,", "dairy"},
        {"End of Day, #, ", "beef", "chicken", "pork", "egg", "milk"},
        {"Missed Info, #, ", "wheat,", "oats,", "rice,", "potato,", "bread,"},
        {"Quitting Addiction, #, ", "water,", "pop,", "alcohol,", "wine,", "juice,"},
        {"sugar,", "candy,", "chocolate,", "ice cream,", "cake,", "pie,"},
        {"apple,", "orange,", "pear,", "grapefruit,", "banana,", "peach,"},
        {"bean,", "carrot,", "green pepper,", "cucumber,", "lettuce,", "tomato,"},
        {"bad day,", "headache,", "depressed,", "mouth ulcer,", "stressed,", "digestive issue,"},
    }};
    return words;
}

std::string SettingsPath(std::string_view startDir) {
    return std::string(startDir) + "/" + std::string(kSettingsFileName);
}

LoadedSettings LoadSettings(std::string_view startDir, SymptomTable& symptoms) {
    ProfileFile file(SettingsPath(startDir));
    return LoadSettings(file, symptoms);
}

LoadedSettings LoadSettings(ProfileFile& file, SymptomTable& symptoms) {
    if (file.ReadString(kMarkerSection, kMarkerKey, "motion") != kInitialisedMarker) {
        return InitialiseSettings(file, symptoms);
    }
    LoadedSettings loaded;
    loaded.MainFileName = file.ReadString(kConfigurationSection, kMainFileKey, kDefaultMainFile);
    ReadSymptoms(file, symptoms);
    loaded.Words = ReadComposerWords(file);
    PlaceFixedRowTokens(loaded.Words);
    return loaded;
}

void StoreMainFile(const std::string& settingsPath, std::string_view mainFileName) {
    ProfileFile(settingsPath).WriteString(kConfigurationSection, kMainFileKey, mainFileName);
}

void StoreSymptoms(const std::string& settingsPath, const SymptomTable& symptoms) {
    ProfileFile file(settingsPath);
    WriteSymptoms(file, symptoms);
}

void LoadSymptoms(const std::string& settingsPath, SymptomTable& symptoms) {
    ReadSymptoms(ProfileFile(settingsPath), symptoms);
}

void StoreComposerWords(const std::string& settingsPath, const ComposerWords& words) {
    ProfileFile file(settingsPath);
    for (int c = 0; c < kComposerColumns; ++c) {
        for (int r = 0; r < kComposerRows; ++r) {
            file.WriteString(kComposerSection, ComposerKey(c, r), words[c][r]);
        }
    }
}

ComposerWords LoadComposerWords(const std::string& settingsPath) {
    ComposerWords words = ReadComposerWords(ProfileFile(settingsPath));
    PlaceFixedRowTokens(words);
    return words;
}

}  // namespace quorvane
