#pragma once

namespace skarvel {

// Where a rotary control's value sits on its dial. Angles are radians, counter-clockwise
// positive with y pointing up; points are screen pixels (y down). Value 0 is at the start
// angle, value 1 a full range further on (the range is negative: the dial turns clockwise).
class KnobGeometry {
 public:
  static constexpr double kStartAngle = 3.9269907;  // 5 pi / 4: lower left
  static constexpr double kRange = -4.712389;       // -3 pi / 2: 270 degrees clockwise

  // Lays the dial out in the rectangle. A two-position switch knob uses the middle third of
  // the sweep (90 degrees at the top), so its two positions sit either side of twelve o'clock.
  void layout(double left, double top, double width, double height, int positions);

  double startAngle() const { return m_startAngle; }
  double range() const { return m_range; }
  double centreX() const { return m_centreX; }
  double centreY() const { return m_centreY; }
  double radius() const { return m_radius; }                  // width / 2
  double indicatorInset() const { return m_indicatorInset; }  // int(width x 0.0714)
  double valueArcOffset() const { return m_valueArcOffset; }  // width x 0.25

  double angleAt(double fraction) const { return m_startAngle + fraction * m_range; }

  // The point at distance r from the centre in the direction of the given fraction of the sweep.
  void pointAt(double fraction, double r, double& x, double& y) const;

  // The fraction of the sweep (0..1) at the angle of a screen point. A point in the gap below
  // the dial counts as the nearer end, so the value never flips across the gap.
  double fractionAt(double x, double y) const;

 private:
  double m_startAngle = kStartAngle;
  double m_range = kRange;
  double m_centreX = 0.0;
  double m_centreY = 0.0;
  double m_radius = 0.0;
  double m_indicatorInset = 0.0;
  double m_valueArcOffset = 0.0;
};

}  // namespace skarvel
