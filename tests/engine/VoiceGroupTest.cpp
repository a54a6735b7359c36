// The four-lane voice renderer against the one-voice renderer: every lane must give the very
// bits the voice gives alone (the comb resonators amplify any rounding change), whatever the
// lanes' run lengths, absent lanes, switches and input ranges.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <random>
#include <vector>

#include "source/Voice.h"

namespace {

using skarvel::Voice;

std::uint32_t bits(float x) {
  std::uint32_t b;
  std::memcpy(&b, &x, sizeof b);
  return b;
}
std::uint64_t bits(double x) {
  std::uint64_t b;
  std::memcpy(&b, &x, sizeof b);
  return b;
}

// Four voices with different settings and the given switches (osc2 off in lane 2 if mixed).
std::vector<std::unique_ptr<Voice>> makeVoices(bool rateScaleUp, bool osc1On, bool mixedSwitches) {
  std::vector<std::unique_ptr<Voice>> voices;
  for (int lane = 0; lane < 4; ++lane) {
    auto voice = std::make_unique<Voice>();
    voice->setSampleRate(44100.0);
    voice->setOsc1Rate(220.0f * static_cast<float>(lane + 1));
    voice->setOsc2Rate(90.0f + 700.0f * static_cast<float>(lane));
    voice->setCombCutoff(500.0f + 1500.0f * static_cast<float>(lane));
    voice->balance2 = 0.2f * static_cast<float>(lane);
    voice->balance3 = 0.9f - 0.25f * static_cast<float>(lane);
    voice->resoAmount = 0.98f - 0.1f * static_cast<float>(lane);
    voice->fmAmount = 0.3f * static_cast<float>(lane);
    voice->dryWet = 0.25f + 0.2f * static_cast<float>(lane);
    voice->rateScaleUp = rateScaleUp;
    voice->osc1On = osc1On;
    voice->osc2On = !(mixedSwitches && lane == 2);
    voices.push_back(std::move(voice));
  }
  return voices;
}

// Random modulation with noise up to ±`noiseRange` (the wider, the more the hyperbolic tangent
// leaves its polynomial range), now and then a non-finite value when `withNonFinite`.
std::vector<Voice::ModulationLanes> makeModulation(int samples, float noiseRange, bool withNonFinite,
                                                   unsigned seed) {
  std::mt19937 engine(seed);
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  std::vector<Voice::ModulationLanes> modulation(static_cast<std::size_t>(samples));
  for (int k = 0; k < samples; ++k) {
    Voice::ModulationLanes& in = modulation[static_cast<std::size_t>(k)];
    for (int lane = 0; lane < 4; ++lane) {
      in.noise1[lane] = (unit(engine) * 2.0f - 1.0f) * noiseRange;
      in.noise2[lane] = unit(engine) * 2.0f - 1.0f;
      in.rate1[lane] = 30.0f + unit(engine) * 9000.0f;
      in.osc1Coefficient[lane] = unit(engine) * 0.78f;
      in.osc1HighPassCoefficient[lane] = in.osc1Coefficient[lane];
      in.balance1[lane] = unit(engine);
      in.amAmount[lane] = unit(engine);
    }
    if (withNonFinite && k % 97 == 50) in.noise1[k % 4] = std::numeric_limits<float>::quiet_NaN();
  }
  return modulation;
}

struct Segment {
  std::vector<int> counts;  // per lane, -1 for an absent voice
};

// Renders the same runs through the group renderer and voice by voice and compares every
// output sample, the voices' states and their delay lines bit for bit.
void expectSameBits(bool rateScaleUp, bool osc1On, bool mixedSwitches, float noiseRange, bool withNonFinite,
                    const std::vector<Segment>& segments) {
  auto grouped = makeVoices(rateScaleUp, osc1On, mixedSwitches);
  auto single = makeVoices(rateScaleUp, osc1On, mixedSwitches);
  unsigned seed = 1;
  for (const Segment& segment : segments) {
    constexpr int kLength = 128;
    const auto modulation = makeModulation(kLength, noiseRange, withNonFinite, seed++);
    std::vector<Voice::SoundLanes> groupOut(kLength), singleOut(kLength);
    std::memset(groupOut.data(), 0, sizeof(Voice::SoundLanes) * kLength);
    std::memset(singleOut.data(), 0, sizeof(Voice::SoundLanes) * kLength);

    Voice* voices[4];
    int counts[4];
    for (int lane = 0; lane < 4; ++lane) {
      voices[lane] = segment.counts[lane] < 0 ? nullptr : grouped[lane].get();
      counts[lane] = segment.counts[lane] < 0 ? 0 : segment.counts[lane];
      if (segment.counts[lane] > 0) single[lane]->renderSound(modulation.data(), lane, singleOut.data(), counts[lane]);
    }
    Voice::renderGroup(voices, counts, modulation.data(), groupOut.data());

    for (int lane = 0; lane < 4; ++lane) {
      for (int k = 0; k < counts[lane]; ++k)
        ASSERT_EQ(bits(groupOut[k].value[lane]), bits(singleOut[k].value[lane])) << "lane " << lane << " sample " << k;
      const Voice& a = *grouped[lane];
      const Voice& b = *single[lane];
      ASSERT_EQ(bits(a.delay), bits(b.delay)) << lane;
      ASSERT_EQ(bits(a.smoothedDelay), bits(b.smoothedDelay)) << lane;
      ASSERT_EQ(bits(a.combOut), bits(b.combOut)) << lane;
      ASSERT_EQ(bits(a.combFilter.state), bits(b.combFilter.state)) << lane;
      ASSERT_EQ(bits(a.osc1HighPass.highOut), bits(b.osc1HighPass.highOut)) << lane;
      ASSERT_EQ(bits(a.osc2Filter.state), bits(b.osc2Filter.state)) << lane;
      ASSERT_EQ(a.linePosition, b.linePosition) << lane;
      ASSERT_EQ(std::memcmp(a.line(), b.line(), sizeof(float) * Voice::kLineLength), 0) << lane;
    }
  }
}

TEST(VoiceGroup, FourLanesMatchEachVoiceAloneToTheBit) {
  const std::vector<Segment> full = {{{128, 128, 128, 128}}, {{128, 128, 128, 128}}, {{64, 64, 64, 64}}};
  expectSameBits(false, true, false, 1.0f, false, full);  // delay in samples
  expectSameBits(true, true, false, 1.0f, false, full);   // resonance at the rate
  expectSameBits(false, false, false, 1.0f, false, full);  // osc1 off: no saturation
}

TEST(VoiceGroup, UnequalRunsAndAbsentLanesMatch) {
  // Voices ending their release at different samples, lanes without a voice or with nothing to
  // render, and a lone voice in its group.
  expectSameBits(false, true, false, 1.0f, false,
                 {{{128, 100, 7, 128}}, {{-1, 128, 0, 128}}, {{0, 0, 128, 0}}, {{1, 128, -1, 2}}});
}

TEST(VoiceGroup, TanhBeyondItsPolynomialRangeAndNonFiniteInputMatch) {
  // Large noise drives the osc1 high-pass through the exponential and the saturated ranges of
  // the hyperbolic tangent in some lanes while others stay in the polynomial.
  expectSameBits(false, true, false, 20.0f, false, {{{128, 128, 128, 128}}, {{128, 128, 128, 128}}});
  expectSameBits(true, true, false, 20.0f, true, {{{128, 128, 128, 128}}, {{90, 128, 128, 40}}});
}

TEST(VoiceGroup, VoicesWithDifferentSwitchesMatch) {
  expectSameBits(false, true, true, 3.0f, false, {{{128, 128, 128, 128}}, {{128, 60, 128, 128}}});
}

}  // namespace
