#include "core/analysis/analysis_state.h"

#include "core/analysis/correlation.h"

namespace quorvane {

void ResetAnalysis(AnalysisState& state, TextGrid& grid, const SymptomTable& symptoms) {
    grid.ClearCells();
    state.Items.Discard();
    state.Reader.Reset();
    state.Evidence.Clear();
    state.SymptomTotals.fill(0);
    state.PressedColumn = 0;
    state.PressedRow = 0;
    ResetResultsHeader(grid, symptoms, state.SymptomTotals);
}

}  // namespace quorvane
