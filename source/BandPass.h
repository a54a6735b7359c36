#pragma once

#include <cmath>
#include <numbers>

namespace skarvel {

// Two cascaded constant-peak band-pass sections sharing one design (the band-pass melody of a
// voice). Coefficients in double, states in float.
struct BandPass {
  double b0 = 0.0, b1 = 0.0, b2 = 0.0, a1 = 0.0, a2 = 0.0;
  float x1 = 0.0f, x2 = 0.0f, y1 = 0.0f, y2 = 0.0f;      // section 1
  float sx1 = 0.0f, sx2 = 0.0f, sy1 = 0.0f, sy2 = 0.0f;  // section 2
  float sampleRate = 44100.0f;

  // Centre and -3 dB width in Hz.
  void design(double centre, double width) {
    const double sr = sampleRate;
    const double c = std::tan(std::numbers::pi * width / sr);
    const double e = 1.0 / c;
    const double g = 1.0 / (e + 1.0);
    b0 = g;
    b1 = 0.0;
    b2 = -g;
    a1 = -2.0 * g * e * std::cos(2.0 * std::numbers::pi * centre / sr);
    a2 = (e - 1.0) * g;
  }

  void clear() {
    b0 = b1 = b2 = a1 = a2 = 0.0;
    x1 = x2 = y1 = y2 = 0.0f;
    sx1 = sx2 = sy1 = sy2 = 0.0f;
  }

  float step(float s) {
    const float y = static_cast<float>(b0 * s + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2);
    x2 = x1;
    x1 = s;
    y2 = y1;
    y1 = y;
    const float m = static_cast<float>(b0 * y + b1 * sx1 + b2 * sx2 - a1 * sy1 - a2 * sy2);
    sx2 = sx1;
    sx1 = y;
    sy2 = sy1;
    sy1 = m;
    return m;
  }
};

}  // namespace skarvel
