#include "source/editor/CSimpleLabel.h"

#include <algorithm>

#include "Frameworks/Gui/CDrawContext.h"

using namespace VSTGUI;

namespace skarvel {

CSimpleLabel::CSimpleLabel(const CRect& size, IControlListener* listener, int32_t tag, CFontDesc* font)
    : CParamDisplay(size) {
  setListener(listener);
  setTag(tag);
  if (font) setFont(font);
}

void CSimpleLabel::setText(std::string_view text) {
  if (m_text == text) return;
  m_text = std::string(text);
  setDirty();
}

CMouseEventResult CSimpleLabel::onMouseDown(CPoint&, const CButtonState& buttons) {
  if (!buttons.isLeftButton()) return kMouseEventNotHandled;
  beginEdit();
  valueChanged();
  endEdit();
  return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

CMouseEventResult CSimpleLabel::onMouseEntered(CPoint&, const CButtonState&) {
  m_hover = true;
  invalid();
  return kMouseEventHandled;
}

CMouseEventResult CSimpleLabel::onMouseExited(CPoint&, const CButtonState&) {
  m_hover = false;
  invalid();
  return kMouseEventHandled;
}

void CSimpleLabel::draw(CDrawContext* context) {
  if (!m_text.empty() && getFont()) {
    CColor colour = getFontColor();
    if (m_hover) {
      // Hover look: a third of the way towards white.
      colour.red = static_cast<uint8_t>(colour.red + (255 - colour.red) / 3);
      colour.green = static_cast<uint8_t>(colour.green + (255 - colour.green) / 3);
      colour.blue = static_cast<uint8_t>(colour.blue + (255 - colour.blue) / 3);
    }
    context->saveGlobalState();
    context->setFont(getFont());
    context->setFontColor(colour);
    CRect r = getViewSize();
    r.inset(getTextInset().x, getTextInset().y);
    context->drawString(m_text, r, getHoriAlign(), true);
    context->restoreGlobalState();
  }
  setDirty(false);
}

}  // namespace skarvel
