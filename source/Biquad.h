#pragma once

#include "source/DspMath.h"

namespace skarvel {

// Second-order IIR section, direct form I: coefficients in double, states in float.
// Designed by the free functions below, which keep every design stable.
class Biquad {
 public:
  // y = b0·x + b1·x1 + b2·x2 − a1·y1 − a2·y2 (computed in double, stored as float).
  float step(float x) {
    const float y = flushInRender(static_cast<float>(b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2));
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = y;
    return y;
  }

  void clearState() { x1 = x2 = y1 = y2 = 0.0f; }
  void clearCoefficients() { b0 = b1 = b2 = a1 = a2 = 0.0; }

  double b0 = 0.0, b1 = 0.0, b2 = 0.0, a1 = 0.0, a2 = 0.0;
  float x1 = 0.0f, x2 = 0.0f, y1 = 0.0f, y2 = 0.0f;
  float sampleRate = 44100.0f;  // Hz
};

// Highest frequency a design accepts, as a share of the sample rate: the bilinear designs
// turn unstable at half the rate, and a margin keeps them well-conditioned.
inline constexpr double kMaxDesignShare = 0.45;
// Lowest frequency a design accepts (Hz); a zero or negative one has no valid design.
inline constexpr double kMinDesignHz = 1.0;

// The frequency the designs really use for `hz` at `sampleRate`: within
// kMinDesignHz .. kMaxDesignShare × sampleRate; a non-finite request gives the upper bound
// for +inf and the lower one otherwise.
double designFrequency(double hz, double sampleRate);

// Butterworth low-pass / high-pass with the cut-off `hz`.
void designLowPass(Biquad& biquad, double hz);
void designHighPass(Biquad& biquad, double hz);
// Narrowest band-pass width (Hz) a design accepts.
inline constexpr double kMinBandWidthHz = 1e-6;
// Constant-peak band-pass around `centreHz` with a −3 dB width of `widthHz`.
void designBandPass(Biquad& biquad, double centreHz, double widthHz);

}  // namespace skarvel
