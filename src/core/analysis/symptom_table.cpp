#include "core/analysis/symptom_table.h"

#include <limits>

namespace quorvane {

std::string ShortName(std::string_view value) {
    return std::string(value.substr(0, kShortNameLength));
}

int32_t SaturatingAdd(int32_t counter, int64_t amount) {
    constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
    constexpr int64_t kMin = std::numeric_limits<int32_t>::min();
    // Clamp the amount first so that the 64-bit sum itself can never overflow.
    if (amount > kMax - kMin) {
        amount = kMax - kMin;
    } else if (amount < kMin - kMax) {
        amount = kMin - kMax;
    }
    const int64_t sum = static_cast<int64_t>(counter) + amount;
    if (sum > kMax) {
        return static_cast<int32_t>(kMax);
    }
    if (sum < kMin) {
        return static_cast<int32_t>(kMin);
    }
    return static_cast<int32_t>(sum);
}

std::string SymptomTable::BuiltInName(int index) {
    static const char* const kNamed[] = {"RANDOM",       "HEADACHE",   "WEIGHT GAIN",
                                         "STOMACH ACHE", "POOR SLEEP", "IBS",
                                         "MENTAL FOG",   "STRESSED",   "MOUTH ULCER"};
    if (index >= 1 && index <= 9) {
        return kNamed[index - 1];
    }
    if (index >= 10 && index <= kLastUserSymptom) {
        // Placeholders carry a number one lower than their slot and can never match
        // a diary word, which holds neither digits nor underscores.
        const int number = index - 1;
        std::string name;
        name += static_cast<char>('0' + number / 10);
        name += static_cast<char>('0' + number % 10);
        name += "_________";
        return name;
    }
    if (index == kTotalSymptom) {
        return "TOTAL";
    }
    return {};
}

SymptomTable::SymptomTable() {
    for (int i = 1; i <= kSymptomCount; ++i) {
        names_[i] = BuiltInName(i);
    }
}

const std::string& SymptomTable::Name(int index) const {
    static const std::string kNone;
    if (index < 1 || index > kSymptomCount) {
        return kNone;
    }
    return names_[index];
}

void SymptomTable::SetName(int index, std::string_view value) {
    if (index < 1 || index > kSymptomCount) {
        return;
    }
    names_[index] = ShortName(value);
}

}  // namespace quorvane
