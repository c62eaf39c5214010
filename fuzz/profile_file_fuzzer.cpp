// Arbitrary bytes as a settings file, a few writes, and the round-trip rules checked.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "profile_round_trip_check.h"

namespace {

std::string& Folder() {
    static std::string folder;
    return folder;
}

void RemoveFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(Folder(), ignored);
}

}  // namespace

// One private folder per fuzzing process, under TMPDIR (the fuzz script points it
// into its build folder).
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::string pattern = (std::filesystem::temp_directory_path() / "profile-fuzz-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        std::perror("mkdtemp");
        std::abort();
    }
    Folder() = pattern;
    std::atexit(RemoveFolder);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto violations = quorvane::fuzzing::CheckProfileRoundTrip(
        std::string_view(reinterpret_cast<const char*>(data), size), Folder());
    if (!violations.empty()) {
        for (const auto& violation : violations) {
            std::fprintf(stderr, "invariant broken: %s\n", violation.c_str());
        }
        std::abort();
    }
    return 0;
}
