// Arbitrary bytes as a settings file's content, a few writes in memory, and the
// round-trip rules checked. The file path's own behaviour is replayed by the tests.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "profile_round_trip_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto violations = quorvane::fuzzing::CheckProfileRoundTrip(
        std::string_view(reinterpret_cast<const char*>(data), size));
    if (!violations.empty()) {
        for (const auto& violation : violations) {
            std::fprintf(stderr, "invariant broken: %s\n", violation.c_str());
        }
        std::abort();
    }
    return 0;
}
