#include "source/editor/CSliderFlat.h"

#include <algorithm>

#include "Frameworks/Gui/CDrawContext.h"
#include "Frameworks/Gui/CFrame.h"
#include "source/editor/ControlGestures.h"
#include "source/editor/TextLimit.h"

using namespace VSTGUI;

namespace skarvel {

CSliderFlat::CSliderFlat(const CRect& size, IControlListener* listener, int32_t tag,
                         const ColourGroupA* colours, CFontDesc* font, int32_t style)
    : CSlider(size, listener, tag, 0, static_cast<int32_t>(size.getHeight()), nullptr, nullptr,
              CPoint(0, 0), style & ~kBoxStyle),
      m_colours(colours),
      m_font(font ? SharedPointer<CFontDesc>(font) : owned(new CFontDesc("Tahoma_Small", 12, kBoldFace))),
      m_boxStyle((style & kBoxStyle) != 0) {}

void CSliderFlat::setBoxStyle(bool state) {
  m_boxStyle = state;
  setDirty();
}

void CSliderFlat::setValueText(std::string_view text) {
  std::string limited = limitText(text, kValueTextLength);
  if (limited == m_valueText) return;
  m_valueText = std::move(limited);
  setDirty();
}

void CSliderFlat::setLabelFont(CFontDesc* font) {
  if (!font) return;
  m_font = font;
  setDirty();
}

void CSliderFlat::setInverted(bool state) {
  m_inverted = state;
  setDirty();
}

void CSliderFlat::setValueBar(bool state) {
  m_valueBar = state;
  setDirty();
}

void CSliderFlat::setCaptions(std::string_view left, std::string_view right) {
  m_leftCaption = limitText(left, kCaptionLength);
  m_rightCaption = limitText(right, kCaptionLength);
  setDirty();
}

void CSliderFlat::setCursor(CCursorType cursor) {
  if (CFrame* frame = getFrame()) frame->setCursor(cursor);
}

CMouseEventResult CSliderFlat::onMouseDown(CPoint& where, const CButtonState& buttons) {
  if (offerClickToListener(*this, buttons)) return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  if (!m_boxStyle) return CSlider::onMouseDown(where, buttons);
  if (!buttons.isLeftButton()) return kMouseEventNotHandled;
  beginEdit();
  m_inGesture = true;
  setCursor(kCursorHand);
  m_dragStart = where;
  m_dragStartValue = getValueNormalized();
  if (checkDefaultValue(buttons)) {
    setCursor(kCursorDefault);
    m_inGesture = false;
    endEdit();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  }
  return kMouseEventHandled;
}

CMouseEventResult CSliderFlat::onMouseMoved(CPoint& where, const CButtonState& buttons) {
  if (!m_boxStyle) return CSlider::onMouseMoved(where, buttons);
  if (!buttons.isLeftButton() || !m_inGesture) return kMouseEventHandled;
  const double target = m_dragStartValue + (where.x - m_dragStart.x) * kValuePerPixel -
                        (where.y - m_dragStart.y) * kValuePerPixel;
  const double current = getValueNormalized();
  const double next = (buttons & kShift) ? current + (target - current) / kFineFactor : target;
  const float old = getValue();
  setValueNormalized(static_cast<float>(std::clamp(next, 0.0, 1.0)));
  bounceValue();
  if (getValue() != old) {
    valueChanged();
    invalid();
  }
  return kMouseEventHandled;
}

CMouseEventResult CSliderFlat::onMouseUp(CPoint& where, const CButtonState& buttons) {
  if (!m_boxStyle) return CSlider::onMouseUp(where, buttons);
  setCursor(kCursorDefault);
  if (m_inGesture) {
    m_inGesture = false;
    endEdit();
  }
  return kMouseEventHandled;
}

CMouseEventResult CSliderFlat::onMouseCancel() {
  if (!m_boxStyle) return CSlider::onMouseCancel();
  setCursor(kCursorDefault);
  if (m_inGesture) {
    m_inGesture = false;
    endEdit();
  }
  return kMouseEventHandled;
}

void CSliderFlat::draw(CDrawContext* context) {
  if (!m_boxStyle) {
    CSlider::draw(context);
    return;
  }
  const CRect r = getViewSize();
  const CColor box = m_inverted ? m_colours->activeValueFont : m_colours->controlBackground;
  CColor text = getMouseEnabled() ? m_colours->activeValueFont : m_colours->inactiveValueFont;
  if (m_inverted) text = m_colours->controlBackground;

  context->saveGlobalState();
  context->setDrawMode(kAliasing);
  context->setLineWidth(1);
  context->setFrameColor(m_colours->highlightFrame);
  context->setFillColor(box);
  context->drawRect(r, kDrawFilledAndStroked);

  if (m_valueBar) {
    CColor bar = m_colours->activeValueFont;
    bar.alpha = 128;
    CRect fill(r);
    fill.inset(1, 1);
    fill.setWidth(fill.getWidth() * std::clamp(getValueNormalized(), 0.0f, 1.0f));
    context->setFillColor(bar);
    context->drawRect(fill, kDrawFilled);
  }

  context->setFont(m_font, std::max(1.0, r.getHeight() * 0.6), kBoldFace);
  context->setFontColor(text);
  CRect textRect(r);
  textRect.offset(0, 1);
  if (!m_valueText.empty()) context->drawString(m_valueText, textRect, kCenterText, true);
  CRect captions(textRect);
  captions.inset(3, 0);
  if (!m_leftCaption.empty()) context->drawString(m_leftCaption, captions, kLeftText, true);
  if (!m_rightCaption.empty()) context->drawString(m_rightCaption, captions, kRightText, true);
  context->restoreGlobalState();
  setDirty(false);
}

}  // namespace skarvel
