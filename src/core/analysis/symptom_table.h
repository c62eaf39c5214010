#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quorvane {

inline constexpr std::size_t kShortNameLength = 30;
inline constexpr int kSymptomCount = 22;
inline constexpr int kRandomSymptom = 1;
inline constexpr int kFirstUserSymptom = 2;
inline constexpr int kLastUserSymptom = 21;
inline constexpr int kTotalSymptom = 22;

// Names and counters are indexed 1 to 22 like the symptom table; entry 0 is unused.
using SymptomCounters = std::array<int32_t, kSymptomCount + 1>;

// A short name keeps at most 30 bytes; longer values are cut when stored.
std::string ShortName(std::string_view value);

// Adds one, or `amount`, without wrapping past the largest 32-bit value: years of
// diary with many symptoms in a window must never turn a count negative.
int32_t SaturatingAdd(int32_t counter, int64_t amount);

class SymptomTable {
  public:
    SymptomTable();  // the built-in values

    static std::string BuiltInName(int index);

    const std::string& Name(int index) const;         // 1 to 22
    void SetName(int index, std::string_view value);  // stored cut to 30 bytes

  private:
    std::array<std::string, kSymptomCount + 1> names_;
};

}  // namespace quorvane
