#pragma once

namespace skarvel {

// The arithmetic of dragging a rotary control, on normalised values 0..1.
// Linear drags add up the distance moved up and the distance moved right (so a diagonal drag
// counts twice); 200 pixels cover the whole range, 520 with Shift. Pressing or releasing Shift
// mid-drag re-anchors the drag at the current value, so the value never jumps.
// Circular drags follow the mouse's angle and pin at the ends instead of wrapping around: the
// click itself takes the value at its angle, and each move compares its angle's value with the
// value the drag gave last.
class KnobDrag {
 public:
  static constexpr double kFullRangePixels = 200.0;
  static constexpr double kZoomFactor = 2.6;  // Shift makes the drag this many times finer

  void beginLinear(double x, double y, double startValue, bool fine);
  // startValue is the value at the clicked angle.
  void beginCircular(double startValue);

  bool linear() const { return m_linear; }
  double fullRangePixels() const { return m_fullRangePixels; }

  // Value for the mouse at (x, y). fine is Shift's state at this event; current is the value
  // the control holds now (the anchor when Shift changes).
  double moveLinear(double x, double y, bool fine, double current);

  // Value for the fraction of the sweep under the mouse.
  double moveCircular(double fractionAtPoint);

 private:
  double distance(double x, double y) const { return (m_firstY - y) + (x - m_firstX); }
  void setRange(bool fine);

  bool m_linear = false;
  bool m_fine = false;
  double m_firstX = 0.0;
  double m_firstY = 0.0;
  double m_startValue = 0.0;
  double m_fullRangePixels = kFullRangePixels;
  double m_valuePerPixel = 1.0 / kFullRangePixels;
  double m_lastDistance = 0.0;
  double m_lastCircular = 0.0;
};

}  // namespace skarvel
