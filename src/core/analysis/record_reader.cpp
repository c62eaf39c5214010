#include "core/analysis/record_reader.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <string>
#include <vector>

#include "core/evidence/diary_evidence.h"
#include "core/text/quorvane_error.h"

namespace quorvane {

namespace {

constexpr char kControlZ = 26;

// The symptom names as views, taken once per chunk: the scan runs for every word.
struct SymptomNameViews {
    std::array<std::string_view, kSymptomCount + 1> Views{};
    // Per word length, the first letters (their low five bits) of the names of that
    // length: most words name no symptom and skip the scan of every name.
    std::array<uint32_t, kShortNameLength + 1> Starts{};

    // A word is never empty and starts with a letter.
    bool MayName(std::string_view word) const {
        return word.size() < Starts.size() && ((Starts[word.size()] >> (word[0] & 31)) & 1) != 0;
    }
};

SymptomNameViews ViewNames(const SymptomTable& symptoms) {
    SymptomNameViews names;
    for (int i = 1; i <= kSymptomCount; ++i) {
        const std::string_view name = symptoms.Name(i);
        names.Views[i] = name;
        if (!name.empty() && name.size() < names.Starts.size()) {
            names.Starts[name.size()] |= uint32_t{1} << (name[0] & 31);
        }
    }
    return names;
}

// What each byte does: letters map to their upper case, the space to itself, and
// the other codes below say skip, end of day, end of record or separator.
constexpr unsigned char kSkipped = 0;
constexpr unsigned char kSeparator = 1;
constexpr unsigned char kEndOfDay = 2;
constexpr unsigned char kEndOfRecord = 3;
using CharacterTable = std::array<unsigned char, 256>;

CharacterTable MakeCharacterTable() {
    CharacterTable table{};  // everything else, digits and line feeds too, is skipped
    for (int c = 'A'; c <= 'Z'; ++c) {
        table[c] = static_cast<unsigned char>(c);
        table[c - 'A' + 'a'] = static_cast<unsigned char>(c);
    }
    table[' '] = ' ';
    for (const unsigned char c : {'\r', '$', ',', '@'}) {
        table[c] = kSeparator;
    }
    table['#'] = kEndOfDay;
    table[kControlZ] = kEndOfRecord;
    return table;
}

std::string FileErrorText(int error) {
    switch (error) {
        case ENOENT:
            return "File not found";
        case ENOTDIR:
            return "Path not found";
        case EACCES:
        case EPERM:
        case EISDIR:
            return "File access denied";
        default:
            return "I/O error " + std::to_string(error);
    }
}

// Closes the descriptor on every way out, including the exceptions of the hooks.
class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    int Get() const { return fd_; }

  private:
    int fd_;
};

void FinishPendingWord(ReaderState& state, ItemList& items, SymptomCounters& totals,
                       const SymptomNameViews& names, const ReaderHooks& hooks) {
    std::string& word = state.Word;
    if (word.back() == ' ') {
        word.pop_back();  // one trailing space only; a second one stays
    }

    state.SymptomFlag = false;
    if (names.MayName(word)) {
        for (int i = 1; i <= kSymptomCount; ++i) {
            // No early exit: duplicate names each count, the last index takes the credit.
            if (word == names.Views[i]) {
                state.SymptomFlag = true;
                state.MatchedSymptom = i;
                totals[i] = SaturatingAdd(totals[i], 1);
                if (hooks.Evidence != nullptr) {
                    hooks.Evidence->SymptomOccurred(i);
                }
            }
        }
    }

    if (state.SymptomFlag) {
        const int symptom = state.MatchedSymptom;
        for (const auto& day : state.Window.Days) {
            // A day fills its slots from the first one on and empties them all at
            // once, so the first empty slot ends the day's items.
            for (TItemNode* node : day) {
                if (node == nullptr) {
                    break;
                }
                node->SymptomHits[symptom] = SaturatingAdd(node->SymptomHits[symptom], 1);
            }
        }
        if (hooks.Evidence != nullptr) {
            hooks.Evidence->WindowCredited(symptom);
        }
    } else if (TItemNode* node = items.AddOccurrence(word)) {
        ++state.DayItemCount;
        if (state.DayItemCount > kDaySlots) {
            state.DayItemCount = kDaySlots;
            // Once per diary day: a diary without "#" would otherwise raise one box
            // per extra item.
            if (!state.DayOverflowReported) {
                state.DayOverflowReported = true;
                if (hooks.OnTooManyItemsPerDay) {
                    hooks.OnTooManyItemsPerDay();
                }
            }
        }
        state.Window.Days[0][state.DayItemCount - 1] = node;
        if (hooks.Evidence != nullptr) {
            hooks.Evidence->ItemPlaced(node, state.DayItemCount - 1);
        }
    }
    word.clear();
}

}  // namespace

void DayWindow::Clear() {
    for (auto& day : Days) {
        day.fill(nullptr);
    }
}

void DayWindow::EndDay() {
    Days[2] = Days[1];
    Days[1] = Days[0];
    Days[0].fill(nullptr);
}

void ReaderState::Reset() {
    Word.clear();
    Window.Clear();
    DayItemCount = 0;
    MatchedSymptom = 0;
    SymptomFlag = false;
    DayOverflowReported = false;
}

RecordReader::RecordReader(ReaderState& state, ItemList& items, SymptomCounters& totals,
                           const SymptomTable& symptoms, const ReaderHooks& hooks)
    : state_(state), items_(items), totals_(totals), symptoms_(symptoms), hooks_(hooks) {}

bool RecordReader::Feed(std::string_view bytes) {
    if (ended_) {
        return false;
    }
    static const CharacterTable kTable = MakeCharacterTable();
    std::string& word = state_.Word;
    const SymptomNameViews names = ViewNames(symptoms_);
    DiaryEvidence* const evidence = hooks_.Evidence;
    // Only the first lines of each day go to the evidence, for the day's label.
    bool labelText = evidence != nullptr && evidence->WantsText();
    // The word is built in a local buffer and stored back before anything reads it.
    // Letters and skipped bytes, nearly every byte of a noisy file, take one
    // predictable branch: the letter is stored either way and counted only when it
    // is one and the word has room (letters beyond the thirtieth are dropped
    // without a word break).
    char built[kShortNameLength + 1];
    std::size_t length = word.copy(built, kShortNameLength);  // never longer, by the rules
    const auto store = [&]() { word.assign(built, length); };
    for (const char c : bytes) {
        if (labelText) {
            evidence->Text(c);
            labelText = evidence->WantsText();
        }
        const unsigned char folded = kTable[static_cast<unsigned char>(c)];
        if (static_cast<unsigned char>(folded - 1) >= 'A' - 1) {  // skipped (0) or a letter
            built[length] = static_cast<char>(folded);
            length += static_cast<std::size_t>(folded != kSkipped && length < kShortNameLength);
            continue;
        }
        switch (folded) {
            case ' ':
                if (length != 0 && length < kShortNameLength) {
                    built[length++] = ' ';  // leading spaces vanish
                }
                break;
            case kEndOfRecord:
                // Ends the record like the physical end of the file: the pending
                // word is dropped and nothing after it is read.
                store();
                ended_ = true;
                return false;
            case kEndOfDay:
                // The day ends first, so a pending word goes into the new day.
                state_.Window.EndDay();
                state_.DayItemCount = 0;
                state_.DayOverflowReported = false;
                if (evidence != nullptr) {
                    evidence->DayEnded();
                    labelText = evidence->WantsText();
                }
                if (hooks_.OnDayEnd) {
                    store();  // the hook may look at the state
                    hooks_.OnDayEnd();
                }
                [[fallthrough]];
            default:  // a separator
                if (length != 0) {
                    store();
                    FinishPendingWord(state_, items_, totals_, names, hooks_);
                    length = 0;
                }
                break;
        }
    }
    store();
    return true;
}

void ReadRecordFile(const std::string& path, ReaderState& state, ItemList& items,
                    SymptomCounters& totals, const SymptomTable& symptoms,
                    const ReaderHooks& hooks) {
    items.SetUp();

    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.Get() < 0) {
        throw QuorvaneError(FileErrorText(errno));
    }
    RecordReader reader(state, items, totals, symptoms, hooks);
    // Chunked reading keeps memory flat for any file size.
    std::vector<char> buffer(64 * 1024);
    for (;;) {
        const ssize_t got = ::read(file.Get(), buffer.data(), buffer.size());
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw QuorvaneError(FileErrorText(errno));
        }
        if (got == 0) {
            break;  // a word still pending here is dropped
        }
        if (!reader.Feed(std::string_view(buffer.data(), static_cast<std::size_t>(got)))) {
            break;
        }
    }
}

}  // namespace quorvane
