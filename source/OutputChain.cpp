#include "source/OutputChain.h"

#include <algorithm>

#include "Frameworks/Core/Assert.h"
#include "source/SkarvelParameterTable.h"

namespace skarvel {

namespace {

constexpr double kDefaultRate = 44100.0;
constexpr float kModulatorHzAfterMix = 1.6f;

}  // namespace

OutputChain::OutputChain(RandomGenerator& random) : chorus(random) {
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
  switch (id) {
    case kEqLpFreq:
      eqLowPassHz = 40.0f * std::pow(500.0f, x);  // 40..20000 Hz
      designLowPass(eqLowPass, eqLowPassHz);
      break;
    case kEqHpFreq:
      eqHighPassHz = 20.0f * std::pow(600.0f, x);  // 20..12000 Hz
      designHighPass(eqHighPass, eqHighPassHz);
      break;
    case kQFilters:
      m_eqOn = x >= 0.5f;
      break;
    case kReverbSize:
      m_reverbSize = x;
      reverb.roomSize = x * 0.28f + 0.7f;
      reverb.damp = (2.0f - x) * 0.4f;
      reverb.update();
      break;
    case kReverbMix:
      m_reverbMix = x;
      chorus.feedbackScale = (x + 1.0f) * 0.5f;
      wetTarget = x * x * 0.9f;
      chorus.modulator.setFrequency(kModulatorHzAfterMix);
      break;
    case kReverbOn:
      m_reverbOn = x >= 0.5f;
      break;
    case kGainOut:
      m_gainTarget = x * x * 3.7f;  // 0..3.7, +11.4 dB at the top
      break;
    case kStrEnh:
      m_strEnh = x;
      enhancer.setAmount(x);
      break;
    default:
      break;
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
