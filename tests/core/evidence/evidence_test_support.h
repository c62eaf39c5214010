#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <string_view>

#include "core/analysis/analysis.h"
#include "core/evidence/evidence.h"

namespace quorvane::testing {

// A read with the evidence gathered, fed from memory in chunks of `chunk` bytes
// (0: all at once), then ComputeTotals, which finishes the evidence.
struct EvidenceRun {
    SymptomTable Symptoms;
    Analysis Engine{Symptoms};

    void Analyse(std::string_view text, int32_t minimum = 1, std::size_t chunk = 0) {
        Engine.Reset();
        ReadHooks hooks;
        hooks.GatherEvidence = true;
        Engine.ReadBytes(text, hooks, chunk);
        Engine.ComputeTotals(minimum);
    }

    const DiaryEvidence& Evidence() const { return Engine.Evidence(); }

    const TItemNode& Item(std::string_view name) const {
        for (const TItemNode* node = Engine.Items().First(); node != nullptr; node = node->Next) {
            if (node->Name == name) {
                return *node;
            }
        }
        ADD_FAILURE() << "no item " << name;
        return Engine.Items().Head();
    }

    CellEvidence Cell(std::string_view name, int symptom) const {
        return ComputeCellEvidence(Engine.Evidence(), Item(name), symptom);
    }
};

}  // namespace quorvane::testing
