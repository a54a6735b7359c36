#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "source/DspMath.h"

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

TEST(DspMath, FastTanhFollowsTheLibraryWithinFloatRounding) {
  // Every 1/4096 step over the range the voices use, plus the switch points and the tails.
  double worst = 0.0;
  for (int k = -49152; k <= 49152; ++k) {
    const float x = static_cast<float>(k) / 4096.0f;
    const double exact = std::tanh(static_cast<double>(x));
    const double error = std::fabs(skarvel::fastTanh(x) - exact) / std::max(std::fabs(exact), 1e-30);
    worst = std::max(worst, k == 0 ? 0.0 : error);
  }
  EXPECT_LT(worst, 4.0 * 1.1920929e-7) << "relative error beyond a few float ulps";
  for (float x : {0.3999999f, 0.4f, 9.0999f, 9.1f, 1e-20f, -1e-20f})
    EXPECT_NEAR(skarvel::fastTanh(x), std::tanh(x), 4.0 * 1.1920929e-7 * std::fabs(std::tanh(x))) << x;
  EXPECT_EQ(skarvel::fastTanh(0.0f), 0.0f);
  EXPECT_EQ(skarvel::fastTanh(100.0f), 1.0f);
  EXPECT_EQ(skarvel::fastTanh(-INFINITY), -1.0f);
  EXPECT_TRUE(std::isnan(skarvel::fastTanh(NAN)));
}

}  // namespace
