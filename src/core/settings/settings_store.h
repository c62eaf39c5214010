#pragma once

#include <array>
#include <string>
#include <string_view>

#include "core/analysis/symptom_table.h"

namespace quorvane {

class ProfileFile;

inline constexpr std::string_view kSettingsFileName = "Quorvane.ini";
inline constexpr int kComposerColumns = 8;
inline constexpr int kComposerRows = 6;

// The word grid's texts, indexed [column][row].
using ComposerWords = std::array<std::array<std::string, kComposerRows>, kComposerColumns>;

// The four fixed diary phrases of row 0, columns 0 to 3.
const std::array<std::string, 4>& FixedRowTokens();
void PlaceFixedRowTokens(ComposerWords& words);
const ComposerWords& DefaultComposerWords();

// startDir + "/" + "Quorvane.ini"
std::string SettingsPath(std::string_view startDir);

struct LoadedSettings {
    bool FirstRun = false;  // the file was initialised by this load
    std::string MainFileName;
    ComposerWords Words;
};

// Reads, or on a first run initialises, the settings file in startDir. Symptom
// slots 2 to 21 are stored into `symptoms` as they are read. The caller applies
// the rest and then loads the record file.
LoadedSettings LoadSettings(std::string_view startDir, SymptomTable& symptoms);
// The same load on an open profile: a file's or one held in memory.
LoadedSettings LoadSettings(ProfileFile& file, SymptomTable& symptoms);

// Single-section readers and writers; each takes the settings file's path.
void StoreMainFile(const std::string& settingsPath, std::string_view mainFileName);
void StoreSymptoms(const std::string& settingsPath, const SymptomTable& symptoms);
void LoadSymptoms(const std::string& settingsPath, SymptomTable& symptoms);
void StoreComposerWords(const std::string& settingsPath, const ComposerWords& words);
ComposerWords LoadComposerWords(const std::string& settingsPath);  // fixed tokens placed

}  // namespace quorvane
