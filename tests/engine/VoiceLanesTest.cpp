// The voices run together on lanes of one, four, eight or sixteen; every lane type must give the
// very bits the plain one-float-per-lane code gives (the comb resonators amplify any rounding
// change), whatever the number of voices, their release times and the switches.
#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

#include "engine/EngineHarness.h"
#include "source/Voice.h"

namespace {

using enginetest::EventList;
using enginetest::Rig;
using namespace skarvel;

struct Setting {
  int id;
  float value;
};

// Both channels of a phrase that grows from one voice to every voice the engine has (ten notes,
// eight voices) and lets them end at different samples, rendered on `kind`.
std::vector<float> renderPhrase(VoiceLaneKind kind, const std::vector<Setting>& settings, int notes) {
  Rig rig;
  rig.engine->setVoiceLanes(kind);
  const Setting base[] = {{kRate1, 0.45f},     {kLpHp1, 0.8f},   {kAm, 0.6f},       {kSmooth, 0.5f},
                          {kRate2, 0.35f},     {kLpHp2, 0.3f},   {kResoAmnt, 0.9f}, {kCombFilter, 0.6f},
                          {kLpHp3, 0.3f},      {kFm, 0.3f},      {kDryWet, 0.7f},   {kAttack1, 0.02f},
                          {kRelease1, 0.2f},   {kAdsr2Level, 0.0f}, {kAdsr2Rate1, 0.8f}, {kAdsr2LpHp1, 0.7f},
                          {kKt2Rate1, 0.7f},   {kKt2Rate2, 0.6f}, {kReverbOn, 1.0f}};
  for (const Setting& s : base) rig.engine->setParameter(s.id, s.value);
  for (const Setting& s : settings) rig.engine->setParameter(s.id, s.value);

  std::vector<float> all;
  constexpr int kBlock = 300;  // not a multiple of the voices' segment
  for (int block = 0; block < 60; ++block) {
    EventList events;
    // One more note every other block, at an offset inside the block.
    if (block % 2 == 0 && block / 2 < notes) events.noteOn(block * 7 % kBlock, 40 + 5 * (block / 2), 60 + block);
    // Then releases, a few samples apart so voices end in the middle of segments.
    if (block >= 2 * notes + 4 && block < 3 * notes + 4) events.noteOff(block * 13 % kBlock, 40 + 5 * (block - 2 * notes - 4));
    rig.render(kBlock, &events);
    for (int i = 0; i < kBlock; ++i) {
      all.push_back(rig.left[i]);
      all.push_back(rig.right[i]);
    }
  }
  return all;
}

// Index of the first sample whose bits differ, or the size when none does.
std::size_t firstDifference(const std::vector<float>& a, const std::vector<float>& b) {
  std::size_t i = 0;
  while (i < a.size() && i < b.size() && std::memcmp(&a[i], &b[i], sizeof(float)) == 0) ++i;
  return i;
}

void expectEveryKindMatchesOneFloatPerLane(const std::vector<Setting>& settings, int notes) {
  const std::vector<float> reference = renderPhrase(VoiceLaneKind::EightScalar, settings, notes);
  ASSERT_GT(enginetest::peak(reference), 1e-3) << "the phrase should be audible";
  std::vector<std::pair<VoiceLaneKind, const char*>> kinds = {{VoiceLaneKind::Automatic, "automatic"},
                                                              {VoiceLaneKind::One, "one"},
                                                              {VoiceLaneKind::Four, "four"},
                                                              {VoiceLaneKind::Eight, "eight (baseline)"}};
  if (voiceLanesAvx2Available()) kinds.push_back({VoiceLaneKind::EightAvx2, "eight (AVX2)"});
  for (const auto& [kind, name] : kinds) {
    const std::vector<float> other = renderPhrase(kind, settings, notes);
    ASSERT_EQ(other.size(), reference.size());
    EXPECT_EQ(firstDifference(other, reference), reference.size()) << name << " differs, " << notes << " notes";
  }
}

TEST(VoiceLanes, EveryLaneTypeMatchesOneFloatPerLaneToTheBit) {
  for (int notes : {1, 3, 6, 10}) expectEveryKindMatchesOneFloatPerLane({}, notes);
}

TEST(VoiceLanes, SwitchesAndScalingsMatchToTheBit) {
  expectEveryKindMatchesOneFloatPerLane({{kRateScaleUp, 1.0f}}, 10);
  expectEveryKindMatchesOneFloatPerLane({{kOsc1, 0.0f}, {kSmooth, 1.0f}}, 7);
  expectEveryKindMatchesOneFloatPerLane({{kOsc2, 0.0f}, {kSmooth, 0.0f}, {kResoAmnt, 1.0f}}, 5);
  expectEveryKindMatchesOneFloatPerLane({{kBpMelody, 1.0f}, {kAdsr2Level, 1.0f}}, 10);
}

// Extreme rates drive the osc1 high-pass through every range of the hyperbolic tangent and the
// comb delay to both of its limits.
TEST(VoiceLanes, ExtremeRatesMatchToTheBit) {
  expectEveryKindMatchesOneFloatPerLane({{kRate1, 1.0f}, {kRate2, 1.0f}, {kLpHp1, 1.0f}, {kFm, 1.0f}}, 9);
  expectEveryKindMatchesOneFloatPerLane({{kRate1, 0.0f}, {kRate2, 0.0f}, {kRateScaleUp, 1.0f}}, 4);
}

// Every voice the engine can sound renders, each on its own lane: eight held notes (more
// notes share voice 0), all eight voices' resonators running.
TEST(VoiceLanes, EightHeldNotesAllSound) {
  Rig rig;
  EventList events;
  for (int n = 0; n < 10; ++n) events.noteOn(0, 50 + n, 100);
  rig.render(1000, &events);
  for (int j = 0; j < VstSynth::kSoundingVoices; ++j) {
    EXPECT_EQ(rig.engine->voice(j).linePosition, 1024 + 1000) << "voice " << j;
    EXPECT_NE(rig.engine->voice(j).combOut, 0.0f) << "voice " << j << " is silent";
  }
}

}  // namespace
