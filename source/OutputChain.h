#pragma once

#include <cmath>

#include "source/Biquad.h"
#include "source/ChorusStage.h"
#include "source/DcBlocker.h"
#include "source/DspMath.h"
#include "source/RandomGenerator.h"
#include "source/ReverbStage.h"
#include "source/Smoother.h"
#include "source/StringEnhancer.h"

namespace skarvel {

// Everything the summed voices pass through on their way out, run once per sample:
//   EQ (Butterworth low-pass then high-pass, QFilters) →
//   chorusing reverb (chorus stage, comb/allpass reverb, ReverbOn with a 0.127 s fade) →
//   string enhancer (StrEnh) → output gain (Gain_out, gliding) → DC blocker.
//
// How the engine uses it:
//   - construct with the engine's random generator (all buffers are allocated here; the chain
//     is ready for 44100 Hz at once);
//   - open() once from the engine's open();
//   - setSampleRate(rate) whenever the engine's rate really changes (the caller skips equal
//     rates; rates below 32000 Hz are the caller's to raise);
//   - setParameter(id, value) for every parameter change (ids the chain does not use are
//     ignored, so the engine may forward all of them);
//   - beginBlock() before the first sample of each block;
//   - step(s, dither, left, right) once per rendered sample with the voice sum and the dither;
//   - resetVoices() on all-sound-off / resume / suspend.
// setParameter, open and setSampleRate come from the user-interface thread and write single
// floats/doubles in place; step never allocates, locks or throws.
class OutputChain {
 public:
  explicit OutputChain(RandomGenerator& random);
  OutputChain(const OutputChain&) = delete;
  OutputChain& operator=(const OutputChain&) = delete;

  // Start values: EQ at 8000 Hz (low-pass) and 40 Hz (high-pass), reverb wet target and fade 0,
  // DC blocker cleared.
  void open();

  // Rates the chain accepts (Hz). Its delay lines are long enough for the top one, and the
  // rate's conversions to whole samples stay far inside an int.
  static constexpr double kMinimumSampleRate = 1000.0;
  static constexpr double kMaximumSampleRate = 768000.0;

  // Recomputes every rate-dependent value for `rate` (Hz) and clears the filter states. A rate
  // outside the accepted range (or not finite) is reported and changes nothing.
  void setSampleRate(double rate);

  // Applies a normalised parameter value. Non-finite values are ignored and the rest is
  // limited to 0..1 here, so a faulty host cannot drive a filter or feedback loop unstable.
  void setParameter(int id, float value);

  // Per-block values: the reverb's dry target and the fade increment.
  void beginBlock();

  // Clears the chorus and reverb stages and both enhancer lines (the tails of the notes just
  // silenced).
  void resetVoices();

  // One sample: s is the voice sum, dither the engine's tiny per-sample noise.
  void step(float s, float dither, float& left, float& right) {
    // A non-finite voice sum would poison every filter state after it for good.
    if (!std::isfinite(s)) s = 0.0f;

    if (m_eqOn) s = eqHighPass.step(eqLowPass.step(s));

    if (m_reverbOn || fade > 0.0f) {
      float c1, c2;
      chorus.step(s, c1, c2);
      const float w = wetSmoother.step(wetTarget);
      reverb.wet = 3.0f * w;
      reverb.update();
      reverb.dry = 1.0f - w;
      const float v = drySmoother.step(dryTarget);
      float r1, r2;
      reverb.step(v * c1 + dither, v * c2 + dither, r1, r2);
      r1 = flushDenormal(r1);
      r2 = flushDenormal(r2);
      advanceFade(fade);
      left = dither + (1.0f - fade) * c1 + fade * r1;
      right = dither + (1.0f - fade) * c2 + fade * r2;
    } else {
      left = right = s + dither;
    }

    if (enhancer.isActive()) enhancer.step(left, right);

    left = flushBelow(left, kFlushLimit);
    right = flushBelow(right, kFlushLimit);
    const float gain = gainSmoother.step(m_gainTarget);
    left *= gain;
    right *= gain;
    dcBlocker.step(left, right);
    left = flushBelow(left, kFlushLimit);
    right = flushBelow(right, kFlushLimit);

    // Last line of defence: never hand the host a non-finite sample, and start afresh.
    if (!std::isfinite(left) || !std::isfinite(right)) [[unlikely]] {
      left = right = 0.0f;
      recoverFromFault();
    }
  }

  // Whether the next step() with the chain's fade at `fadeNow` runs the chorus stage (which
  // draws twice from the random generator); advances `fadeNow` as that step would. Lets the
  // engine know the generator's position after a step before running it.
  bool predictChorus(float& fadeNow) const {
    if (!(m_reverbOn || fadeNow > 0.0f)) return false;
    advanceFade(fadeNow);
    return true;
  }
  static constexpr int kChorusDraws = 2;

  double sampleRate() const { return m_sampleRate; }
  float gainTarget() const { return m_gainTarget; }
  bool eqOn() const { return m_eqOn; }
  bool reverbOn() const { return m_reverbOn; }

  static constexpr float kFlushLimit = 1e-17f;

  // Requested cut-offs (Hz); the designs keep below 0.45 × the sample rate.
  double eqLowPassHz = 8000.0;
  double eqHighPassHz = 40.0;
  Biquad eqLowPass;
  Biquad eqHighPass;
  ChorusStage chorus;
  ReverbStage reverb;
  float wetTarget = 0.0f;  // ReverbMix² × 0.9
  float dryTarget = 0.5f;  // 1 − 0.25 × ReverbSize − 0.25 × ReverbMix
  float fade = 0.0f;       // 0 = chorus only .. 1 = full reverb
  float fadeStep = 0.0f;   // per sample
  Smoother wetSmoother;
  Smoother drySmoother;
  Smoother gainSmoother;
  StringEnhancer enhancer;
  DcBlocker dcBlocker;

 private:
  // One sample of the 0.127 s fade between chorus only and full reverb.
  void advanceFade(float& value) const {
    if (m_reverbOn)
      value = value >= 1.0f ? 1.0f : value + fadeStep;
    else if ((value -= fadeStep) < 1e-7f)
      value = 0.0f;
  }
  void designEq();
  // Zeroes every state after a non-finite result, so one bad sample cannot silence the
  // instrument for good. Not expected to run; it costs a few hundred kilobytes of clearing.
  void recoverFromFault();

  double m_sampleRate = 44100.0;
  // Normalised values of the parameters the chain reads.
  float m_reverbSize = 0.5f;
  float m_reverbMix = 0.5f;
  float m_strEnh = 0.0f;
  bool m_eqOn = false;
  bool m_reverbOn = false;
  float m_gainTarget = 0.925f;  // Gain_out² × 3.7
};

}  // namespace skarvel
