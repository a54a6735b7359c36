// The readout's numbers and units, and typed values read back through the inverse mappings:
// the readout agrees with the host's display text, and what it shows reads back to the value.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <string>

#include "source/ParameterDisplay.h"
#include "source/SkarvelParameterTable.h"
#include "source/editor/ParameterReadout.h"
#include "tests/engine/EngineHarness.h"

namespace {

using skarvel::ParameterReadout;
using Unit = ParameterReadout::Unit;

std::string display(int id, float v, double sampleRate = 44100.0, float bpMelody = 0.0f) {
  char text[128] = {};
  skarvel::formatParameterDisplay(id, v, bpMelody, sampleRate, text, sizeof text);
  return text;
}

float parsed(int id, const std::string& typed, const ParameterReadout::Context& context = {}) {
  float value = -1.0f;
  EXPECT_TRUE(ParameterReadout::parse(id, typed, context, value)) << typed;
  return value;
}

TEST(ParameterReadoutTest, ShowsNameNumberAndUnitAgreeingWithTheHostsDisplay) {
  const ParameterReadout::Context plain;
  EXPECT_EQ(ParameterReadout::text(skarvel::kRate1, 0.5f, display(skarvel::kRate1, 0.5f), plain), "Rate1  474.34 Hz");
  EXPECT_EQ(ParameterReadout::text(skarvel::kGainOut, 1.0f, display(skarvel::kGainOut, 1.0f), plain),
            "Gain_out  +11.4 dB");
  EXPECT_EQ(ParameterReadout::text(skarvel::kGainOut, 0.0f, display(skarvel::kGainOut, 0.0f), plain),
            "Gain_out  -\xE2\x88\x9E dB");
  EXPECT_EQ(ParameterReadout::text(skarvel::kAttack1, 0.5f, "", plain), "Attack1  2.50 s");
  EXPECT_EQ(ParameterReadout::text(skarvel::kRelease1, 0.1f, "", plain), "Release1  0.100 s");
  EXPECT_EQ(ParameterReadout::text(skarvel::kLevel, 0.25f, "", plain), "Level  25.0 %");
  EXPECT_EQ(ParameterReadout::text(skarvel::kLpHp1, 0.6f, "", plain), "LP-HP1  +20.0 %");
  EXPECT_EQ(ParameterReadout::text(skarvel::kLpHp1, 0.5f, "", plain), "LP-HP1  0.0 %");
  EXPECT_EQ(ParameterReadout::text(skarvel::kVelosens, 0.731f, display(skarvel::kVelosens, 0.731f), plain),
            "Velosens  93");
  ParameterReadout::Context bandPass;
  bandPass.bandPassOn = true;
  EXPECT_EQ(ParameterReadout::text(skarvel::kKt2Rate1, 0.5f, "", bandPass), "KT2Rate1 (width)  50.5 %");
  EXPECT_EQ(ParameterReadout::text(skarvel::kKt2Rate1, 0.5f, "", plain), "KT2Rate1  0.0 %");
  // The switches have no readout and no typed entry.
  for (int id : {skarvel::kOsc1, skarvel::kOsc2, skarvel::kAdsr2Level, skarvel::kQFilters, skarvel::kReverbOn,
                 skarvel::kBpMelody, skarvel::kRateScaleUp}) {
    EXPECT_FALSE(ParameterReadout::hasReadout(id)) << id;
    float value = 0.5f;
    EXPECT_FALSE(ParameterReadout::parse(id, "1", plain, value));
    EXPECT_EQ(value, 0.5f);
  }
  EXPECT_FALSE(ParameterReadout::hasReadout(36));
  EXPECT_FALSE(ParameterReadout::hasReadout(-1));
}

// Every knob and slider, at values across its range: the number the readout shows, typed back,
// gives the value again (within what its printed digits can say).
TEST(ParameterReadoutTest, WhatTheReadoutShowsReadsBackToTheSameValue) {
  for (double rate : {44100.0, 48000.0, 96000.0}) {
    for (bool bandPassOn : {false, true}) {
      for (int id = 0; id < skarvel::kParameterCount; ++id) {
        if (!ParameterReadout::hasReadout(id)) continue;
        ParameterReadout::Context context;
        context.bandPassOn = bandPassOn;
        context.combBase = ParameterReadout::combBaseFromDisplay(0.5f, display(skarvel::kCombFilter, 0.5f, rate),
                                                                  ParameterReadout::kCombBaseAt44100);
        for (float v : {0.05f, 0.1f, 0.37f, 0.5f, 0.66f, 0.93f, 1.0f}) {
          SCOPED_TRACE(testing::Message() << "id " << id << " at " << v << ", " << rate << " Hz");
          const std::string shown =
              ParameterReadout::number(id, v, display(id, v, rate, bandPassOn ? 1.0f : 0.0f), context);
          float back = -1.0f;
          ASSERT_TRUE(ParameterReadout::parse(id, shown, context, back)) << shown;
          // Velocity shows whole steps of 1/127; the others at least three significant digits.
          const double tolerance = id == skarvel::kVelosens ? 0.5 / 127.0 : 0.004;
          EXPECT_NEAR(back, v, tolerance) << shown;
        }
      }
    }
  }
}

// The envelope times the readout shows are the ones the engine's envelopes run with.
TEST(ParameterReadoutTest, EnvelopeTimesAreTheEnginesOwn) {
  enginetest::Rig rig;
  for (float v : {0.0f, 0.1f, 0.37f, 0.5f, 0.93f, 1.0f}) {
    for (int id : {skarvel::kAttack1, skarvel::kDecay1, skarvel::kRelease1}) rig.engine->setParameter(id, v);
    rig.render(1);
    const skarvel::Envelope& envelope = rig.engine->adsrEnvelope(0);
    const std::pair<int, float> times[] = {
        {skarvel::kAttack1, envelope.attackTime}, {skarvel::kDecay1, envelope.decayTime},
        {skarvel::kRelease1, envelope.releaseTime}};
    for (const auto& [id, seconds] : times) {
      const std::string text = ParameterReadout::number(id, v, "", {});
      double number = -1.0;
      std::from_chars(text.data(), text.data() + text.size(), number);
      const std::size_t point = text.find('.');
      const double halfStep = point == std::string::npos ? 0.5 : 0.5 * std::pow(10.0, -double(text.size() - point - 1));
      EXPECT_NEAR(seconds, number, halfStep) << ParameterReadout::name(id) << " at " << v << ": " << text;
    }
  }
}

TEST(ParameterReadoutTest, TypedTextMayCarryItsUnitAPrefixOrADecimalComma) {
  EXPECT_NEAR(parsed(skarvel::kRate1, "1.5k"), std::log(1500.0 / 25.0) / std::log(360.0), 1e-6);
  EXPECT_NEAR(parsed(skarvel::kRate1, " 1500 Hz "), parsed(skarvel::kRate1, "1.5 kHz"), 1e-7);
  EXPECT_NEAR(parsed(skarvel::kAttack1, "250 ms"), parsed(skarvel::kAttack1, "0.25 s"), 1e-7);
  EXPECT_NEAR(parsed(skarvel::kAttack1, "0,25"), parsed(skarvel::kAttack1, "0.25"), 1e-7);
  EXPECT_NEAR(parsed(skarvel::kLevel, "+40 %"), 0.4f, 1e-6);
  EXPECT_NEAR(parsed(skarvel::kGainOut, "-0.7 dB"), 0.5f, 0.002);
  EXPECT_EQ(parsed(skarvel::kGainOut, "-inf"), 0.0f);
  EXPECT_EQ(parsed(skarvel::kGainOut, "-\xE2\x88\x9E"), 0.0f);
  EXPECT_NEAR(parsed(skarvel::kVelosens, "64"), 64.0f / 127.0f, 1e-6);
}

TEST(ParameterReadoutTest, OutOfRangeIsClampedAndTextThatIsNoNumberIsRefused) {
  EXPECT_EQ(parsed(skarvel::kRate1, "99999"), 1.0f);
  EXPECT_EQ(parsed(skarvel::kRate1, "3"), 0.0f);
  EXPECT_EQ(parsed(skarvel::kRate1, "-20"), 0.0f);
  EXPECT_EQ(parsed(skarvel::kLpHp1, "-250 %"), 0.0f);
  EXPECT_EQ(parsed(skarvel::kGainOut, "+40"), 1.0f);
  EXPECT_EQ(parsed(skarvel::kRelease1, "-3 s"), 0.0f);
  EXPECT_EQ(parsed(skarvel::kLevel, "1e9"), 1.0f);
  for (const char* text : {"", "abc", "12 parsecs", "Hz", "1.5 dB", "nan", "inf", "--3", "0x10", "5 %%"}) {
    float value = 0.25f;
    EXPECT_FALSE(ParameterReadout::parse(skarvel::kRate1, text, {}, value)) << text;
    EXPECT_EQ(value, 0.25f) << "a refused text leaves the value alone";
  }
  EXPECT_EQ(ParameterReadout::hint(skarvel::kRate1, 0.5f, "474.34", {}), "Type a number, like 474.34 Hz");
  EXPECT_EQ(ParameterReadout::hint(skarvel::kGainOut, 0.0f, "-\xE2\x88\x9E", {}), "Type a number, like 0 dB");
}

TEST(ParameterReadoutTest, TheCombRatioIsFoundFromTheDisplayAtAnySampleRate) {
  for (double rate : {44100.0, 48000.0, 96000.0, 192000.0}) {
    const double ratio = static_cast<float>(rate * 0.125) * 0.05f;
    for (float v : {0.25f, 0.5f, 1.0f})
      EXPECT_DOUBLE_EQ(ParameterReadout::combBaseFromDisplay(v, display(skarvel::kCombFilter, v, rate), 1.0), ratio)
          << rate << " at " << v;
  }
  // An unusual rate: the estimate itself, close to the truth.
  const double odd = static_cast<float>(37000.0 * 0.125) * 0.05f;
  EXPECT_NEAR(ParameterReadout::combBaseFromDisplay(0.8f, display(skarvel::kCombFilter, 0.8f, 37000.0), 1.0), odd,
              odd * 1e-4);
  // Near the bottom the display says too little: the previous ratio stays.
  EXPECT_EQ(ParameterReadout::combBaseFromDisplay(0.1f, display(skarvel::kCombFilter, 0.1f), 123.0), 123.0);
  // 5512.50 Hz typed at 44.1 kHz is the top of the range.
  EXPECT_NEAR(parsed(skarvel::kCombFilter, "5512.5"), 1.0f, 1e-5);
}

}  // namespace
