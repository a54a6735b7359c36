#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "EngineHarness.h"
#include "platform/Notice.h"

namespace {

using namespace skarvel;
using enginetest::EventList;
using enginetest::Rig;

void allEffectsOn(VstSynth& engine) {
  engine.setParameter(kQFilters, 1.0f);
  engine.setParameter(kReverbOn, 1.0f);
  engine.setParameter(kStrEnh, 0.5f);
}

TEST(SleepDetector, StopsAfterAQuietWindowOnceEveryEnvelopeIsIdle) {
  Rig rig;
  rig.engine->setParameter(kAttack1, 0.0f);
  rig.engine->setParameter(kRelease1, 0.0f);
  rig.play(60);
  rig.renderSeconds(0.1);
  rig.release(60);
  EXPECT_TRUE(rig.engine->isActive());
  // The DC blocker's and smoothers' tails die away, then a quiet 1024-sample window ends it.
  int samples = 0;
  while (rig.engine->isActive() && samples < 20 * 44100) {
    rig.render(64);
    samples += 64;
  }
  EXPECT_FALSE(rig.engine->isActive());

  // Asleep: exact zeros, and the oscilloscope ring is left alone.
  const int index = rig.scope.writeIndex();
  const float lastScope = rig.scope.ringSample(index - 1);
  rig.render(4096);
  for (int i = 0; i < 4096; ++i) {
    ASSERT_EQ(rig.left[i], 0.0f);
    ASSERT_EQ(rig.right[i], 0.0f);
    ASSERT_FALSE(std::signbit(rig.left[i]));
  }
  EXPECT_EQ(rig.scope.writeIndex(), index);
  EXPECT_EQ(rig.scope.ringSample(index - 1), lastScope);

  // Any note message wakes it.
  rig.play(62);
  EXPECT_TRUE(rig.engine->isActive());
}

TEST(SleepDetector, QuietSilenceAfterEventsSleepsWithinAboutOneWindow) {
  Rig rig;
  rig.engine->setParameter(kOsc1, 0.0f);
  rig.engine->setParameter(kOsc2, 0.0f);
  rig.engine->setParameter(kLevel, 0.0f);
  rig.engine->setParameter(kRelease1, 0.0f);
  // A note-off for a note that is not held wakes the engine without starting a voice.
  rig.release(60);
  EXPECT_TRUE(rig.engine->isActive());
  rig.render(1100);
  EXPECT_FALSE(rig.engine->isActive());
}

TEST(SleepDetector, QuietNoteWithASlowAttackIsNotPutToSleep) {
  Rig rig;
  rig.engine->setParameter(kLevel, 0.05f);  // default attack: 2.5 s
  rig.play(60, 30);
  const std::vector<float> first = rig.renderSeconds(3.0);
  EXPECT_TRUE(rig.engine->isActive());
  EXPECT_GT(enginetest::peak(first, first.size() - 4410), 1e-4);
}

TEST(ScopeFeed, RingTakesEveryRenderedLeftSample) {
  Rig rig;
  rig.engine->setParameter(kAttack1, 0.0f);
  rig.play(60);
  rig.render(100);
  EXPECT_EQ(rig.scope.writeIndex(), 101);
  EXPECT_EQ(rig.scope.ringSample(100), rig.left[99]);
  rig.render(4096);
  EXPECT_EQ(rig.scope.writeIndex(), 101);  // wrapped once around the 4096-sample ring
  EXPECT_EQ(rig.scope.ringSample(100), rig.left[4095]);
}

TEST(ScopeFeed, PeakPairIsLatchedOnlyWhileTheEditorTakesIt) {
  Rig rig;
  rig.engine->setParameter(kAttack1, 0.0f);
  rig.play(60, 127);
  rig.render(1023);
  EXPECT_FALSE(rig.scope.peaksReady());
  rig.render(2);  // the 1025th sample latches the window of 1024
  EXPECT_TRUE(rig.scope.peaksReady());
  const float latchedLeft = rig.scope.peakLeft();
  EXPECT_GT(latchedLeft, 0.0f);

  // Not taken: no new window is measured, the pair stays.
  rig.render(5000);
  EXPECT_EQ(rig.scope.peakLeft(), latchedLeft);

  float left = -1.0f, right = -1.0f;
  ASSERT_TRUE(rig.scope.takePeaks(left, right));
  EXPECT_EQ(left, latchedLeft);
  EXPECT_FALSE(rig.scope.takePeaks(left, right));
  rig.render(1024);
  EXPECT_FALSE(rig.scope.peaksReady());
  rig.render(1);
  EXPECT_TRUE(rig.scope.peaksReady());

  rig.engine->resetPeaks();
  EXPECT_EQ(rig.scope.peakLeft(), 0.0f);
  EXPECT_EQ(rig.scope.peakRight(), 0.0f);
}

// The comb's delay for a 441 Hz osc1 rate, with no modulation or key tracking.
double combDelayAt441Hz(bool rateScaleUp) {
  Rig rig;
  rig.engine->setParameter(kRate1, enginetest::normalisedFor(441.0, 25.0, 360.0));
  rig.engine->setParameter(kFm, 0.0f);
  rig.engine->setParameter(kRateScaleUp, rateScaleUp ? 1.0f : 0.0f);
  rig.play(60);
  rig.render(256);
  return rig.engine->voice(0).delay;
}

TEST(CombResonator, DelayFollowsTheOsc1RateInBothScalings) {
  // The osc1 noise moves the resonator rate by up to +-10 %.
  const double plain = combDelayAt441Hz(false);
  EXPECT_GE(plain, 441.0 * 0.9);
  EXPECT_LE(plain, 441.0 * 1.1);
  const double scaled = combDelayAt441Hz(true);
  EXPECT_GE(scaled, 100.0 * 0.9);
  EXPECT_LE(scaled, 100.0 * 1.1);
}

TEST(CombResonator, DelayStaysInsideTheLineForAnyRate) {
  Rig rig;
  rig.engine->setParameter(kAdsr2Rate1, 0.0f);  // -2500 Hz at full ADSR: negative rates
  rig.engine->setParameter(kAttack1, 0.0f);
  rig.engine->setParameter(kRate1, 0.0f);
  rig.engine->setParameter(kFm, 1.0f);
  rig.play(60);
  for (int block = 0; block < 40; ++block) {
    rig.render(64);
    const double delay = rig.engine->voice(0).delay;
    ASSERT_GE(delay, 1.0);
    ASSERT_LE(delay, 0.1 * 44100.0 + 1e-9);
  }
  EXPECT_TRUE(enginetest::allFinite(rig.left));
}

TEST(OutputGain, ZeroGainIsSilentAfterTheGlide) {
  Rig rig;
  rig.engine->setParameter(kAttack1, 0.0f);
  rig.play(60, 127);
  const std::vector<float> before = rig.renderSeconds(0.2);
  ASSERT_GT(enginetest::peak(before), 0.01);
  rig.engine->setParameter(kGainOut, 0.0f);
  const std::vector<float> after = rig.renderSeconds(0.5);
  // 43 ms for 99.9 % of the way; well after that, exact silence.
  EXPECT_LT(enginetest::peak(after, static_cast<std::size_t>(0.1 * 44100)), 1e-3 * enginetest::peak(before));
  EXPECT_EQ(enginetest::peak(after, static_cast<std::size_t>(0.45 * 44100)), 0.0);
}

TEST(SampleRate, BelowTheMinimumRunsAt32000WithOneWarning) {
  Rig rig;
  const int notices = platform::noticeCount();
  rig.engine->setSampleRate(22050.0);
  EXPECT_EQ(rig.engine->sampleRate(), 32000.0);
  EXPECT_EQ(platform::noticeCount(), notices + 1);
  EXPECT_EQ(rig.core.resends, 1);
  rig.engine->setSampleRate(32000.0);  // already the rate: nothing recomputed
  EXPECT_EQ(rig.core.resends, 1);
  EXPECT_EQ(platform::noticeCount(), notices + 1);
  rig.play(60);
  EXPECT_TRUE(enginetest::allFinite(rig.renderSeconds(0.5)));
}

TEST(SampleRate, AboveTheMaximumRunsAt768000WithOneWarningEach) {
  for (double rate : {2147483648.0, 1e300, 768000.5}) {
    Rig rig;
    const int notices = platform::noticeCount();
    rig.engine->setSampleRate(rate);
    EXPECT_EQ(rig.engine->sampleRate(), VstSynth::kMaximumSampleRate) << rate;
    EXPECT_EQ(platform::noticeCount(), notices + 1) << rate;
    rig.engine->setParameter(kAttack1, 0.0f);
    rig.engine->setParameter(kStrEnh, 1.0f);
    rig.engine->setParameter(kReverbOn, 1.0f);
    rig.play(60);
    const std::vector<float> sound = rig.renderSeconds(0.02);
    EXPECT_TRUE(enginetest::allFinite(sound)) << rate;
    EXPECT_GT(enginetest::peak(sound), 1e-3) << rate;
  }
}

TEST(SampleRate, SameRateTwiceRecomputesOnce) {
  Rig rig;
  rig.engine->setSampleRate(48000.0);
  rig.engine->setSampleRate(48000.0);
  EXPECT_EQ(rig.core.resends, 1);
  rig.engine->setSampleRate(44100.0);
  EXPECT_EQ(rig.core.resends, 2);
}

TEST(SampleRate, NonFiniteRateFallsBackToTheMinimum) {
  Rig rig;
  rig.engine->setSampleRate(std::numeric_limits<double>::quiet_NaN());
  EXPECT_EQ(rig.engine->sampleRate(), 32000.0);
}

// Renders a fixed phrase with every effect on and returns both channels, interleaved.
std::vector<float> renderPhrase(Rig& rig) {
  allEffectsOn(*rig.engine);
  rig.engine->setParameter(kAttack1, 0.1f);
  std::vector<float> all;
  for (int block = 0; block < 200; ++block) {
    EventList events;
    if (block % 20 == 0) events.noteOn(block % 7, 48 + block / 10, 60 + block / 4);
    if (block % 20 == 15) events.noteOff(3, 48 + (block - 15) / 10);
    if (block == 100) rig.engine->setParameter(kBpMelody, 1.0f);
    rig.render(256, &events);
    for (int i = 0; i < 256; ++i) {
      all.push_back(rig.left[i]);
      all.push_back(rig.right[i]);
    }
  }
  return all;
}

TEST(Determinism, SameEventsAndParametersGiveBitIdenticalOutput) {
  Rig first, second;
  const std::vector<float> a = renderPhrase(first);
  const std::vector<float> b = renderPhrase(second);
  ASSERT_EQ(a.size(), b.size());
  EXPECT_GT(enginetest::peak(a), 0.01);
  EXPECT_EQ(std::memcmp(a.data(), b.data(), a.size() * sizeof(float)), 0);
}

TEST(Determinism, EngineSoundsTheSameWhetherOrNotTheHostSetsTheDefaultRate) {
  Rig untouched, announced;
  announced.engine->setSampleRate(48000.0);
  announced.engine->setSampleRate(44100.0);
  const std::vector<float> a = renderPhrase(untouched);
  const std::vector<float> b = renderPhrase(announced);
  EXPECT_EQ(std::memcmp(a.data(), b.data(), a.size() * sizeof(float)), 0);
}

TEST(Robustness, OutputStaysFiniteUnderExtremeAndNonFiniteValues) {
  const float wild[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                        -std::numeric_limits<float>::infinity(), 1e30f, -1e30f, 7.0f, -3.0f};
  for (float value : wild) {
    Rig rig;
    allEffectsOn(*rig.engine);
    rig.engine->setParameter(kBpMelody, 1.0f);
    rig.engine->setParameter(kAttack1, 0.0f);
    for (int note = 40; note < 48; ++note) rig.play(note, 127);
    for (int id = 0; id < kParameterCount; ++id) {
      rig.engine->setParameter(id, value);
      rig.render(64);
      ASSERT_TRUE(enginetest::allFinite(rig.left) && enginetest::allFinite(rig.right))
          << "value " << value << " at id " << id;
    }
    // What was stored is what the host reads back.
    const float stored = rig.engine->getParameter(kRate1);
    if (std::isnan(value)) EXPECT_TRUE(std::isnan(stored));
    else EXPECT_EQ(stored, value);

    const std::vector<float> more = rig.renderSeconds(0.5);
    ASSERT_TRUE(enginetest::allFinite(more)) << value;

    // Sane values again: the engine sounds again.
    for (int id = 0; id < kParameterCount; ++id) rig.engine->setParameter(id, kParameterTable[id].defaultValue);
    rig.engine->setParameter(kAttack1, 0.0f);
    rig.play(60, 127);
    EXPECT_GT(enginetest::peak(rig.renderSeconds(0.3)), 1e-3) << value;
  }
}

TEST(Parameters, StoredValuesComeBackUnchangedAndUnknownIdsAreIgnored) {
  Rig rig;
  rig.engine->setParameter(kLevel, 1.7f);
  EXPECT_EQ(rig.engine->getParameter(kLevel), 1.7f);
  rig.engine->setParameter(36, 0.3f);
  rig.engine->setParameter(-1, 0.3f);
  EXPECT_EQ(rig.engine->getParameter(36), 0.0f);
  core::Parameters registry;
  rig.engine->registerParameters(registry);
  ASSERT_EQ(registry.count(), 36u);
  EXPECT_EQ(registry.definition(35).name, "RateScaleUp");
  EXPECT_EQ(registry.definition(18).defaultValue, 0.731f);
}

}  // namespace
