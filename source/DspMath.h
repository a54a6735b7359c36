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
inline float flushDenormalInRender(float x) {
#if defined(__SSE__)
  return x;
#else
  return flushDenormal(x);
#endif
}

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

// Hyperbolic tangent to within a few float ulps of std::tanh, several times faster: the library
// call dominated the voice loop. Near zero an odd Taylor polynomial (no cancellation), beyond
// it the exponential form; |x| ≥ 9.1 is ±1 in float anyway. NaN stays NaN.
inline float fastTanh(float x) {
  const float ax = std::fabs(x);
  if (ax < 0.4f) {
    const float x2 = x * x;
    // x − x³/3 + 2x⁵/15 − 17x⁷/315 + 62x⁹/2835 − 1382x¹¹/155925 + 21844x¹³/6081075
    float p = 21844.0f / 6081075.0f;
    p = p * x2 - 1382.0f / 155925.0f;
    p = p * x2 + 62.0f / 2835.0f;
    p = p * x2 - 17.0f / 315.0f;
    p = p * x2 + 2.0f / 15.0f;
    p = p * x2 - 1.0f / 3.0f;
    return x + x * x2 * p;
  }
  if (ax >= 9.1f) return std::copysign(1.0f, x);
  const float t = 1.0f - 2.0f / (std::exp(2.0f * ax) + 1.0f);
  return std::copysign(t, x);
}

}  // namespace skarvel
