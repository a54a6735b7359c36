#include "source/editor/CStereoPeaksView.h"

#include <algorithm>

#include "Frameworks/Gui/CDrawContext.h"

using namespace VSTGUI;

namespace skarvel {

CStereoPeaksView::CStereoPeaksView(const CRect& size, const ColourGroupD* colours)
    : CControl(size, nullptr, -1), m_colours(colours) {
  m_meters.resetHolds(size.getHeight());
}

void CStereoPeaksView::setPeaks(float left, float right) {
  m_meters.setPeaks(left, right);
  m_newPeaks = true;
  setDirty();
}

void CStereoPeaksView::setViewSize(const CRect& rect, bool invalidate) {
  CControl::setViewSize(rect, invalidate);
  m_meters.resetHolds(rect.getHeight());  // the marks are pixel positions of the old size
}

CRect CStereoPeaksView::boxRect(int channel) const {
  const CRect& r = getViewSize();
  const double width = std::max(0.0, r.getWidth() / 2 - 3);
  if (channel == 0) return CRect(r.left, r.top, r.left + width, r.bottom);
  return CRect(r.right - width, r.top, r.right, r.bottom);
}

CMouseEventResult CStereoPeaksView::onMouseDown(CPoint& where, const CButtonState& buttons) {
  if (!buttons.isOnlyLeftButton() || !getViewSize().pointInside(where)) return kMouseEventNotHandled;
  m_meters.resetHolds(getHeight());
  invalid();
  return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

void CStereoPeaksView::draw(CDrawContext* context) {
  const CRect r = getViewSize();
  const double h = r.getHeight();
  const auto t = now();
  if (m_newPeaks || t - m_lastFall >= kFallInterval) {
    m_meters.advance(0.0, h);
    m_lastFall = t;
    m_newPeaks = false;
  }

  context->saveGlobalState();
  context->setDrawMode(kAliasing);
  context->setLineWidth(1);
  const double unit = h / 86.0;  // one base unit at this size
  for (int c = 0; c < 2; ++c) {
    const CRect box = boxRect(c);
    if (m_drawBoxes) {
      context->setFillColor(m_colours->graphBackground);
      context->setFrameColor(m_colours->highlightFrame);
      context->drawRect(box, kDrawFilledAndStroked);
    }
    const double top = r.top + m_meters.barTop(c, 0.0, h);
    if (m_meters.shownLevel(c) > 0.0f) {
      context->setFillColor(m_colours->graphSignal);
      context->drawRect(CRect(box.left + 1, top, box.right - 1, box.bottom - 1), kDrawFilled);
    }
    const double hold = r.top + m_meters.hold(c);
    const double mark = std::max(1.0, 3.0 * unit);
    context->setFillColor(m_meters.hold(c) < clipZone() ? m_colours->graphClip : m_colours->graphPeak);
    context->drawRect(CRect(box.left + 1, std::max(box.top + 1, hold - mark), box.right - 1, hold), kDrawFilled);
  }
  context->restoreGlobalState();
  // Keep falling after the last hand-over, once per interval, until both bars are down.
  const bool falling = m_meters.shownLevel(0) > m_meters.peak(0) || m_meters.shownLevel(1) > m_meters.peak(1);
  setDirty(falling);
}

}  // namespace skarvel
