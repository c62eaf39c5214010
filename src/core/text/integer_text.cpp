#include "core/text/integer_text.h"

#include <limits>
#include <string>

#include "core/text/concat.h"
#include "core/text/quorvane_error.h"

namespace quorvane {

int32_t StrToInt(std::string_view text) {
    const auto fail = [text]() {
        return QuorvaneError(Concat({"'", text, "' is not a valid integer value"}));
    };
    std::size_t pos = 0;
    while (pos < text.size() && text[pos] == ' ') {
        ++pos;
    }
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    if (pos == text.size()) {
        throw fail();
    }
    // Accumulate in 64 bits and stop as soon as the value leaves the 32-bit range.
    constexpr int64_t kLimit = static_cast<int64_t>(std::numeric_limits<int32_t>::max()) + 1;
    int64_t value = 0;
    for (; pos < text.size(); ++pos) {
        const char c = text[pos];
        if (c < '0' || c > '9') {
            throw fail();
        }
        value = value * 10 + (c - '0');
        if (value > kLimit) {
            throw fail();
        }
    }
    if (negative) {
        value = -value;
    }
    if (value > std::numeric_limits<int32_t>::max() ||
        value < std::numeric_limits<int32_t>::min()) {
        throw fail();
    }
    return static_cast<int32_t>(value);
}

}  // namespace quorvane
