#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "source/StringEnhancer.h"

namespace {

using skarvel::StringEnhancer;

struct Response {
  std::vector<float> left;
  std::vector<float> right;
};

// Settles the delay glide on silence, then sends one impulse (left and/or right).
Response impulseResponse(StringEnhancer& enhancer, float leftImpulse, float rightImpulse, int length) {
  for (int n = 0; n < 8000; ++n) {
    float l = 0.0f, r = 0.0f;
    enhancer.step(l, r);
  }
  Response response;
  for (int n = 0; n < length; ++n) {
    float l = n == 0 ? leftImpulse : 0.0f;
    float r = n == 0 ? rightImpulse : 0.0f;
    enhancer.step(l, r);
    response.left.push_back(l);
    response.right.push_back(r);
  }
  return response;
}

int indexOfPeak(const std::vector<float>& v) {
  int best = 0;
  for (int i = 1; i < static_cast<int>(v.size()); ++i)
    if (std::fabs(v[i]) > std::fabs(v[best])) best = i;
  return best;
}

int firstAbove(const std::vector<float>& v, float level) {
  for (int i = 0; i < static_cast<int>(v.size()); ++i)
    if (std::fabs(v[i]) > level) return i;
  return -1;
}

TEST(StringEnhancer, DelaysTheRightChannelAndTheMidCopyByTheAmount) {
  StringEnhancer enhancer;
  enhancer.setSampleRate(44100.0f);
  // Targets: right 0.5 × 93 ms = 2050.65 samples, mid 0.5 × 45 ms = 992.25 samples. The read
  // follows the write of the same sample, so a sample comes out (target − 1) samples later.
  enhancer.setAmount(0.5f);
  const Response right = impulseResponse(enhancer, 0.0f, 1.0f, 3000);
  EXPECT_EQ(indexOfPeak(right.right), 2050);
  float sum = 0.0f;
  for (int n = 2045; n < 2055; ++n) sum += right.right[n];
  EXPECT_NEAR(sum, 1.04f, 0.001f);  // interpolation keeps the level; the right gains 4 %

  // The mid copy reaches the left channel after its own delay, band-passed and scaled.
  StringEnhancer mid;
  mid.setSampleRate(44100.0f);
  mid.setAmount(0.5f);
  const Response left = impulseResponse(mid, 1.0f, 0.0f, 3000);
  EXPECT_EQ(left.left[0], 1.0f);  // the dry left passes undelayed
  const int arrival = firstAbove(std::vector<float>(left.left.begin() + 1, left.left.end()), 1e-3f) + 1;
  EXPECT_GE(arrival, 989);
  EXPECT_LE(arrival, 992);
}

TEST(StringEnhancer, SmallestAudibleAmountUsesDelaysOfAFewSamples) {
  StringEnhancer enhancer;
  enhancer.setSampleRate(44100.0f);
  enhancer.setAmount(0.001f);
  EXPECT_TRUE(enhancer.isActive());
  EXPECT_NEAR(enhancer.midTarget, 1.98, 0.01);
  EXPECT_NEAR(enhancer.rightTarget, 4.10, 0.01);
  const Response response = impulseResponse(enhancer, 0.0f, 1.0f, 16);
  EXPECT_EQ(indexOfPeak(response.right), 3);

  enhancer.setAmount(0.0001f);
  EXPECT_FALSE(enhancer.isActive());
}

TEST(StringEnhancer, DelaysStayWithinTheLineForAnyRateAndAmount) {
  StringEnhancer enhancer;
  for (float rate : {32000.0f, 192000.0f, 2000000.0f}) {
    enhancer.setSampleRate(rate);
    for (float amount : {0.0f, 1.0f, 1000.0f, -3.0f, std::numeric_limits<float>::quiet_NaN()}) {
      enhancer.setAmount(amount);
      for (double target : {enhancer.midTarget, enhancer.rightTarget}) {
        EXPECT_GE(target, 1.0) << amount;
        EXPECT_LE(target, double(StringEnhancer::kLineMask)) << amount;
      }
      EXPECT_TRUE(std::isfinite(enhancer.amount));
    }
  }
}

}  // namespace
