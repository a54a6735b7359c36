#pragma once

#include "source/DspMath.h"

namespace skarvel {

// One step of the one-pole below on separate variables, for loops that keep its state in locals.
inline void onePoleStep(float x, float& state, float& highOut, float coefficient) {
  highOut = flushDenormalInRender(x - state);
  state = flushDenormalInRender(state + highOut * coefficient);
}

// One-pole low-pass that also yields its high-pass complement. The coefficient is linear in the
// cut-off (2 pi fc / sample rate), which callers keep at or below 2 pi / 8. Stepped only while
// the engine renders (see flushDenormalInRender).
struct OnePole {
  float state = 0.0f;        // low-pass output
  float coefficient = 1.0f;
  float highOut = 0.0f;      // input minus the previous low-pass state
  float sampleRate = 44100.0f;

  void step(float x) { onePoleStep(x, state, highOut, coefficient); }

  // Coefficient for a cut-off in Hz.
  void setCutoff(float hz) { coefficient = (6.2831854820251465f / sampleRate) * hz; }
};

// The cut-off the noise and comb filters use for a requested frequency: at most an eighth of the
// sample rate, then 1..7100 Hz.
inline float limitFilterCutoff(float hz, double sampleRate) {
  double fc = hz;
  if (fc > sampleRate * 0.125) fc = sampleRate * 0.125;
  if (!(fc >= 1.0)) fc = 1.0;  // also catches NaN
  if (fc > 7100.0) fc = 7100.0;
  return static_cast<float>(fc);
}

}  // namespace skarvel
