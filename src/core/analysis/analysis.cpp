#include "core/analysis/analysis.h"

#include <algorithm>

#include "core/analysis/correlation.h"
#include "core/analysis/report.h"

namespace quorvane {

Analysis::Analysis(const SymptomTable& symptoms) : symptoms_(symptoms), grid_(kResultsColumns, 2) {
    ResetResultsHeader(grid_, symptoms_, totals_);
}

void Analysis::Reset() {
    grid_.ClearCells();
    items_.Discard();
    reader_.Reset();
    evidence_.Clear();
    gathered_ = false;
    totals_.fill(0);
    ResetResultsHeader(grid_, symptoms_, totals_);
    GridChanged();
}

template <typename Feed>
void Analysis::ReadWith(const ReadHooks& hooks, Feed feed) {
    ReaderHooks readerHooks{hooks.OnDayEnd, hooks.OnTooManyItemsPerDay,
                            hooks.GatherEvidence ? &evidence_ : nullptr};
    gathered_ = hooks.GatherEvidence;
    items_.SetRowHook(GridRowHook(grid_));
    try {
        feed(readerHooks);
    } catch (...) {
        // The rows read so far are in the grid and are shown with the error.
        GridChanged();
        throw;
    }
    GridChanged();
}

void Analysis::Read(const std::string& path, const ReadHooks& hooks) {
    ReadWith(hooks, [&](const ReaderHooks& readerHooks) {
        ReadRecordFile(path, reader_, items_, totals_, symptoms_, readerHooks);
    });
}

void Analysis::ReadBytes(std::string_view bytes, const ReadHooks& hooks, std::size_t chunk) {
    const std::size_t step = chunk == 0 ? std::max<std::size_t>(bytes.size(), 1) : chunk;
    std::vector<std::string_view> chunks;
    for (std::size_t at = 0; at < bytes.size(); at += step) {
        chunks.push_back(bytes.substr(at, step));
    }
    ReadChunks(chunks, hooks);
}

std::size_t Analysis::ReadChunks(std::span<const std::string_view> chunks, const ReadHooks& hooks) {
    std::size_t fed = 0;
    ReadWith(hooks, [&](const ReaderHooks& readerHooks) {
        items_.SetUp();
        RecordReader reader(reader_, items_, totals_, symptoms_, readerHooks);
        while (fed < chunks.size() && reader.Feed(chunks[fed])) {
            ++fed;
        }
    });
    return fed;
}

void Analysis::ComputeTotals(int32_t minimum) {
    quorvane::ComputeTotals(items_, totals_, grid_, symptoms_, minimum);
    if (gathered_) {
        evidence_.Finish(symptoms_, TotalSymptoms(grid_, symptoms_));
    }
}

void Analysis::Correlate(int32_t minimum, char decimalSeparator) {
    quorvane::Correlate(items_, totals_, grid_, minimum, decimalSeparator);
    GridChanged();
}

void Analysis::SortColumns() {
    quorvane::SortColumns(grid_);
    GridChanged();
}

std::vector<std::string> Analysis::PrepareReport(int32_t columnWidth) {
    std::vector<std::string> lines = quorvane::PrepareReport(grid_, columnWidth);
    GridChanged();
    return lines;
}

void Analysis::RefreshSymptomHeadings() {
    quorvane::RefreshSymptomHeadings(grid_, symptoms_, totals_);
    GridChanged();
}

void Analysis::Release() {
    items_.Discard();
    reader_.Window.Clear();
}

void Analysis::GridChanged() const {
    if (gridChanged_) {
        gridChanged_();
    }
}

}  // namespace quorvane
