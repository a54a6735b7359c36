#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "source/Biquad.h"

namespace {

using skarvel::Biquad;

// Steady-state gain of `biquad` for a sine of `hz` at the biquad's rate (settles 1 s first).
double measuredGain(Biquad biquad, double hz) {
  const double rate = biquad.sampleRate;
  const int settle = static_cast<int>(rate);
  const int measure = static_cast<int>(rate / 2);
  double peak = 0.0;
  for (int n = 0; n < settle + measure; ++n) {
    const float y = biquad.step(static_cast<float>(std::sin(2.0 * std::numbers::pi * hz * n / rate)));
    if (n >= settle) peak = std::max(peak, double(std::fabs(y)));
  }
  return peak;
}

// Ideal second-order Butterworth magnitude after the bilinear transform.
double butterworth(double hz, double cutoff, double rate, bool lowPass) {
  const double ratio = std::tan(std::numbers::pi * hz / rate) / std::tan(std::numbers::pi * cutoff / rate);
  const double r4 = std::pow(lowPass ? ratio : 1.0 / ratio, 4.0);
  return 1.0 / std::sqrt(1.0 + r4);
}

bool isStable(const Biquad& b) {
  // Both poles inside the unit circle (the stability triangle).
  return std::fabs(b.a2) < 1.0 && std::fabs(b.a1) < 1.0 + b.a2;
}

TEST(Biquad, LowAndHighPassFollowButterworthResponses) {
  struct Case {
    bool lowPass;
    double cutoff;
    double probe;
  };
  const Case cases[] = {
      {true, 1000.0, 100.0},  {true, 1000.0, 1000.0},  {true, 1000.0, 4000.0},
      {true, 8000.0, 8000.0}, {true, 8000.0, 16000.0}, {false, 40.0, 40.0},
      {false, 40.0, 400.0},   {false, 500.0, 125.0},   {false, 500.0, 500.0},
  };
  for (const Case& c : cases) {
    Biquad biquad;
    biquad.sampleRate = 44100.0f;
    if (c.lowPass)
      skarvel::designLowPass(biquad, c.cutoff);
    else
      skarvel::designHighPass(biquad, c.cutoff);
    const double expected = butterworth(c.probe, c.cutoff, 44100.0, c.lowPass);
    EXPECT_NEAR(measuredGain(biquad, c.probe), expected, 0.01 + 0.02 * expected)
        << (c.lowPass ? "low-pass " : "high-pass ") << c.cutoff << " Hz probed at " << c.probe << " Hz";
  }
}

TEST(Biquad, CutoffsAboveTheSafeLimitStayStableAndBelowNyquist) {
  for (double rate : {32000.0, 44100.0}) {
    for (double hz : {15000.0, 20000.0, 1e9, double(INFINITY), double(NAN), 0.0, -5.0}) {
      EXPECT_LE(skarvel::designFrequency(hz, rate), 0.45 * rate);
      EXPECT_GE(skarvel::designFrequency(hz, rate), skarvel::kMinDesignHz);
      Biquad lowPass, highPass;
      lowPass.sampleRate = highPass.sampleRate = static_cast<float>(rate);
      skarvel::designLowPass(lowPass, hz);
      skarvel::designHighPass(highPass, hz);
      EXPECT_TRUE(isStable(lowPass)) << hz << " Hz at " << rate;
      EXPECT_TRUE(isStable(highPass)) << hz << " Hz at " << rate;
    }
  }
  // A request inside the range is designed exactly where it was asked for.
  EXPECT_EQ(skarvel::designFrequency(8000.0, 44100.0), 8000.0);
}

TEST(Biquad, BandPassPeaksAtItsCentreWithUnitGain) {
  Biquad bandPass;
  bandPass.sampleRate = 44100.0f;
  skarvel::designBandPass(bandPass, 1400.0, 3900.0);
  EXPECT_NEAR(measuredGain(bandPass, 1400.0), 1.0, 0.02);
  EXPECT_LT(measuredGain(bandPass, 100.0), 0.25);  // a wide, gentle band
  EXPECT_LT(measuredGain(bandPass, 18000.0), 0.35);

  // Very narrow bands are designed, not widened; degenerate widths stay stable.
  for (double width : {0.01, 0.0, -1.0, double(NAN), 1e9}) {
    skarvel::designBandPass(bandPass, 880.0, width);
    EXPECT_TRUE(isStable(bandPass)) << width;
  }
}

}  // namespace
