#include <gtest/gtest.h>

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
