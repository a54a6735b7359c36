#pragma once

#include <cstring>
#include <memory>

#include "source/ChorusStage.h"
#include "source/NoiseGenerator.h"
#include "source/OnePole.h"
#include "source/RandomGenerator.h"

namespace skarvel {

// What every voice shares: the engine keeps one record, set from the parameters, and every
// voice reads it.
struct VoiceSettings {
  double sampleRate = 44100.0;
  // A cut-off in Hz times this is a one-pole coefficient (2π / rate, in float).
  float radiansPerHz = 6.2831854820251465f / 44100.0f;
  // The highest cut-off the noise and comb filters take, an eighth of the rate, as float: a
  // float rate above cutoffLimitAbove is above the limit, and the limit itself is cutoffLimit.
  float cutoffLimitAbove = 5512.5f;
  float cutoffLimit = 5512.5f;
  double smooth = 0.0;       // 0 stepped .. 1 interpolated noise (both oscillators)
  float balance2 = 0.0f;     // LP-HP2: 0 low-pass .. 1 high-pass
  float resoAmount = 0.0f;   // comb feedback gain 0..0.98
  float combCoefficient = 1.0f;  // the comb feedback filter's one-pole coefficient
  float balance3 = 0.0f;     // LP-HP3 in the comb feedback
  float fmAmount = 0.0f;     // 0..1
  float dryWet = 0.0f;       // 0 excitation only .. 1 resonator only
  bool osc1On = true;
  bool osc2On = true;
  bool rateScaleUp = false;  // resonance at the osc1 rate instead of a delay of that many samples

  void setSampleRate(double rate);
  // The cut-off the noise and comb filters use for `hz`: at most an eighth of the rate, then
  // 1..7100 Hz (NaN gives 1 Hz).
  float limitCutoff(float hz) const {
    float fc = hz > cutoffLimitAbove ? cutoffLimit : hz;
    if (!(fc >= 1.0f)) fc = 1.0f;
    return fc > 7100.0f ? 7100.0f : fc;
  }
  void setCombCutoff(float hz) { combCoefficient = radiansPerHz * limitCutoff(hz); }
};

// One voice's state: two noise oscillators (osc1 the source, osc2 the modulator) with their
// balance filters, feeding a tuned comb resonator whose delay follows the osc1 rate. The sound
// itself is computed by renderVoiceGroup, for all sounding voices at once.
//
// The 512 KiB delay line lives in its own buffer, allocated once at construction, so the
// voices' state stays close together in the cache.
class Voice {
 public:
  static constexpr int kLineLength = 131072;  // samples, a power of two
  static constexpr int kLineMask = kLineLength - 1;

  Voice() : m_line(new float[kLineLength]()) {}

  // --- oscillators ---
  NoiseGenerator noise1;
  NoiseGenerator noise2;
  OnePole osc1Filter;    // balance filter of osc1
  OnePole osc1HighPass;  // high-pass after the osc1 balance
  OnePole osc2Filter;    // balance filter of osc2
  float osc2Coefficient = 1.0f;

  // --- comb resonator ---
  OnePole combFilter;
  float combOut = 0.0f;     // resonator output of the previous step
  double delay = 1.0;       // target delay in samples, 1..131071
  float smoothedDelay = 0.0f;
  int linePosition = 1024;  // next write position

  // Osc2 rate (Hz): the noise rate and the balance filter's cut-off.
  void setOsc2Rate(float rate, const VoiceSettings& settings) {
    noise2.increment = NoiseGenerator::incrementFor(settings.sampleRate, rate);
    osc2Coefficient = settings.radiansPerHz * settings.limitCutoff(rate);
  }

  // Silence for the resonator: the line cleared (only when something was written since the
  // last clear, so repeated resets stay cheap) and its output zeroed.
  void clearLine() {
    if (m_lineDirty) std::memset(m_line.get(), 0, sizeof(float) * kLineLength);
    m_lineDirty = false;
    combOut = 0.0f;
  }

  float* line() { return m_line.get(); }
  const float* line() const { return m_line.get(); }
  void markLineWritten() { m_lineDirty = true; }

 private:
  std::unique_ptr<float[]> m_line;
  bool m_lineDirty = false;
};

// The segment scratch of the voices: per sample, a value per lane.
inline constexpr int kMaxVoiceLanes = 8;
inline constexpr int kVoiceSegment = 128;  // longest segment, samples
struct alignas(32) LaneValues {
  float lane[kMaxVoiceLanes];
};

// One segment of the sounding voices, rendered together. Besides the voices' own noise draws the
// group makes the other draws of every sample of the segment in the engine's order, so one
// generator serves them all: the dither first, then the voices (each osc1 before osc2, voice by
// voice), then the chorus's two where it runs.
struct VoiceGroupJob {
  int lanes = 0;                        // sounding voices, 0..8, in voice order
  Voice* voices[kMaxVoiceLanes] = {};
  int counts[kMaxVoiceLanes] = {};      // samples each sounds in: always the segment's first ones
  int length = 0;                       // samples in the segment
  float rate1Base[kMaxVoiceLanes] = {};    // osc1 rate before the ADSR's share (Hz)
  float balanceBase[kMaxVoiceLanes] = {};  // LP-HP1 before the ADSR's share
  float rateDepth = 0.0f;    // Hz per unit of ADSR
  float balanceDepth = 0.0f;
  float am = 0.0f;
  float amDepth = 0.0f;
  float level = 0.0f;
  bool gateSetsLevel = false;
  bool sumLanes = true;  // false: the caller sums (the band-pass melody comes between)
  const VoiceSettings* settings = nullptr;
  const LaneValues* adsr = nullptr;  // envelope outputs per sample
  const LaneValues* gate = nullptr;
  const bool* chorusRuns = nullptr;  // per sample: whether the chorus stage draws
  RandomGenerator* random = nullptr;

  int* ditherDraws = nullptr;          // per sample
  ChorusDraws* chorusDraws = nullptr;  // per sample where the chorus runs
  LaneValues* values = nullptr;        // per sample: Level × sound × 4 of each lane
  float* sums = nullptr;               // per sample (with sumLanes): the lanes' values times their envelopes, summed in voice order
};

// The lane types the group can run on. Each gives the same bits; Automatic takes one lane for
// one voice, four (SSE2) for up to four, eight (AVX2 where the processor has it, otherwise two
// SSE2 registers) for more. A kind narrower than the voices falls back to the baseline eights.
enum class VoiceLaneKind { Automatic, One, Four, Eight, EightAvx2, EightScalar };

void renderVoiceGroup(VoiceGroupJob& job, VoiceLaneKind kind = VoiceLaneKind::Automatic);
// Whether the processor and the system run AVX2 code (and this build has it).
bool voiceLanesAvx2Available();

}  // namespace skarvel
