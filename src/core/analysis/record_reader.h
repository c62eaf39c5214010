#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "core/analysis/item_list.h"
#include "core/analysis/symptom_table.h"

namespace quorvane {

inline constexpr int kDaySlots = 200;

class DiaryEvidence;

// Day 0 is the current diary day, 1 the day before, 2 the day before that.
struct DayWindow {
    std::array<std::array<TItemNode*, kDaySlots>, 3> Days{};

    void Clear();
    void EndDay();  // day 1 -> day 2 -> dropped; day 0 -> day 1; day 0 emptied
};

struct ReaderState {
    std::string Word;  // the word being built, at most 30 bytes
    DayWindow Window;
    int32_t DayItemCount = 0;
    int32_t MatchedSymptom = 0;
    bool SymptomFlag = false;
    bool DayOverflowReported = false;

    void Reset();
};

struct ReaderHooks {
    std::function<void()> OnDayEnd;              // once per "#": the progress step
    std::function<void()> OnTooManyItemsPerDay;  // at most once per diary day
    DiaryEvidence* Evidence = nullptr;           // fed in the same pass when set
};

// Feeds diary bytes through the word, separator and day rules. The caller sets up
// the item list and resets the state before the first chunk.
class RecordReader {
  public:
    RecordReader(ReaderState& state, ItemList& items, SymptomCounters& totals,
                 const SymptomTable& symptoms, const ReaderHooks& hooks);

    // Returns false once a control-Z has ended the record; later chunks are ignored.
    bool Feed(std::string_view bytes);

  private:
    ReaderState& state_;
    ItemList& items_;
    SymptomCounters& totals_;
    const SymptomTable& symptoms_;
    const ReaderHooks& hooks_;
    bool ended_ = false;
};

// Sets up the item list and reads the whole file. A file that cannot be opened or
// read raises "File not found" (missing) or the matching file error.
void ReadRecordFile(const std::string& path, ReaderState& state, ItemList& items,
                    SymptomCounters& totals, const SymptomTable& symptoms,
                    const ReaderHooks& hooks);

}  // namespace quorvane
