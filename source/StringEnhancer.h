#pragma once

#include <vector>

#include "source/Biquad.h"
#include "source/DspMath.h"

namespace skarvel {

// Widens and thickens the stereo pair: a band-passed (1400 Hz, 3900 Hz wide) copy of the mid
// signal, delayed by up to 45 ms, is added to both channels, and the right channel is replaced
// by a copy of itself delayed by up to 93 ms. Both delays glide to their targets, so turning
// the amount sweeps rather than clicks.
class StringEnhancer {
 public:
  static constexpr int kLineLength = 131072;
  static constexpr int kLineMask = kLineLength - 1;
  static constexpr float kDelayGlide = 0.0025f;  // per-sample share of the remaining distance
  static constexpr float kActiveAbove = 0.0001f;  // amounts up to this leave the pair untouched

  StringEnhancer();
  StringEnhancer(const StringEnhancer&) = delete;
  StringEnhancer& operator=(const StringEnhancer&) = delete;

  // x: StrEnh, 0..1. Sets the two target delays (samples, 1..131071) and the mid level.
  void setAmount(float x);
  // Stores the rate (Hz), clears both lines and the band-pass and designs the band-pass.
  // The delays follow the new rate at the next setAmount.
  void setSampleRate(float rate);
  // Zeroes both delay lines.
  void clearLines();

  bool isActive() const { return amount > kActiveAbove; }

  // `count` samples of the pair, in place.
  void process(float* left, float* right, int count) {
    for (int k = 0; k < count; ++k) step(left[k], right[k]);
  }

  void step(float& left, float& right) {
    const float y = bandPass.step((left + right) * 0.5f);
    m_midLine[m_midWrite] = y;
    m_midWrite = (m_midWrite + 1) & kLineMask;
    const float t = catmullRomDelayed<float>(m_midLine, kLineMask, m_midWrite, midDelay) * amount;
    midDelay += (static_cast<float>(midTarget) - midDelay) * kDelayGlide;

    m_rightLine[m_rightWrite] = right;
    m_rightWrite = (m_rightWrite + 1) & kLineMask;
    left += t;
    right = catmullRomDelayed<float>(m_rightLine, kLineMask, m_rightWrite, rightDelay) * 1.04f + t;
    rightDelay += (static_cast<float>(rightTarget) - rightDelay) * kDelayGlide;
  }

  float amount = 0.0f;  // level of the delayed mid copy, 0..0.758
  float sampleRate = 44100.0f;
  Biquad bandPass;
  double midTarget = 1.0;    // samples
  double rightTarget = 1.0;  // samples
  float midDelay = 0.0f;     // samples, gliding towards midTarget
  float rightDelay = 0.0f;   // samples, gliding towards rightTarget

 private:
  std::vector<float> m_storage;  // both lines, allocated once
  float* m_midLine = nullptr;
  float* m_rightLine = nullptr;
  int m_midWrite = 1024;
  int m_rightWrite = 1024;
};

}  // namespace skarvel
