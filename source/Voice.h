#pragma once

#include <cmath>
#include <cstring>
#include <memory>

#include "source/DspMath.h"
#include "source/NoiseGenerator.h"
#include "source/OnePole.h"
#include "source/RandomGenerator.h"

namespace skarvel {

// One voice's sound: two noise oscillators (osc1 the source, osc2 the modulator) with their
// balance filters, feeding a tuned comb resonator whose delay follows the osc1 rate.
//
// The per-sample state sits together in this object; the 512 KiB delay line lives in its own
// buffer, allocated once at construction, so the voices' hot fields stay close in the cache.
class Voice {
 public:
  static constexpr int kLineLength = 131072;  // samples, a power of two
  static constexpr int kLineMask = kLineLength - 1;

  Voice() : m_line(new float[kLineLength]()) {}

  // --- oscillators ---
  float rate1 = 440.0f;    // osc1 rate in Hz as last set, unclamped (may be negative)
  float balance1 = 0.0f;   // LP-HP1: 0 low-pass .. 1 high-pass
  float balance2 = 0.0f;   // LP-HP2
  float amAmount = 0.0f;   // 0..1
  bool osc1On = true;
  bool osc2On = true;
  double sampleRate = 44100.0;
  NoiseGenerator noise1;
  NoiseGenerator noise2;
  OnePole osc1Filter;
  OnePole osc1HighPass;
  OnePole osc2Filter;

  // --- comb resonator ---
  float resoAmount = 0.0f;  // feedback gain 0..0.98
  float balance3 = 0.0f;    // LP-HP3 in the feedback
  float fmAmount = 0.0f;    // 0..1
  float dryWet = 0.0f;      // 0 excitation only .. 1 resonator only
  bool rateScaleUp = false;
  float combOut = 0.0f;     // resonator output of the previous step
  double delay = 1.0;       // target delay in samples, 1..131071
  float smoothedDelay = 0.0f;
  int linePosition = 1024;  // next write position
  OnePole combFilter;

  void setSampleRate(double rate) {
    sampleRate = rate;
    noise1.sampleRate = noise2.sampleRate = rate;
    const float rateF = static_cast<float>(rate);
    osc1Filter.sampleRate = osc1HighPass.sampleRate = osc2Filter.sampleRate = rateF;
    combFilter.sampleRate = rateF;
    osc1Filter.state = osc1HighPass.state = 0.0f;
    m_incrementRate = NAN;
    m_osc1Rate = NAN;
    m_osc2Rate = NAN;
  }

  // Osc1 rate (Hz): the cut-off of both osc1 filters follows it (limited), the noise rate and
  // the resonator pick it up in the next step. Unchanged rates cost a comparison.
  void setOsc1Rate(float rate) {
    if (rate == m_osc1Rate) return;
    m_osc1Rate = rate;
    const float fc = limitFilterCutoff(rate, sampleRate);
    osc1Filter.setCutoff(fc);
    osc1HighPass.setCutoff(fc);
    rate1 = rate;
  }

  // Osc2 rate (Hz): noise rate and its balance filter's cut-off, effective at once.
  void setOsc2Rate(float rate) {
    if (rate == m_osc2Rate) return;
    m_osc2Rate = rate;
    noise2.increment = NoiseGenerator::incrementFor(noise2.sampleRate, rate);
    osc2Filter.setCutoff(limitFilterCutoff(rate, sampleRate));
  }

  // Forgets the cached rates so the next set recomputes (after coefficient-relevant changes).
  void invalidateRates() { m_osc1Rate = m_osc2Rate = m_incrementRate = NAN; }

  // Comb feedback filter cut-off (Hz, already limited).
  void setCombCutoff(float fc) { combFilter.setCutoff(fc); }

  // One sample of the voice: the oscillator section, then the comb resonator. Returns the
  // dry/wet mix of excitation and resonator output.
  float step(RandomGenerator& random) {
    stepNoise(random);
    return stepSound();
  }

  // The sample's random part: both noise generators (every draw of the voice happens here, osc1
  // first) and osc1's new increment, which applies from the next sample.
  void stepNoise(RandomGenerator& random) {
    m_noise1Out = static_cast<float>(noise1.next(random));
    if (rate1 != m_incrementRate) {
      m_incrementRate = rate1;
      noise1.increment = NoiseGenerator::incrementFor(noise1.sampleRate, rate1);
    }
    m_noise2Out = static_cast<float>(noise2.next(random));
  }

  // The rest of the sample, after stepNoise: filters, saturation and the comb resonator. Kept
  // apart so a caller can draw every voice's noise first and then run the voices' arithmetic
  // back to back (they are independent of each other, so the processor overlaps them).
  [[gnu::always_inline]] float stepSound() {
    // Oscillator section.
    const float z1 = m_noise1Out;
    osc1Filter.step(z1);
    const float mix1 = (1.0f - balance1) * osc1Filter.state + balance1 * osc1Filter.highOut;
    osc1HighPass.step(mix1);
    const float h1 = osc1HighPass.highOut;
    const float f = (osc1Filter.state * 0.1f + 1.0f) * rate1;  // resonator rate, +-10 % wander
    const float g = osc1On ? fastTanh(h1) : 1.0f;
    const float z2 = m_noise2Out;
    osc2Filter.step(z2);
    const float m = osc2On ? (1.0f - balance2) * osc2Filter.state + balance2 * osc2Filter.highOut : 1.0f;
    const float am = amAmount * m + (1.0f - amAmount);
    const float e = am * g;

    // Comb section: the period follows f (RateScaleUp: resonance at f Hz; otherwise the delay
    // in samples is f), modulated by osc2, at most 0.1 s.
    const double r = rateScaleUp ? 1.0 / f : f / sampleRate;
    const float t = static_cast<float>((fmAmount * m + (1.0f - fmAmount)) * r);
    const double period = t < 0.1 ? static_cast<double>(t) : 0.1;  // a NaN period gives 0.1 s
    const double u = period * sampleRate;
    delay = u < 1.0 ? 1.0 : (u > 131071.0 ? 131071.0 : u);

    const double c = combOut;
    const float saturated = static_cast<float>(c * 4.14 / (c * c + 4.31));
    combFilter.step(saturated);
    const float fb = ((1.0f - balance3) * combFilter.state + balance3 * combFilter.highOut) * resoAmount;

    float* line = m_line.get();
    line[linePosition] = fb + e;
    linePosition = (linePosition + 1) & kLineMask;

    float p = static_cast<float>(linePosition) - smoothedDelay;
    if (p < 0.0f) p += static_cast<float>(kLineLength);
    const int i = static_cast<int>(p);
    const float phi = p - static_cast<float>(i);
    smoothedDelay += static_cast<float>((delay - smoothedDelay) * 0.0025);

    const float ym1 = line[(i - 1) & kLineMask];
    const float y0 = line[i & kLineMask];
    const float y1 = line[(i + 1) & kLineMask];
    const float y2 = line[(i + 2) & kLineMask];
    const float c1 = 0.5f * (y1 - ym1);
    const float c2 = ym1 - 2.5f * y0 + 2.0f * y1 - 0.5f * y2;
    const float c3 = 0.5f * ((y0 - y1) * 3.0f - ym1 + y2);
    combOut = ((c3 * phi + c2) * phi + c1) * phi + y0;
    m_lineDirty = true;

    return (1.0f - dryWet) * e + dryWet * combOut;
  }

  // Silence for the resonator: the line cleared (only when something was written since the
  // last clear, so repeated resets stay cheap) and its output zeroed.
  void clearLine() {
    if (m_lineDirty) std::memset(m_line.get(), 0, sizeof(float) * kLineLength);
    m_lineDirty = false;
    combOut = 0.0f;
  }

  const float* line() const { return m_line.get(); }

 private:
  std::unique_ptr<float[]> m_line;
  bool m_lineDirty = false;
  float m_noise1Out = 0.0f;  // the noise generators' outputs of the current sample
  float m_noise2Out = 0.0f;
  float m_incrementRate = NAN;  // rate1 that noise1.increment was computed for
  float m_osc1Rate = NAN;       // last rate given to setOsc1Rate
  float m_osc2Rate = NAN;       // last rate given to setOsc2Rate
};

}  // namespace skarvel
