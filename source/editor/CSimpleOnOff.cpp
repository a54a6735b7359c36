#include "source/editor/CSimpleOnOff.h"

#include <algorithm>

#include "Frameworks/Gui/CDrawContext.h"
#include "source/editor/TextLimit.h"

using namespace VSTGUI;

namespace skarvel {

CSimpleOnOff::CSimpleOnOff(const CRect& size, IControlListener* listener, int32_t tag,
                           const ColourGroupB* colours, CFontDesc* font)
    : CControl(size, listener, tag),
      m_colours(colours),
      m_font(font ? SharedPointer<CFontDesc>(font) : owned(new CFontDesc("Tahoma_Small", 12, kBoldFace))) {}

void CSimpleOnOff::setText(std::string_view text) {
  m_text = limitText(text, kTextLength);
  setDirty();
}

CMouseEventResult CSimpleOnOff::onMouseDown(CPoint& where, const CButtonState& buttons) {
  if (!buttons.isLeftButton()) return kMouseEventNotHandled;
  if (!getViewSize().pointInside(where)) return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  beginEdit();
  const float old = getValue();
  setValue(old != getMin() ? getMin() : getMax());
  bounceValue();
  if (getValue() != old) valueChanged();
  endEdit();
  invalid();
  return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

void CSimpleOnOff::draw(CDrawContext* context) {
  context->saveGlobalState();
  context->setDrawMode(kAliasing);
  context->setLineWidth(1);
  context->setFillColor(isOn() ? m_colours->controlActive : m_colours->controlBackground);
  context->setFrameColor(m_colours->frame);
  context->drawRect(getViewSize(), kDrawFilledAndStroked);
  drawCaption(context);
  context->restoreGlobalState();
  setDirty(false);
}

void CSimpleOnOff::drawCaption(CDrawContext* context) {
  if (m_text.empty()) return;
  const CRect& r = getViewSize();
  context->setFont(m_font, std::max(1.0, r.getHeight() * 0.6), kBoldFace);
  context->setFontColor(isOn() ? m_colours->inactiveValueFont : m_colours->activeValueFont);
  context->drawString(m_text, r, kCenterText, true);
}

}  // namespace skarvel
