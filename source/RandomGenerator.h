#pragma once

#include <cstdint>

namespace skarvel {

// The engine's one pseudo-random source: integers uniform in 0..32767 from a 32-bit linear
// congruential generator. Every draw of an engine instance (dither, noise oscillators, reverb)
// comes from its own generator with a fixed seed, so the same events and parameters always
// render the same samples.
class RandomGenerator {
 public:
  static constexpr std::uint32_t kDefaultSeed = 1;
  static constexpr int kMax = 32767;

  explicit RandomGenerator(std::uint32_t seed = kDefaultSeed) : m_state(seed) {}

  void seed(std::uint32_t seed) { m_state = seed; }
  // The generator's position: seed(state()) later repeats the draws from here.
  std::uint32_t state() const { return m_state; }

  // 0..32767
  int next() {
    m_state = m_state * 214013u + 2531011u;
    return static_cast<int>((m_state >> 16) & 0x7FFFu);
  }

 private:
  std::uint32_t m_state;
};

}  // namespace skarvel
