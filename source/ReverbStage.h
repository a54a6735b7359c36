#pragma once

#include <array>
#include <vector>

#include "source/DspMath.h"

namespace skarvel {

// Second stage of the chorusing reverb: per channel eight parallel damped comb filters into
// four series allpasses, the right channel's filters 23 samples longer for a wide image.
// Filter lengths are fixed in samples, so the room is smaller at higher sample rates.
class ReverbStage {
 public:
  static constexpr int kCombCount = 8;
  static constexpr int kAllpassCount = 4;
  static constexpr int kMaxLength = 4000;  // samples, the longest buffer any filter may use
  static constexpr std::array<int, kCombCount> kCombLengths{1115, 1188, 1277, 1355,
                                                            1422, 1491, 1556, 1616};
  static constexpr std::array<int, kAllpassCount> kAllpassLengths{555, 440, 340, 224};
  static constexpr int kStereoSpread = 23;  // samples added to every right-channel filter
  static constexpr float kAllpassFeedback = 0.5f;

  ReverbStage();
  ReverbStage(const ReverbStage&) = delete;
  ReverbStage& operator=(const ReverbStage&) = delete;

  // Derives the per-filter values from roomSize, damp, wet and width. Cheap: it runs every
  // sample while the wet level glides.
  void update() {
    gain = 0.015f;
    m_feedback = roomSize;
    m_damp1 = damp;
    m_damp2 = 1.0f - damp;
    m_wet1 = wet * (width + 1.0f) * 0.5f;
    m_wet2 = wet * (1.0f - width) * 0.5f;
  }

  // Zeroes every comb and allpass buffer and the combs' damping states.
  void clear();

  void step(float inL, float inR, float& outL, float& outR) {
    const float input = (inL + inR) * gain;
    // Locals, so the stores into the buffers cannot force the settings to be re-read.
    const float feedback = m_feedback, damp1 = m_damp1, damp2 = m_damp2;
    float sumL = 0.0f, sumR = 0.0f;
    for (int i = 0; i < kCombCount; ++i) {
      sumL += combStep(m_left.combs[i], input, feedback, damp1, damp2);
      sumR += combStep(m_right.combs[i], input, feedback, damp1, damp2);
    }
    for (int i = 0; i < kAllpassCount; ++i) {
      sumL = allpassStep(m_left.allpasses[i], sumL);
      sumR = allpassStep(m_right.allpasses[i], sumR);
    }
    outL = m_wet1 * sumL + m_wet2 * sumR + dry * inL;
    outR = m_wet1 * sumR + m_wet2 * sumL + dry * inR;
  }

  float gain = 0.015f;
  float roomSize = 0.84f;  // comb feedback, 0.7..0.98
  float damp = 0.2f;       // high-frequency damping in the combs, 0.4..0.8
  float wet = 0.0f;
  float dry = 0.0f;
  float width = 1.0f;

 private:
  struct Comb {
    float* buffer = nullptr;
    int length = 0;
    int index = 0;
    float filterStore = 0.0f;
  };
  struct Allpass {
    float* buffer = nullptr;
    int length = 0;
    int index = 0;
  };
  struct Channel {
    std::array<Comb, kCombCount> combs;
    std::array<Allpass, kAllpassCount> allpasses;
  };

  static float combStep(Comb& comb, float input, float feedback, float damp1, float damp2) {
    float* const slot = comb.buffer + comb.index;
    const float out = flushDenormalInRender(*slot);
    const float store = flushDenormalInRender(damp1 * comb.filterStore + damp2 * out);
    comb.filterStore = store;
    *slot = input + store * feedback;
    comb.index = comb.index + 1 < comb.length ? comb.index + 1 : 0;
    return out;
  }

  static float allpassStep(Allpass& allpass, float in) {
    float* const slot = allpass.buffer + allpass.index;
    const float out = flushDenormalInRender(*slot);
    *slot = in + out * kAllpassFeedback;
    allpass.index = allpass.index + 1 < allpass.length ? allpass.index + 1 : 0;
    return out - in;
  }

  // Shared by all combs: every comb has the same feedback and damping.
  float m_feedback = 0.84f;
  float m_damp1 = 0.2f;
  float m_damp2 = 0.8f;
  float m_wet1 = 0.0f;
  float m_wet2 = 0.0f;
  Channel m_left;
  Channel m_right;
  std::vector<float> m_storage;  // every filter buffer, allocated once
};

}  // namespace skarvel
