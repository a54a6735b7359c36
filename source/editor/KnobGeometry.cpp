#include "source/editor/KnobGeometry.h"

#include <cmath>

namespace skarvel {

namespace {
constexpr double kTwoPi = 6.283185307179586;
}

void KnobGeometry::layout(double left, double top, double width, double height, int positions) {
  m_startAngle = kStartAngle;
  m_range = kRange;
  if (positions == 2) {
    m_startAngle += kRange / 3.0;
    m_range = kRange / 3.0;
  }
  m_centreX = left + width * 0.5;
  m_centreY = top + height * 0.5;
  m_radius = width * 0.5;
  m_indicatorInset = static_cast<int>(width * 0.0714);
  m_valueArcOffset = width * 0.25;
}

void KnobGeometry::pointAt(double fraction, double r, double& x, double& y) const {
  const double angle = angleAt(fraction);
  x = m_centreX + r * std::cos(angle);
  y = m_centreY - r * std::sin(angle);
}

double KnobGeometry::fractionAt(double x, double y) const {
  const double dx = x - m_centreX;
  const double dy = m_centreY - y;
  if (dx == 0.0 && dy == 0.0) return 0.0;
  const double angle = std::atan2(dy, dx);
  const double sweep = std::fabs(m_range);
  // Clockwise distance from the start angle, 0..2 pi.
  double turned = std::fmod(m_startAngle - angle, kTwoPi);
  if (turned < 0.0) turned += kTwoPi;
  if (turned <= sweep) return turned / sweep;
  return (turned - sweep < kTwoPi - turned) ? 1.0 : 0.0;
}

}  // namespace skarvel
