// Sound through the module: notes, MIDI program changes, sample-rate changes.

#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TestHost.h"

namespace {

using namespace plugintest;

TEST(Midi, NoteSoundsAndSilenceWithoutNotes) {
  Instance instance(bundleModule());
  ASSERT_NE(instance.effect(), nullptr);
  ASSERT_EQ(instance.setChunk(presetDocument("Plain", {})), 1);
  instance.resume();
  EXPECT_EQ(rms(instance.play({}, 0.2)), 0.0);
  const std::vector<float> note = instance.play({{100, 0x90, 57, 110}}, 0.5);
  EXPECT_EQ(rms(note, 0, 100), 0.0) << "nothing before the event's delta frame";
  EXPECT_GT(rms(note, 4410), 1e-3);
  for (float sample : note) ASSERT_TRUE(std::isfinite(sample));
}

TEST(Midi, BlocksOfAnySizeRenderTheSameSound) {
  std::vector<float> reference;
  for (int blockSize : {64, 256, 1000}) {
    Instance instance(bundleModule());
    ASSERT_EQ(instance.setChunk(presetDocument("Plain", {})), 1);
    instance.resume(44100.0f, blockSize);
    const std::vector<float> sound = instance.play({{0, 0x90, 60, 100}}, 0.3, blockSize);
    if (reference.empty())
      reference = sound;
    else
      EXPECT_EQ(sound, reference) << "block size " << blockSize;
  }
}

// Two factory presets in the private bundle: "Alpha" (Level 0.2) and "Beta" (Level 0.8).
class ProgramChange : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(bundle.module().loaded());
    ASSERT_NE(instance.effect(), nullptr);
    ASSERT_EQ(instance.text(vst2::effect::getProgramName), "Alpha");
    instance.resume();
    instance.clearCalls();
  }
  void send(unsigned char program) {
    std::vector<float> left, right;
    instance.render({{10, 0xC0, program, 0}}, 64, left, right);
  }

  PrivateBundle bundle{{{"Presets/Factory/Beta.yaml", presetDocument("Beta", {{"Level", 0.8f}})},
                        {"Presets/Factory/Alpha.yaml", presetDocument("Alpha", {{"Level", 0.2f}})}}};
  Instance instance{bundle.module()};
};

TEST_F(ProgramChange, SelectsAProgramOfTheCurrentList) {
  send(1);
  EXPECT_EQ(instance.text(vst2::effect::getProgramName), "Beta");
  EXPECT_EQ(instance.getParameter(3), 0.8f);
  EXPECT_EQ(instance.text(vst2::effect::getParamDisplay, 3), "0.80") << "the engine took the program's value";
  send(0);
  EXPECT_EQ(instance.text(vst2::effect::getProgramName), "Alpha");
  EXPECT_EQ(instance.count(vst2::host::updateDisplay), 0) << "never asked from the audio thread";
}

TEST_F(ProgramChange, NumberBeyondTheListKeepsTheProgramButResendsItsValues) {
  send(1);
  instance.setParameter(3, 0.5f);  // an edit of Beta
  send(3);
  EXPECT_EQ(instance.text(vst2::effect::getProgramName), "Beta");
  EXPECT_EQ(instance.getParameter(3), 0.5f) << "the edited value of the current program";
}

TEST_F(ProgramChange, TheHostHearsOfTheChangedValuesAtTheNextEditorIdleWithoutAGesture) {
  instance.clearCalls();
  send(1);
  EXPECT_TRUE(instance.calls().empty()) << "nothing is sent to the host from the audio thread";
  instance.dispatch(vst2::effect::editIdle);
  // Beta differs from Alpha in Level only: the host re-reads that value and the name.
  ASSERT_EQ(instance.count(vst2::host::automate), 1);
  for (const HostCall& call : instance.calls()) {
    if (call.opcode != vst2::host::automate) continue;
    EXPECT_EQ(call.index, 3);
    EXPECT_EQ(call.opt, 0.8f);
    EXPECT_EQ(instance.getParameter(call.index), call.opt);
  }
  EXPECT_EQ(instance.count(vst2::host::updateDisplay), 1);
  EXPECT_EQ(instance.count(vst2::host::beginEdit) + instance.count(vst2::host::endEdit), 0)
      << "a gesture would make the host record automation the user did not play";
  instance.clearCalls();
  instance.dispatch(vst2::effect::editIdle);
  EXPECT_TRUE(instance.calls().empty()) << "told once";
}

TEST_F(ProgramChange, EditsSurviveSwitchingAway) {
  instance.setParameter(3, 0.45f);
  send(1);
  send(0);
  EXPECT_EQ(instance.getParameter(3), 0.45f);
}

TEST(SampleRate, SameRateTwiceRecomputesOnce) {
  Instance instance(bundleModule());
  ASSERT_EQ(instance.setChunk(presetDocument("Plain", {})), 1);
  instance.resume(48000.0f);
  std::vector<float> left, right;
  instance.render({{0, 0x90, 60, 110}}, 4096, left, right);
  instance.render({}, 512, left, right);
  const double level = rms(left);
  ASSERT_GT(level, 1e-4);
  // The same rate again: nothing is recomputed, so the held note goes on sounding.
  instance.dispatch(vst2::effect::setSampleRate, 0, 0, nullptr, 48000.0f);
  instance.render({}, 512, left, right);
  EXPECT_GT(rms(left), level * 0.5);
  // A new rate recomputes the engine, which starts its voices afresh.
  instance.dispatch(vst2::effect::setSampleRate, 0, 0, nullptr, 44100.0f);
  instance.render({}, 4096, left, right);
  EXPECT_LT(rms(left, 3584), level * 1e-2);
}

TEST(SampleRate, ValuesSurviveARateChangeAndDisplaysFollowIt) {
  Instance instance(bundleModule());
  instance.setParameter(10, 1.0f);
  instance.dispatch(vst2::effect::setSampleRate, 0, 0, nullptr, 44100.0f);
  EXPECT_EQ(instance.text(vst2::effect::getParamDisplay, 10), "5512.50");
  instance.dispatch(vst2::effect::setSampleRate, 0, 0, nullptr, 96000.0f);
  EXPECT_EQ(instance.text(vst2::effect::getParamDisplay, 10), "12000.00");
  EXPECT_EQ(instance.getParameter(10), 1.0f);
  // Below the minimum the engine works at 32000 Hz.
  instance.dispatch(vst2::effect::setSampleRate, 0, 0, nullptr, 22050.0f);
  EXPECT_EQ(instance.text(vst2::effect::getParamDisplay, 10), "4000.00");
}

}  // namespace
