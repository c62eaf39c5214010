#include "core/settings/symptom_rename.h"

namespace quorvane {

std::string UpperCaseAsciiLetters(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return upper;
}

bool RenameSymptom(SymptomTable& symptoms, int slot, std::string_view shownName,
                   std::string_view answer) {
    const std::string name = UpperCaseAsciiLetters(answer);
    if (name == shownName) {
        return false;
    }
    symptoms.SetName(slot, name);
    return true;
}

}  // namespace quorvane
