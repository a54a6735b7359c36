// The figures the factory library is judged by, checked on signals whose answers are known.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "source/SkarvelParameterTable.h"
#include "tools/skarvel-audition/Audition.h"

namespace {

// A sine of `hz` at `amplitude` held for `held` s, then decaying exponentially with time
// constant `tau` s for `tail` s, in both channels.
audition::Render tone(double hz, double amplitude, double held, double tau = 0.05, double tail = 1.0) {
  audition::Render r;
  r.lastRelease = held;
  const auto total = static_cast<std::size_t>((held + tail) * r.sampleRate);
  for (std::size_t i = 0; i < total; ++i) {
    const double t = i / r.sampleRate;
    const double envelope = t < held ? 1.0 : std::exp(-(t - held) / tau);
    const auto x = static_cast<float>(amplitude * envelope * std::sin(2.0 * std::numbers::pi * hz * t));
    r.left.push_back(x);
    r.right.push_back(x);
  }
  return r;
}

TEST(AuditionMeasures, SineGivesItsPeakLevelAndFrequency) {
  const audition::Measures m = audition::measure(tone(1000.0, 0.5, 1.0));
  EXPECT_NEAR(m.peak, 0.5f, 1e-3f);
  EXPECT_NEAR(m.heldRms, 0.5 / std::sqrt(2.0), 1e-3);
  EXPECT_NEAR(m.strongest, 1000.0, 11.0);  // one bin
  EXPECT_NEAR(m.centroid, 1000.0, 30.0);
  EXPECT_TRUE(m.finite);
}

TEST(AuditionMeasures, PitchIsTheFundamentalOfAHarmonicSeries) {
  // Six harmonics of 227 Hz (between the analysis bins), falling 3 dB each.
  audition::Render r;
  r.lastRelease = 1.0;
  for (int i = 0; i < 44100; ++i) {
    double x = 0.0;
    for (int k = 1; k <= 6; ++k) x += std::pow(0.7, k) * std::sin(2.0 * std::numbers::pi * 227.0 * k * i / 44100.0);
    r.left.push_back(static_cast<float>(0.3 * x));
    r.right.push_back(static_cast<float>(0.3 * x));
  }
  const audition::Measures m = audition::measure(r);
  const audition::Measures::Pitch pitch = m.pitchNear(220.0);
  EXPECT_NEAR(pitch.fundamental, 227.0, 2.0);
  EXPECT_GT(pitch.contrast, 20.0);
  // Searched an octave up, the series' even harmonics fit, the odd ones fall in its gaps.
  EXPECT_LT(m.pitchNear(454.0).contrast, pitch.contrast);
}

TEST(AuditionMeasures, DecayTimeIsWhenTheLevelIsSixtyDecibelsDown) {
  // exp(-t / 0.1) reaches -60 dB at 0.1 x ln(1000) = 0.69 s; windows are 50 ms long.
  const audition::Measures m = audition::measure(tone(500.0, 0.5, 0.5, 0.1, 2.0));
  EXPECT_NEAR(m.decayTime, 0.69, 0.06);
  // A sound that never dies away has no decay time.
  EXPECT_EQ(audition::measure(tone(500.0, 0.5, 0.5, 100.0, 1.0)).decayTime, -1.0);
}

TEST(AuditionMeasures, NonFiniteSamplesAreFlagged) {
  audition::Render r = tone(1000.0, 0.5, 0.5);
  r.right[1234] = std::nanf("");
  EXPECT_FALSE(audition::measure(r).finite);
}

TEST(AuditionMeasures, SpectralDistanceSeparatesDifferentSoundsOnly) {
  const audition::Measures low = audition::measure(tone(300.0, 0.5, 1.0));
  const audition::Measures louderLow = audition::measure(tone(300.0, 0.1, 1.0));
  const audition::Measures high = audition::measure(tone(4000.0, 0.5, 1.0));
  EXPECT_LT(audition::spectralDistance(low, louderLow), 0.1) << "level alone is no difference";
  EXPECT_GT(audition::spectralDistance(low, high), 10.0);
  EXPECT_DOUBLE_EQ(audition::spectralDistance(low, high), audition::spectralDistance(high, low));
}

// The render stops a little after the engine sleeps and says when that was.
TEST(AuditionMeasures, RenderReportsWhenTheEngineFallsAsleep) {
  audition::ParameterValues values = audition::defaultValues();
  values[skarvel::kRelease1] = 0.1f;  // 0.1 s release: idle within half a second
  audition::Phrase phrase = audition::Phrase::single(60, 0.5);
  phrase.tail = 5.0;
  const audition::Render r = audition::render(values, phrase);
  ASSERT_GT(r.sleepTime, 0.0);
  EXPECT_LT(r.sleepTime, 1.5);
  EXPECT_LT(r.left.size() / r.sampleRate, phrase.lastRelease() + r.sleepTime + 0.3);
  EXPECT_GT(audition::measure(r).heldRms, 1e-3);
}

}  // namespace
