#pragma once

#include <cstdint>
#include <cstring>

namespace skarvel {

// Zero and denormal floats (all exponent bits clear) become exactly 0. Filters store their
// states through this, so a decaying tail ends in true silence instead of slow denormal
// arithmetic.
inline float flushDenormal(float x) {
  std::uint32_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  return (bits & 0x7F800000u) ? x : 0.0f;
}

// Magnitudes below `limit` become 0.
inline float flushBelow(float x, float limit) { return (x < limit && x > -limit) ? 0.0f : x; }

}  // namespace skarvel
