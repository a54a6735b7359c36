#pragma once

#include <cfloat>
#include <cmath>

namespace skarvel {

// Small per-sample helpers shared by the engine's building blocks.

// Zero for denormal (and zero) values, the value otherwise: subnormal floats are slow on x86 and
// inaudible, so feedback paths drop them at every store.
inline float flushDenormal(float x) { return std::fabs(x) < FLT_MIN ? 0.0f : x; }

// flushDenormal for the states of filters that run only while the engine renders a block. The
// engine renders with the SSE flush-to-zero and denormals-are-zero modes on, so on SSE targets
// the hardware already turns subnormal results into zero (keeping the sign of the zero) and the
// explicit test would only lengthen every filter's feedback path; elsewhere it flushes as above.
// (Lane types have their own overload.)
inline float flushInRender(float x) {
#if defined(__SSE__)
  return x;
#else
  return flushDenormal(x);
#endif
}

// Zero when |x| is below `limit`.
inline float flushBelow(float x, float limit) { return std::fabs(x) < limit ? 0.0f : x; }

// Four-point Catmull-Rom interpolation between y0 and y1 at `frac` (0..1), from the samples
// ym1, y0, y1, y2 in a row; for floats, doubles and lane types alike.
template <typename T>
inline T catmullRom(T ym1, T y0, T y1, T y2, T frac) {
  const T c1 = T(0.5) * (y1 - ym1);
  const T c2 = ym1 - T(2.5) * y0 + T(2) * y1 - T(0.5) * y2;
  const T c3 = T(0.5) * ((y0 - y1) * T(3) - ym1 + y2);
  return ((c3 * frac + c2) * frac + c1) * frac + y0;
}

// catmullRom in a power-of-two ring (indices wrapped with `mask`), read `delay` samples behind
// the ring position `write` (delay >= 0; add the ring length to read ahead). Splitting off the
// whole samples first keeps the fraction exact however large the ring, and needs no floor.
template <typename T>
inline T catmullRomDelayed(const float* line, int mask, int write, T delay) {
  const int whole = static_cast<int>(delay);
  const T frac = T(1) - (delay - T(whole));  // position = (write - whole - 1) + frac
  const int i = write - whole - 1;
  return catmullRom<T>(line[(i - 1) & mask], line[i & mask], line[(i + 1) & mask], line[(i + 2) & mask], frac);
}

}  // namespace skarvel
