#include "source/editor/ScopeTrace.h"

#include <algorithm>
#include <cmath>

namespace skarvel {

ScopeTrace::ScopeTrace() {
  for (std::size_t i = 0; i < kLength; ++i)
    m_samples[i] = 2.0f * static_cast<float>(i) / static_cast<float>(kLength - 1) - 1.0f;
}

void ScopeTrace::handOver(const float* ring, std::uint32_t writeIndex) {
  if (ring == nullptr) return;
  const std::size_t w = writeIndex & kMask;
  for (std::size_t k = 0; k < kLength; ++k) m_samples[k] = ring[(w + k) & kMask];
}

std::size_t ScopeTrace::indexForColumn(int column, int width, float zoom) {
  if (width < 2 || column <= 0) return 0;
  const double z = std::clamp(static_cast<double>(zoom), 0.0, 1.0);
  const double position = column * z * z / (width - 1) * static_cast<double>(kLength) + 0.5;
  // Clamped rather than wrapped: wrapping would put the oldest sample in the last column.
  return std::min(static_cast<std::size_t>(position), kLength - 1);
}

double ScopeTrace::yForSample(float s, double top, double height) {
  const double v = std::isnan(s) ? 0.0 : std::clamp(static_cast<double>(s), -1.0, 1.0);
  return top + 0.98 * height - 1.0 + (v + 1.0) * 0.5 * (2.0 - 0.96 * height);
}

}  // namespace skarvel
