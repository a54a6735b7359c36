#include "source/editor/PeakMeters.h"

#include <algorithm>
#include <cmath>

namespace skarvel {

namespace {
float clampPeak(float p) { return std::isnan(p) ? 0.0f : std::clamp(p, 0.0f, 1.0f); }
}  // namespace

void PeakMeters::setPeaks(float left, float right) {
  m_peaks[0] = clampPeak(left);
  m_peaks[1] = clampPeak(right);
}

double PeakMeters::barTop(int channel, double boxTop, double boxBottom) const {
  const double inner = std::max(0.0, boxBottom - boxTop - 2.0);  // the bar sits inset 1
  return boxBottom - 1.0 - m_levels[channel & 1] * inner;
}

void PeakMeters::advance(double boxTop, double boxBottom) {
  for (int c = 0; c < 2; ++c) {
    m_levels[c] = std::max(m_peaks[c], m_levels[c] - kFallPerRedraw);
    if (m_levels[c] <= 0.0f) continue;
    const double top = barTop(c, boxTop, boxBottom);
    if (top < m_holds[c]) m_holds[c] = top + 1.0;
  }
}

void PeakMeters::resetHolds(double height) { m_holds[0] = m_holds[1] = height - 2.0; }

}  // namespace skarvel
