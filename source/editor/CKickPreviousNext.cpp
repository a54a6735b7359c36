#include "source/editor/CKickPreviousNext.h"

#include <algorithm>

#include "Frameworks/Gui/CDrawContext.h"

using namespace VSTGUI;

namespace skarvel {

namespace {
void defaultAreas(const CRect& r, CRect& previous, CRect& next) {
  const double third = r.getWidth() / 3.0;
  previous = CRect(r.left, r.top, r.left + third, r.bottom);
  next = CRect(r.right - third, r.top, r.right, r.bottom);
}
}  // namespace

CKickPreviousNext::CKickPreviousNext(const CRect& size, IControlListener* listener, int32_t tag,
                                     const ColourGroupB* colours, float step)
    : CControl(size, listener, tag), m_colours(colours), m_step(step) {
  defaultAreas(size, m_previous, m_next);
}

void CKickPreviousNext::setAreas(const CRect& previous, const CRect& next) {
  m_previous = previous;
  m_next = next;
  setDirty();
}

void CKickPreviousNext::setViewSize(const CRect& rect, bool invalidate) {
  // Keep the areas where they were relative to the view.
  const CRect old = getViewSize();
  const double sx = old.getWidth() > 0 ? rect.getWidth() / old.getWidth() : 1.0;
  const double sy = old.getHeight() > 0 ? rect.getHeight() / old.getHeight() : 1.0;
  auto map = [&](const CRect& a) {
    return CRect(rect.left + (a.left - old.left) * sx, rect.top + (a.top - old.top) * sy,
                 rect.left + (a.right - old.left) * sx, rect.top + (a.bottom - old.top) * sy);
  };
  m_previous = map(m_previous);
  m_next = map(m_next);
  CControl::setViewSize(rect, invalidate);
}

CKickPreviousNext::Area CKickPreviousNext::areaAt(const CPoint& where) const {
  if (m_previous.pointInside(where)) return kPreviousArea;
  if (m_next.pointInside(where)) return kNextArea;
  return kNoArea;
}

CMouseEventResult CKickPreviousNext::onMouseDown(CPoint& where, const CButtonState& buttons) {
  if (!buttons.isLeftButton()) return kMouseEventNotHandled;
  beginEdit();
  const float old = getValue();
  const Area area = areaAt(where);
  if (area == kPreviousArea) setValue(old - m_step);
  if (area == kNextArea) setValue(old + m_step);
  bounceValue();
  setOldValue(old);
  valueChanged();
  invalid();
  endEdit();
  setOldValue(getValue());
  return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

CMouseEventResult CKickPreviousNext::onMouseMoved(CPoint& where, const CButtonState&) {
  const Area area = areaAt(where);
  if (area != m_hover) {
    m_hover = area;
    invalid();
  }
  return kMouseEventHandled;
}

CMouseEventResult CKickPreviousNext::onMouseExited(CPoint&, const CButtonState&) {
  if (m_hover != kNoArea) {
    m_hover = kNoArea;
    invalid();
  }
  return kMouseEventHandled;
}

void CKickPreviousNext::drawArrow(CDrawContext* context, const CRect& area, bool pointsLeft, bool lit) {
  const double h = std::min(area.getHeight() * 0.7, area.getWidth() * 0.5);
  if (h <= 1.0) return;
  const CPoint c = area.getCenter();
  const double w = h * 0.6;
  PointList triangle;
  if (pointsLeft) {
    triangle = {CPoint(c.x - w / 2, c.y), CPoint(c.x + w / 2, c.y - h / 2), CPoint(c.x + w / 2, c.y + h / 2)};
  } else {
    triangle = {CPoint(c.x + w / 2, c.y), CPoint(c.x - w / 2, c.y - h / 2), CPoint(c.x - w / 2, c.y + h / 2)};
  }
  context->setFillColor(lit ? m_colours->activeValueFont : m_colours->inactiveValueFont);
  context->drawPolygon(triangle, kDrawFilled);
}

void CKickPreviousNext::draw(CDrawContext* context) {
  context->saveGlobalState();
  context->setDrawMode(kAntiAliasing);
  if (m_hover != kNoArea) {
    CColor wash = m_colours->controlBackground;
    wash.alpha = 160;
    context->setFillColor(wash);
    context->drawRect(getArea(m_hover), kDrawFilled);
  }
  drawArrow(context, m_previous, true, m_hover == kPreviousArea);
  drawArrow(context, m_next, false, m_hover == kNextArea);
  context->restoreGlobalState();
  setDirty(false);
}

}  // namespace skarvel
