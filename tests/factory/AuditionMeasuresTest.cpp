// The figures the factory library is judged by, checked on signals whose answers are known.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <set>
#include <vector>

#include "source/SkarvelParameterTable.h"
#include "tools/skarvel-audition/Audition.h"
#include "tools/skarvel-audition/Loudness.h"
#include "tools/skarvel-audition/Pitch.h"

namespace {

constexpr double kRate = 44100.0;

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

// Harmonics 1..count of `hz` with the given amplitudes (index 0 is the fundamental).
std::vector<float> series(double hz, const std::vector<double>& amplitudes, double seconds, double rate = kRate) {
  std::vector<float> x(static_cast<std::size_t>(seconds * rate));
  for (std::size_t i = 0; i < x.size(); ++i) {
    double sum = 0.0;
    for (std::size_t k = 0; k < amplitudes.size(); ++k)
      sum += amplitudes[k] * std::sin(2.0 * std::numbers::pi * hz * (k + 1) * i / rate + 0.7 * k);
    x[i] = static_cast<float>(sum);
  }
  return x;
}

// White noise through two band-pass sections of the engine's design (constant peak, `width` Hz
// wide at -3 dB) centred on `hz`, as the band-pass melody makes it.
std::vector<float> noiseBand(double hz, double width, double seconds, unsigned seed, double rate = kRate) {
  const double c = std::tan(std::numbers::pi * width / rate), e = 1.0 / c, g = 1.0 / (e + 1.0);
  const double a1 = -2.0 * g * e * std::cos(2.0 * std::numbers::pi * hz / rate), a2 = (e - 1.0) * g;
  double x1[2] = {}, x2[2] = {}, y1[2] = {}, y2[2] = {};
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> uniform(-1.0, 1.0);
  std::vector<float> out(static_cast<std::size_t>(seconds * rate));
  for (std::size_t i = 0; i < out.size() + static_cast<std::size_t>(rate); ++i) {
    double x = uniform(random);
    for (int s = 0; s < 2; ++s) {
      const double y = g * x - g * x2[s] - a1 * y1[s] - a2 * y2[s];
      x2[s] = x1[s];
      x1[s] = x;
      y2[s] = y1[s];
      y1[s] = y;
      x = y;
    }
    if (i >= static_cast<std::size_t>(rate)) out[i - static_cast<std::size_t>(rate)] = static_cast<float>(x);
  }
  return out;
}

TEST(AuditionMeasures, SineGivesItsPeakLevelAndFrequency) {
  const audition::Measures m = audition::measure(tone(1000.0, 0.5, 1.0));
  EXPECT_NEAR(m.peak, 0.5f, 1e-3f);
  EXPECT_NEAR(m.heldRms, 0.5 / std::sqrt(2.0), 1e-3);
  EXPECT_NEAR(m.strongest, 1000.0, 11.0);  // one bin
  EXPECT_NEAR(m.centroid, 1000.0, 30.0);
  EXPECT_TRUE(m.finite);
}

// A sine is read within 2 cents (a fifth of the bound) anywhere within the octave either way of
// the frequency expected, at every sample rate the library is played at.
TEST(AuditionPitch, ReadsASineExactlyAnOctaveEitherWayOfTheExpectedFrequency) {
  for (double rate : {44100.0, 48000.0, 96000.0})
    for (double hz : {65.41, 261.63, 1046.5, 4186.0})
      for (double cents : {-1150.0, -300.0, 0.0, 700.0, 1150.0}) {
        const double actual = hz * std::pow(2.0, cents / 1200.0);
        const std::vector<float> x = series(actual, {0.3}, 1.0, rate);
        const audition::PitchEstimate p = audition::estimatePitch(x.data(), x.size(), rate, hz);
        ASSERT_TRUE(p.found) << actual << " Hz at " << rate;
        EXPECT_NEAR(p.cents, cents, 2.0) << actual << " Hz searched near " << hz << " at " << rate;
      }
}

// The traps of a search near the expected pitch, each avoided to within 2 cents: a series whose
// second harmonic is the strongest reads as its fundamental, not an octave up; the even
// harmonics of 110 Hz alone are a 220 Hz series; and a lone tone is not taken for the second
// harmonic of a fundamental an octave below it.
TEST(AuditionPitch, FindsTheFundamentalOfTheHarmonicSeriesNotAPartial) {
  {
    const std::vector<float> x = series(220.0, {0.1, 0.5, 0.3, 0.2, 0.1, 0.05}, 1.0);
    const audition::PitchEstimate p = audition::estimatePitch(x.data(), x.size(), kRate, 300.0);
    EXPECT_NEAR(p.hz, 220.0, 0.25);
    EXPECT_GE(p.harmonics, 4);
  }
  {
    // Only the even harmonics of 110 Hz: a 220 Hz series.
    const std::vector<float> x = series(110.0, {0.0, 0.4, 0.0, 0.3, 0.0, 0.2, 0.0, 0.1}, 1.0);
    const audition::PitchEstimate p = audition::estimatePitch(x.data(), x.size(), kRate, 130.0);
    EXPECT_NEAR(p.hz, 220.0, 0.25);
  }
  {
    const std::vector<float> x = series(440.0, {0.3}, 1.0);
    const audition::PitchEstimate p = audition::estimatePitch(x.data(), x.size(), kRate, 300.0);
    EXPECT_NEAR(p.hz, 440.0, 0.5) << "searched between 150 and 600 Hz, 220 Hz is a candidate too";
  }
}

// A narrow band of noise, as the band-pass presets play, is read at its centre: over 20 bands
// of 1.8 s the error stays within a few cents, the spread the bounds leave room for.
TEST(AuditionPitch, ReadsANoiseBandAtItsCentre) {
  for (double hz : {261.63, 1046.5}) {
    double worst = 0.0, sum = 0.0;
    for (unsigned seed = 1; seed <= 20; ++seed) {
      const std::vector<float> x = noiseBand(hz, hz * 0.02, 1.8, seed);
      const audition::PitchEstimate p = audition::estimatePitch(x.data(), x.size(), kRate, hz);
      ASSERT_TRUE(p.found);
      EXPECT_GT(p.contrast, 20.0);
      worst = std::max(worst, std::fabs(p.cents));
      sum += p.cents;
    }
    EXPECT_LT(worst, 6.0) << hz << " Hz";
    EXPECT_LT(std::fabs(sum / 20.0), 1.5) << hz << " Hz: the reading is biased";
  }
}

TEST(AuditionPitch, NoiseAndSilenceHaveNoClearPitch) {
  std::mt19937 random(7);
  std::uniform_real_distribution<float> uniform(-0.5f, 0.5f);
  std::vector<float> white(44100);
  for (float& x : white) x = uniform(random);
  const audition::PitchEstimate noise = audition::estimatePitch(white.data(), white.size(), kRate, 440.0);
  EXPECT_TRUE(!noise.found || noise.contrast < 6.0) << noise.contrast;
  const std::vector<float> silence(44100, 0.0f);
  EXPECT_FALSE(audition::estimatePitch(silence.data(), silence.size(), kRate, 440.0).found);
}

// EBU R 128 anchors: a 1 kHz sine at -20 dBFS in both channels is -20 LUFS; its true peak is
// its amplitude; antiphase channels fold down to silence, identical ones lose nothing.
TEST(AuditionLoudness, MeasuresLoudnessTruePeakAndFoldDown) {
  const audition::Render r = tone(1000.0, 0.1, 5.0, 0.05, 0.0);
  const audition::Loudness l = audition::measureLoudness(r.left.data(), r.right.data(), r.left.size(), kRate);
  EXPECT_NEAR(l.integrated, -20.0, 0.1);
  EXPECT_NEAR(l.truePeak, -20.0, 0.2);
  EXPECT_NEAR(l.monoFoldDown, l.integrated, 0.01);

  std::vector<float> inverted(r.right.size());
  for (std::size_t i = 0; i < inverted.size(); ++i) inverted[i] = -r.right[i];
  const audition::Loudness antiphase = audition::measureLoudness(r.left.data(), inverted.data(), r.left.size(), kRate);
  EXPECT_NEAR(antiphase.integrated, -20.0, 0.1);
  EXPECT_LT(antiphase.monoFoldDown, -60.0);
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

TEST(AuditionMeasures, SpectralAndContourDistancesSeparateDifferentSoundsOnly) {
  const audition::Render low = tone(300.0, 0.5, 1.0);
  const audition::Measures lowSpectrum = audition::measure(low);
  const audition::Measures quieter = audition::measure(tone(300.0, 0.1, 1.0));
  const audition::Measures high = audition::measure(tone(4000.0, 0.5, 1.0));
  EXPECT_LT(audition::spectralDistance(lowSpectrum, quieter), 0.1) << "level alone is no difference";
  EXPECT_GT(audition::spectralDistance(lowSpectrum, high), 10.0);
  EXPECT_DOUBLE_EQ(audition::spectralDistance(lowSpectrum, high), audition::spectralDistance(high, lowSpectrum));

  EXPECT_LT(audition::contourDistance(low, tone(300.0, 0.1, 1.0)), 0.1) << "level alone is no difference";
  EXPECT_LT(audition::contourDistance(low, tone(4000.0, 0.5, 1.0)), 0.5) << "the same envelope";
  EXPECT_GT(audition::contourDistance(low, tone(300.0, 0.5, 0.3, 0.05, 1.7)), 10.0) << "a short note";
}

// The render stops a little after the engine sleeps and says when that was.
TEST(AuditionRender, ReportsWhenTheEngineFallsAsleep) {
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

// Eight voices, and a releasing voice is not reused: with releases of several seconds, a
// progression of four-note chords runs out of voices and the engine takes voice 0 from a held
// note. The render counts those notes; with short releases none is lost.
TEST(AuditionRender, CountsNotesThatLoseTheirVoice) {
  audition::ParameterValues values = audition::defaultValues();
  const audition::KeyRange keys{48, 72};
  values[skarvel::kRelease1] = 0.7f;  // 4.9 s to 1/11
  EXPECT_GT(audition::render(values, audition::Phrase::progression(keys)).lostNotes, 0);
  values[skarvel::kRelease1] = 0.15f;
  EXPECT_EQ(audition::render(values, audition::Phrase::progression(keys)).lostNotes, 0);
}

TEST(AuditionPhrases, StayWithinTheirKeysAndPlayDistinctChordNotes) {
  const audition::KeyRange narrow{60, 67};
  for (const audition::Phrase& phrase :
       {audition::Phrase::melody(narrow), audition::Phrase::held(narrow), audition::Phrase::strikes(narrow),
        audition::Phrase::bass(narrow), audition::Phrase::groove(narrow), audition::Phrase::standard(narrow),
        audition::Phrase::progression(narrow), audition::Phrase::loudChord(narrow)})
    for (const audition::PhraseNote& note : phrase.notes) {
      EXPECT_GE(note.key, narrow.low);
      EXPECT_LE(note.key, narrow.high);
    }
  // The fortissimo chord is eight different keys even when the range folds its voicing together.
  std::set<int> keys;
  for (const audition::PhraseNote& note : audition::Phrase::loudChord(narrow).notes) keys.insert(note.key);
  EXPECT_EQ(keys.size(), 8u);
  EXPECT_EQ(audition::keyName(60), "C4");
  EXPECT_EQ(audition::keyName(42), "F#2");
  EXPECT_NEAR(audition::keyFrequency(69, 12.0), 880.0, 1e-9);
}

}  // namespace
