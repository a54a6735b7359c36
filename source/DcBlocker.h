#pragma once

#include "source/DspMath.h"

namespace skarvel {

// One-pole high-pass (about 14 Hz) per channel that keeps DC and sub-audio drift off the
// outputs: each state follows its input slowly and is subtracted from it.
class DcBlocker {
 public:
  DcBlocker() { setSampleRate(44100.0f); }

  void setSampleRate(float rate) { coefficient = static_cast<float>(87.96465682983398 / rate); }
  void clear() { stateLeft = stateRight = 0.0f; }

  void step(float& left, float& right) {
    stateLeft = flushInRender(stateLeft + (left - stateLeft) * coefficient);
    stateRight = flushInRender(stateRight + (right - stateRight) * coefficient);
    left -= stateLeft;
    right -= stateRight;
  }

  float coefficient = 0.0f;
  float stateLeft = 0.0f;
  float stateRight = 0.0f;
};

}  // namespace skarvel
