#pragma once

#include <cmath>
#include <numbers>
#include <vector>

#include "source/DspMath.h"
#include "source/RandomGenerator.h"

namespace skarvel {

// Slow, slightly unsteady sine pair that sweeps the chorus delays:
// value = 0.5 × (sin(φ/3) + sin φ), always within −1..+1. The phase advances each sample by
// 2π·frequency/rate times (1 + a random factor in 0..0.1), so the sweep never repeats exactly.
class ChorusModulator {
 public:
  explicit ChorusModulator(RandomGenerator& random) : m_random(random) {}

  void setSampleRate(int rate) { radiansPerSample = 2.0 * std::numbers::pi / rate; }
  void setFrequency(float hz) { frequency = hz; }
  void reset() { phase = 0.0; }

  float next() {
    const double jitter = m_random.next() * (0.1 / 32768.0);
    phase += radiansPerSample * frequency * (1.0 + jitter);
    // Both sines repeat after 6π; wrapping there keeps the phase precise forever.
    if (phase >= kPeriod) phase -= kPeriod;
    return 0.5f * (std::sin(static_cast<float>(phase * (1.0 / 3.0))) +
                   std::sin(static_cast<float>(phase)));
  }

  static constexpr double kPeriod = 6.0 * std::numbers::pi;
  float frequency = 4.0f;  // Hz
  double radiansPerSample = 2.0 * std::numbers::pi / 44100.0;
  double phase = 0.0;  // radians, 0..6π

 private:
  RandomGenerator& m_random;
};

// First stage of the chorusing reverb: a mono input spread into a modulated stereo pair by two
// cross-coupled short delay lines, the right one's delay following a smoothed control signal
// that travels through a third line.
class ChorusStage {
 public:
  static constexpr int kLineLength = 16384;
  static constexpr int kLineMask = kLineLength - 1;

  // `random` is the engine's generator; every draw of this stage comes from it.
  explicit ChorusStage(RandomGenerator& random);
  ChorusStage(const ChorusStage&) = delete;
  ChorusStage& operator=(const ChorusStage&) = delete;

  // Recomputes the rate-dependent geometry and coefficients (rate in Hz).
  void setSampleRate(int rate);
  // Zeroes the lines, the filter states and the outputs.
  void clear();

  void step(float x, float& left, float& right) {
    float fb = feedbackScale * outLeft * 0.28f;
    fb = flushBelow(fb, 1e-15f);
    const float e = static_cast<float>(double(x) + fb + (m_random.next() * (1.0 / 32768.0) - 0.5) * 1e-9);
    mod = modulator.next();
    inputLow += (e - inputLow) * inputCoef;
    const float g = inputLow;
    modSmoothed += ((mod + 1.0f) * modDelay - modSmoothed) * modCoef;

    const double tap = catmullRom<double>(m_line3, kLineMask,
                                          double(m_write3) - (1.0 - modSmoothed) + readOffset3);
    tapSmoothed += (static_cast<float>(tap) - tapSmoothed) * modCoef;

    m_line1[m_write1] = e - g;
    m_line2[m_write2] = e - g;
    m_line3[m_write3] = (1.0f - mod * mod) * tapLevel;
    m_write1 = (m_write1 + 1) & kLineMask;
    m_write2 = (m_write2 + 1) & kLineMask;
    m_write3 = (m_write3 + 1) & kLineMask;

    const float k = g * 0.1f + e * 0.5f;
    outLeft = catmullRom<float>(m_line1, kLineMask, float(m_write1) - (spread + modSmoothed) + readOffset1) +
              outRight * 0.1f + k;
    outRight = catmullRom<float>(m_line2, kLineMask, float(m_write2) - (spread + tapSmoothed) + readOffset2) +
               outLeft * 0.1f + k;
    outLeft = flushBelow(outLeft, 1e-15f);
    outRight = flushBelow(outRight, 1e-15f);
    left = outLeft;
    right = outRight;
  }

  // Input low-pass (about 233 Hz) and control smoothing (about 9 Hz) coefficients.
  float inputLow = 0.0f;
  float inputCoef = 0.0f;
  float modSmoothed = 0.0f;  // samples
  float tapSmoothed = 0.0f;  // samples
  float modCoef = 0.0f;

  float baseLength = 0.0f;  // samples, 1/15 s
  float depth = 0.02f;
  float modDelay = 0.0f;    // samples, left sweep depth
  float tapLevel = 0.0f;    // samples, right sweep depth
  float spread = 0.0f;      // samples, fixed part of both delays
  float feedbackScale = 1.0f;  // 0.5..1, from ReverbMix

  float outLeft = 0.0f;
  float outRight = 0.0f;
  float mod = 0.0f;  // last modulator value, −1..+1
  float readOffset1 = 0.0f, readOffset2 = 0.0f, readOffset3 = 0.0f;
  ChorusModulator modulator;

 private:
  RandomGenerator& m_random;
  std::vector<float> m_storage;  // the three lines, allocated once
  float* m_line1 = nullptr;
  float* m_line2 = nullptr;
  float* m_line3 = nullptr;
  int m_write1 = 0, m_write2 = 0, m_write3 = 0;
};

}  // namespace skarvel
