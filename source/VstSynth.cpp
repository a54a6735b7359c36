#include "source/VstSynth.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#if defined(__SSE__)
#include <xmmintrin.h>
#endif

#include "platform/Notice.h"
#include "source/OutputChain.h"
#include "source/ParameterDisplay.h"

namespace skarvel {

static_assert(VstSynth::kMaximumSampleRate <= OutputChain::kMaximumSampleRate, "the output chain takes every rate");

namespace {

inline float clamp01(float x) { return x < 0.0f ? 0.0f : (x > 1.0f ? 1.0f : x); }

// Parameter values are derived with gradual underflow, whatever mode the caller renders in, so a
// coefficient comes out the same on the audio thread as anywhere else.
class GradualUnderflow {
 public:
#if defined(__SSE__)
  GradualUnderflow() : m_saved(_mm_getcsr()) {
    if (m_saved & 0x8040u) _mm_setcsr(m_saved & ~0x8040u);
  }
  ~GradualUnderflow() {
    if (m_saved & 0x8040u) _mm_setcsr(m_saved);
  }

 private:
  unsigned m_saved;
#endif
};

// Sets flush-to-zero and denormals-are-zero for the current block and restores the host's mode
// afterwards. The blocks flush their feedback states explicitly; this keeps any remaining
// denormal arithmetic (decaying tails inside a sample) at full speed.
class DenormalGuard {
 public:
#if defined(__SSE__)
  DenormalGuard() : m_saved(_mm_getcsr()) { _mm_setcsr(m_saved | 0x8040u); }
  ~DenormalGuard() { _mm_setcsr(m_saved); }

 private:
  unsigned m_saved;
#endif
};

}  // namespace

VstSynth::VstSynth(core::ScopePeakExchange& scopePeaks)
    : core::DspEngine(scopePeaks),
      m_allocator(std::make_unique<VoiceAllocator>(kVisitedVoices)),
      m_outputChain(std::make_unique<OutputChain>()) {
  setParameterCount(kParameterCount);
  m_voiceNote.fill(-1);
  // Ready for the default rate at once: a host that never announces 44100 Hz must get the same
  // coefficients as one that does.
  applySampleRate(false);
}

VstSynth::~VstSynth() = default;

void VstSynth::registerParameters(core::Parameters& registry) {
  for (int id = 0; id < kParameterCount; ++id)
    registry.addParameter(static_cast<std::uint64_t>(id), std::string(kParameterTable[id].name),
                          kParameterTable[id].defaultValue);
}

void VstSynth::open() {
  // Values set before open are derived first, as if they had been applied when set; open's
  // defaults below then overwrite what they overwrite.
  applyPendingParameters();
  applySampleRate(false);

  double frequency = 8.175798915636872;  // MIDI note 0 in Hz
  for (float& entry : m_noteFrequency) {
    entry = static_cast<float>(frequency);
    frequency *= 1.059463094359;
  }

  m_voiceCount = kVisitedVoices;
  m_allocator->clear();
  for (int j = 0; j < kVoiceRecords; ++j) {
    Envelope& adsr = m_adsr[j];
    adsr.reset();
    adsr.attackTime = 0.5f;
    adsr.decayTime = 0.5f;
    adsr.sustainLevel = 0.5f;
    adsr.releaseTime = 0.5f;
    adsr.retriggerCrossfade = true;
    adsr.recomputeCoefficients();

    Envelope& gate = m_gate[j];
    gate.reset();
    gate.attackTime = 0.01f;
    gate.decayTime = 0.5f;
    gate.sustainLevel = 1.0f;
    gate.releaseTime = 0.01f;
    gate.retriggerCrossfade = true;
    gate.recomputeCoefficients();

    m_voiceNote[j] = -1;
    m_voiceFrequency[j] = 0.0f;
  }

  m_rate1Hz = 4400.0f;
  m_rate2Hz = 4400.0f;
  m_latestRate2Hz.store(m_rate2Hz, std::memory_order_relaxed);
  m_lastNote = -1;
  m_rateDepth = m_balanceDepth = m_amDepth = 0.0f;
  m_rateKeyTrack = m_balanceKeyTrack = m_rate2KeyTrack = 0.0f;
  m_bandUpdateCounter = 0;
  m_pedal = false;
  m_bandGainTarget = 0.89f;
  m_bandGainRate = 0.001f;
  m_outputChain->open();
  m_active = false;
  m_sleepSum = 0.0f;
  m_sleepCount = 0;
}

void VstSynth::resume() {
  m_scopePeaks.resetPeaks();
  resetVoices();
}

void VstSynth::resetPeaks() { m_scopePeaks.resetPeaks(); }

void VstSynth::suspend() { resetVoices(); }

void VstSynth::resetVoices() {
  for (int j = 0; j < kVoiceRecords; ++j) {
    m_adsr[j].reset();
    m_gate[j].reset();
    Voice& voice = m_voices[j];
    voice.clearLine();
    voice.osc1Filter.state = 0.0f;
    voice.osc1HighPass.state = 0.0f;
  }
  m_allocator->clear();
  m_outputChain->resetVoices();
}

float VstSynth::usable(int id, float value) {
  if (!std::isfinite(value)) return kParameterTable[id].defaultValue;
  return clamp01(value);
}

void VstSynth::setParameter(int id, float value) {
  if (id < 0 || id >= kParameterCount) return;
  // What the derivation must see of the moment of this call is captured now, in call order.
  switch (id) {
    case kRate2:
      m_latestRate2Hz.store(mapParameter(kRate2, usable(id, value)), std::memory_order_relaxed);
      break;
    case kKt2Rate2:
      m_rate2HzForKeyTrack.store(m_latestRate2Hz.load(std::memory_order_relaxed), std::memory_order_relaxed);
      break;
    case kKt2Rate1:
      m_bpMelodySetLast.store(false, std::memory_order_relaxed);
      break;
    case kBpMelody:
      m_bpMelodySetLast.store(true, std::memory_order_relaxed);
      break;
    default:
      break;
  }
  storeValue(id, value);
  const std::uint64_t bit = 1ull << id;
  m_parametersSet.fetch_or(bit, std::memory_order_relaxed);
  // Release: the audio thread that takes the bit also sees the value and the captures.
  m_pendingParameters.fetch_or(bit, std::memory_order_release);
}

void VstSynth::applyPendingParameters() {
  std::uint64_t pending = m_pendingParameters.exchange(0, std::memory_order_acquire);
  if (pending == 0) return;
  GradualUnderflow gradualUnderflow;
  while (pending != 0) {
    const int id = std::countr_zero(pending);
    pending &= pending - 1;
    const float value = storedValue(id);
    applyParameter(id, usable(id, value));
    m_outputChain->setParameter(id, value);
  }
}

float VstSynth::rateKeyTrack() const {
  // BPMelody on hands the pitch to the band-pass (osc1 no longer follows the note) until KT2Rate1
  // is set again.
  if (m_bpMelodySetLast.load(std::memory_order_relaxed) &&
      parameterOn(kBpMelody, usable(kBpMelody, storedValue(kBpMelody))))
    return 0.0f;
  return mapParameter(kKt2Rate1, usable(kKt2Rate1, storedValue(kKt2Rate1)));
}

void VstSynth::applyParameter(int id, float x) {
  // The quantity the parameter table maps x to; the cases below say where it goes.
  const float mapped = mapParameter(id, x, m_sampleRate);
  switch (id) {
    case kRate1:
      m_rate1Hz = mapped;
      break;
    case kLpHp1:
      m_lpHp1 = mapped;
      break;
    case kAm:
      m_am = mapped;
      break;
    case kLevel:
      m_level = mapped;
      break;
    case kSmooth:
      m_voiceSettings.smooth = mapped;
      break;
    case kRate2:
      m_rate2Hz = mapped;
      break;
    case kLpHp2:
      m_voiceSettings.balance2 = mapped;
      break;
    case kOsc1:
      m_voiceSettings.osc1On = mapped != 0.0f;
      break;
    case kOsc2:
      m_voiceSettings.osc2On = mapped != 0.0f;
      break;
    case kResoAmnt:
      m_voiceSettings.resoAmount = mapped;
      break;
    case kCombFilter:
      m_voiceSettings.setCombCutoff(mapped);
      break;
    case kLpHp3:
      m_voiceSettings.balance3 = mapped;
      break;
    case kFm:
      m_voiceSettings.fmAmount = mapped;
      break;
    case kDryWet:
      m_voiceSettings.dryWet = mapped;
      break;
    case kAttack1:
      for (Envelope& envelope : m_adsr) {
        envelope.attackTime = mapped;  // s
        envelope.recomputeCoefficients();
      }
      break;
    case kDecay1:
      for (Envelope& envelope : m_adsr) {
        envelope.decayTime = mapped;  // s
        envelope.recomputeCoefficients();
      }
      break;
    case kSustain1:
      for (Envelope& envelope : m_adsr) {
        envelope.sustainLevel = mapped;
        envelope.recomputeCoefficients();
      }
      break;
    case kRelease1:
      for (Envelope& envelope : m_adsr) {
        envelope.releaseTime = mapped;  // s
        envelope.recomputeCoefficients();
      }
      break;
    case kVelosens:
      for (int j = 0; j < kVoiceRecords; ++j) m_adsr[j].velocitySensitivity = m_gate[j].velocitySensitivity = mapped;
      break;
    case kAdsr2Level:
      m_gateSetsLevel = mapped != 0.0f;
      break;
    case kAdsr2Rate1:
      m_rateDepth = mapped;  // Hz
      break;
    case kAdsr2LpHp1:
      m_balanceDepth = mapped;
      break;
    case kAdsr2Am:
      m_amDepth = mapped;
      break;
    case kKt2Rate1:
      m_kt2Rate1 = x;  // the band-pass width factor; the key track is the mapped value
      m_rateKeyTrack = rateKeyTrack();
      break;
    case kKt2LpHp1:
      m_balanceKeyTrack = mapped;
      break;
    case kKt2Rate2:
      // Scaled by Rate2 as it was when KT2Rate2 was set; a later Rate2 change alone does not
      // rescale it.
      m_rate2KeyTrack = mapped * m_rate2HzForKeyTrack.load(std::memory_order_relaxed) * 0.01f;
      break;
    case kBpMelody:
      m_bandPassMelody = mapped != 0.0f;
      m_rateKeyTrack = rateKeyTrack();
      break;
    case kRateScaleUp:
      m_voiceSettings.rateScaleUp = mapped != 0.0f;
      break;
    default:  // the output chain's parameters
      break;
  }
}

float VstSynth::getParameter(int id) {
  if (id < 0 || id >= kParameterCount) return 0.0f;
  return storedValue(id);
}

void VstSynth::getParameterLabel(int, char* text, std::size_t size) {
  if (text && size > 0) text[0] = '\0';
}

void VstSynth::getParameterDisplay(int id, char* text, std::size_t size) {
  if (!text || size == 0) return;
  if (id < 0 || id >= kParameterCount) {
    text[0] = '\0';
    return;
  }
  formatParameterDisplay(id, storedValue(id), storedValue(kBpMelody), m_sampleRate, text, size);
}

void VstSynth::sampleRateChanged() {
  // Also catches NaN and infinity from a faulty host.
  if (!(m_sampleRate >= kMinimumSampleRate && std::isfinite(m_sampleRate))) {
    m_sampleRate = kMinimumSampleRate;
    platform::showNotice("Warning!", "Minimum supported Samplerate exceeded");
  } else if (m_sampleRate > kMaximumSampleRate) {
    m_sampleRate = kMaximumSampleRate;
    platform::showNotice("Warning!", "Maximum supported Samplerate exceeded");
  }
  // Values still pending are derived first, as they would have been before the change; the
  // values sent again at the new rate are derived at the end, so the engine is whole on return.
  applyPendingParameters();
  applySampleRate(true);
  applyPendingParameters();
}

void VstSynth::applySampleRate(bool resendParameters) {
  const double rate = m_sampleRate;
  const float rateF = static_cast<float>(rate);
  m_voiceSettings.setSampleRate(rate);
  for (int j = 0; j < kVoiceRecords; ++j) {
    for (Envelope* envelope : {&m_adsr[j], &m_gate[j]}) {
      envelope->reset();
      envelope->sampleRate = rateF;
      envelope->coefficientRate = rateF;
      envelope->recomputeCoefficients();
    }
    Voice& voice = m_voices[j];
    voice.clearLine();
    voice.osc1Filter.state = voice.osc1HighPass.state = 0.0f;
    voice.osc2Filter.state = voice.combFilter.state = 0.0f;
    voice.osc1Filter.highOut = voice.osc1HighPass.highOut = 0.0f;
    voice.osc2Filter.highOut = voice.combFilter.highOut = 0.0f;

    BandPass& bandPass = m_bandPass[j];
    bandPass.clear();
    bandPass.sampleRate = rateF;
    bandPass.design(440.0, 100.0);
  }
  m_outputChain->setSampleRate(rate);
  // The shared band-pass gain settles to the filters' response at the old rate (at an extreme
  // one it can sit far from the normal level); with the filters cleared it starts again where a
  // fresh instance starts, so the first notes at the new rate play at their usual level.
  m_bandGain = kBandGainStart;

  if (!resendParameters) return;
  if (m_dspToPlugin) {
    m_dspToPlugin->resendParameters();
  } else {
    // No core to resend the values: apply the ones already set at the new rate.
    const std::uint64_t set = m_parametersSet.load(std::memory_order_relaxed);
    for (int id = 0; id < kParameterCount; ++id)
      if (set & (1ull << id)) setParameter(id, storedValue(id));
  }
}

void VstSynth::eventsReceived() {}

void VstSynth::processMidiEvent() {
  // Values sent while the previous event was handled (a program change) act before this one.
  if (parametersPending()) applyPendingParameters();
  if (!m_currentMidiData) return;
  const int status = static_cast<unsigned char>(m_currentMidiData[0]) & 0xF0;
  const int data1 = static_cast<unsigned char>(m_currentMidiData[1]) & 0x7F;
  const int data2 = static_cast<unsigned char>(m_currentMidiData[2]) & 0x7F;
  switch (status) {
    case 0x90:
      if (data2 > 0) {
        m_active = true;
        noteOnOff(data1, data2, true);
      } else {
        noteOnOff(data1, data2, false);
      }
      break;
    case 0x80:
      noteOnOff(data1, data2, false);
      break;
    case 0xB0:
      if (data1 == 120 || data1 == 123) {
        resetVoices();
      } else if (data1 == 64 || data1 == 66) {
        m_pedal = data2 / 127.0f > 0.5f;
        for (int j = 0; j < m_voiceCount; ++j) {
          m_adsr[j].setPedal(m_pedal);
          m_gate[j].setPedal(m_pedal);
        }
      }
      break;
    case 0xC0:
      if (m_dspToPlugin) m_dspToPlugin->programChange(data1);
      break;
    default:  // aftertouch, pitch bend: no audible effect
      break;
  }
}

void VstSynth::noteOnOff(int note, int velocity, bool on) {
  m_active = true;
  note &= 0x7F;
  if (on) {
    int slot = m_allocator->findNote(note);
    if (slot < 0) {
      for (int candidate = 0; candidate < m_allocator->slotCount(); ++candidate) {
        if (m_adsr[candidate].isIdle()) {
          slot = candidate;
          m_allocator->assign(slot, note, velocity);
          break;
        }
      }
      if (slot < 0) return;
    }
    // Eight sounding voices: slots 8 and 9 play on voice 0.
    const int voice = slot >= kSoundingVoices ? 0 : slot;
    const int heldVelocity = m_allocator->velocity(voice);
    m_adsr[voice].trigger(heldVelocity);
    m_gate[voice].trigger(heldVelocity);
    m_lastNote = note;
    m_voiceNote[voice] = note;
    m_voiceFrequency[voice] = m_noteFrequency[note];
  } else {
    const int slot = m_allocator->findNote(note);
    if (slot < 0) return;
    m_allocator->free(slot);
    const int voice = slot >= kSoundingVoices ? 0 : slot;
    m_adsr[voice].noteOff();
    m_gate[voice].noteOff();
  }
}

bool VstSynth::anyVoiceSounding() const {
  for (int j = 0; j < kVoiceRecords; ++j)
    if (!m_adsr[j].isIdle() || !m_gate[j].isIdle()) return true;
  return false;
}

float VstSynth::bandPassStep(int voice, float x, float adsr, float frequency) {
  BandPass& bandPass = m_bandPass[voice];
  const double x16 = x * 4.0f;
  const float saturated = static_cast<float>(x16 * 4.14 / (x16 * x16 + 4.31));
  const float m = bandPass.step(saturated);

  // One automatic gain for all voices, steering |output| towards the target.
  const float gain = m_bandGain;
  m_bandGain = gain + (m_bandGainTarget - std::fabs(m * gain)) * m_bandGainRate;

  const double v = static_cast<double>(m * gain * 0.021f);
  const double w = v < -1.694 ? -1.0 : (v > 1.694 ? 1.0 : v * 3.4 / (v * v + 2.9));

  // The redesign (tan, cos) runs on every eleventh band-pass step only.
  if (m_bandUpdateCounter == 0) {
    const float centre = (adsr * m_balanceDepth * 2.4f + 2.0f) * frequency;
    const float width = m_kt2Rate1 * frequency * 0.5f + 0.01f;
    bandPass.design(centre, width);
  }
  if (++m_bandUpdateCounter > 10) m_bandUpdateCounter = 0;
  return static_cast<float>(2.0 * w);
}

void VstSynth::renderVoices(int length) {
  VoiceGroupJob job;
  int voiceOfLane[kMaxVoiceLanes];
  // Only the first kSoundingVoices records are ever triggered, so every sounding voice has a lane.
  static_assert(kSoundingVoices <= kMaxVoiceLanes);
  for (int j = 0; j < m_voiceCount; ++j) {
    Envelope& adsr = m_adsr[j];
    Envelope& gate = m_gate[j];
    if (adsr.isIdle() && gate.isIdle()) continue;
    // A voice sounds until both its envelopes are idle: always in the segment's first samples,
    // since only an event wakes an idle voice and events fall between segments. An idle
    // envelope's ticks change nothing, so both may tick through the segment.
    const int lane = job.lanes++;
    const int adsrBusy = adsr.render(length, [&](int k, float value) { m_segmentAdsr[k].lane[lane] = value; });
    const int gateBusy = gate.render(length, [&](int k, float value) { m_segmentGate[k].lane[lane] = value; });
    const int count = std::max(adsrBusy, gateBusy);
    voiceOfLane[lane] = j;
    job.voices[lane] = &m_voices[j];
    job.counts[lane] = count;
    const float frequency = m_voiceFrequency[j];
    job.rate1Base[lane] = m_rate1Hz + m_rateKeyTrack * frequency;
    const float keyPosition = static_cast<float>(m_voiceNote[j]) * 0.06299f - 4.0f;
    job.balanceBase[lane] = m_lpHp1 + keyPosition * m_balanceKeyTrack;
    m_voices[j].setOsc2Rate(m_rate2Hz + m_rate2KeyTrack * frequency, m_voiceSettings);
  }

  job.length = length;
  job.rateDepth = m_rateDepth;
  job.balanceDepth = m_balanceDepth;
  job.am = m_am;
  job.amDepth = m_amDepth;
  job.level = m_level;
  job.gateSetsLevel = m_gateSetsLevel;
  job.sumLanes = !m_bandPassMelody;
  job.settings = &m_voiceSettings;
  job.adsr = m_segmentAdsr.data();
  job.gate = m_segmentGate.data();
  job.chorusRuns = m_segmentChorusRuns.data();
  job.random = &m_random;
  job.ditherDraws = m_segmentDitherDraws.data();
  job.chorusDraws = m_segmentChorusDraws.data();
  job.values = m_segmentValues.data();
  job.sums = m_segmentSum.data();
  renderVoiceGroup(job, m_voiceLanes);

  if (!m_bandPassMelody) return;
  // The band-pass melody: every voice's value through its band-pass, in voice order (the
  // automatic gain is one for all), summed with the envelope that sets the level.
  const bool gateSetsLevel = m_gateSetsLevel;
  for (int k = 0; k < length; ++k) {
    float sum = 0.0f;
    for (int lane = 0; lane < job.lanes; ++lane) {
      if (k >= job.counts[lane]) continue;
      const int j = voiceOfLane[lane];
      const float adsr = m_segmentAdsr[k].lane[lane];
      const float x = bandPassStep(j, m_segmentValues[k].lane[lane], adsr, m_voiceFrequency[j]);
      sum += (gateSetsLevel ? m_segmentGate[k].lane[lane] : adsr) * x;
    }
    m_segmentSum[k] = sum;
  }
}

void VstSynth::processReplacing(float** /*inputs*/, float** outputs, int frames) {
  if (!outputs || !outputs[0] || !outputs[1] || frames <= 0) return;
  DenormalGuard denormalGuard;
  // Values set since the last block act from its first sample, before its first event.
  if (parametersPending()) applyPendingParameters();
  m_outLeft = outputs[0];
  m_outRight = outputs[1];
  m_outputChain->beginBlock();
  OutputChain& chain = *m_outputChain;

  // The block runs in segments that no event and no sleep decision interrupts: first the
  // voices for the whole segment, then the output chain over it. Separate loops let the
  // processor overlap consecutive samples of each (one voice sum no longer waits for the
  // chain's long per-sample dependency chain). The voices' pass makes every draw of the shared
  // random generator in its exact order, the dither's and the chorus stage's included, and the
  // chain takes the ones it needs.
  int i = 0;
  while (i < frames) {
    if (m_eventIndex >= 0) dispatchEventsAt(i);

    if (!m_active) {
      if (m_eventIndex < 0) {
        // Asleep with nothing left to dispatch: the rest of the block is silence.
        const std::size_t rest = static_cast<std::size_t>(frames - i);
        std::memset(m_outLeft, 0, rest * sizeof(float));
        std::memset(m_outRight, 0, rest * sizeof(float));
        m_outLeft += rest;
        m_outRight += rest;
        break;
      }
      *m_outLeft++ = 0.0f;
      *m_outRight++ = 0.0f;
      ++i;
      continue;
    }

    // Values set while the events were handled, or from another thread, act from here.
    if (parametersPending()) applyPendingParameters();

    // Up to the next event, the next sleep decision (included) and the scratch length.
    int end = std::min(frames, i + kSegment);
    end = std::min(end, i + (1024 - m_sleepCount));
    end = std::min(end, nextEventOffset());
    if (end <= i) end = i + 1;
    const int length = end - i;

    chain.chorusRuns(m_segmentChorusRuns.data(), length);
    renderVoices(length);

    for (int k = 0; k < length; ++k)
      m_segmentDither[k] = (static_cast<float>(m_segmentDitherDraws[k]) * (1.0f / 32768.0f) - 0.5f) * 1e-14f;
    chain.render(m_segmentSum.data(), m_segmentDither.data(), m_segmentChorusDraws.data(), m_segmentLeft.data(),
                 m_segmentRight.data(), length);

    for (int k = 0; k < length; ++k) {
      const float left = m_segmentLeft[k], right = m_segmentRight[k];

      // Sleep detector: a quiet window of 1023 samples ends the computing, but only once every
      // envelope is idle, so a quiet note with a slow attack is not put to sleep while it rises.
      if (++m_sleepCount > 1023) {
        if (m_sleepSum < 0.02048f && !anyVoiceSounding()) m_active = false;
        m_sleepSum = 0.0f;
        m_sleepCount = 0;
      } else {
        m_sleepSum += std::fabs(left + right);
        if (m_sleepSum < 1e-5f) m_sleepSum = 0.0f;
      }

      m_scopePeaks.feed(left, right);
      *m_outLeft++ = left;
      *m_outRight++ = right;
    }
    i = end;
  }
}

}  // namespace skarvel
