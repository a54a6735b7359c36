#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <numbers>
#include <vector>

#include "source/ChorusStage.h"
#include "source/DcBlocker.h"
#include "source/OutputChain.h"
#include "source/RandomGenerator.h"
#include "source/ReverbStage.h"
#include "source/SkarvelParameterTable.h"
#include "source/Smoother.h"

namespace {

using skarvel::OutputChain;

// A chain as the engine leaves it after open() and the default program's values.
struct Fixture {
  skarvel::RandomGenerator random;
  std::unique_ptr<OutputChain> chain = std::make_unique<OutputChain>();

  explicit Fixture(double rate = 44100.0) {
    if (rate != 44100.0) chain->setSampleRate(rate);
    chain->open();
    for (int id = 0; id < skarvel::kParameterCount; ++id)
      chain->setParameter(id, skarvel::kParameterTable[id].defaultValue);
    chain->beginBlock();
  }

  // One sample, the chorus's draws from the fixture's generator.
  void step(float s, float dither, float& l, float& r) {
    skarvel::ChorusDraws draws;
    draws.noise = random.next();
    draws.jitter = random.next();
    chain->step(s, dither, draws, l, r);
  }
  // Runs `count` samples of the constant input `s` (no dither); returns the last pair.
  std::pair<float, float> run(int count, float s = 0.0f) {
    float l = 0.0f, r = 0.0f;
    for (int n = 0; n < count; ++n) step(s, 0.0f, l, r);
    return {l, r};
  }
};

TEST(OutputChain, ReverbFadesInAndOutInAbout127Milliseconds) {
  Fixture f;
  f.chain->setParameter(skarvel::kReverbOn, 1.0f);
  f.chain->beginBlock();
  f.run(5590, 0.1f);
  EXPECT_GT(f.chain->fade, 0.99f);
  EXPECT_LT(f.chain->fade, 1.0f);
  f.run(20, 0.1f);
  EXPECT_EQ(f.chain->fade, 1.0f);

  f.chain->setParameter(skarvel::kReverbOn, 0.0f);
  f.run(5590, 0.1f);  // 0.1268 s
  EXPECT_GT(f.chain->fade, 0.0f);
  f.run(20, 0.1f);  // 0.1272 s
  EXPECT_EQ(f.chain->fade, 0.0f);

  // Faded out, the chain is back to the plain mono path: once the DC blocker has forgotten the
  // stereo past, it sounds like a chain that never had the reverb on.
  Fixture plain;
  f.run(88200, 0.1f);
  plain.run(11200 + 88200, 0.1f);
  const auto faded = f.run(1, 0.3f);
  const auto reference = plain.run(1, 0.3f);
  EXPECT_NEAR(faded.first, faded.second, 1e-5f);
  EXPECT_NEAR(faded.first, reference.first, 1e-4f);
}

TEST(OutputChain, FadeTakesTheSameTimeAtOtherRates) {
  Fixture f(96000.0);
  f.chain->setParameter(skarvel::kReverbOn, 1.0f);
  f.chain->beginBlock();
  // 96000 / 157.5 = 609.5 → 609 samples per 0.05: 12180 samples to full reverb.
  f.run(12160);
  EXPECT_LT(f.chain->fade, 1.0f);
  f.run(40);
  EXPECT_EQ(f.chain->fade, 1.0f);
}

TEST(OutputChain, OutputGainGlidesOver43Milliseconds) {
  skarvel::Smoother smoother;  // ready for 44100 Hz without a rate change
  const int glide = static_cast<int>(44100 * 0.043);
  for (int n = 0; n < glide; ++n) smoother.step(1.0f);
  EXPECT_NEAR(smoother.value, 0.999f, 0.0002f);

  smoother.setSampleRate(96000.0f);
  smoother.reset();
  for (int n = 0; n < static_cast<int>(96000 * 0.043); ++n) smoother.step(1.0f);
  EXPECT_NEAR(smoother.value, 0.999f, 0.0002f);

  // Through the chain: a fresh chain at the default rate glides in rather than jumping.
  Fixture f;
  f.chain->setParameter(skarvel::kGainOut, 1.0f);
  const float first = f.run(1, 0.5f).first;
  EXPECT_GT(first, 0.0f);
  EXPECT_LT(first, 0.01f);
  f.run(glide - 1, 0.5f);
  EXPECT_NEAR(f.chain->gainSmoother.value, 3.7f * 0.999f, 0.002f);
}

TEST(OutputChain, GainOutZeroIsSilentAfterTheGlide) {
  Fixture f;
  f.run(44100, 0.5f);
  f.chain->setParameter(skarvel::kGainOut, 0.0f);
  f.run(1896, 0.5f);
  EXPECT_LT(f.chain->gainSmoother.value, 0.925f * 0.0011f);
  const auto out = f.run(44100, 0.5f);
  EXPECT_EQ(out.first, 0.0f);
  EXPECT_EQ(out.second, 0.0f);
}

TEST(OutputChain, ConstantInputDecaysWithThe14HzTimeConstant) {
  skarvel::DcBlocker blocker;  // 44100 Hz
  float l = 1.0f, r = -1.0f;
  blocker.step(l, r);
  EXPECT_NEAR(l, 1.0f, 0.003f);
  // One time constant is 1 / (2π × 14 Hz) = 11.4 ms = 501 samples.
  for (int n = 1; n < 501; ++n) {
    l = 1.0f;
    r = -1.0f;
    blocker.step(l, r);
  }
  EXPECT_NEAR(l, std::exp(-1.0f), 0.01f);
  EXPECT_NEAR(r, -std::exp(-1.0f), 0.01f);

  Fixture f;
  const auto out = f.run(44100, 0.25f);
  // What is left is the float resolution of the blocker's state (about −100 dB).
  EXPECT_LT(std::fabs(out.first), 1e-5f);
  EXPECT_LT(std::fabs(out.second), 1e-5f);
}

TEST(OutputChain, EqFiltersOnlyWhenSwitchedOn) {
  // A 5 kHz sine with the low-pass at 894 Hz: about −30 dB with the EQ, untouched without.
  auto level = [](bool eqOn) {
    Fixture f;
    f.chain->setParameter(skarvel::kQFilters, eqOn ? 1.0f : 0.0f);
    f.chain->setParameter(skarvel::kEqHpFreq, 0.0f);  // 20 Hz
    float peak = 0.0f, l = 0.0f, r = 0.0f;
    for (int n = 0; n < 44100; ++n) {
      f.step(0.5f * std::sin(2.0f * 3.14159265f * 5000.0f * n / 44100.0f), 0.0f, l, r);
      if (n > 22050) peak = std::max(peak, std::fabs(l));
    }
    return peak;
  };
  const float plain = level(false);
  EXPECT_NEAR(plain, 0.5f * 0.925f, 0.01f);
  EXPECT_LT(level(true), plain * 0.05f);
}

TEST(OutputChain, EqStaysStableWhen20kHzIsAskedForAt32kHz) {
  Fixture f(32000.0);
  f.chain->setParameter(skarvel::kQFilters, 1.0f);
  f.chain->setParameter(skarvel::kEqLpFreq, 1.0f);
  f.chain->setParameter(skarvel::kEqHpFreq, 1.0f);
  EXPECT_NEAR(f.chain->eqLowPassHz, 20000.0, 1.0);  // the request is kept for display
  skarvel::RandomGenerator noise(7);
  float l = 0.0f, r = 0.0f, peak = 0.0f;
  for (int n = 0; n < 64000; ++n) {
    f.step(noise.next() / 16384.0f - 1.0f, 0.0f, l, r);
    ASSERT_TRUE(std::isfinite(l)) << n;
    peak = std::max(peak, std::fabs(l));
  }
  EXPECT_LT(peak, 10.0f);
  EXPECT_GT(peak, 0.01f);  // still passes sound near the top of the range
}

TEST(OutputChain, OutputStaysFiniteUnderExtremeAndNonFiniteParameters) {
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const int ids[] = {skarvel::kEqLpFreq,  skarvel::kEqHpFreq, skarvel::kQFilters,
                     skarvel::kReverbSize, skarvel::kReverbMix, skarvel::kReverbOn,
                     skarvel::kGainOut,   skarvel::kStrEnh};
  for (float bad : {nan, inf, -inf, 1e30f, -1e30f, 2.0f}) {
    Fixture f;
    // Every effect on first, so that the bad value lands on a running chain.
    for (int id : ids) f.chain->setParameter(id, 1.0f);
    for (int id : ids) f.chain->setParameter(id, bad);
    f.chain->beginBlock();
    EXPECT_TRUE(std::isfinite(f.chain->eqLowPassHz));
    EXPECT_TRUE(std::isfinite(f.chain->dryTarget));
    skarvel::RandomGenerator noise(3);
    float l = 0.0f, r = 0.0f, peak = 0.0f;
    for (int n = 0; n < 3 * 44100; ++n) {
      f.step(4.0f * (noise.next() / 16384.0f - 1.0f), 1e-15f, l, r);
      ASSERT_TRUE(std::isfinite(l) && std::isfinite(r)) << "value " << bad << " sample " << n;
      peak = std::max(peak, std::fabs(l));
    }
    EXPECT_LT(peak, 1000.0f) << bad;
  }
}

TEST(OutputChain, NonFiniteInputDoesNotSilenceTheChainForGood) {
  Fixture f;
  for (int id : {skarvel::kQFilters, skarvel::kReverbOn, skarvel::kStrEnh}) f.chain->setParameter(id, 1.0f);
  f.run(1000, 0.2f);
  for (float bad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()}) {
    const auto out = f.run(10, bad);
    EXPECT_TRUE(std::isfinite(out.first) && std::isfinite(out.second));
  }
  // Sound comes back as soon as the input is sound again.
  float l = 0.0f, r = 0.0f, peak = 0.0f;
  for (int n = 0; n < 4410; ++n) {
    f.step(0.3f * std::sin(0.05f * n), 0.0f, l, r);
    ASSERT_TRUE(std::isfinite(l) && std::isfinite(r));
    peak = std::max(peak, std::fabs(l));
  }
  EXPECT_GT(peak, 0.05f);
}

TEST(OutputChain, ResetVoicesSilencesTheReverbTail) {
  // Largest tail over 0.1 s of silence after 0.1 s of noise, with or without a reset between.
  auto tail = [](bool reset) {
    Fixture f;
    f.chain->setParameter(skarvel::kReverbOn, 1.0f);
    f.chain->setParameter(skarvel::kReverbSize, 1.0f);
    f.run(22050, 0.0f);
    skarvel::RandomGenerator noise(5);
    float l = 0.0f, r = 0.0f;
    for (int n = 0; n < 4410; ++n) f.step(noise.next() / 16384.0f - 1.0f, 0.0f, l, r);
    if (reset) f.chain->resetVoices();
    float peak = 0.0f;
    for (int n = 0; n < 4410; ++n) {
      f.step(0.0f, 0.0f, l, r);
      peak = std::max(peak, std::fabs(l));
    }
    return peak;
  };
  EXPECT_GT(tail(false), 0.01f);
  // Nothing the noise left in the effects may come back.
  EXPECT_LT(tail(true), 1e-4f);
}

TEST(ReverbStage, LargerRoomsRingLonger) {
  auto tailEnergy = [](float roomSize) {
    skarvel::ReverbStage reverb;
    reverb.roomSize = roomSize;
    reverb.wet = 1.0f;
    reverb.update();
    float l = 0.0f, r = 0.0f;
    double energy = 0.0;
    for (int n = 0; n < 88200; ++n) {
      reverb.step(n == 0 ? 1.0f : 0.0f, n == 0 ? 1.0f : 0.0f, l, r);
      if (n > 44100) energy += double(l) * l + double(r) * r;
    }
    return energy;
  };
  const double small = tailEnergy(0.7f);   // ReverbSize 0
  const double large = tailEnergy(0.98f);  // ReverbSize 1
  EXPECT_GT(large, 1000.0 * small);
  EXPECT_GT(large, 0.0);
}

TEST(ReverbStage, DryPathAndWidthShapeTheStereoOutput) {
  skarvel::ReverbStage reverb;
  reverb.wet = 1.0f;
  reverb.dry = 0.5f;
  reverb.update();
  float l = 0.0f, r = 0.0f;
  reverb.step(0.8f, -0.4f, l, r);  // the filters are still empty: only the dry part comes out
  EXPECT_FLOAT_EQ(l, 0.4f);
  EXPECT_FLOAT_EQ(r, -0.2f);
  // The right channel's filters are 23 samples longer: its first echo comes 23 samples later.
  int firstLeft = -1, firstRight = -1;
  reverb.dry = 0.0f;
  for (int n = 1; n < 2000 && (firstLeft < 0 || firstRight < 0); ++n) {
    reverb.step(0.0f, 0.0f, l, r);
    if (firstLeft < 0 && l != 0.0f) firstLeft = n;
    if (firstRight < 0 && r != 0.0f) firstRight = n;
  }
  EXPECT_EQ(firstRight - firstLeft, 23);
}

TEST(ChorusStage, ModulationSweepsSlowlyAndStaysWithinOne) {
  skarvel::RandomGenerator random;
  skarvel::ChorusModulator modulator;
  modulator.setSampleRate(44100);
  // Full swings (from below −0.5 to above +0.5): one per 6π of phase.
  auto swings = [&modulator, &random](int samples, float& low, float& high) {
    int count = 0;
    bool armed = false;
    low = high = 0.0f;
    for (int n = 0; n < samples; ++n) {
      const float v = modulator.next(random.next());
      low = std::min(low, v);
      high = std::max(high, v);
      if (v < -0.5f) armed = true;
      if (armed && v > 0.5f) {
        ++count;
        armed = false;
      }
    }
    return count;
  };
  float low = 0.0f, high = 0.0f;
  // 4 Hz: a swing every 0.75 s, the random factor speeding it up by 5 % on average.
  const int fast = swings(30 * 44100, low, high);
  EXPECT_NEAR(fast, 42, 2);
  EXPECT_GE(low, -1.0f);
  EXPECT_LE(high, 1.0f);
  EXPECT_LT(low, -0.75f);  // 0.5 × (sin(φ/3) + sin φ) peaks at ±0.77
  EXPECT_GT(high, 0.75f);
  modulator.setFrequency(1.6f);
  const int slow = swings(30 * 44100, low, high);
  EXPECT_GT(slow, 0);
  EXPECT_NEAR(double(fast) / slow, 2.5, 0.15);
}

TEST(ChorusStage, ModulationEqualsTheDirectSineFormulaWithinFloatRounding) {
  // The same random draws drive the modulator and a direct evaluation of
  // 0.5 × (sin(φ/3) + sin φ) with the phase summed in double.
  skarvel::RandomGenerator random(42), reference(42);
  skarvel::ChorusModulator modulator;
  modulator.setSampleRate(48000);
  double phase = 0.0, worst = 0.0;
  for (int n = 0; n < 60 * 48000; ++n) {
    if (n == 30 * 48000) modulator.setFrequency(1.6f);
    const double step = 2.0 * std::numbers::pi / 48000 * modulator.frequency;
    phase += step * (1.0 + reference.next() * (0.1 / 32768.0));
    const double direct = 0.5 * (std::sin(phase / 3.0) + std::sin(phase));
    worst = std::max(worst, std::fabs(modulator.next(random.next()) - direct));
  }
  EXPECT_LT(worst, 1e-7);
}

TEST(ChorusStage, SpreadsAMonoInputIntoADifferentStereoPair) {
  skarvel::RandomGenerator random;
  skarvel::ChorusStage chorus;
  skarvel::RandomGenerator noise(11);
  double difference = 0.0, level = 0.0;
  for (int n = 0; n < 44100; ++n) {
    float l = 0.0f, r = 0.0f;
    skarvel::ChorusDraws draws;
    draws.noise = random.next();
    draws.jitter = random.next();
    chorus.step(noise.next() / 16384.0f - 1.0f, draws, l, r);
    ASSERT_TRUE(std::isfinite(l) && std::isfinite(r));
    difference += std::fabs(l - r);
    level += std::fabs(l);
  }
  EXPECT_GT(difference, 0.2 * level);
  EXPECT_LT(level / 44100, 5.0);  // the cross-coupled feedback stays bounded
}

}  // namespace
