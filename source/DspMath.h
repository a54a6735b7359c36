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

// Four-point Catmull-Rom interpolation in a power-of-two ring: reads `line` at the fractional
// position `position` (in samples, any sign), the four neighbours' indices wrapped with `mask`.
template <typename T>
inline T catmullRom(const float* line, int mask, T position) {
  const T whole = std::floor(position);
  const T frac = position - whole;
  const int i = static_cast<int>(whole);
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
