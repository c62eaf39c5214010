#include "settings_load_check.h"

#include <cstdint>

#include "core/analysis/item_list.h"
#include "core/analysis/record_reader.h"
#include "core/analysis/symptom_table.h"
#include "core/composer/auto_fill.h"
#include "core/composer/word_insertion.h"
#include "core/settings/profile_file.h"
#include "core/settings/settings_store.h"

namespace quorvane::fuzzing {
namespace {

constexpr std::size_t kMaxValueLength = 2047;

std::string Cell(int column, int row) {
    return "word [" + std::to_string(column) + "][" + std::to_string(row) + "]";
}

void CheckLoaded(const LoadedSettings& loaded, const SymptomTable& symptoms,
                 std::vector<std::string>& out) {
    for (int n = kFirstUserSymptom; n <= kLastUserSymptom; ++n) {
        if (symptoms.Name(n).size() > kShortNameLength) {
            out.push_back("symptom " + std::to_string(n) + " is longer than a short name");
        }
    }
    if (loaded.MainFileName.size() > kMaxValueLength) {
        out.push_back("the record file name is longer than a read gives");
    }
    for (int c = 0; c < kComposerColumns; ++c) {
        for (int r = 0; r < kComposerRows; ++r) {
            if (loaded.Words[c][r].size() > kMaxValueLength) {
                out.push_back(Cell(c, r) + " is longer than a read gives");
            }
        }
    }
}

// A word click may add only the separator ", " in front of the word and one blank after.
void CheckAppend(std::string_view text, std::string_view word, const std::string& result,
                 std::vector<std::string>& out) {
    const std::size_t tail = word.size() + 1;
    if (result.size() < text.size() + tail || result.size() > text.size() + tail + 2 ||
        result.compare(0, text.size(), text) != 0 ||
        result.compare(result.size() - tail, word.size(), word) != 0 || result.back() != ' ') {
        out.push_back("a word click changed the text beyond the word and its separator");
        return;
    }
    for (std::size_t i = text.size(); i < result.size() - tail; ++i) {
        if (result[i] != ',' && result[i] != ' ') {
            out.push_back("a word click added a character other than a separator");
        }
    }
}

void CheckAutoFill(const ItemList& items, int32_t threshold, const ComposerWords& before,
                   std::vector<std::string>& out) {
    ComposerWords words = before;
    const bool filled = FillWithFrequentItems(items, threshold, words);
    if (threshold <= 0) {
        if (filled || words != before) {
            out.push_back("auto-fill acted on threshold " + std::to_string(threshold));
        }
        return;
    }
    if (!filled) {
        out.push_back("auto-fill refused a set-up list");
        return;
    }
    for (std::size_t c = 0; c < FixedRowTokens().size(); ++c) {
        if (words[c][0] != FixedRowTokens()[c]) {
            out.push_back("auto-fill lost the fixed " + Cell(static_cast<int>(c), 0));
        }
    }
    if (words[4][0] != " ") {
        out.push_back("auto-fill did not blank " + Cell(4, 0));
    }
    // Rows 1 to 5, row by row: the qualifying items in list order, then empty cells.
    const TItemNode* node = items.First();
    for (int r = 1; r < kComposerRows; ++r) {
        for (int c = 0; c < kComposerColumns; ++c) {
            while (node != nullptr && node->Next != nullptr && node->Count < threshold) {
                node = node->Next;
            }
            const bool left = node != nullptr && node->Next != nullptr;
            const std::string expected = left ? node->Name + ", " : std::string();
            if (words[c][r] != expected) {
                out.push_back(Cell(c, r) + " is \"" + words[c][r] + "\" after auto-fill, not \"" +
                              expected + "\"");
                return;
            }
            if (left) {
                node = node->Next;
            }
        }
    }
    if (words[5][0] != before[5][0] || words[6][0] != before[6][0] || words[7][0] != before[7][0]) {
        out.push_back("auto-fill changed row 0 beyond its fixed cells");
    }
}

}  // namespace

std::vector<std::string> CheckSettingsLoad(std::string_view input) {
    std::vector<std::string> out;
    ProfileFile file = ProfileFile::FromBytes(input);
    const bool initialised = file.ReadString("Active", "main", "motion") == "motion2";

    SymptomTable symptoms;
    const LoadedSettings loaded = LoadSettings(file, symptoms);
    CheckLoaded(loaded, symptoms, out);
    if (loaded.FirstRun == initialised) {
        out.push_back(initialised ? "an initialised file was initialised again"
                                  : "a file without the marker was taken as initialised");
    }
    if (initialised && file.Bytes() != input) {
        out.push_back("loading an initialised file changed it");
    }
    if (!loaded.FirstRun) {
        for (std::size_t c = 0; c < FixedRowTokens().size(); ++c) {
            if (loaded.Words[c][0] != FixedRowTokens()[c]) {
                out.push_back(Cell(static_cast<int>(c), 0) + " is not its fixed diary phrase");
            }
        }
    }

    // The next start reads what this one left: no second initialisation, the same
    // values, the fixed phrases placed over what a first run showed.
    ProfileFile next = ProfileFile::FromBytes(file.Bytes());
    SymptomTable nextSymptoms;
    const LoadedSettings again = LoadSettings(next, nextSymptoms);
    CheckLoaded(again, nextSymptoms, out);
    if (again.FirstRun) {
        out.push_back("the file a load left is initialised again on the next start");
    }
    if (next.Bytes() != file.Bytes()) {
        out.push_back("the next start changed the file");
    }
    if (again.MainFileName != loaded.MainFileName) {
        out.push_back("the record file name reads \"" + again.MainFileName +
                      "\" on the next start");
    }
    for (int n = kFirstUserSymptom; n <= kLastUserSymptom; ++n) {
        if (nextSymptoms.Name(n) != symptoms.Name(n)) {
            out.push_back("symptom " + std::to_string(n) + " reads \"" + nextSymptoms.Name(n) +
                          "\" on the next start, \"" + symptoms.Name(n) + "\" before");
        }
    }
    ComposerWords expected = loaded.Words;
    PlaceFixedRowTokens(expected);
    if (again.Words != expected) {
        out.push_back("the word grid differs on the next start");
    }

    // A diary written by clicking every word, read, and the grid refilled from it.
    std::string diary;
    for (int r = 0; r < kComposerRows; ++r) {
        for (int c = 0; c < kComposerColumns; ++c) {
            std::string clicked = AppendComposerWord(diary, again.Words[c][r]);
            CheckAppend(diary, again.Words[c][r], clicked, out);
            diary = std::move(clicked);
        }
    }
    ItemList items;
    items.SetUp();
    ReaderState state;
    SymptomCounters totals{};
    const ReaderHooks hooks;
    RecordReader(state, items, totals, nextSymptoms, hooks).Feed(diary);
    const int32_t threshold = input.empty() ? 1 : static_cast<int8_t>(input.back()) % 4;
    CheckAutoFill(items, threshold, again.Words, out);
    return out;
}

}  // namespace quorvane::fuzzing
