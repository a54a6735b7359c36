#include "source/editor/CStereoWavsView.h"

#include <algorithm>
#include <cmath>

#include "Frameworks/Gui/CDrawContext.h"
#include "Frameworks/Gui/CGraphicsPath.h"

using namespace VSTGUI;

namespace skarvel {

CStereoWavsView::CStereoWavsView(const CRect& size, const ColourGroupD* colours, int32_t tag)
    : CControl(size, nullptr, tag), m_colours(colours) {}

void CStereoWavsView::handOver(const float* ring, std::uint32_t writeIndex) {
  m_trace.handOver(ring, writeIndex);
  setDirty();
}

void CStereoWavsView::setZoom(float zoom) {
  const float z = std::isnan(zoom) ? 0.0f : std::clamp(zoom, 0.0f, 1.0f);
  if (z == m_zoom) return;
  m_zoom = z;
  setDirty();
}

CRect CStereoWavsView::zoomBarRect() const {
  const CRect& r = getViewSize();
  const double w = r.getWidth(), h = r.getHeight();
  return CRect(r.left + 0.32 * w, r.bottom - 0.07 * h, r.left + 0.64 * w, r.bottom - 0.02 * h);
}

void CStereoWavsView::zoomTo(double x) {
  const CRect bar = zoomBarRect();
  if (bar.getWidth() <= 0) return;
  setZoom(static_cast<float>((x - bar.left) / bar.getWidth()));
}

CMouseEventResult CStereoWavsView::onMouseDown(CPoint& where, const CButtonState& buttons) {
  if (!buttons.isOnlyLeftButton() || !zoomBarRect().pointInside(where)) return kMouseEventNotHandled;
  m_hover = true;
  m_dragging = true;
  zoomTo(where.x);
  invalid();
  return kMouseEventHandled;
}

CMouseEventResult CStereoWavsView::onMouseMoved(CPoint& where, const CButtonState& buttons) {
  if (m_dragging && buttons.isLeftButton()) {
    zoomTo(where.x);
    invalid();
    return kMouseEventHandled;
  }
  if (buttons.getButtonState() == 0) {
    const bool over = zoomBarRect().pointInside(where);
    if (over != m_hover) {
      m_hover = over;
      invalid();
    }
  }
  return kMouseEventHandled;
}

CMouseEventResult CStereoWavsView::onMouseUp(CPoint& where, const CButtonState&) {
  m_dragging = false;
  m_hover = zoomBarRect().pointInside(where);
  invalid();
  return kMouseEventHandled;
}

CMouseEventResult CStereoWavsView::onMouseExited(CPoint&, const CButtonState&) {
  if (m_hover) {
    m_hover = false;
    invalid();
  }
  return kMouseEventHandled;
}

void CStereoWavsView::draw(CDrawContext* context) {
  const CRect r = getViewSize();
  const double t = r.top, h = r.getHeight();
  const int W = static_cast<int>(r.getWidth());

  context->saveGlobalState();
  context->setDrawMode(kAntiAliasing);
  context->setLineWidth(1);
  context->setFillColor(m_colours->graphBackground);
  context->setFrameColor(m_colours->highlightFrame);
  context->drawRect(r, kDrawFilledAndStroked);
  CColor centre = m_colours->highlightFrame;
  centre.alpha = 96;
  context->setFrameColor(centre);
  context->drawLine(CPoint(r.left + 1, t + h / 2), CPoint(r.right - 1, t + h / 2));

  context->setFrameColor(m_colours->graphClip);
  context->drawLine(CPoint(r.left + 1, t + 0.98 * h), CPoint(r.right - 1, t + 0.98 * h));
  context->drawLine(CPoint(r.left + 1, t + 0.02 * h), CPoint(r.right - 1, t + 0.02 * h));

  if (W > 0) {
    SharedPointer<CGraphicsPath> path = owned(context->createGraphicsPath());
    for (int i = 0; i < W; ++i) {
      const float s = m_trace.sample(ScopeTrace::indexForColumn(i, W, m_zoom));
      const CPoint p(r.left + i + 0.5, ScopeTrace::yForSample(s, t, h));
      if (i == 0) {
        path->beginSubpath(p);
        path->addLine(CPoint(p.x + 0.01, p.y));  // a lone first column still shows as a point
      } else {
        path->addLine(p);
      }
    }
    context->setFrameColor(m_colours->graphSignal);
    context->drawGraphicsPath(path, CDrawContext::kPathStroked);
  }

  const CRect bar = zoomBarRect();
  context->setDrawMode(kAliasing);
  context->setFillColor(m_colours->sliderTrackBack);
  context->drawRect(bar, kDrawFilled);
  CColor lit = m_colours->controlActive;
  lit.alpha = m_hover ? 255 : 111;
  context->setFillColor(lit);
  context->drawRect(CRect(bar.left, bar.top, bar.left + m_zoom * bar.getWidth() + 1, bar.bottom), kDrawFilled);
  context->restoreGlobalState();
  setDirty(false);
}

}  // namespace skarvel
