#include "Frameworks/Gui/CSlider.h"

#include <cmath>
#include <cstring>

#include "Frameworks/Gui/CBitmap.h"
#include "Frameworks/Gui/CDrawContext.h"

namespace VSTGUI {

CSlider::CSlider(const CRect& size, IControlListener* listener, int32_t tag, int32_t iMinPos, int32_t iMaxPos,
                 CBitmap* handle, CBitmap* background, const CPoint& offset, const int32_t style)
    : CControl(size, listener, tag, background), m_offset(offset), m_style(style) {
  setHandle(handle);
  const CCoord origin = isVertical() ? size.top : size.left;
  // Positions given in the parent's coordinates, as the view's size is.
  m_minPos = iMinPos - origin;
  m_rangeHandle = iMaxPos - iMinPos;
  if (m_rangeHandle <= 0) m_rangeHandle = isVertical() ? size.getHeight() : size.getWidth();
  if (m_minPos < 0 || m_minPos > (isVertical() ? size.getHeight() : size.getWidth())) m_minPos = 0;
  m_offsetHandle = isVertical() ? CPoint(0, m_minPos) : CPoint(m_minPos, 0);
  setWheelInc(0.05f);
}

CSlider::CSlider(const CRect& size, IControlListener* listener, int32_t tag, const CPoint& offsetHandle,
                 int32_t rangeHandle, CBitmap* handle, CBitmap* background, const CPoint& offset,
                 const int32_t style)
    : CControl(size, listener, tag, background), m_offset(offset), m_offsetHandle(offsetHandle), m_style(style) {
  setHandle(handle);
  m_minPos = isVertical() ? offsetHandle.y : offsetHandle.x;
  m_rangeHandle = rangeHandle > 0 ? rangeHandle : (isVertical() ? size.getHeight() : size.getWidth());
  setWheelInc(0.05f);
}

CSlider::CSlider(const CSlider& other)
    : CControl(other),
      m_handle(other.m_handle),
      m_offset(other.m_offset),
      m_offsetHandle(other.m_offsetHandle),
      m_style(other.m_style),
      m_mode(other.m_mode),
      m_zoomFactor(other.m_zoomFactor),
      m_minPos(other.m_minPos),
      m_rangeHandle(other.m_rangeHandle),
      m_widthOfSlider(other.m_widthOfSlider),
      m_heightOfSlider(other.m_heightOfSlider),
      m_drawStyle(other.m_drawStyle),
      m_frameWidth(other.m_frameWidth),
      m_frameColor(other.m_frameColor),
      m_backColor(other.m_backColor),
      m_valueColor(other.m_valueColor) {}

CSlider::~CSlider() = default;

void CSlider::setStyle(int32_t style) {
  m_style = style;
  setDirty();
}

void CSlider::setOffsetHandle(const CPoint& val) {
  m_offsetHandle = val;
  m_minPos = isVertical() ? val.y : val.x;
  setDirty();
}

void CSlider::setHandle(CBitmap* handle) {
  m_handle = handle;
  m_widthOfSlider = handle ? handle->getWidth() : 1;
  m_heightOfSlider = handle ? handle->getHeight() : 1;
  setDirty();
}

bool CSlider::isInverseStyle() const {
  if (isVertical()) return !((m_style & kBottom) && !(m_style & kTop));
  return (m_style & kRight) != 0;
}

CRect CSlider::getHandleRect() const {
  const float normalized = getValueNormalized();
  const float along = isInverseStyle() ? 1.f - normalized : normalized;
  const CCoord position = m_minPos + along * m_rangeHandle;
  CRect r;
  if (isVertical()) {
    r = CRect(m_offsetHandle.x, position - m_heightOfSlider / 2, m_offsetHandle.x + m_widthOfSlider,
              position + m_heightOfSlider / 2);
    if (!m_handle) r.right = getWidth();
  } else {
    r = CRect(position - m_widthOfSlider / 2, m_offsetHandle.y, position + m_widthOfSlider / 2,
              m_offsetHandle.y + m_heightOfSlider);
    if (!m_handle) r.bottom = getHeight();
  }
  r.offset(m_size.left, m_size.top);
  return r;
}

float CSlider::positionToNormalized(const CPoint& where) const {
  const CCoord along = isVertical() ? where.y - m_size.top : where.x - m_size.left;
  float normalized = static_cast<float>((along - m_minPos) / m_rangeHandle);
  if (isInverseStyle()) normalized = 1.f - normalized;
  return normalized;
}

void CSlider::draw(CDrawContext* context) {
  if (CBitmap* background = getBackground()) background->draw(context, getViewSize(), m_offset);
  const CRect& r = getViewSize();
  context->setDrawMode(kAliasing);
  if (m_drawStyle & kDrawBack) {
    context->setFillColor(m_backColor);
    context->drawRect(r, kDrawFilled);
  }
  if (m_drawStyle & kDrawValue) {
    float normalized = getValueNormalized();
    if (m_drawStyle & kDrawInverted) normalized = 1.f - normalized;
    CRect bar = r;
    float from = (m_drawStyle & kDrawValueFromCenter) ? 0.5f : 0.f;
    float to = normalized;
    if (from > to) std::swap(from, to);
    if (isVertical()) {
      const CCoord h = r.getHeight();
      if (isInverseStyle()) {
        bar.top = r.bottom - to * h;
        bar.bottom = r.bottom - from * h;
      } else {
        bar.top = r.top + from * h;
        bar.bottom = r.top + to * h;
      }
    } else {
      const CCoord w = r.getWidth();
      if (isInverseStyle()) {
        bar.left = r.right - to * w;
        bar.right = r.right - from * w;
      } else {
        bar.left = r.left + from * w;
        bar.right = r.left + to * w;
      }
    }
    context->setFillColor(m_valueColor);
    context->drawRect(bar, kDrawFilled);
  }
  if (m_drawStyle & kDrawFrame) {
    context->setLineWidth(m_frameWidth);
    context->setFrameColor(m_frameColor);
    context->drawRect(r, kDrawStroked);
  }
  if (m_handle) {
    const CRect handleRect = getHandleRect();
    m_handle->draw(context, handleRect);
  }
  setDirty(false);
}

CMouseEventResult CSlider::onMouseDown(CPoint& where, const CButtonState& buttons) {
  if (!(buttons & kLButton)) return kMouseEventNotHandled;
  if (checkDefaultValue(buttons)) return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  beginEdit();
  if (m_mode == kTouchMode && !getHandleRect().pointInside(where)) {
    // A click beside the handle moves the value there at once.
    const float before = getValue();
    setValueNormalized(positionToNormalized(where));
    if (getValue() != before) valueChanged();
  }
  m_startValue = getValueNormalized();
  m_lastPoint = where;
  m_delta = 0;
  m_lastButtons = buttons;
  m_dragging = true;
  return kMouseEventHandled;
}

CMouseEventResult CSlider::onMouseMoved(CPoint& where, const CButtonState& buttons) {
  if (!m_dragging) return kMouseEventNotHandled;
  if (!(buttons & kLButton)) return kMouseEventHandled;
  if ((buttons & kShift) != (m_lastButtons & kShift)) {
    // Shift pressed or released during the drag: continue from here without a jump.
    m_startValue = getValueNormalized();
    m_delta = 0;
  }
  m_lastButtons = buttons;
  CCoord step = isVertical() ? where.y - m_lastPoint.y : where.x - m_lastPoint.x;
  if (isInverseStyle()) step = -step;
  m_delta += step;
  m_lastPoint = where;
  const double factor = (buttons & kShift) && m_zoomFactor > 0 ? 1.0 / m_zoomFactor : 1.0;
  const float before = getValue();
  setValueNormalized(static_cast<float>(m_startValue + m_delta * factor / m_rangeHandle));
  if (getValue() != before) valueChanged();
  return kMouseEventHandled;
}

CMouseEventResult CSlider::onMouseUp(CPoint&, const CButtonState&) {
  if (!m_dragging) return kMouseEventNotHandled;
  m_dragging = false;
  endEdit();
  return kMouseEventHandled;
}

CMouseEventResult CSlider::onMouseCancel() {
  if (!m_dragging) return kMouseEventNotHandled;
  m_dragging = false;
  endEdit();
  return kMouseEventHandled;
}

bool CSlider::onWheel(const CPoint&, const CMouseWheelAxis&, const float& distance, const CButtonState& buttons) {
  if (distance == 0) return false;
  const double factor = (buttons & kShift) && m_zoomFactor > 0 ? 1.0 / m_zoomFactor : 1.0;
  const float before = getValue();
  beginEdit();
  setValueNormalized(static_cast<float>(getValueNormalized() + distance * getWheelInc() * factor));
  if (getValue() != before) valueChanged();
  endEdit();
  return true;
}

int32_t CSlider::onKeyDown(VstKeyCode& keyCode) {
  float step = 0;
  switch (keyCode.virt) {
    case VKEY_UP:
    case VKEY_RIGHT: step = getWheelInc(); break;
    case VKEY_DOWN:
    case VKEY_LEFT: step = -getWheelInc(); break;
    default: return -1;
  }
  if (keyCode.modifier & MODIFIER_SHIFT) step /= m_zoomFactor > 0 ? m_zoomFactor : 1.f;
  const float before = getValue();
  beginEdit();
  setValueNormalized(getValueNormalized() + step);
  if (getValue() != before) valueChanged();
  endEdit();
  return 1;
}

void CSlider::setViewSize(const CRect& rect, bool invalidate) {
  // Keep the handle's travel proportional when the editor is scaled.
  const CCoord oldLength = isVertical() ? getHeight() : getWidth();
  const CCoord newLength = isVertical() ? rect.getHeight() : rect.getWidth();
  if (oldLength > 0 && newLength > 0 && oldLength != newLength) {
    const double ratio = newLength / oldLength;
    m_minPos *= ratio;
    m_rangeHandle *= ratio;
    if (isVertical())
      m_offsetHandle.y = m_minPos;
    else
      m_offsetHandle.x = m_minPos;
  }
  CControl::setViewSize(rect, invalidate);
}

bool CSlider::isTypeOf(const char* s) const { return std::strcmp(s, "CSlider") == 0 || CControl::isTypeOf(s); }

}  // namespace VSTGUI
