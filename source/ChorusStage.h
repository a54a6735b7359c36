#pragma once

#include <cmath>
#include <numbers>
#include <vector>

#include "source/DspMath.h"

namespace skarvel {

// The chorus stage's two draws of a sample (integers 0..32767 from the engine's generator), in
// the order it makes them.
struct ChorusDraws {
  int noise = 0;   // the tiny noise added to its input
  int jitter = 0;  // the modulator's random speed factor
};

// Slow, slightly unsteady sine pair that sweeps the chorus delays:
// value = 0.5 × (sin(φ/3) + sin φ), always within −0.77..+0.77. The phase advances each sample
// by 2π·frequency/rate times (1 + a random factor in 0..0.1, from a draw of the engine's
// generator that the caller hands in), so the sweep never repeats exactly.
//
// Rather than two sines per sample it turns a unit phasor (cos a, sin a), a = φ/3, by each
// sample's small angle (its sine and cosine from their series, exact in double for angles this
// small) and renormalises it; with s = sin a and c = cos a,
// sin a + sin 3a = 4s − 4s³ = 4s·c², so the value is 2s·c². The result matches the direct
// sines to double precision, well below float rounding.
class ChorusModulator {
 public:
  void setSampleRate(int rate) {
    radiansPerSample = 2.0 * std::numbers::pi / rate;
    updateStep();
  }
  void setFrequency(float hz) {
    frequency = hz;
    updateStep();
  }
  void reset() {
    m_cos = 1.0;
    m_sin = 0.0;
  }

  // `draw`: a random integer 0..32767.
  float next(int draw) {
    const double jitter = draw * (0.1 / 32768.0);
    const double d = m_step * (1.0 + jitter);  // radians of a this sample, below 0.01
    const double d2 = d * d;
    const double cosD = 1.0 - d2 * (0.5 - d2 * (1.0 / 24.0 - d2 * (1.0 / 720.0)));
    const double sinD = d * (1.0 - d2 * (1.0 / 6.0 - d2 * (1.0 / 120.0)));
    const double c = m_cos * cosD - m_sin * sinD;
    const double s = m_sin * cosD + m_cos * sinD;
    // One Newton step back to unit length keeps rounding from growing or shrinking the phasor.
    const double k = 1.5 - 0.5 * (c * c + s * s);
    m_cos = c * k;
    m_sin = s * k;
    return static_cast<float>(2.0 * m_sin * m_cos * m_cos);
  }

  float frequency = 4.0f;  // Hz
  double radiansPerSample = 2.0 * std::numbers::pi / 44100.0;

 private:
  void updateStep() { m_step = radiansPerSample * frequency / 3.0; }

  double m_step = 2.0 * std::numbers::pi / 44100.0 * 4.0 / 3.0;  // radians of a per sample
  double m_cos = 1.0;
  double m_sin = 0.0;
};

// First stage of the chorusing reverb: a mono input spread into a modulated stereo pair by two
// cross-coupled short delay lines, the right one's delay following a smoothed control signal
// that travels through a third line.
class ChorusStage {
 public:
  static constexpr int kLineLength = 16384;
  static constexpr int kLineMask = kLineLength - 1;

  ChorusStage();
  ChorusStage(const ChorusStage&) = delete;
  ChorusStage& operator=(const ChorusStage&) = delete;

  // Recomputes the rate-dependent geometry and coefficients (rate in Hz).
  void setSampleRate(int rate);
  // Zeroes the lines, the filter states and the outputs.
  void clear();

  // `count` samples of input, with each sample's draws, into the left and right outputs (which
  // may be the input's array). The state lives in locals for the run: the line stores could alias
  // the members, so working on the members would reload every one of them after each store.
  void process(const float* input, const ChorusDraws* draws, float* left, float* right, int count);

  // One sample of input x, with the sample's draws.
  void step(float x, const ChorusDraws& draws, float& left, float& right) { process(&x, &draws, &left, &right, 1); }

  // A delay (samples) within 0..line length: both sweeps stay far inside it, the guard only
  // keeps a read in the ring whatever the state.
  static float lineDelay(float samples) {
    return samples >= 0.0f ? (samples < float(kLineMask) ? samples : float(kLineMask)) : 0.0f;
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
  std::vector<float> m_storage;  // the three lines, allocated once
  float* m_line1 = nullptr;
  float* m_line2 = nullptr;
  float* m_line3 = nullptr;
  int m_write1 = 0, m_write2 = 0, m_write3 = 0;
};

}  // namespace skarvel
