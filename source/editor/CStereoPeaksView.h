#pragma once

#include <chrono>

#include "Frameworks/Gui/CControl.h"
#include "source/editor/ColourGroups.h"
#include "source/editor/PeakMeters.h"

namespace skarvel {

// The left and right peak meters: two boxes with bars that jump up to each new peak and fall
// by a tenth per redraw, and a peak-hold mark above each bar that turns to the clip colour near
// the top. A left click resets the marks.
//
// A redraw lowers the bars once per hand-over of new peaks. After the engine stops handing
// peaks over (it goes quiet and sleeps) the meter keeps itself dirty and goes on falling at
// one step per 99 ms until the bars are down, so it never freezes half way.
class CStereoPeaksView : public VSTGUI::CControl {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr std::chrono::milliseconds kFallInterval{99};

  CStereoPeaksView(const VSTGUI::CRect& size, const ColourGroupD* colours);

  // Called when the engine has latched a new pair; the next redraw shows it.
  void setPeaks(float left, float right);
  const PeakMeters& meters() const { return m_meters; }
  // Boxes: the left one ends 3 pixels short of the middle, the right one is as wide and ends at
  // the right edge.
  VSTGUI::CRect boxRect(int channel) const;
  // Hold marks turn to the clip colour within this distance of the top (10 units of 86).
  double clipZone() const { return getHeight() * 10.0 / 86.0; }

  void draw(VSTGUI::CDrawContext* context) override;
  void setViewSize(const VSTGUI::CRect& rect, bool invalid = true) override;
  VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;

  CLASS_METHODS(CStereoPeaksView, CControl)

 protected:
  // Drawing time, replaceable in tests.
  virtual Clock::time_point now() const { return Clock::now(); }

 private:
  const ColourGroupD* m_colours;
  PeakMeters m_meters;
  Clock::time_point m_lastFall{};
  bool m_newPeaks = false;
  bool m_drawBoxes = true;
};

}  // namespace skarvel
