#pragma once

#include <string>
#include <string_view>

#include "core/analysis/symptom_table.h"

namespace quorvane {

// Renames `slot` to the upper-cased answer when that differs from the name the
// list shows; the table cuts it to a short name. Returns whether the table changed.
bool RenameSymptom(SymptomTable& symptoms, int slot, std::string_view shownName,
                   std::string_view answer);

}  // namespace quorvane
