#include "Frameworks/Gui/CView.h"

#include <cstring>

#include "Frameworks/Gui/CBitmap.h"
#include "Frameworks/Gui/CDrawContext.h"
#include "Frameworks/Gui/CFrame.h"

namespace VSTGUI {

CView::CView(const CRect& size) : m_size(size), m_mouseableArea(size) {}

CView::CView(const CView& other)
    : CBaseObject(other),
      m_size(other.m_size),
      m_mouseableArea(other.m_mouseableArea),
      m_background(other.m_background),
      m_visible(other.m_visible),
      m_mouseEnabled(other.m_mouseEnabled),
      m_transparent(other.m_transparent),
      m_wantsFocus(other.m_wantsFocus),
      m_alpha(other.m_alpha) {}

CView::~CView() = default;

void CView::draw(CDrawContext* context) {
  if (m_background) m_background->draw(context, m_size);
  setDirty(false);
}

void CView::drawRect(CDrawContext* context, const CRect&) { draw(context); }

void CView::setDirty(bool state) { m_dirty.store(state, std::memory_order_relaxed); }

void CView::invalidRect(const CRect& rect) {
  if (m_parent) m_parent->invalidRect(rect);
}

CMouseEventResult CView::onMouseDown(CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseUp(CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseMoved(CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseCancel() { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseEntered(CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseExited(CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }

bool CView::onWheel(const CPoint&, const CMouseWheelAxis&, const float&, const CButtonState&) { return false; }

int32_t CView::onKeyDown(VstKeyCode&) { return -1; }
int32_t CView::onKeyUp(VstKeyCode&) { return -1; }

void CView::setViewSize(const CRect& rect, bool invalidate) {
  if (rect == m_size) return;
  if (invalidate) invalid();  // the old place
  m_size = rect;
  if (invalidate) invalid();
  setDirty();
}

CPoint& CView::localToFrame(CPoint& point) const {
  for (const CView* container = m_parent; container; container = container->m_parent)
    point.offset(container->m_size.left, container->m_size.top);
  return point;
}

CPoint& CView::frameToLocal(CPoint& point) const {
  for (const CView* container = m_parent; container; container = container->m_parent)
    point.offset(-container->m_size.left, -container->m_size.top);
  return point;
}

CRect CView::getVisibleViewSizeInFrame() const {
  CPoint topLeft = m_size.getTopLeft();
  localToFrame(topLeft);
  return CRect(topLeft, m_size.getSize());
}

void CView::setVisible(bool state) {
  if (state == m_visible) return;
  if (!state) invalid();  // uncover what lies beneath
  m_visible = state;
  if (state) invalid();
  setDirty();
}

void CView::setAlphaValue(float alpha) {
  if (alpha == m_alpha) return;
  m_alpha = alpha;
  invalid();
}

bool CView::attached(CView* parent) {
  if (m_parent) return false;
  m_parent = parent;
  setDirty();
  return true;
}

bool CView::removed(CView*) {
  if (!m_parent) return false;
  if (CFrame* frame = getFrame()) frame->onViewRemoved(this);
  m_parent = nullptr;
  return true;
}

CFrame* CView::getFrame() const {
  const CView* view = this;
  while (view->m_parent) view = view->m_parent;
  return dynamic_cast<CFrame*>(const_cast<CView*>(view));
}

bool CView::isTypeOf(const char* s) const { return std::strcmp(s, "CView") == 0; }

void CView::setBackground(CBitmap* background) {
  m_background = background;
  setDirty();
}

}  // namespace VSTGUI
