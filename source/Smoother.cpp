#include "source/Smoother.h"

#include <cmath>
#include <numbers>

namespace skarvel {

void Smoother::setSampleRate(float rate) {
  sampleRate = rate;
  timeMs = kGlideMs;
  // After rate × timeMs / 1000 steps the remaining distance is 0.001 of the step.
  coefficient = static_cast<float>(
      1.0 - std::pow(0.001, 1.0 / (double(sampleRate) * double(timeMs) * 0.001)));
  radiansPerSample = static_cast<float>(2.0 * std::numbers::pi / sampleRate);
}

}  // namespace skarvel
