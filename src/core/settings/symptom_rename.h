#pragma once

#include <string>
#include <string_view>

#include "core/analysis/symptom_table.h"

namespace quorvane {

// Only the ASCII letters a to z are raised; every other byte, including letters
// of the upper half of the code page, stays as typed.
std::string UpperCaseAsciiLetters(std::string_view text);

// Renames `slot` to the upper-cased answer when that differs from the name the
// list shows; the table cuts it to a short name. Returns whether the table changed.
bool RenameSymptom(SymptomTable& symptoms, int slot, std::string_view shownName,
                   std::string_view answer);

}  // namespace quorvane
