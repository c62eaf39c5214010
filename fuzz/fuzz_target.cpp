// The libFuzzer entry of every target: arbitrary bytes through the target's check
// (QUORVANE_FUZZ_CHECK, declared in QUORVANE_FUZZ_HEADER); any broken rule aborts
// with its list.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include QUORVANE_FUZZ_HEADER

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto violations = quorvane::fuzzing::QUORVANE_FUZZ_CHECK(
        std::string_view(reinterpret_cast<const char*>(data), size));
    if (!violations.empty()) {
        for (const auto& violation : violations) {
            std::fprintf(stderr, "invariant broken: %s\n", violation.c_str());
        }
        std::abort();
    }
    return 0;
}
