#pragma once

#include <string>
#include <string_view>

#include "Frameworks/Gui/CControl.h"
#include "Frameworks/Gui/CFontDesc.h"
#include "source/editor/ColourGroups.h"

namespace skarvel {

// An on/off switch: a small box, filled when on. A left click inside the box toggles it; a
// click that lands in the mouse area but outside the box does nothing.
class CSimpleOnOff : public VSTGUI::CControl {
 public:
  static constexpr std::size_t kTextLength = 31;

  CSimpleOnOff(const VSTGUI::CRect& size, VSTGUI::IControlListener* listener, int32_t tag,
               const ColourGroupB* colours, VSTGUI::CFontDesc* font = nullptr);

  // An optional caption drawn in the box.
  virtual void setText(std::string_view text);
  const std::string& getText() const { return m_text; }
  bool isOn() const { return getValue() != getMin() && getMouseEnabled(); }

  void draw(VSTGUI::CDrawContext* context) override;
  VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;

  CLASS_METHODS(CSimpleOnOff, CControl)

 protected:
  virtual void drawCaption(VSTGUI::CDrawContext* context);

  const ColourGroupB* m_colours;
  VSTGUI::SharedPointer<VSTGUI::CFontDesc> m_font;
  std::string m_text;
};

}  // namespace skarvel
