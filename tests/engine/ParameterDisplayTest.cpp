#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <limits>
#include <memory>
#include <string>

#include "EngineHarness.h"
#include "source/OutputChain.h"
#include "source/ParameterDisplay.h"

namespace {

using namespace skarvel;

std::string display(int id, float value, float bpMelody = 0.0f, double sampleRate = 44100.0) {
  char text[64];
  formatParameterDisplay(id, value, bpMelody, sampleRate, text, sizeof text);
  return text;
}

TEST(ParameterDisplay, ShowsTheMappedValueOfEachKind) {
  struct Case {
    int id;
    float value;
    const char* text;
  } cases[] = {
      {kRate1, 0.5f, "474.34"},       {kRate2, 0.5f, "28.28"},        {kEqLpFreq, 0.5f, "894.43"},
      {kEqHpFreq, 0.5f, "489.90"},    {kEqLpFreq, 1.0f, "20000.00"},  {kCombFilter, 1.0f, "5512.50"},
      {kCombFilter, 0.5f, "332.04"},  {kVelosens, 0.731f, "93"},      {kVelosens, 0.0f, "0"},
      {kVelosens, 1.0f, "127"},       {kLpHp1, 0.0f, "-1.00"},        {kLpHp1, 1.0f, "1.00"},
      {kKt2Rate2, 0.75f, "0.50"},     {kAdsr2Am, 0.5f, "0.00"},       {kLevel, 0.5f, "0.50"},
      {kAttack1, 0.125f, "0.12"},     {kGainOut, 1.0f, "+11.4"},      {kGainOut, 0.5f, "-0.7"},
      {kReverbOn, 1.0f, "1.00"},
  };
  for (const Case& c : cases) EXPECT_EQ(display(c.id, c.value), c.text) << "id " << c.id << " at " << c.value;
}

// The digits a text shows, and half a step of its last digit.
struct Shown {
  double number;
  double halfStep;
};
Shown shown(const std::string& text) {
  Shown result{0.0, 0.5};
  const char* begin = text.data() + (text[0] == '+' ? 1 : 0);
  const auto parsed = std::from_chars(begin, text.data() + text.size(), result.number);
  EXPECT_EQ(parsed.ec, std::errc()) << text;
  const std::size_t point = text.find('.');
  if (point != std::string::npos) result.halfStep = 0.5 * std::pow(10.0, -double(text.size() - point - 1));
  return result;
}

// The output chain's filters and gain run at the frequencies and level their host texts show.
TEST(ParameterDisplay, TextsShowWhatTheOutputChainRuns) {
  auto chain = std::make_unique<OutputChain>();
  for (float v : {0.0f, 0.21f, 0.5f, 0.83f, 1.0f}) {
    SCOPED_TRACE(testing::Message() << "at " << v);
    for (int id : {kEqLpFreq, kEqHpFreq, kGainOut}) chain->setParameter(id, v);
    const Shown lowPass = shown(display(kEqLpFreq, v));
    EXPECT_NEAR(chain->eqLowPassHz, lowPass.number, lowPass.halfStep);
    const Shown highPass = shown(display(kEqHpFreq, v));
    EXPECT_NEAR(chain->eqHighPassHz, highPass.number, highPass.halfStep);
    if (v > 0.0f) {
      const Shown gain = shown(display(kGainOut, v));
      EXPECT_NEAR(20.0 * std::log10(chain->gainTarget()), gain.number, gain.halfStep * 1.0001);
    }
  }
}

TEST(ParameterDisplay, GainAtZeroIsMinusInfinityInUtf8) {
  EXPECT_EQ(display(kGainOut, 0.0f), "-\xE2\x88\x9E");
  // Just above the -116 dB threshold a number is still shown.
  EXPECT_EQ(display(kGainOut, 1e-3f), "-108.6");
  EXPECT_EQ(display(kGainOut, 5e-4f), "-\xE2\x88\x9E");
}

TEST(ParameterDisplay, Kt2Rate1FollowsTheBandPassMelodySwitch) {
  EXPECT_EQ(display(kKt2Rate1, 0.5f, 0.0f), "0.00");
  EXPECT_EQ(display(kKt2Rate1, 0.5f, 0.49f), "0.00");
  // 0.99 x 0.5 + 0.01 is just below 0.505 in single precision.
  EXPECT_EQ(display(kKt2Rate1, 0.5f, 0.5f), "0.50");
}

TEST(ParameterDisplay, CombFilterFollowsTheSampleRate) {
  EXPECT_EQ(display(kCombFilter, 1.0f, 0.0f, 192000.0), "24000.00");
  EXPECT_EQ(display(kCombFilter, 0.0f, 0.0f, 48000.0), "20.00");
}

TEST(ParameterDisplay, OutOfRangeValuesExtrapolateAndNeverOverrunTheBuffer) {
  EXPECT_EQ(display(kLevel, -0.5f), "-0.50");
  EXPECT_EQ(display(kLpHp2, 2.0f), "3.00");
  EXPECT_EQ(display(kVelosens, std::numeric_limits<float>::quiet_NaN()), "0");
  EXPECT_EQ(display(kVelosens, 1e30f), "2147483647");
  EXPECT_EQ(display(kGainOut, std::numeric_limits<float>::quiet_NaN()), "-\xE2\x88\x9E");

  // A tiny buffer gets a terminated prefix, never half of a UTF-8 character.
  char small[3] = {'x', 'x', 'x'};
  formatParameterDisplay(kGainOut, 0.0f, 0.0f, 44100.0, small, sizeof small);
  EXPECT_STREQ(small, "-");
  char nine[9];
  formatParameterDisplay(kRate2, 2.0f, 0.0f, 44100.0, nine, sizeof nine);  // 640000000.00
  EXPECT_EQ(std::string(nine).size(), 8u);
}

TEST(ParameterDisplay, EngineShowsItsStoredValuesAndEmptyLabels) {
  enginetest::Rig rig;
  char text[32];
  rig.engine->getParameterDisplay(kRate1, text, sizeof text);
  EXPECT_STREQ(text, "474.34");
  rig.engine->setParameter(kBpMelody, 1.0f);
  rig.engine->getParameterDisplay(kKt2Rate1, text, sizeof text);
  EXPECT_STREQ(text, "0.50");
  rig.engine->getParameterLabel(kRate1, text, sizeof text);
  EXPECT_STREQ(text, "");
  rig.engine->getParameterDisplay(36, text, sizeof text);
  EXPECT_STREQ(text, "");
}

}  // namespace
