// Parameter values are stored by setParameter and derived by the audio thread: a value acts from
// the exact sample it would act from if it were derived at once, the order of the calls decides
// what a value depends on, and setting values from other threads while blocks render is safe.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <thread>
#include <vector>

#include "engine/EngineHarness.h"

namespace {

using enginetest::EventList;
using enginetest::Rig;
using namespace skarvel;

// First sample (left and right interleaved, counted in frames) where two renders differ; -1 when
// they are identical.
int firstDifference(const std::vector<float>& a, const std::vector<float>& b) {
  EXPECT_EQ(a.size(), b.size());
  for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
    if (std::memcmp(&a[i], &b[i], sizeof(float)) != 0) return static_cast<int>(i / 2);
  return -1;
}

// Two notes with every effect on, in blocks of `block`; `between(k)` runs before block k.
std::vector<float> renderNotes(Rig& rig, int block, int blocks, const std::function<void(int)>& between) {
  for (const auto& [id, value] : {std::pair{kQFilters, 1.0f}, {kReverbOn, 1.0f}, {kStrEnh, 0.4f}, {kAttack1, 0.3f}})
    rig.engine->setParameter(id, value);
  std::vector<float> all;
  for (int k = 0; k < blocks; ++k) {
    between(k);
    EventList events;
    if (k == 0) events.noteOn(3, 57, 100).noteOn(11, 64, 70);
    rig.render(block, &events);
    for (int i = 0; i < block; ++i) {
      all.push_back(rig.left[i]);
      all.push_back(rig.right[i]);
    }
  }
  return all;
}

TEST(PendingParameters, ValueSetBetweenBlocksActsFromTheNextBlocksFirstSample) {
  // One parameter of each kind: the output gain's glide, the voices' level, an envelope time
  // (the notes are still rising), the resonator mix, an equaliser cut-off.
  const std::pair<int, float> changes[] = {
      {kGainOut, 0.1f}, {kLevel, 0.2f}, {kAttack1, 0.05f}, {kDryWet, 0.1f}, {kEqLpFreq, 0.2f}};
  for (const int block : {64, 100}) {
    Rig plain;
    const std::vector<float> reference = renderNotes(plain, block, 12, [](int) {});
    for (const auto& [id, value] : changes) {
      Rig rig;
      const std::vector<float> changed = renderNotes(rig, block, 12, [&, id = id, value = value](int k) {
        if (k == 7) rig.engine->setParameter(id, value);
      });
      EXPECT_EQ(firstDifference(reference, changed), 7 * block) << "parameter " << id << ", block " << block;
    }
  }
}

TEST(PendingParameters, ValueSetBetweenBlocksReachesANoteStruckAtTheFirstSample) {
  Rig rig;
  rig.render(64);
  rig.engine->setParameter(kVelosens, 0.1f);
  rig.engine->setParameter(kRelease1, 0.2f);
  EventList events;
  events.noteOn(0, 60, 20);
  rig.render(64, &events);
  EXPECT_EQ(rig.engine->adsrEnvelope(0).velocityGain, Envelope::velocityCurve(20, 0.1f * 0.998f + 0.001f));
  EXPECT_EQ(rig.engine->adsrEnvelope(0).releaseTime, 0.2f * 0.2f * 10.0f);
}

// A core whose MIDI program 1 sends a quieter, less velocity-sensitive, faster program.
struct ProgramCore : core::DspToPluginCoreInterface {
  VstSynth* engine = nullptr;
  bool sendsValues = true;
  void programChange(int program) override {
    if (!sendsValues || program != 1) return;
    engine->setParameter(kLevel, 0.3f);
    engine->setParameter(kVelosens, 0.1f);
    engine->setParameter(kAttack1, 0.02f);
  }
  void resendParameters() override {}
};

TEST(PendingParameters, ProgramChangeInsideABlockActsAtItsSampleAndBeforeTheNextEvent) {
  auto render = [](bool sendsValues, Rig& rig) {
    ProgramCore programs;
    programs.engine = rig.engine.get();
    programs.sendsValues = sendsValues;
    rig.engine->setCallbacks(&programs, nullptr);
    rig.engine->setParameter(kVelosens, 0.9f);
    EventList events;
    // A held note, then at offset 100 the program change and, after it in the list, a new note.
    events.noteOn(0, 48, 100).midi(100, 0xC0, 1, 0).noteOn(100, 60, 20);
    rig.render(256, &events);
    std::vector<float> all;
    for (int i = 0; i < 256; ++i) {
      all.push_back(rig.left[i]);
      all.push_back(rig.right[i]);
    }
    rig.engine->setCallbacks(&rig.core, nullptr);
    return all;
  };
  Rig withValues, without;
  EXPECT_EQ(firstDifference(render(false, without), render(true, withValues)), 100);
  // The second note was struck with the new program's sensitivity and attack.
  const Envelope& adsr = withValues.engine->adsrEnvelope(1);
  EXPECT_EQ(adsr.velocityGain, Envelope::velocityCurve(20, 0.1f * 0.998f + 0.001f));
  EXPECT_FLOAT_EQ(adsr.attackTime, 0.02f * 0.02f * 10.0f + 0.001f);
  EXPECT_NE(without.engine->adsrEnvelope(1).velocityGain, adsr.velocityGain);
}

// Sets the values in order before a silent block, with a silent block between every two when
// `oneAtATime`, then plays notes: the sound of the values as the engine holds them.
std::vector<float> soundAfter(const std::vector<std::pair<int, float>>& sets, bool oneAtATime) {
  Rig rig;
  rig.engine->setParameter(kAttack1, 0.05f);
  rig.render(16);
  for (const auto& [id, value] : sets) {
    rig.engine->setParameter(id, value);
    if (oneAtATime) rig.render(16);  // asleep: only the pending values are derived
  }
  if (!oneAtATime) rig.render(16);
  std::vector<float> all;
  for (int k = 0; k < 8; ++k) {
    EventList events;
    if (k == 0) events.noteOn(0, 40, 100).noteOn(0, 84, 100);
    rig.render(256, &events);
    all.insert(all.end(), rig.left.begin(), rig.left.end());
  }
  return all;
}

TEST(PendingParameters, ValuesSetTogetherDependOnEachOtherInCallOrder) {
  // KT2Rate2 scales by the Rate2 of its own setting; the rate key tracking follows whichever of
  // KT2Rate1 and BPMelody was set last. Whether the values are derived one by one or together
  // (in id order) must not matter; that the order of the calls does shows the test can tell.
  const std::vector<std::vector<std::pair<int, float>>> orders[] = {
      {{{kKt2Rate2, 0.9f}, {kRate2, 0.2f}}, {{kRate2, 0.2f}, {kKt2Rate2, 0.9f}}},
      {{{kBpMelody, 1.0f}, {kKt2Rate1, 0.9f}}, {{kKt2Rate1, 0.9f}, {kBpMelody, 1.0f}}},
      {{{kKt2Rate1, 0.9f}, {kBpMelody, 1.0f}, {kBpMelody, 0.0f}},
       {{kBpMelody, 1.0f}, {kBpMelody, 0.0f}, {kKt2Rate1, 0.2f}}},
  };
  for (const auto& pair : orders) {
    for (const auto& sets : pair)
      EXPECT_EQ(firstDifference(soundAfter(sets, true), soundAfter(sets, false)), -1) << sets.front().first;
    EXPECT_NE(firstDifference(soundAfter(pair[0], true), soundAfter(pair[1], true)), -1) << pair[0].front().first;
  }
}

TEST(PendingParameters, SampleRateChangeAppliesEveryValueAtTheNewRate) {
  // The same values and notes at 48000 Hz, whether the rate came before or after the values.
  Rig before, after;
  before.engine->setSampleRate(48000.0);
  for (Rig* rig : {&before, &after}) {
    rig->engine->setParameter(kCombFilter, 0.8f);
    rig->engine->setParameter(kKt2Rate2, 0.7f);
    rig->engine->setParameter(kStrEnh, 0.6f);
  }
  after.engine->setSampleRate(48000.0);
  auto sound = [](Rig& rig) {
    EventList events;
    events.noteOn(0, 60);
    rig.render(4096, &events);
    return rig.left;
  };
  EXPECT_EQ(firstDifference(sound(before), sound(after)), -1);
}

TEST(PendingParameters, OtherThreadsSetValuesWhileBlocksRender) {
  Rig rig;
  std::atomic<bool> stop{false};
  std::thread parameters([&] {
    for (int round = 0; !stop.load(std::memory_order_relaxed); ++round)
      for (int id = 0; id < kParameterCount; ++id)
        rig.engine->setParameter(id, static_cast<float>((id * 7 + round) % 11) / 10.0f);
  });
  std::thread suspender([&] {
    while (!stop.load(std::memory_order_relaxed)) {
      rig.engine->discardPendingEvents();
      std::this_thread::yield();
    }
  });
  bool finite = true;
  for (int block = 0; block < 400; ++block) {
    EventList events;
    events.noteOn(block % 64, 40 + block % 40, 100).noteOff((block * 5) % 64, 40 + (block + 20) % 40);
    rig.render(64, &events);
    finite = finite && enginetest::allFinite(rig.left) && enginetest::allFinite(rig.right);
  }
  stop = true;
  parameters.join();
  suspender.join();
  EXPECT_TRUE(finite);
  // Once the last values are derived, the engine holds what one given them directly holds:
  // nothing set from the other thread was lost or half applied.
  Rig fresh;
  for (int id = 0; id < kParameterCount; ++id) fresh.engine->setParameter(id, rig.engine->getParameter(id));
  rig.render(1);
  fresh.render(1);
  for (int j = 0; j < VstSynth::kVoiceRecords; ++j) {
    const Envelope &a = rig.engine->adsrEnvelope(j), &b = fresh.engine->adsrEnvelope(j);
    EXPECT_EQ(a.attackTime, b.attackTime);
    EXPECT_EQ(a.decayTime, b.decayTime);
    EXPECT_EQ(a.sustainLevel, b.sustainLevel);
    EXPECT_EQ(a.releaseTime, b.releaseTime);
    EXPECT_EQ(a.velocitySensitivity, b.velocitySensitivity);
  }
  const VoiceSettings &v = rig.engine->voiceSettings(), &w = fresh.engine->voiceSettings();
  EXPECT_EQ(v.balance2, w.balance2);
  EXPECT_EQ(v.balance3, w.balance3);
  EXPECT_EQ(v.resoAmount, w.resoAmount);
  EXPECT_EQ(v.combCoefficient, w.combCoefficient);
  EXPECT_EQ(v.dryWet, w.dryWet);
  EXPECT_EQ(v.smooth, w.smooth);
  EXPECT_EQ(v.osc1On, w.osc1On);
  EXPECT_EQ(v.rateScaleUp, w.rateScaleUp);
}

}  // namespace
