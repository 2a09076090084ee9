// A small seeded generator (SplitMix64) whose sequence is the same on every
// platform and library, so that a faulty run can be repeated exactly.
#pragma once

#include <cstdint>

namespace sim {

class Random {
 public:
  explicit Random(std::uint64_t seed = 1) : state_(seed) {}

  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }

  // True with the given probability; draws nothing for a share of 0 or 1.
  bool Chance(double share) {
    if (share <= 0.0) return false;
    if (share >= 1.0) return true;
    return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0) < share;
  }

  // 0 to n - 1.
  std::uint32_t Below(std::uint32_t n) {
    return n == 0 ? 0 : static_cast<std::uint32_t>(Next() % n);
  }

 private:
  std::uint64_t state_;
};

}  // namespace sim
