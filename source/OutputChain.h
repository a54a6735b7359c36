#pragma once

#include <cmath>

#include "source/Biquad.h"
#include "source/ChorusStage.h"
#include "source/DcBlocker.h"
#include "source/DspMath.h"
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
//   - construct (all buffers are allocated here; the chain is ready for 44100 Hz at once);
//   - open() once from the engine's open();
//   - setSampleRate(rate) whenever the engine's rate really changes (the caller skips equal
//     rates; rates below 32000 Hz are the caller's to raise);
//   - setParameter(id, value) for every parameter change (ids the chain does not use are
//     ignored, so the engine may forward all of them);
//   - beginBlock() before the first sample of each block;
//   - chorusRuns(runs, count) to learn in which of the next samples the chorus stage runs (and
//     so takes two random draws);
//   - step(s, dither, draws, left, right) once per rendered sample with the voice sum, the dither
//     and, where the chorus runs, its draws;
//   - resetVoices() on all-sound-off / resume / suspend.
// setParameter, open and setSampleRate come from the user-interface thread and write single
// floats/doubles in place; step never allocates, locks or throws.
class OutputChain {
 public:
  OutputChain();
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

  // `count` samples: sums are the voice sums, dithers the engine's tiny per-sample noise, draws
  // the random draws of the chorus stage (read only where it runs). The stages run one after
  // another over runs of samples, each in a tight loop of its own.
  void render(const float* sums, const float* dithers, const ChorusDraws* draws, float* left, float* right,
              int count);

  // One sample.
  void step(float s, float dither, const ChorusDraws& draws, float& left, float& right) {
    render(&s, &dither, &draws, &left, &right, 1);
  }

  // Whether each of the next `count` steps runs the chorus stage (the reverb is on or still
  // fading out), so the engine can make the stage's draws in their place.
  void chorusRuns(bool* runs, int count) const {
    float fadeNow = fade;
    for (int k = 0; k < count; ++k) {
      runs[k] = m_reverbOn || fadeNow > 0.0f;
      if (runs[k]) advanceFade(fadeNow);
    }
  }

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
