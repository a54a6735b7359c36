// Every dispatcher request a host may send, and what the plug-in answers.

#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "TestHost.h"

namespace {

using namespace plugintest;

class Dispatcher : public testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(instance.effect(), nullptr); }
  Instance instance{bundleModule()};
};

TEST_F(Dispatcher, FixedAnswersMatchTheTable) {
  struct Row {
    std::int32_t opcode;
    std::int32_t index;
    std::intptr_t expected;
  };
  const Row rows[] = {
      {vst2::effect::open, 0, 0},
      {vst2::effect::getProgram, 0, 0},
      {vst2::effect::setBlockSize, 0, 0},
      {vst2::effect::identify, 0, vst2::fourCharCode('N', 'v', 'E', 'f')},
      {vst2::effect::canBeAutomated, 0, 1},
      {vst2::effect::canBeAutomated, 35, 1},
      {vst2::effect::getNumProgramCategories, 0, 1},
      {vst2::effect::connectInput, 0, 1},
      {vst2::effect::connectOutput, 1, 1},
      {vst2::effect::getPlugCategory, 0, 2},
      {vst2::effect::getVendorVersion, 0, 1},
      {vst2::effect::keysRequired, 0, 1},
      {vst2::effect::getVstVersion, 0, 2400},
      {vst2::effect::getCurrentMidiProgram, 0, -1},
      {vst2::effect::startProcess, 0, 0},
      {vst2::effect::stopProcess, 0, 0},
      {vst2::effect::getNumMidiInputChannels, 0, 1},
      {vst2::effect::getNumMidiOutputChannels, 0, 0},
      // Requests without an answer of their own.
      {9, 0, 0},
      {vst2::effect::stringToParameter, 0, 0},
      {30, 0, 0},
      {vst2::effect::getTailSize, 0, 0},
      {53, 0, 0},
      {56, 0, 0},
      {62, 0, 0},
      {77, 0, 0},
      {200, 0, 0},
  };
  for (const Row& row : rows) {
    char scratch[512] = {};
    EXPECT_EQ(instance.dispatch(row.opcode, row.index, 0, scratch), row.expected) << "opcode " << row.opcode;
  }
}

TEST_F(Dispatcher, CanDoAnswersExactFeatureNamesOnly) {
  auto canDo = [&](const char* text) { return instance.dispatch(vst2::effect::canDo, 0, 0, const_cast<char*>(text)); };
  EXPECT_EQ(canDo("receiveVstEvents"), 1);
  EXPECT_EQ(canDo("receiveVstMidiEvent"), 1);
  EXPECT_EQ(canDo("receiveVstTimeInfo"), 1);
  EXPECT_EQ(canDo("sendVstMidiEvent"), -1) << "a definite no, not 0";
  EXPECT_EQ(canDo("receivevstevents"), -1);
  EXPECT_EQ(canDo("receiveVstEvents "), -1);
  EXPECT_EQ(canDo(""), -1);
  EXPECT_EQ(instance.dispatch(vst2::effect::canDo, 0, 0, nullptr), -1);
}

TEST_F(Dispatcher, NamesAndVendor) {
  EXPECT_EQ(instance.text(vst2::effect::getEffectName), "Skarvel by Brenmoor");
  EXPECT_EQ(instance.text(vst2::effect::getProductString), "Skarvel by Brenmoor") << "the long name, as the effect name";
  const std::string vendor = instance.text(vst2::effect::getVendorString);
  EXPECT_FALSE(vendor.empty());
  EXPECT_LT(vendor.size(), 64u);
  EXPECT_EQ(instance.dispatch(vst2::effect::getEffectName, 0, 0, nullptr), 1) << "a null buffer is not written";
}

TEST_F(Dispatcher, OutputPropertiesForPinsZeroToFive) {
  for (int index = 0; index < 8; ++index) {
    vst2::PinProperties properties;
    std::memset(&properties, 0x55, sizeof properties);
    const std::intptr_t answer = instance.dispatch(vst2::effect::getOutputProperties, index, 0, &properties);
    if (index <= 5) {
      EXPECT_EQ(answer, 1) << index;
      EXPECT_EQ(properties.flags, index < 2 ? 3 : 1) << index;
      EXPECT_STREQ(properties.label, "BRM") << index;
    } else {
      EXPECT_EQ(answer, 0) << index;
    }
  }
  EXPECT_EQ(instance.dispatch(vst2::effect::getOutputProperties, -1, 0, nullptr), 0);
}

TEST_F(Dispatcher, ProgramRequestsLeaveTheCurrentPresetAlone) {
  ASSERT_EQ(instance.setChunk(presetDocument("Held Preset", {{"Level", 0.625f}})), 1);
  for (int program : {0, 5}) {
    instance.dispatch(vst2::effect::setProgram, 0, program);
    EXPECT_EQ(instance.dispatch(vst2::effect::getProgram), 0);
    EXPECT_EQ(instance.text(vst2::effect::getProgramName), "Held Preset");
  }
  char name[] = "Renamed";
  instance.dispatch(vst2::effect::setProgramName, 0, 0, name);
  EXPECT_EQ(instance.text(vst2::effect::getProgramName), "Held Preset");
  // Any category and index answer the current program's name.
  char indexed[64] = {};
  EXPECT_EQ(instance.dispatch(vst2::effect::getProgramNameIndexed, 7, 3, indexed), 1);
  EXPECT_STREQ(indexed, "Held Preset");
  EXPECT_EQ(instance.getParameter(3), 0.625f);
}

TEST_F(Dispatcher, ProgramNameIsCutAtTwentyThreeCharacters) {
  ASSERT_EQ(instance.setChunk(presetDocument("A Very Long Preset Name That Goes On", {})), 1);
  EXPECT_EQ(instance.text(vst2::effect::getProgramName), "A Very Long Preset Name");
  // A two-byte character across the limit is left out whole.
  ASSERT_EQ(instance.setChunk(presetDocument("Twenty-one characters\u00E9\u00E9", {})), 1);
  EXPECT_EQ(instance.text(vst2::effect::getProgramName), "Twenty-one characters\u00E9");
  ASSERT_EQ(instance.setChunk(presetDocument("Twenty-one characters \u00E9", {})), 1);
  EXPECT_EQ(instance.text(vst2::effect::getProgramName), "Twenty-one characters ");
}

TEST_F(Dispatcher, TheEditorIsDeclaredAndReportsItsSize) {
  EXPECT_TRUE(instance.effect()->flags & vst2::flags::hasEditor);
  vst2::EditorRect* rect = nullptr;
  EXPECT_EQ(instance.dispatch(vst2::effect::editGetRect, 0, 0, &rect), 1);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->right - rect->left, 862);
  EXPECT_EQ(rect->bottom - rect->top, 419);
  // Without a parent window the editor cannot open; the rest is harmless.
  EXPECT_EQ(instance.dispatch(vst2::effect::editOpen, 0, 0, nullptr), 0);
  EXPECT_EQ(instance.dispatch(vst2::effect::editIdle), 0);
  EXPECT_EQ(instance.dispatch(vst2::effect::editClose), 0);
  EXPECT_EQ(instance.dispatch(vst2::effect::editKeyDown, 'a', 0), 0);
  EXPECT_EQ(instance.dispatch(vst2::effect::editKeyUp, 'a', 0), 0);
  EXPECT_EQ(instance.dispatch(vst2::effect::setEditKnobMode, 0, 2), 1) << "the editor takes the host's knob mode";
  EXPECT_EQ(instance.dispatch(vst2::effect::editGetRect, 0, 0, nullptr), 0) << "a null pointer is not written";
}

TEST_F(Dispatcher, ResumeAsksForMidiEveryTimeAndSilencesTheVoices) {
  ASSERT_EQ(instance.setChunk(presetDocument("Plain", {})), 1);  // no reverb tail
  instance.clearCalls();
  instance.resume();
  const std::vector<float> sounding = instance.play({{0, 0x90, 64, 120}}, 0.2);
  const double level = rms(sounding, sounding.size() - 2000);
  ASSERT_GT(level, 1e-4) << "the note sounds before the second resume";
  instance.dispatch(vst2::effect::mainsChanged, 0, 1);  // a second resume, no suspend between
  EXPECT_EQ(instance.count(vst2::host::wantMidi), 2);
  const std::vector<float> after = instance.play({}, 0.2);
  EXPECT_LT(rms(after), level * 1e-2) << "the second resume silenced every voice";
  instance.dispatch(vst2::effect::mainsChanged, 0, 0);  // suspend asks for nothing
  EXPECT_EQ(instance.count(vst2::host::wantMidi), 2);
}

TEST_F(Dispatcher, CloseAnswersOne) { EXPECT_EQ(instance.close(), 1); }

}  // namespace
