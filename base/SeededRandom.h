#pragma once

#include <cstdint>
#include <string_view>

namespace plinka {

// A small deterministic generator (splitmix64): the same seed always renders the same sound.
class SeededRandom {
  public:
    explicit SeededRandom(uint64_t seed) : state_(seed) {}

    uint64_t next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // Uniform in [0, 1).
    double uniform() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }
    // Uniform in [-1, 1).
    double bipolar() { return 2.0 * uniform() - 1.0; }

  private:
    uint64_t state_;
};

// A stable seed from text (FNV-1a), so each named sound has its own noise.
constexpr uint64_t seedFromText(std::string_view text, uint64_t base = 0xCBF29CE484222325ULL) {
    uint64_t hash = base;
    for (char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001B3ULL;
    }
    return hash;
}

}  // namespace plinka
