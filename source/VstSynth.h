#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <cstddef>
#include <memory>

#include "Frameworks/Core/DspEngine.h"
#include "Frameworks/Core/Parameters.h"
#include "Frameworks/Core/ScopePeakExchange.h"
#include "source/BandPass.h"
#include "source/Envelope.h"
#include "source/RandomGenerator.h"
#include "source/SkarvelParameterTable.h"
#include "source/Voice.h"
#include "source/VoiceAllocator.h"

namespace skarvel {

class OutputChain;

// The Skarvel engine: up to eight sounding voices of noise oscillators and comb resonators,
// each shaped by an ADSR and a gate envelope, summed into the output chain (EQ, chorusing
// reverb, string enhancer, output gain, DC blocker). Renders one sample at a time.
//
// Every buffer (the voices' delay lines and the output chain's lines, about 7 MiB) is allocated
// here, at construction; nothing in the audio path allocates, locks or throws. The same events
// and parameter values always give bit-identical output (one seeded random generator).
//
// Threads: the audio thread owns the sound state. setParameter, from any thread, only stores the
// value and marks it pending (a bit per parameter); the audio thread derives the coefficients of
// the pending values at the start of a block, before each event it handles and before each run of
// samples, so a value set between two blocks acts from the first sample of the next one, and a
// value sent while an event is handled (a program change) acts before the next event. Derived
// values that depend on the order of the calls (KT2Rate2 keeps the Rate2 of its own setting; the
// rate key tracking follows whichever of KT2Rate1 and BPMelody was set last) are captured when the
// value is set. open, resume, suspend and a sample-rate change rebuild the engine on the caller's
// thread: hosts call them while no block renders.
class VstSynth : public core::DspEngine {
 public:
  static constexpr int kVoiceRecords = 11;   // voice records kept and updated
  static constexpr int kVisitedVoices = 10;  // voice slots the loop visits
  static constexpr int kSoundingVoices = 8;  // slots above 7 play on voice 0
  static constexpr double kMinimumSampleRate = 32000.0;
  // Above it the rate is lowered to it with a warning; every delay line is long enough for it.
  static constexpr double kMaximumSampleRate = 768000.0;
  // The shared band-pass gain starts where a default band-pass patch settles, not at 0, from
  // which it takes seconds to rise: the first note after loading plays at its level.
  static constexpr float kBandGainStart = 30.0f;

  explicit VstSynth(core::ScopePeakExchange& scopePeaks);
  ~VstSynth() override;

  void registerParameters(core::Parameters& registry) override;
  void open() override;
  void resume() override;
  void resetPeaks() override;
  void suspend() override;
  void setParameter(int id, float value) override;
  void getParameterLabel(int id, char* text, std::size_t size) override;
  void getParameterDisplay(int id, char* text, std::size_t size) override;
  void processReplacing(float** inputs, float** outputs, int frames) override;
  void eventsReceived() override;
  void processMidiEvent() override;
  void noteOnOff(int note, int velocity, bool on) override;
  float getParameter(int id) override;
  void sampleRateChanged() override;

  // Every envelope to Idle, the delay lines and the allocator cleared, the reverb and the
  // enhancer lines cleared (all sound off).
  void resetVoices();

  // --- read-only views for tests, the benchmark and the editor's envelope drawing ---
  const Envelope& adsrEnvelope(int voice) const { return m_adsr[voice]; }
  const Envelope& gateEnvelope(int voice) const { return m_gate[voice]; }
  const Voice& voice(int index) const { return m_voices[index]; }
  const VoiceSettings& voiceSettings() const { return m_voiceSettings; }
  int voiceNote(int voice) const { return m_voiceNote[voice]; }
  float voiceFrequency(int voice) const { return m_voiceFrequency[voice]; }
  int lastNote() const { return m_lastNote; }
  bool pedalDown() const { return m_pedal; }

  // The lane type the voices run on (Automatic unless a test or benchmark compares them; every
  // kind gives the same sound). Set while no block renders.
  void setVoiceLanes(VoiceLaneKind kind) { m_voiceLanes = kind; }

 private:
  void applySampleRate(bool resendParameters);
  // The value the sound is derived from: the stored value limited to 0..1, or the parameter's
  // default when the stored value is not finite, so no derived quantity can overflow.
  static float usable(int id, float value);
  void applyParameter(int id, float x);
  // Derives the pending values (in id order; the order-dependent ones were captured when set).
  void applyPendingParameters();
  bool parametersPending() const { return m_pendingParameters.load(std::memory_order_relaxed) != 0; }
  // The osc1 rate's key tracking from the stored KT2Rate1 and BPMelody values and which of the two
  // was set last.
  float rateKeyTrack() const;
  bool anyVoiceSounding() const;
  float bandPassStep(int voice, float x, float adsr, float frequency);
  // The voices over a segment of `length` samples: their envelopes, then the sounding voices
  // together (with every random draw of the segment), then their sum into m_segmentSum.
  void renderVoices(int length);

  RandomGenerator m_random;
  std::array<Voice, kVoiceRecords> m_voices;
  std::array<Envelope, kVoiceRecords> m_adsr;
  std::array<Envelope, kVoiceRecords> m_gate;
  std::array<BandPass, kVoiceRecords> m_bandPass;
  std::array<int, kVoiceRecords> m_voiceNote{};
  std::array<float, kVoiceRecords> m_voiceFrequency{};
  std::unique_ptr<VoiceAllocator> m_allocator;
  std::unique_ptr<OutputChain> m_outputChain;
  std::array<float, 128> m_noteFrequency{};
  int m_lastNote = -1;
  bool m_pedal = false;

  // Derived values, written when pending values are applied, read by the loop.
  float m_rate1Hz = 4400.0f;
  float m_rate2Hz = 4400.0f;
  float m_rateDepth = 0.0f;        // Hz per unit of ADSR
  float m_balanceDepth = 0.0f;
  float m_amDepth = 0.0f;
  float m_rateKeyTrack = 0.0f;     // x note frequency, added to the osc1 rate
  float m_balanceKeyTrack = 0.0f;
  float m_rate2KeyTrack = 0.0f;    // x note frequency, added to the osc2 rate
  float m_level = 0.0f;
  float m_lpHp1 = 0.0f;
  float m_am = 0.0f;
  float m_kt2Rate1 = 0.0f;         // band-pass width factor
  bool m_gateSetsLevel = false;    // ADSR2Level
  bool m_bandPassMelody = false;   // BPMelody

  float m_bandGain = kBandGainStart;  // set again by every sample-rate change
  float m_bandGainTarget = 0.89f;
  float m_bandGainRate = 0.001f;
  int m_bandUpdateCounter = 0;

  VoiceSettings m_voiceSettings;
  VoiceLaneKind m_voiceLanes = VoiceLaneKind::Automatic;

  // Scratch for one segment of a block: per sample the voices' envelopes and values (a lane per
  // sounding voice), their sum, the random draws of the dither and of the chorus stage, whether
  // the chorus stage runs, the dither and the output pair.
  static constexpr int kSegment = kVoiceSegment;
  std::array<LaneValues, kSegment> m_segmentAdsr{};
  std::array<LaneValues, kSegment> m_segmentGate{};
  std::array<LaneValues, kSegment> m_segmentValues{};
  std::array<float, kSegment> m_segmentSum{};
  std::array<float, kSegment> m_segmentDither{};
  std::array<float, kSegment> m_segmentLeft{};
  std::array<float, kSegment> m_segmentRight{};
  std::array<int, kSegment> m_segmentDitherDraws{};
  std::array<ChorusDraws, kSegment> m_segmentChorusDraws{};
  std::array<bool, kSegment> m_segmentChorusRuns{};

  float m_sleepSum = 0.0f;
  int m_sleepCount = 0;
  // Parameters set at least once (bit per id): without a core to resend them, a sample-rate
  // change re-applies these itself.
  std::atomic<std::uint64_t> m_parametersSet{0};
  // Parameters set since their coefficients were last derived (bit per id).
  std::atomic<std::uint64_t> m_pendingParameters{0};
  // Captured in call order by setParameter: the osc2 rate (Hz) of the last Rate2 set (4400 after
  // open), the osc2 rate that KT2Rate2 scales by (the former at KT2Rate2's own setting), and
  // whether BPMelody was set after KT2Rate1.
  std::atomic<float> m_latestRate2Hz{4400.0f};
  std::atomic<float> m_rate2HzForKeyTrack{4400.0f};
  std::atomic<bool> m_bpMelodySetLast{false};
};

}  // namespace skarvel
