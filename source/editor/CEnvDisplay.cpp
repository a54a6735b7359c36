#include "source/editor/CEnvDisplay.h"

#include "Frameworks/Gui/CDrawContext.h"
#include "Frameworks/Gui/CGraphicsPath.h"

using namespace VSTGUI;

namespace skarvel {

CEnvDisplay::CEnvDisplay(const CRect& size, const ColourGroupD* colours) : CView(size), m_colours(colours) {
  setMouseEnabled(false);
}

void CEnvDisplay::setAttack(float seconds) {
  m_trace.setAttack(seconds);
  setDirty();
}

void CEnvDisplay::setDecay(float seconds) {
  m_trace.setDecay(seconds);
  setDirty();
}

void CEnvDisplay::setSustain(float level) {
  m_trace.setSustain(level);
  setDirty();
}

void CEnvDisplay::setRelease(float seconds) {
  m_trace.setRelease(seconds);
  setDirty();
}

void CEnvDisplay::draw(CDrawContext* context) {
  const CRect r = getViewSize();
  context->saveGlobalState();
  context->setDrawMode(kAliasing);
  context->setLineWidth(1);
  context->setFillColor(m_colours->graphBackground);
  context->setFrameColor(m_colours->highlightFrame);
  context->drawRect(r, kDrawFilledAndStroked);

  m_trace.trace(r.left, r.top, r.getWidth(), r.getHeight(), m_points);
  if (m_points.size() > 1) {
    SharedPointer<CGraphicsPath> path = owned(context->createGraphicsPath());
    path->beginSubpath(CPoint(m_points[0].x, m_points[0].y));
    for (std::size_t i = 1; i < m_points.size(); ++i) path->addLine(CPoint(m_points[i].x, m_points[i].y));
    context->setDrawMode(kAntiAliasing);
    context->setFrameColor(m_colours->graphSignal);
    context->drawGraphicsPath(path, CDrawContext::kPathStroked);
  }
  context->restoreGlobalState();
  setDirty(false);
}

}  // namespace skarvel
