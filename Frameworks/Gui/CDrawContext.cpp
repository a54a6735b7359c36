#include "Frameworks/Gui/CDrawContext.h"

#include "Frameworks/Gui/CGraphicsPath.h"
#include "Frameworks/Gui/Platform.h"

namespace VSTGUI {

CDrawContext::CDrawContext(const CRect& surfaceRect, double scaleFactor)
    : m_surfaceRect(surfaceRect), m_scaleFactor(scaleFactor) {
  m_state.clipRect = surfaceRect;
}

CDrawContext::~CDrawContext() = default;

void CDrawContext::drawLines(const LineList& lines) {
  for (const auto& line : lines) drawLine(line.first, line.second);
}

CGraphicsPath* CDrawContext::createGraphicsPath() { return new CGraphicsPath(); }

void CDrawContext::setFont(const CFontRef font, const CCoord& size, const int32_t& style) {
  if (!font) return;
  if (size == 0 && style == -1) {
    m_state.font = font;
    return;
  }
  // A size or style of its own: draw with a copy, leaving the caller's font untouched.
  auto copy = makeOwned<CFontDesc>(*font);
  if (size != 0) copy->setSize(size);
  if (style != -1) copy->setStyle(style);
  m_state.font = copy;
}

void CDrawContext::setClipRect(const CRect& clip) {
  CRect deviceClip = clip;
  m_state.transform.transform(deviceClip);
  deviceClip.bound(m_surfaceRect);
  m_state.clipRect = deviceClip;
}

CRect& CDrawContext::getClipRect(CRect& clip) const {
  clip = m_state.clipRect;
  m_state.transform.inverse().transform(clip);
  return clip;
}

void CDrawContext::resetClipRect() { m_state.clipRect = m_surfaceRect; }

void CDrawContext::saveGlobalState() { m_stack.push_back(m_state); }

void CDrawContext::restoreGlobalState() {
  if (m_stack.empty()) return;
  m_state = m_stack.back();
  m_stack.pop_back();
}

void CDrawContext::pushTransform(const CGraphicsTransform& transformation) {
  m_transformStack.push_back(m_state.transform);
  m_state.transform = m_state.transform * transformation;
}

void CDrawContext::popTransform() {
  if (m_transformStack.empty()) return;
  m_state.transform = m_transformStack.back();
  m_transformStack.pop_back();
}

CDrawContext::Transform::Transform(CDrawContext& context, const CGraphicsTransform& transformation)
    : m_context(context), m_pushed(!transformation.isIdentity()) {
  if (m_pushed) m_context.pushTransform(transformation);
}

CDrawContext::Transform::~Transform() {
  if (m_pushed) m_context.popTransform();
}

SharedPointer<COffscreenContext> COffscreenContext::create(const CPoint& size, double scaleFactor) {
  if (size.x < 1 || size.y < 1) return nullptr;
  return getPlatformFactory().createOffscreenContext(size, scaleFactor);
}

SharedPointer<COffscreenContext> COffscreenContext::create(CFrame*, CCoord width, CCoord height,
                                                           double scaleFactor) {
  return create(CPoint(width, height), scaleFactor);
}

}  // namespace VSTGUI
