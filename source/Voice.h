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

  // The values of one sample that the modulation pass sets (the noise outputs, the modulated
  // osc1 rate with its filters' coefficients, the modulated balance and AM amount), for four
  // voices side by side (a lane each): a caller that runs stepNoise for many samples first
  // records them here and replays them into renderSound.
  struct alignas(16) ModulationLanes {
    float noise1[4];
    float noise2[4];
    float rate1[4];
    float osc1Coefficient[4];
    float osc1HighPassCoefficient[4];
    float balance1[4];
    float amAmount[4];
  };
  // The sound of one sample, a lane per voice.
  struct alignas(16) SoundLanes {
    float value[4];
  };

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

  // Records this sample's modulated values (after stepNoise) in `lane`.
  void recordModulation(ModulationLanes& lanes, int lane) const {
    lanes.noise1[lane] = m_noise1Out;
    lanes.noise2[lane] = m_noise2Out;
    lanes.rate1[lane] = rate1;
    lanes.osc1Coefficient[lane] = osc1Filter.coefficient;
    lanes.osc1HighPassCoefficient[lane] = osc1HighPass.coefficient;
    lanes.balance1[lane] = balance1;
    lanes.amAmount[lane] = amAmount;
  }

  // The rest of the sample, after stepNoise: filters, saturation and the comb resonator.
  float stepSound() {
    ModulationLanes current;
    recordModulation(current, 0);
    SoundLanes out;
    renderSound(&current, 0, &out, 1);
    return out.value[0];
  }

  // `count` samples of the sound part, one per recorded modulation (its `lane`), into the same
  // lane of `out`. The voice's own fields must hold what they held after the last recorded
  // stepNoise (the other parameters do not change within the run). The state lives in locals
  // for the run: the delay-line stores could alias the voice's float fields, so working on the
  // fields directly would reload every one of them after each store.
  void renderSound(const ModulationLanes* modulations, int lane, SoundLanes* out, int count) {
    if (count <= 0) return;
    float o1State = osc1Filter.state, o1High = osc1Filter.highOut;
    float hpState = osc1HighPass.state, hpHigh = osc1HighPass.highOut;
    float o2State = osc2Filter.state, o2High = osc2Filter.highOut;
    const float o2Coefficient = osc2Filter.coefficient;
    float combState = combFilter.state, combHigh = combFilter.highOut;
    const float combCoefficient = combFilter.coefficient;
    float comb = combOut;
    double currentDelay = delay;
    float smoothed = smoothedDelay;
    int position = linePosition;
    const float bal2 = balance2, bal3 = balance3, reso = resoAmount, fm = fmAmount, wet = dryWet;
    const bool on1 = osc1On, on2 = osc2On, scaleUp = rateScaleUp;
    const double rate = sampleRate;
    float* line = m_line.get();

    for (int k = 0; k < count; ++k) {
      const ModulationLanes& in = modulations[k];
      const float balance = in.balance1[lane];
      const float amount = in.amAmount[lane];
      // Oscillator section.
      const float z1 = in.noise1[lane];
      onePoleStep(z1, o1State, o1High, in.osc1Coefficient[lane]);
      const float mix1 = (1.0f - balance) * o1State + balance * o1High;
      onePoleStep(mix1, hpState, hpHigh, in.osc1HighPassCoefficient[lane]);
      const float h1 = hpHigh;
      const float f = (o1State * 0.1f + 1.0f) * in.rate1[lane];  // resonator rate, +-10 % wander
      const float g = on1 ? fastTanh(h1) : 1.0f;
      const float z2 = in.noise2[lane];
      onePoleStep(z2, o2State, o2High, o2Coefficient);
      const float m = on2 ? (1.0f - bal2) * o2State + bal2 * o2High : 1.0f;
      const float am = amount * m + (1.0f - amount);
      const float e = am * g;

      // Comb section: the period follows f (RateScaleUp: resonance at f Hz; otherwise the
      // delay in samples is f), modulated by osc2, at most 0.1 s.
      const double r = scaleUp ? 1.0 / f : f / rate;
      const float t = static_cast<float>((fm * m + (1.0f - fm)) * r);
      const double period = t < 0.1 ? static_cast<double>(t) : 0.1;  // a NaN period gives 0.1 s
      const double u = period * rate;
      currentDelay = u < 1.0 ? 1.0 : (u > 131071.0 ? 131071.0 : u);

      const double c = comb;
      const float saturated = static_cast<float>(c * 4.14 / (c * c + 4.31));
      onePoleStep(saturated, combState, combHigh, combCoefficient);
      const float fb = ((1.0f - bal3) * combState + bal3 * combHigh) * reso;

      line[position] = fb + e;
      position = (position + 1) & kLineMask;

      float p = static_cast<float>(position) - smoothed;
      if (p < 0.0f) p += static_cast<float>(kLineLength);
      const int i = static_cast<int>(p);
      const float phi = p - static_cast<float>(i);
      smoothed += static_cast<float>((currentDelay - smoothed) * 0.0025);

      const float ym1 = line[(i - 1) & kLineMask];
      const float y0 = line[i & kLineMask];
      const float y1 = line[(i + 1) & kLineMask];
      const float y2 = line[(i + 2) & kLineMask];
      const float c1 = 0.5f * (y1 - ym1);
      const float c2 = ym1 - 2.5f * y0 + 2.0f * y1 - 0.5f * y2;
      const float c3 = 0.5f * ((y0 - y1) * 3.0f - ym1 + y2);
      comb = ((c3 * phi + c2) * phi + c1) * phi + y0;

      out[k].value[lane] = (1.0f - wet) * e + wet * comb;
    }

    osc1Filter.state = o1State;
    osc1Filter.highOut = o1High;
    osc1HighPass.state = hpState;
    osc1HighPass.highOut = hpHigh;
    osc2Filter.state = o2State;
    osc2Filter.highOut = o2High;
    combFilter.state = combState;
    combFilter.highOut = combHigh;
    combOut = comb;
    delay = currentDelay;
    smoothedDelay = smoothed;
    linePosition = position;
    m_lineDirty = true;
  }

  // The sound of up to four voices over one segment: voice `lane` (null for none) renders
  // counts[lane] samples from its lane of `modulations` into its lane of `out`. Where SSE2
  // exists, the samples all voices share run four lanes at a time with the very operations of
  // renderSound, so every lane's result is the same to the bit; the rest runs per voice.
  static void renderGroup(Voice* const voices[4], const int counts[4], const ModulationLanes* modulations,
                          SoundLanes* out);

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
