#pragma once

#include <cstdint>
#include <string_view>

namespace quorvane {

// Reads the text of an edit box as a signed 32-bit integer: optional leading
// blanks, an optional sign, then decimal digits and nothing else. Anything else
// raises "'<text>' is not a valid integer value" with the text unchanged.
int32_t StrToInt(std::string_view text);

}  // namespace quorvane
