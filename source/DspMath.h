#pragma once

#include <cfloat>
#include <cmath>

namespace skarvel {

// Small per-sample helpers shared by the engine's building blocks.

// Zero for denormal (and zero) values, the value otherwise: subnormal floats are slow on x86 and
// inaudible, so feedback paths drop them at every store.
inline float flushDenormal(float x) { return std::fabs(x) < FLT_MIN ? 0.0f : x; }

// Zero when |x| is below `limit`.
inline float flushBelow(float x, float limit) { return std::fabs(x) < limit ? 0.0f : x; }

// Four-point Catmull-Rom interpolation in a power-of-two ring (indices wrapped with `mask`),
// read `delay` samples behind the ring position `write` (delay ≥ 0; add the ring length to
// read ahead). Splitting off the whole samples first keeps the fraction
// exact however large the ring, and needs no floor.
template <typename T>
inline T catmullRomDelayed(const float* line, int mask, int write, T delay) {
  const int whole = static_cast<int>(delay);
  const T frac = T(1) - (delay - T(whole));  // position = (write − whole − 1) + frac
  const int i = write - whole - 1;
  const T ym1 = line[(i - 1) & mask];
  const T y0 = line[i & mask];
  const T y1 = line[(i + 1) & mask];
  const T y2 = line[(i + 2) & mask];
  const T c1 = T(0.5) * (y1 - ym1);
  const T c2 = ym1 - T(2.5) * y0 + T(2) * y1 - T(0.5) * y2;
  const T c3 = T(0.5) * ((y0 - y1) * T(3) - ym1 + y2);
  return ((c3 * frac + c2) * frac + c1) * frac + y0;
}

}  // namespace skarvel
