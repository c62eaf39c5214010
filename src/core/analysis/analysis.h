#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/analysis/item_list.h"
#include "core/analysis/record_reader.h"
#include "core/analysis/symptom_table.h"
#include "core/analysis/text_grid.h"
#include "core/evidence/diary_evidence.h"

namespace quorvane {

// What a read tells its caller while it runs, and whether it gathers the evidence
// behind the results in the same pass.
struct ReadHooks {
    std::function<void()> OnDayEnd;              // once per "#": the progress step
    std::function<void()> OnTooManyItemsPerDay;  // at most once per diary day
    bool GatherEvidence = false;
};

// The whole state of one analysis and its steps, in the order a run takes them:
// Reset, Read, ComputeTotals, Correlate, SortColumns, PrepareReport. The window,
// quorvane-report, the benchmarks and the fuzz targets all run it through here.
class Analysis {
  public:
    // The table is the program's; renames show at the next Reset or
    // RefreshSymptomHeadings.
    explicit Analysis(const SymptomTable& symptoms);
    Analysis(const Analysis&) = delete;
    Analysis& operator=(const Analysis&) = delete;

    // Cells emptied (row count kept), items released, reader and counters zeroed,
    // evidence cleared, the results heading rebuilt.
    void Reset();
    // Sets up the item list and reads the record file; each new item grows the grid
    // by a row. Raises "File not found" or the matching file error.
    void Read(const std::string& path, const ReadHooks& hooks = {});
    // The same from bytes in memory, fed in chunks of `chunk` bytes (0: at once).
    void ReadBytes(std::string_view bytes, const ReadHooks& hooks = {}, std::size_t chunk = 0);
    // The same from chunks in memory. Returns the index of the chunk whose
    // control-Z ended the record, or the chunk count when none did.
    std::size_t ReadChunks(std::span<const std::string_view> chunks, const ReadHooks& hooks = {});
    // The TOTAL hits, and the evidence finished when the read gathered it.
    void ComputeTotals(int32_t minimum);
    void Correlate(int32_t minimum, char decimalSeparator);
    void SortColumns();
    // The report's lines; empties the headings of symptoms that did not occur.
    std::vector<std::string> PrepareReport(int32_t columnWidth);

    // After a rename: the 22 headings and the totals only.
    void RefreshSymptomHeadings();
    // Items released and the day window emptied, as before any run.
    void Release();

    const SymptomTable& Symptoms() const { return symptoms_; }
    const ItemList& Items() const { return items_; }
    ItemList& Items() { return items_; }
    const SymptomCounters& Totals() const { return totals_; }
    const TextGrid& Grid() const { return grid_; }
    const ReaderState& Reader() const { return reader_; }
    // Finished only after ComputeTotals of a read that gathered it.
    const DiaryEvidence& Evidence() const { return evidence_; }
    bool GatheredEvidence() const { return gathered_; }

    // Called after every step that changed the grid, also when a read fails.
    void SetGridChanged(std::function<void()> listener) { gridChanged_ = std::move(listener); }

  private:
    void GridChanged() const;
    template <typename Feed>
    void ReadWith(const ReadHooks& hooks, Feed feed);

    const SymptomTable& symptoms_;
    ItemList items_;
    ReaderState reader_;
    SymptomCounters totals_{};
    TextGrid grid_;
    DiaryEvidence evidence_;
    bool gathered_ = false;
    std::function<void()> gridChanged_;
};

}  // namespace quorvane
