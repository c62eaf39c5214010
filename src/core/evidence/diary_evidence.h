#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/analysis/item_list.h"
#include "core/analysis/record_reader.h"
#include "core/analysis/symptom_table.h"
#include "core/analysis/text_grid.h"

namespace quorvane {

inline constexpr std::size_t kDayLabelLength = 40;
inline constexpr int kLagDays = 3;

// The symptoms 2 to 21 that the TOTAL column sums: those whose heading is in place.
using SymptomMask = std::array<bool, kSymptomCount + 1>;

// The hits of one item for one symptom, split by the day buffer the item sat in
// when the symptom credited it: [0] the same day, [1] one day before, [2] two.
using LagProfile = std::array<int32_t, kLagDays>;

// The symptoms ComputeTotals adds into TOTAL: 2 to 21 whose heading cell still
// holds the symptom's name.
SymptomMask TotalSymptoms(const TextGrid& grid, const SymptomTable& symptoms);

// What the evidence of the results needs from a read of the record file, gathered
// by the reader in the same pass. Diary days are numbered from 0 in the order the
// reader's "#" ends them; an item or symptom belongs to the day the reader placed
// it in. Memory grows with the occurrences, never with days times items: a log of
// each day's items (about 2 bytes per item and day), each symptom's days, three
// lag parts per item and symptom that occurred, and labels of symptom days only.
class DiaryEvidence {
  public:
    // Before a read.
    void Clear();

    // Called by the reader.
    void ItemPlaced(const TItemNode* node, int slot);  // slot of the current day's buffer
    void SymptomOccurred(int index);                   // every matching entry
    void WindowCredited(int symptom);                  // the credit went to `symptom`
    void DayEnded();
    bool WantsText() const { return !labelDone_; }
    void Text(char c);  // the day's bytes until its label is complete

    // After the read: the last stretch without "#" counts as a day when an item
    // or symptom occurred in it. `inTotal` says which symptoms TOTAL stands for;
    // the names are kept as they were for this read.
    void Finish(const SymptomTable& symptoms, const SymptomMask& inTotal);

    bool Finished() const { return finished_; }
    uint32_t DayCount() const { return dayCount_; }
    const std::string& SymptomName(int symptom) const { return names_[symptom]; }
    // Ascending days the item occurred on; empty for an item this read never
    // placed. One item's days are found by a walk of the day log, so a tooltip
    // costs microseconds and the read builds no per-item lists.
    std::vector<uint32_t> ItemDays(const TItemNode& node) const;
    // Every item's days at once, for walking all the cells.
    struct ItemDayIndex {
        std::vector<std::size_t> Starts;  // by item id, plus the end
        std::vector<uint32_t> Days;
        // Beside Days when asked for: the item's place among the day's distinct
        // items in order of first occurrence, capped at 65535.
        std::vector<uint16_t> Positions;
        // Beside Days when positions are asked for: 1 for a day the item was
        // written once, 2 for twice or more (a second helping).
        std::vector<uint8_t> Helpings;
    };
    ItemDayIndex IndexItemDays(bool withPositions = false) const;
    std::span<const uint32_t> ItemDays(const ItemDayIndex& index, const TItemNode& node) const;
    LagProfile Lags(const TItemNode& node, int symptom) const;
    // Ascending days the symptom occurred on (1 to 22; 22 is any symptom of TOTAL).
    const std::vector<uint32_t>& SymptomDays(int symptom) const { return symptomDays_[symptom]; }
    // Beside SymptomDays for symptoms 1 to 21: how many distinct items the day had
    // logged before the symptom's first entry on it, capped at 65535.
    const std::vector<uint16_t>& SymptomPositions(int symptom) const {
        return symptomPositions_[symptom];
    }
    // The day's label: its first line holding a letter, trimmed of blanks and
    // leading commas, cut to 40 bytes; "day N" when it has none. Kept for symptom
    // days only: other days read "day N".
    std::string DayLabel(uint32_t day) const;
    // The labels of the first and the last diary day, kept whether or not they
    // had a symptom, for saying which stretch of the diary a result covers;
    // empty when that day has no label line.
    const std::string& FirstDayLabel() const { return firstLabel_; }
    const std::string& LastDayLabel() const { return lastLabel_; }

  private:
    static constexpr uint32_t kNone = UINT32_MAX;
    // Memory is what the evidence costs most: every fresh page is a fault. So the
    // storage is compact and grows by chunks that are never copied.
    // The day log: 16-bit units. An id below kDayMark takes one unit; kEscape and
    // two units hold a larger id; kDayMark and two units start the ids of a day.
    static constexpr std::size_t kLogChunk = 32768;
    static constexpr uint16_t kEscape = UINT16_MAX;
    static constexpr uint16_t kDayMark = UINT16_MAX - 1;
    // Lag parts: per symptom, chunks of 256 items with 3 parts each.
    static constexpr std::size_t kLagChunkItems = 256;

    // Node to item id, looked up once per occurrence: open addressing on the
    // node's address is several times cheaper here than a node-based hash map.
    // Slots hold ids; the nodes are in `items`.
    class NodeIds {
      public:
        // The id of `node`, adding it to `items` when new; `added` tells which.
        uint32_t FindOrAdd(const TItemNode* node, std::vector<const TItemNode*>& items,
                           bool& added);
        uint32_t Find(const TItemNode* node, const std::vector<const TItemNode*>& items) const;

      private:
        std::size_t Slot(const TItemNode* node) const;
        void Grow(const std::vector<const TItemNode*>& items);
        std::vector<uint32_t> slots_;  // kNone when empty
        int bits_ = 0;
    };

    void Log(uint16_t first, uint32_t value);  // first unit, then value in two
    void EndLabel();
    void CloseDay();
    template <typename Visit>
    void WalkDayLog(Visit visit) const;  // visit(id, day) for every log entry

    NodeIds ids_;
    std::vector<const TItemNode*> items_;  // by id, in order of first occurrence
    std::vector<uint32_t> lastDay_;        // by id: the last day it was logged on
    std::vector<uint32_t> lastRepeat_;     // by id: the last day it was written again
    // (id, day) once for each day an item was written twice or more: few, and
    // only the dose check asks for them.
    std::vector<std::pair<uint32_t, uint32_t>> repeats_;
    // Per symptom 1 to 21 (TOTAL is summed when asked), 3 parts per item id: one
    // credit walks many items of one symptom, so its parts lie close together,
    // and a symptom that never occurs takes no room.
    std::array<std::vector<std::unique_ptr<int32_t[]>>, kLastUserSymptom + 1> lags_;
    // Item ids once per item and day, in day order: about 2 bytes each.
    std::vector<std::vector<uint16_t>> dayLog_;
    std::size_t dayLogSize_ = 0;  // ids in the log
    uint32_t loggedDay_ = kNone;  // the day whose mark the log ends with
    // The reader's day window mirrored as item ids. The three buffers take turns
    // as the current day, so the end of a day copies nothing; a buffer's slots
    // below its fill count are in use, as the reader fills them from the first on.
    std::array<std::array<uint32_t, kDaySlots>, kLagDays> window_{};
    std::array<int, kLagDays> filled_{};
    int today_ = 0;
    std::array<std::vector<uint32_t>, kSymptomCount + 1> symptomDays_;
    std::array<std::vector<uint16_t>, kSymptomCount + 1> symptomPositions_;
    uint16_t dayItems_ = 0;  // distinct items logged on the current day
    std::array<std::string, kSymptomCount + 1> names_;
    SymptomMask inTotal_{};

    uint32_t day_ = 0;
    bool dayHasWord_ = false;
    bool dayHasSymptom_ = false;

    std::string label_;
    bool labelHasLetter_ = false;
    bool labelDone_ = false;
    std::vector<uint32_t> labelDays_;
    std::vector<std::size_t> labelStarts_;
    std::string labelText_;
    std::string firstLabel_;
    std::string lastLabel_;

    uint32_t dayCount_ = 0;
    bool finished_ = false;
};

}  // namespace quorvane
