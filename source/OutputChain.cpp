#include "source/OutputChain.h"

#include <algorithm>

#include "Frameworks/Core/Assert.h"
#include "source/SkarvelParameterTable.h"

namespace skarvel {

namespace {

constexpr double kDefaultRate = 44100.0;
constexpr float kModulatorHzAfterMix = 1.6f;

}  // namespace

OutputChain::OutputChain() {
  setSampleRate(kDefaultRate);
  beginBlock();
}

void OutputChain::open() {
  eqLowPassHz = 8000.0;
  eqHighPassHz = 40.0;
  designEq();
  wetTarget = 0.0f;
  fade = 0.0f;
  dcBlocker.clear();
}

void OutputChain::setSampleRate(double rate) {
  if (!CORE_CHECK(rate >= kMinimumSampleRate && rate <= kMaximumSampleRate)) return;
  m_sampleRate = rate;
  const float sr = static_cast<float>(rate);

  wetSmoother.setSampleRate(sr);
  drySmoother.setSampleRate(sr);
  gainSmoother.setSampleRate(sr);

  chorus.setSampleRate(static_cast<int>(rate));
  chorus.clear();
  reverb.clear();
  enhancer.setSampleRate(sr);
  enhancer.setAmount(m_strEnh);  // its delays are in samples
  dcBlocker.setSampleRate(sr);

  for (Biquad* eq : {&eqLowPass, &eqHighPass}) {
    eq->clearState();
    eq->sampleRate = sr;
  }
  designEq();
  beginBlock();
}

void OutputChain::setParameter(int id, float value) {
  if (!std::isfinite(value)) return;
  const float x = std::clamp(value, 0.0f, 1.0f);
  // The quantity the parameter table maps x to; the cases below say where it goes.
  const float mapped = mapParameter(id, x, m_sampleRate);
  switch (id) {
    case kEqLpFreq:
      eqLowPassHz = mapped;
      designLowPass(eqLowPass, eqLowPassHz);
      break;
    case kEqHpFreq:
      eqHighPassHz = mapped;
      designHighPass(eqHighPass, eqHighPassHz);
      break;
    case kQFilters:
      m_eqOn = mapped != 0.0f;
      break;
    case kReverbSize:
      m_reverbSize = x;
      reverb.roomSize = mapped;
      reverb.damp = (2.0f - x) * 0.4f;
      reverb.update();
      break;
    case kReverbMix:
      m_reverbMix = x;
      chorus.feedbackScale = (x + 1.0f) * 0.5f;
      wetTarget = mapped;
      chorus.modulator.setFrequency(kModulatorHzAfterMix);
      break;
    case kReverbOn:
      m_reverbOn = mapped != 0.0f;
      break;
    case kGainOut:
      m_gainTarget = mapped;
      break;
    case kStrEnh:
      m_strEnh = mapped;
      enhancer.setAmount(mapped);
      break;
    default:
      break;
  }
}

void OutputChain::render(const float* sums, const float* dithers, const ChorusDraws* draws, float* left,
                         float* right, int count) {
  constexpr int kRun = 128;
  float chorusLeft[kRun], chorusRight[kRun], reverbLeft[kRun], reverbRight[kRun], wet[kRun], dry[kRun];
  float fadeLevels[kRun], chorusLevels[kRun];
  for (int start = 0; start < count; start += kRun) {
    const int n = count - start < kRun ? count - start : kRun;
    const float* const s = sums + start;
    const float* const dither = dithers + start;
    float* const l = left + start;
    float* const r = right + start;

    // A non-finite voice sum would poison every filter state after it for good.
    for (int k = 0; k < n; ++k) l[k] = std::isfinite(s[k]) ? s[k] : 0.0f;
    if (m_eqOn)
      for (int k = 0; k < n; ++k) l[k] = eqHighPass.step(eqLowPass.step(l[k]));

    // The chorusing reverb runs while it is on or fading out: the wet and dry glides and the fade
    // sample by sample, then the chorus stage and the reverb over those samples.
    int reverbSamples = 0;
    if (m_reverbOn || fade > 0.0f) {
      reverb.update();
      for (; reverbSamples < n && (m_reverbOn || fade > 0.0f); ++reverbSamples) {
        const int k = reverbSamples;
        const float w = wetSmoother.step(wetTarget);
        wet[k] = 3.0f * w;
        dry[k] = 1.0f - w;
        chorusLevels[k] = drySmoother.step(dryTarget);
        advanceFade(fade);
        fadeLevels[k] = fade;
      }
      chorus.process(l, draws + start, chorusLeft, chorusRight, reverbSamples);
      for (int k = 0; k < reverbSamples; ++k) {
        reverbLeft[k] = chorusLevels[k] * chorusLeft[k] + dither[k];
        reverbRight[k] = chorusLevels[k] * chorusRight[k] + dither[k];
      }
      reverb.process(reverbLeft, reverbRight, wet, dry, reverbLeft, reverbRight, reverbSamples);
      reverb.wet = wet[reverbSamples - 1];
      reverb.dry = dry[reverbSamples - 1];
      for (int k = 0; k < reverbSamples; ++k) {
        const float r1 = flushDenormal(reverbLeft[k]), r2 = flushDenormal(reverbRight[k]);
        const float f = fadeLevels[k];
        l[k] = dither[k] + (1.0f - f) * chorusLeft[k] + f * r1;
        r[k] = dither[k] + (1.0f - f) * chorusRight[k] + f * r2;
      }
    }
    for (int k = reverbSamples; k < n; ++k) l[k] = r[k] = l[k] + dither[k];

    if (enhancer.isActive()) enhancer.process(l, r, n);

    bool fault = false;
    for (int k = 0; k < n; ++k) {
      float a = flushBelow(l[k], kFlushLimit), b = flushBelow(r[k], kFlushLimit);
      const float gain = gainSmoother.step(m_gainTarget);
      a *= gain;
      b *= gain;
      dcBlocker.step(a, b);
      l[k] = flushBelow(a, kFlushLimit);
      r[k] = flushBelow(b, kFlushLimit);
      fault = fault || !std::isfinite(l[k]) || !std::isfinite(r[k]);
    }
    // Last line of defence: never hand the host a non-finite sample, and start afresh.
    if (fault) [[unlikely]] {
      for (int k = 0; k < n; ++k)
        if (!std::isfinite(l[k]) || !std::isfinite(r[k])) l[k] = r[k] = 0.0f;
      recoverFromFault();
    }
  }
}

void OutputChain::beginBlock() {
  dryTarget = 1.0f - 0.25f * m_reverbSize - 0.25f * m_reverbMix;
  // The fade moves 0.05 every rate/157.5 samples: 0 to 1 in about 0.127 s.
  fadeStep = 0.05f / static_cast<float>(static_cast<int>(m_sampleRate * 0.006349206349206349));
}

void OutputChain::resetVoices() {
  // The chorus lines go too: what they hold would otherwise refill the cleared reverb.
  chorus.clear();
  reverb.clear();
  enhancer.clearLines();
}

void OutputChain::designEq() {
  designLowPass(eqLowPass, eqLowPassHz);
  designHighPass(eqHighPass, eqHighPassHz);
}

void OutputChain::recoverFromFault() {
  eqLowPass.clearState();
  eqHighPass.clearState();
  chorus.clear();
  reverb.clear();
  enhancer.clearLines();
  enhancer.bandPass.clearState();
  dcBlocker.clear();
  for (Smoother* smoother : {&wetSmoother, &drySmoother, &gainSmoother})
    if (!std::isfinite(smoother->value)) smoother->reset();
  if (!std::isfinite(fade)) fade = 0.0f;
}

}  // namespace skarvel
