#pragma once

#include "source/DspMath.h"

namespace skarvel {

// One-pole low-pass that also yields its high-pass complement; the coefficient (2π × cut-off /
// sample rate, kept at or below 2π / 8) is held by whoever sets the cut-off.
struct OnePole {
  float state = 0.0f;    // low-pass output
  float highOut = 0.0f;  // input minus the previous low-pass state
};

// One step on separate variables (floats or lanes), for loops that keep the state in locals.
// Stepped only while the engine renders (see flushInRender).
template <typename T>
inline void onePoleStep(T x, T& state, T& highOut, T coefficient) {
  highOut = flushInRender(x - state);
  state = flushInRender(state + highOut * coefficient);
}

}  // namespace skarvel
