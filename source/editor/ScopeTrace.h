#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace skarvel {

// The oscilloscope's own copy of the engine's sample ring, oldest sample first, and the
// mapping from pixel columns and sample values to the drawing.
class ScopeTrace {
 public:
  static constexpr std::size_t kLength = 4096;  // samples, the engine's ring length
  static constexpr std::size_t kMask = kLength - 1;

  // Starts with a ramp from -1 to +1, so a ramp is shown until the first hand-over.
  ScopeTrace();

  // Copies the engine's ring in time order: the sample at writeIndex (the oldest) comes first.
  // The index is masked, so a torn or stale index still reads inside the ring.
  void handOver(const float* ring, std::uint32_t writeIndex);

  float sample(std::size_t i) const { return m_samples[i & kMask]; }

  // The sample shown in pixel column i (0..width-1) at zoom z (0..1): the window shows the
  // oldest z^2 x 4096 samples. The last column at full zoom shows the newest sample.
  static std::size_t indexForColumn(int column, int width, float zoom);

  // The y of a sample inside a display of the given top and height: between the two clip lines
  // at 2 % and 98 % of the height, positive upwards. Out-of-range samples are clipped and NaN
  // drawn as 0.
  static double yForSample(float s, double top, double height);

 private:
  std::array<float, kLength> m_samples{};
};

}  // namespace skarvel
