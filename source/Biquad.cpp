#include "source/Biquad.h"

#include <cmath>
#include <numbers>

namespace skarvel {

double designFrequency(double hz, double sampleRate) {
  const double top = kMaxDesignShare * sampleRate;
  if (!(hz >= kMinDesignHz)) return hz == INFINITY ? top : kMinDesignHz;  // also NaN
  return hz > top ? top : hz;
}

void designLowPass(Biquad& biquad, double hz) {
  const double f = designFrequency(hz, biquad.sampleRate);
  const double c = 1.0 / std::tan(std::numbers::pi * f / biquad.sampleRate);
  const double k = 1.0 / (c * std::numbers::sqrt2 + c * c + 1.0);
  biquad.b0 = k;
  biquad.b1 = 2.0 * k;
  biquad.b2 = k;
  biquad.a1 = 2.0 * (1.0 - c * c) * k;
  biquad.a2 = (1.0 - c * std::numbers::sqrt2 + c * c) * k;
}

void designHighPass(Biquad& biquad, double hz) {
  const double f = designFrequency(hz, biquad.sampleRate);
  const double c = std::tan(std::numbers::pi * f / biquad.sampleRate);
  const double k = 1.0 / (c * std::numbers::sqrt2 + c * c + 1.0);
  biquad.b0 = k;
  biquad.b1 = -2.0 * k;
  biquad.b2 = k;
  biquad.a1 = 2.0 * (c * c - 1.0) * k;
  biquad.a2 = (1.0 - c * std::numbers::sqrt2 + c * c) * k;
}

void designBandPass(Biquad& biquad, double centreHz, double widthHz) {
  const double sr = biquad.sampleRate;
  // Very narrow bands are legitimate (the melody filter goes down to 0.01 Hz); only a width
  // that is not positive or reaches towards half the rate has no stable design.
  if (!(widthHz > kMinBandWidthHz)) widthHz = kMinBandWidthHz;
  if (!(widthHz < kMaxDesignShare * sr)) widthHz = kMaxDesignShare * sr;
  if (!std::isfinite(centreHz)) centreHz = 0.0;
  const double c = std::tan(std::numbers::pi * widthHz / sr);
  const double e = 1.0 / c;
  const double g = 1.0 / (e + 1.0);
  biquad.b0 = g;
  biquad.b1 = 0.0;
  biquad.b2 = -g;
  biquad.a1 = -2.0 * g * e * std::cos(2.0 * std::numbers::pi * centreHz / sr);
  biquad.a2 = (e - 1.0) * g;
}

}  // namespace skarvel
