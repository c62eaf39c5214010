#pragma once

#include <cstdint>

namespace quorvane {

// SplitMix64: the same numbers on every platform and standard library, so a
// stored seed names one period order and one power figure everywhere.
class ChallengeRandom {
  public:
    explicit ChallengeRandom(uint64_t seed) : state_(seed) {}
    uint64_t Next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    double Unit() { return static_cast<double>(Next() >> 11) / static_cast<double>(1ULL << 53); }
    bool Chance(double p) { return Unit() < p; }
    std::size_t Below(std::size_t bound) { return static_cast<std::size_t>(Next() % bound); }

  private:
    uint64_t state_;
};

}  // namespace quorvane
