// Arbitrary bytes through the text codec; any broken rule aborts with its list.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "text_codec_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto violations = quorvane::fuzzing::CheckTextCodec(
        std::string_view(reinterpret_cast<const char*>(data), size));
    if (!violations.empty()) {
        for (const auto& violation : violations) {
            std::fprintf(stderr, "invariant broken: %s\n", violation.c_str());
        }
        std::abort();
    }
    return 0;
}
