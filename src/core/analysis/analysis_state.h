#pragma once

#include <cstdint>

#include "core/evidence/diary_evidence.h"
#include "core/analysis/item_list.h"
#include "core/analysis/record_reader.h"
#include "core/analysis/symptom_table.h"
#include "core/analysis/text_grid.h"

namespace quorvane {

// Everything an analysis run leaves behind, owned by the window for the program run.
struct AnalysisState {
    bool AnalysisDone = false;
    ItemList Items;
    ReaderState Reader;
    SymptomCounters SymptomTotals{};
    int32_t PressedColumn = 0;  // the results cell last pressed with the mouse
    int32_t PressedRow = 0;
    // Gathered only when the read is given it through ReaderHooks::Evidence.
    DiaryEvidence Evidence;
};

// The analysis reset, except clearing the report view, which the caller owns:
// cells emptied (row count kept), items released, window and counters zeroed,
// pressed cell (0,0), evidence cleared, results heading rebuilt.
void ResetAnalysis(AnalysisState& state, TextGrid& grid, const SymptomTable& symptoms);

}  // namespace quorvane
