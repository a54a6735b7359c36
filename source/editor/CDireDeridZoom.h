#pragma once

#include "Frameworks/Gui/CControl.h"
#include "Frameworks/Gui/CFontDesc.h"

namespace skarvel {

// The window-size button: a minus half and a plus half. Pressing a half lights it; releasing
// the button over it steps the value by one (within 0..7) and tells the listener; sliding off
// the lit half cancels the press.
class CDireDeridZoom : public VSTGUI::CControl {
 public:
  static constexpr float kMaximum = 7.0f;

  CDireDeridZoom(const VSTGUI::CRect& size, VSTGUI::IControlListener* listener, int32_t tag = 19001);

  bool minusPressed() const { return m_minus; }
  bool plusPressed() const { return m_plus; }

  void draw(VSTGUI::CDrawContext* context) override;
  VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CMouseEventResult onMouseMoved(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CMouseEventResult onMouseUp(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CMouseEventResult onMouseCancel() override;

  CLASS_METHODS(CDireDeridZoom, CControl)

 private:
  VSTGUI::CRect minusHalf() const;
  VSTGUI::CRect plusHalf() const;
  void release();

  VSTGUI::SharedPointer<VSTGUI::CFontDesc> m_font;
  bool m_minus = false;
  bool m_plus = false;
};

}  // namespace skarvel
