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
    const float sumL = channelStep(m_left, input);
    const float sumR = channelStep(m_right, input);
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

  float channelStep(Channel& channel, float input) {
    float sum = 0.0f;
    for (Comb& comb : channel.combs) {
      const float out = flushDenormal(comb.buffer[comb.index]);
      comb.filterStore = flushDenormal(m_damp1 * comb.filterStore + m_damp2 * out);
      comb.buffer[comb.index] = input + comb.filterStore * m_feedback;
      if (++comb.index >= comb.length) comb.index = 0;
      sum += out;
    }
    for (Allpass& allpass : channel.allpasses) {
      const float out = flushDenormal(allpass.buffer[allpass.index]);
      allpass.buffer[allpass.index] = sum + out * kAllpassFeedback;
      sum = out - sum;
      if (++allpass.index >= allpass.length) allpass.index = 0;
    }
    return sum;
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
