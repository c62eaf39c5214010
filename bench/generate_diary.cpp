// Writes a benchmark diary:
//   quorvane-generate-diary OUTPUT [SEED]                    the 10-year diary
//   quorvane-generate-diary OUTPUT SEED --random-bytes MB    MB megabytes of random bytes
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <random>
#include <string>

#include "diary_generator.h"

namespace {

// Uniform bytes from a seeded engine, so a size and seed always give the same file;
// a control-Z would end the record within the first few hundred bytes, so it becomes
// a NUL (a skipped byte).
std::string RandomBytes(uint64_t seed, std::size_t megabytes) {
    constexpr char kControlZ = 26;
    std::mt19937_64 engine(seed);
    std::string bytes(megabytes * 1024 * 1024, '\0');
    for (std::size_t i = 0; i < bytes.size(); i += 8) {
        const uint64_t value = engine();
        std::memcpy(bytes.data() + i, &value, std::min<std::size_t>(8, bytes.size() - i));
    }
    for (char& byte : bytes) {
        byte = byte == kControlZ ? '\0' : byte;
    }
    return bytes;
}

}  // namespace

int main(int argc, char** argv) {
    const bool random = argc == 5 && std::strcmp(argv[3], "--random-bytes") == 0;
    if (argc < 2 || argc > 5 || argc == 4 || (argc == 5 && !random)) {
        std::cerr << "usage: quorvane-generate-diary OUTPUT [SEED [--random-bytes MB]]\n";
        return 2;
    }
    const uint64_t seed = argc >= 3 ? std::strtoull(argv[2], nullptr, 10) : 1;
    const std::string diary = random ? RandomBytes(seed, std::strtoull(argv[4], nullptr, 10))
                                     : quorvane::bench::GenerateDiary(seed);
    std::ofstream out(argv[1], std::ios::binary);
    out.write(diary.data(), static_cast<std::streamsize>(diary.size()));
    out.close();
    if (!out) {
        std::cerr << "cannot write " << argv[1] << '\n';
        return 1;
    }
    return 0;
}
