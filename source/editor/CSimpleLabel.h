#pragma once

#include <string>
#include <string_view>

#include "Frameworks/Gui/CParamDisplay.h"

namespace skarvel {

// A text in its own font and colour (the toolbar's preset name, "compare", "current"). It
// brightens while the mouse is over it, and a left click tells the listener.
class CSimpleLabel : public VSTGUI::CParamDisplay {
 public:
  CSimpleLabel(const VSTGUI::CRect& size, VSTGUI::IControlListener* listener = nullptr, int32_t tag = -1,
               VSTGUI::CFontDesc* font = nullptr);

  void setText(std::string_view text);
  const std::string& getText() const { return m_text; }
  bool isHovered() const { return m_hover; }

  void draw(VSTGUI::CDrawContext* context) override;
  VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CMouseEventResult onMouseEntered(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CMouseEventResult onMouseExited(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;

  CLASS_METHODS(CSimpleLabel, CParamDisplay)

 private:
  std::string m_text;
  bool m_hover = false;
};

}  // namespace skarvel
