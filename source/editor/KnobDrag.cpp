#include "source/editor/KnobDrag.h"

#include <algorithm>
#include <cmath>

namespace skarvel {

void KnobDrag::setRange(bool fine) {
  m_fine = fine;
  m_fullRangePixels = fine ? kFullRangePixels * kZoomFactor : kFullRangePixels;
  m_valuePerPixel = 1.0 / m_fullRangePixels;
}

void KnobDrag::beginLinear(double x, double y, double startValue, bool fine) {
  m_linear = true;
  m_firstX = x;
  m_firstY = y;
  m_startValue = startValue;
  m_lastDistance = 0.0;
  setRange(fine);
}

void KnobDrag::beginCircular(double startValue) {
  m_linear = false;
  m_startValue = std::clamp(startValue, 0.0, 1.0);
  m_lastCircular = m_startValue;
}

double KnobDrag::moveLinear(double x, double y, bool fine, double current) {
  const double d = distance(x, y);
  if (fine != m_fine) {
    // Keep the value where the previous event left it and continue at the new speed from there.
    setRange(fine);
    m_startValue = current - m_valuePerPixel * m_lastDistance;
  }
  m_lastDistance = d;
  return std::clamp(m_valuePerPixel * d + m_startValue, 0.0, 1.0);
}

double KnobDrag::moveCircular(double fractionAtPoint) {
  double value = std::clamp(fractionAtPoint, 0.0, 1.0);
  // A jump of more than half the range is the mouse crossing the gap below the dial: stay at
  // the end it left from.
  if (std::fabs(value - m_lastCircular) > 0.5) value = m_lastCircular > 0.5 ? 1.0 : 0.0;
  m_lastCircular = value;
  return value;
}

}  // namespace skarvel
