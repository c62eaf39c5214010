#include "core/settings/symptom_rename.h"

#include "core/text/ascii.h"

namespace quorvane {

bool RenameSymptom(SymptomTable& symptoms, int slot, std::string_view shownName,
                   std::string_view answer) {
    const std::string name = UpperAscii(answer);
    if (name == shownName) {
        return false;
    }
    symptoms.SetName(slot, name);
    return true;
}

}  // namespace quorvane
