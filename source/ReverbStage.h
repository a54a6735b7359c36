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

  // Derives the per-filter values from roomSize, damp and width. Cheap: it runs every
  // segment.
  void update() {
    gain = 0.015f;
    m_feedback = roomSize;
    m_damp1 = damp;
    m_damp2 = 1.0f - damp;
  }

  // Zeroes every comb and allpass buffer and the combs' damping states.
  void clear();

  // `count` samples (any number): the inputs of each channel, each sample's wet level (which
  // glides; `wet` as a member holds the level for step) and dry level, and the outputs.
  void process(const float* inL, const float* inR, const float* wetLevels, const float* dryLevels, float* outL,
               float* outR, int count);

  // One sample with the members' wet and dry levels.
  void step(float inL, float inR, float& outL, float& outR) { process(&inL, &inR, &wet, &dry, &outL, &outR, 1); }

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

  // Every comb of `channel` over `count` samples of `input`, each comb's output added to
  // `sums` in comb order.
  void combs(Channel& channel, const float* input, float* sums, int count);
  // The allpasses of `channel` in series over `values` (replaced by their outputs); `count` is
  // at most the shortest allpass, so every sample read was written before the run.
  static void allpasses(Channel& channel, float* values, int count);

  // Shared by all combs: every comb has the same feedback and damping.
  float m_feedback = 0.84f;
  float m_damp1 = 0.2f;
  float m_damp2 = 0.8f;
  Channel m_left;
  Channel m_right;
  std::vector<float> m_storage;  // every filter buffer, allocated once
};

}  // namespace skarvel
