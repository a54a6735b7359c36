#pragma once

namespace skarvel {

// The two peak meters' levels and peak-hold marks. Levels are 0..1 of a box's height; the hold
// marks are y offsets from the top of the view. A level falls by 0.1 per redraw unless a
// higher peak holds it up; a hold mark only rises, until it is reset.
class PeakMeters {
 public:
  static constexpr float kFallPerRedraw = 0.1f;

  // Peaks as the engine latched them; clamped to 0..1 (a NaN peak counts as 0).
  void setPeaks(float left, float right);
  float peak(int channel) const { return m_peaks[channel & 1]; }
  float shownLevel(int channel) const { return m_levels[channel & 1]; }
  double hold(int channel) const { return m_holds[channel & 1]; }

  // One redraw of a view of the given height whose boxes run from boxTop to boxBottom (offsets
  // from the view's top): the levels fall towards the peaks and the holds follow the bar tops.
  void advance(double boxTop, double boxBottom);

  // Bar top (offset from the view's top) for a channel's shown level.
  double barTop(int channel, double boxTop, double boxBottom) const;

  // Both holds back to the bottom (height - 2).
  void resetHolds(double height);

 private:
  float m_peaks[2] = {0.0f, 0.0f};
  float m_levels[2] = {0.0f, 0.0f};
  double m_holds[2] = {0.0, 0.0};
};

}  // namespace skarvel
