#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "source/DspMath.h"
#include "source/Lanes.h"

namespace {

TEST(DspMath, DelayedReadFindsFractionalPositionsOnARampAcrossTheWrap) {
  // Catmull-Rom reproduces a straight line exactly, so a ramp shows where a read lands.
  constexpr int kLength = 64;
  std::vector<float> line(kLength);
  const int write = 5;  // reads reach back across index 0 to the end of the ring
  for (int age = 1; age <= kLength; ++age) line[(write - age) & (kLength - 1)] = 1000.0f - age;
  for (double delay : {3.0, 3.25, 7.5, 10.999, 20.0}) {
    // The sample `age` positions behind the write position holds 1000 − age.
    EXPECT_NEAR(skarvel::catmullRomDelayed<double>(line.data(), kLength - 1, write, delay),
                1000.0 - delay, 1e-4)
        << delay;
  }
}

}  // namespace

namespace {

using namespace skarvel::lanes;

float fastTanh(float x) { return skarvel::lanes::fastTanh(Float1(x)).v; }

TEST(DspMath, FastTanhFollowsTheLibraryWithinFloatRounding) {
  // Every 1/4096 step over the range the voices use, plus the switch points and the tails.
  double worst = 0.0;
  for (int k = -49152; k <= 49152; ++k) {
    const float x = static_cast<float>(k) / 4096.0f;
    const double exact = std::tanh(static_cast<double>(x));
    const double error = std::fabs(fastTanh(x) - exact) / std::max(std::fabs(exact), 1e-30);
    worst = std::max(worst, k == 0 ? 0.0 : error);
  }
  EXPECT_LT(worst, 4.0 * 1.1920929e-7) << "relative error beyond a few float ulps";
  for (float x : {0.3999999f, 0.4f, 9.0999f, 9.1f, 1e-20f, -1e-20f})
    EXPECT_NEAR(fastTanh(x), std::tanh(x), 4.0 * 1.1920929e-7 * std::fabs(std::tanh(x))) << x;
  EXPECT_EQ(fastTanh(0.0f), 0.0f);
  EXPECT_EQ(fastTanh(100.0f), 1.0f);
  EXPECT_EQ(fastTanh(-INFINITY), -1.0f);
  EXPECT_TRUE(std::isnan(fastTanh(NAN)));
}

// Lanes in different ranges (the polynomial, the exponential form, saturation, NaN) side by side
// give each the bits of the one-lane function.
TEST(DspMath, FastTanhLanesMatchOneLaneToTheBit) {
  const float inputs[] = {0.1f, -0.39f, 0.5f, -3.0f, 9.1f, -50.0f, NAN, 8.9f, 0.0f, -0.0f, 1e-30f, 2.0f};
  auto same = [](float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; };
  for (int start = 0; start + 4 <= static_cast<int>(std::size(inputs)); ++start) {
    const auto scalar = skarvel::lanes::fastTanh(Pack<Float1, 4>::load(inputs + start));
#if defined(__SSE2__)
    const auto sse = skarvel::lanes::fastTanh(Float4::load(inputs + start));
#endif
    for (int lane = 0; lane < 4; ++lane) {
      const float expected = fastTanh(inputs[start + lane]);
      EXPECT_TRUE(same(get(scalar, lane), expected)) << inputs[start + lane];
#if defined(__SSE2__)
      EXPECT_TRUE(same(get(sse, lane), expected)) << inputs[start + lane];
#endif
    }
  }
}

}  // namespace
