#pragma once

#include "Frameworks/Gui/CSlider.h"
#include "source/editor/ColourGroups.h"

namespace skarvel {

// The thin vertical envelope slider: a narrow track with a round handle, value 1 at the top.
// It keeps CSlider's mouse behaviour (Shift drags 10.2 times finer, Ctrl+click restores the
// default).
class CSliderNano : public VSTGUI::CSlider {
 public:
  static constexpr float kZoomFactor = 10.2f;

  CSliderNano(const VSTGUI::CRect& size, VSTGUI::IControlListener* listener, int32_t tag,
              const ColourGroupA* colours);

  // Without the highlight the handle is drawn grey.
  virtual void setHighlight(bool state);
  bool getHighlight() const { return m_highlight; }

  // The handle's centre for the current value, and its diameter (view coordinates).
  VSTGUI::CPoint handleCentre() const;
  double handleDiameter() const;

  void draw(VSTGUI::CDrawContext* context) override;
  // A right click or a double click goes to the listener first.
  VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;

  CLASS_METHODS(CSliderNano, CSlider)

 private:
  const ColourGroupA* m_colours;
  bool m_highlight = true;
};

}  // namespace skarvel
