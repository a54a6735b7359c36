// Parameters as the host sees them: names, labels, display texts, values set and read back.

#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "TestHost.h"

namespace {

using namespace plugintest;

const char* const kNames[36] = {"Rate1",      "LP-HP1",     "AM",          "Level",     "Smooth",    "Rate2",
                                "LP-HP2",     "Osc1",       "Osc2",        "ResoAmnt",  "CombFilter", "LP-HP3",
                                "FM",         "Dry_Wet",    "Attack1",     "Decay1",    "Sustain1",  "Release1",
                                "Velosens",   "ADSR2Level", "ADSR2Rate1",  "ADSR2LP_HP1", "ADSR2AM", "EQLP_Freq",
                                "EQHP_Freq",  "QFilters",   "ReverbSize",  "ReverbMix", "ReverbOn",  "Gain_out",
                                "StrEnh",     "KT2Rate1",   "KT2LP_HP1",   "KT2Rate2",  "BPMelody",  "RateScaleUp"};

class Parameters : public testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(instance.effect(), nullptr); }
  Instance instance{bundleModule()};
};

TEST_F(Parameters, NamesAndEmptyLabels) {
  for (int id = 0; id < 36; ++id) {
    EXPECT_EQ(instance.text(vst2::effect::getParamName, id), kNames[id]) << id;
    EXPECT_EQ(instance.text(vst2::effect::getParamLabel, id), "") << id;
  }
  EXPECT_EQ(instance.text(vst2::effect::getParamName, 36), "");
  EXPECT_EQ(instance.text(vst2::effect::getParamName, -1), "");
}

TEST_F(Parameters, DisplayTextsComeFromTheEngine) {
  struct Case {
    int id;
    float value;
    const char* text;
  };
  const Case cases[] = {{0, 0.5f, "474.34"}, {5, 0.5f, "28.28"}, {1, 0.0f, "-1.00"}, {10, 1.0f, "5512.50"},
                        {18, 0.731f, "93"},  {29, 1.0f, "+11.4"}, {29, 0.0f, "-\u221E"}};
  instance.dispatch(vst2::effect::setSampleRate, 0, 0, nullptr, 44100.0f);
  for (const Case& c : cases) {
    instance.setParameter(c.id, c.value);
    EXPECT_EQ(instance.text(vst2::effect::getParamDisplay, c.id), c.text) << kNames[c.id];
  }
  EXPECT_EQ(instance.text(vst2::effect::getParamDisplay, 36), "");
}

TEST_F(Parameters, RightAfterCreationTheHostReadsTheSelectedProgram) {
  const std::string document = instance.chunk();
  ASSERT_FALSE(document.empty());
  for (int id = 0; id < 36; ++id) EXPECT_EQ(instance.getParameter(id), documentValue(document, kNames[id])) << kNames[id];
}

TEST_F(Parameters, ValuesAreStoredUnclampedAndReadBack) {
  for (float value : {0.0f, 0.3f, 1.0f, 1.5f, -0.25f}) {
    instance.setParameter(9, value);
    EXPECT_EQ(instance.getParameter(9), value);
    EXPECT_EQ(documentValue(instance.chunk(), "ResoAmnt"), value) << "the current program holds the host's value";
  }
}

TEST_F(Parameters, IdsOutsideTheTableChangeNothingAndReadZero) {
  const std::string before = instance.chunk();
  instance.setParameter(36, 0.77f);
  instance.setParameter(-1, 0.77f);
  instance.setParameter(1000, 0.77f);
  EXPECT_EQ(instance.chunk(), before);
  EXPECT_EQ(instance.getParameter(36), 0.0f);
  EXPECT_EQ(instance.getParameter(-1), 0.0f);
  EXPECT_EQ(instance.getParameter(1 << 20), 0.0f);
}

TEST_F(Parameters, HostChangesAreNotEchoedAsAutomation) {
  instance.clearCalls();
  instance.setParameter(4, 0.4f);
  instance.dispatch(vst2::effect::editIdle);
  EXPECT_EQ(instance.count(vst2::host::automate), 0);
  EXPECT_EQ(instance.count(vst2::host::updateDisplay), 0);
}

}  // namespace
