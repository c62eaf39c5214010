#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <string_view>

#include "core/analysis/analysis_state.h"
#include "core/analysis/correlation.h"
#include "core/evidence/diary_evidence.h"
#include "core/evidence/evidence.h"
#include "core/analysis/record_reader.h"

namespace quorvane::testing {

// A read with the evidence gathered, fed from memory in chunks of `chunk` bytes
// (0: all at once), then ComputeTotals and the evidence's Finish.
struct EvidenceRun {
    SymptomTable Symptoms;
    AnalysisState State;
    TextGrid Grid;

    void Analyse(std::string_view text, std::string_view minimum = "1", std::size_t chunk = 0) {
        ResetAnalysis(State, Grid, Symptoms);
        State.Items.SetUp();
        State.Items.SetRowHook(GridRowHook(Grid));
        ReaderHooks hooks;
        hooks.Evidence = &State.Evidence;
        RecordReader reader(State.Reader, State.Items, State.SymptomTotals, Symptoms, hooks);
        const std::size_t step = chunk == 0 ? std::max<std::size_t>(text.size(), 1) : chunk;
        for (std::size_t at = 0; at < text.size(); at += step) {
            reader.Feed(text.substr(at, step));
        }
        ComputeTotals(State.Items, State.SymptomTotals, Grid, Symptoms, minimum);
        State.Evidence.Finish(Symptoms, TotalSymptoms(Grid, Symptoms));
    }

    const TItemNode& Item(std::string_view name) const {
        for (const TItemNode* node = State.Items.First(); node != nullptr; node = node->Next) {
            if (node->Name == name) {
                return *node;
            }
        }
        ADD_FAILURE() << "no item " << name;
        return State.Items.Head();
    }

    CellEvidence Cell(std::string_view name, int symptom) const {
        return ComputeCellEvidence(State.Evidence, Item(name), symptom);
    }
};

}  // namespace quorvane::testing
