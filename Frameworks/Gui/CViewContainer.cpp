#include "Frameworks/Gui/CViewContainer.h"

#include <algorithm>
#include <cstring>

#include "Frameworks/Gui/CBitmap.h"
#include "Frameworks/Gui/CDrawContext.h"

namespace VSTGUI {

CViewContainer::CViewContainer(const CRect& size) : CView(size) {}

CViewContainer::CViewContainer(const CViewContainer& other)
    : CView(other),
      m_backgroundColor(other.m_backgroundColor),
      m_backgroundOffset(other.m_backgroundOffset) {
  for (CView* child : other.m_children) {
    if (CView* copy = child->newCopy()) addView(copy);
  }
}

CViewContainer::~CViewContainer() { CViewContainer::removeAll(true); }

bool CViewContainer::addView(CView* view) { return addView(view, nullptr); }

bool CViewContainer::addView(CView* view, CView* before) {
  if (!view || view->isAttached() || view == this) return false;
  auto position = std::find(m_children.begin(), m_children.end(), before);
  m_children.insert(before ? position : m_children.end(), view);
  view->attached(this);
  view->invalid();
  return true;
}

bool CViewContainer::addView(CView* view, const CRect& mouseableArea, bool mouseEnabled) {
  if (!addView(view)) return false;
  view->setMouseableArea(mouseableArea);
  view->setMouseEnabled(mouseEnabled);
  return true;
}

bool CViewContainer::removeView(CView* view, bool withForget) {
  auto it = std::find(m_children.begin(), m_children.end(), view);
  if (it == m_children.end()) return false;
  view->invalid();
  m_children.erase(it);
  if (m_mouseDownView == view) m_mouseDownView = nullptr;
  if (m_hoverView == view) m_hoverView = nullptr;
  view->removed(this);
  if (withForget) view->forget();
  return true;
}

bool CViewContainer::removeAll(bool withForget) {
  m_mouseDownView = nullptr;
  m_hoverView = nullptr;
  // Children go in reverse order of creation.
  while (!m_children.empty()) {
    CView* view = m_children.back();
    m_children.pop_back();
    view->removed(this);
    if (withForget) view->forget();
  }
  return true;
}

bool CViewContainer::changeViewZOrder(CView* view, uint32_t newIndex) {
  auto it = std::find(m_children.begin(), m_children.end(), view);
  if (it == m_children.end() || newIndex >= m_children.size()) return false;
  m_children.erase(it);
  m_children.insert(m_children.begin() + newIndex, view);
  view->invalid();
  return true;
}

bool CViewContainer::isChild(CView* view, bool deep) const {
  for (CView* child : m_children) {
    if (child == view) return true;
    if (deep) {
      if (auto* container = dynamic_cast<CViewContainer*>(child); container && container->isChild(view, true))
        return true;
    }
  }
  return false;
}

CView* CViewContainer::getView(uint32_t index) const {
  return index < m_children.size() ? m_children[index] : nullptr;
}

void CViewContainer::forEachChild(const std::function<void(CView*)>& callback) const {
  const auto children = m_children;  // the callback may add or remove views
  for (CView* child : children) callback(child);
}

CView* CViewContainer::getViewAt(const CPoint& where, const GetViewOptions& options) const {
  const CPoint local = toLocal(where);
  for (auto it = m_children.rbegin(); it != m_children.rend(); ++it) {
    CView* child = *it;
    if (!options.m_includeInvisible && !child->isVisible()) continue;
    if (options.m_mouseEnabled && !child->getMouseEnabled()) continue;
    const CRect& area = options.m_mouseEnabled ? child->getMouseableArea() : child->getViewSize();
    if (!area.pointInside(local)) continue;
    if (auto* container = dynamic_cast<CViewContainer*>(child)) {
      if (options.m_deep) {
        if (CView* inner = container->getViewAt(local, options)) return inner;
      }
      if (options.m_includeContainers || !options.m_deep) return child;
      continue;
    }
    return child;
  }
  return nullptr;
}

std::vector<CView*> CViewContainer::getViewsAt(const CPoint& where, const GetViewOptions& options) const {
  std::vector<CView*> views;
  const CViewContainer* container = this;
  CPoint point = where;
  while (container) {
    GetViewOptions shallow = options;
    shallow.m_deep = false;
    CView* view = container->getViewAt(point, shallow);
    if (!view) break;
    views.push_back(view);
    point = container->toLocal(point);
    container = options.m_deep ? dynamic_cast<CViewContainer*>(view) : nullptr;
  }
  return views;
}

void CViewContainer::setBackgroundColor(const CColor& color) {
  m_backgroundColor = color;
  setDirty();
}

void CViewContainer::drawBackgroundRect(CDrawContext* context, const CRect& rect) {
  if (CBitmap* background = getBackground()) {
    CRect full(0, 0, getWidth(), getHeight());
    background->draw(context, full, m_backgroundOffset);
  } else if (m_backgroundColor.alpha != 0) {
    context->setFillColor(m_backgroundColor);
    context->setDrawMode(kAliasing);
    context->drawRect(rect, kDrawFilled);
  }
}

void CViewContainer::draw(CDrawContext* context) { drawRect(context, getViewSize()); }

void CViewContainer::drawRect(CDrawContext* context, const CRect& updateRect) {
  CRect area = updateRect;
  area.bound(getViewSize());
  if (area.isEmpty()) return;

  context->saveGlobalState();
  CRect oldClip;
  context->getClipRect(oldClip);
  CRect clip = area;
  clip.bound(oldClip);
  context->setClipRect(clip);
  {
    CDrawContext::Transform transform(*context, CGraphicsTransform().translate(m_size.left, m_size.top));
    CRect localArea = clip;
    localArea.offset(-m_size.left, -m_size.top);
    drawBackgroundRect(context, localArea);
    const auto children = m_children;
    for (CView* child : children) {
      if (!child->isVisible()) {
        child->setDirty(false);
        continue;
      }
      CRect childArea = localArea;
      childArea.bound(child->getViewSize());
      if (childArea.isEmpty()) continue;
      context->saveGlobalState();
      context->setClipRect(childArea);
      context->setGlobalAlpha(context->getGlobalAlpha() * child->getAlphaValue());
      child->drawRect(context, childArea);
      context->restoreGlobalState();
      child->setDirty(false);
    }
  }
  context->restoreGlobalState();
  CView::setDirty(false);
}

bool CViewContainer::isDirty() const {
  if (CView::isDirty()) return true;
  for (CView* child : m_children)
    if (child->isVisible() && child->isDirty()) return true;
  return false;
}

void CViewContainer::invalidRect(const CRect& rect) {
  CRect r = rect;
  r.offset(m_size.left, m_size.top);
  r.bound(m_size);
  if (!r.isEmpty()) CView::invalidRect(r);
}

void CViewContainer::invalid() { invalidRect(CRect(0, 0, getWidth(), getHeight())); }

void CViewContainer::setViewSize(const CRect& rect, bool invalidate) { CView::setViewSize(rect, invalidate); }

CMouseEventResult CViewContainer::onMouseDown(CPoint& where, const CButtonState& buttons) {
  const CPoint local = toLocal(where);
  const auto children = m_children;
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    CView* child = *it;
    if (!child->isVisible() || !child->getMouseEnabled() || !child->getMouseableArea().pointInside(local)) continue;
    CPoint point = local;
    const CMouseEventResult result = child->onMouseDown(point, buttons);
    if (result == kMouseEventHandled) {
      m_mouseDownView = child;
      return result;
    }
    if (result == kMouseDownEventHandledButDontNeedMovedOrUpEvents || result == kMouseMoveEventHandledButDontNeedMoreEvents)
      return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  }
  return kMouseEventNotHandled;
}

CMouseEventResult CViewContainer::onMouseUp(CPoint& where, const CButtonState& buttons) {
  CView* view = m_mouseDownView;
  if (!view) return kMouseEventNotHandled;
  m_mouseDownView = nullptr;
  CPoint point = toLocal(where);
  view->remember();
  const CMouseEventResult result = view->onMouseUp(point, buttons);
  view->forget();
  updateHover(where, CButtonState(buttons.getModifierState()));
  return result;
}

CMouseEventResult CViewContainer::onMouseMoved(CPoint& where, const CButtonState& buttons) {
  if (CView* view = m_mouseDownView) {
    CPoint point = toLocal(where);
    const CMouseEventResult result = view->onMouseMoved(point, buttons);
    if (result != kMouseEventHandled && result != kMouseEventNotImplemented && m_mouseDownView == view)
      m_mouseDownView = nullptr;
    return result == kMouseEventNotImplemented ? kMouseEventHandled : result;
  }
  updateHover(where, buttons);
  if (CView* view = m_hoverView) {
    CPoint point = toLocal(where);
    return view->onMouseMoved(point, buttons);
  }
  return kMouseEventNotHandled;
}

CMouseEventResult CViewContainer::onMouseCancel() {
  CView* view = m_mouseDownView;
  m_mouseDownView = nullptr;
  return view ? view->onMouseCancel() : kMouseEventNotHandled;
}

CMouseEventResult CViewContainer::onMouseExited(CPoint& where, const CButtonState& buttons) {
  if (CView* view = m_hoverView) {
    m_hoverView = nullptr;
    CPoint point = toLocal(where);
    view->onMouseExited(point, buttons);
  }
  return kMouseEventHandled;
}

void CViewContainer::updateHover(const CPoint& where, const CButtonState& buttons) {
  CView* now = getViewAt(where, GetViewOptions().mouseEnabled());
  if (now == m_hoverView) return;
  CPoint point = toLocal(where);
  if (CView* old = m_hoverView) {
    m_hoverView = nullptr;
    CPoint p = point;
    old->onMouseExited(p, buttons);
  }
  m_hoverView = now;
  if (now) {
    CPoint p = point;
    now->onMouseEntered(p, buttons);
  }
}

bool CViewContainer::onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                             const CButtonState& buttons) {
  const CPoint local = toLocal(where);
  const auto children = m_children;
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    CView* child = *it;
    if (!child->isVisible() || !child->getMouseEnabled() || !child->getMouseableArea().pointInside(local)) continue;
    if (child->onWheel(local, axis, distance, buttons)) return true;
  }
  return false;
}

bool CViewContainer::attached(CView* parent) {
  if (!CView::attached(parent)) return false;
  for (CView* child : m_children)
    if (!child->isAttached()) child->attached(this);
  return true;
}

bool CViewContainer::removed(CView* parent) {
  m_mouseDownView = nullptr;
  m_hoverView = nullptr;
  // The children leave the window with their container (and come back with it).
  for (CView* child : m_children)
    if (child->isAttached()) child->removed(this);
  return CView::removed(parent);
}

bool CViewContainer::isTypeOf(const char* s) const {
  return std::strcmp(s, "CViewContainer") == 0 || CView::isTypeOf(s);
}

}  // namespace VSTGUI
