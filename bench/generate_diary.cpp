// Writes the benchmark diary: generate_diary OUTPUT [SEED]
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

#include "diary_generator.h"

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::cerr << "usage: quorvane-generate-diary OUTPUT [SEED]\n";
        return 2;
    }
    const uint64_t seed = argc == 3 ? std::strtoull(argv[2], nullptr, 10) : 1;
    const std::string diary = quorvane::bench::GenerateDiary(seed);
    std::ofstream out(argv[1], std::ios::binary);
    out.write(diary.data(), static_cast<std::streamsize>(diary.size()));
    out.close();
    if (!out) {
        std::cerr << "cannot write " << argv[1] << '\n';
        return 1;
    }
    return 0;
}
