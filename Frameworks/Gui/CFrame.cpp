#include "Frameworks/Gui/CFrame.h"

#include <cmath>
#include <cstring>

#include "Frameworks/Gui/COptionMenu.h"
#include "Frameworks/Gui/CVSTGUITimer.h"

namespace VSTGUI {

namespace {
CRect originRect(const CRect& size) { return CRect(0, 0, size.getWidth(), size.getHeight()); }
}  // namespace

CFrame::CFrame(const CRect& size, VSTGUIEditorInterface* editor)
    : CViewContainer(originRect(size)), m_editor(editor) {}

CFrame::~CFrame() { teardown(); }

bool CFrame::open(void* parent, PlatformType parentType) {
  if (m_platformFrame) return false;
  ensureBackBuffer();
  m_platformFrame = getPlatformFactory().createFrame(*this, getViewSize(), parent, parentType);
  if (!m_platformFrame) return false;
  invalid();
  return true;
}

void CFrame::close() {
  teardown();
  forget();
}

void CFrame::teardown() {
  if (m_closing) return;
  m_closing = true;
  if (m_popup) {
    m_popup->close(-1);
    m_popup = nullptr;
  }
  // A drag still under way ends here, so the host hears the end of the gesture it was told
  // had begun (a host that closes the editor while the button is held sends no mouse-up).
  onMouseCancel();
  setFocusView(nullptr);
  setModalView(nullptr);
  removeAll(true);
  m_deferredRelease.clear();
  // Closed from inside the frame's own event handling (a host that closes the editor while a
  // click asks it to resize, say): the window object is still running its event loop, so it
  // goes when idle() returns.
  if (m_insideIdle)
    m_retiredPlatformFrame = std::move(m_platformFrame);
  else
    m_platformFrame.reset();
  m_backBuffer = nullptr;
  m_closing = false;
}

void CFrame::idle() {
  if (m_insideIdle) return;
  m_insideIdle = true;
  remember();  // a callback may close the frame while idle runs
  if (m_platformFrame) m_platformFrame->processEvents();
  CVSTGUITimer::fireDueTimers();
  if (m_popup) {
    if (m_popup->isClosed())
      m_popup = nullptr;
    else
      m_popup->idle();
  }
  // Separate areas (the oscilloscope, the meters, a knob) are drawn and copied one by one: their
  // union may cover half the window.
  for (const CRect& area : redrawDirtyAreaList())
    if (m_platformFrame) m_platformFrame->present(area);
  m_deferredRelease.clear();
  m_insideIdle = false;
  m_retiredPlatformFrame.reset();
  forget();
}

void CFrame::collectDirtyViews(CView* view, const CPoint& offset) {
  auto* container = dynamic_cast<CViewContainer*>(view);
  if (view != this) {
    // A dirty container is redrawn whole, children included.
    const bool dirty = container ? view->CView::isDirty() : view->isDirty();
    if (dirty) {
      CRect r = view->getViewSize();
      r.offset(offset.x, offset.y);
      invalidRect(r);
      return;
    }
    if (!container) return;
  }
  const CPoint inner =
      view == this ? offset : CPoint(offset.x + view->getViewSize().left, offset.y + view->getViewSize().top);
  for (CView* child : container->getChildren()) {
    if (child->isVisible()) collectDirtyViews(child, inner);
  }
}

CRect CFrame::redrawDirtyAreas() {
  CRect all;
  for (const CRect& area : redrawDirtyAreaList()) all.unite(area);
  return all;
}

std::vector<CRect> CFrame::redrawDirtyAreaList() {
  collectDirtyViews(this, CPoint(0, 0));
  std::vector<CRect> areas;
  {
    std::lock_guard<std::mutex> lock(m_invalidMutex);
    areas.swap(m_invalidAreas);
  }
  for (CRect& area : areas) area.bound(getViewSize());
  std::erase_if(areas, [](const CRect& area) { return area.isEmpty(); });
  if (areas.empty()) return areas;
  ensureBackBuffer();
  if (!m_backBuffer) return {};
  m_backBuffer->beginDraw();
  for (const CRect& area : areas) {
    m_backBuffer->saveGlobalState();
    m_backBuffer->setClipRect(area);
    m_backBuffer->clearRect(area);
    drawRect(m_backBuffer, area);
    m_backBuffer->restoreGlobalState();
  }
  m_backBuffer->endDraw();
  return areas;
}

void CFrame::ensureBackBuffer() {
  const CPoint size = getViewSize().getSize();
  if (m_backBuffer && m_backBuffer->getWidth() == size.x && m_backBuffer->getHeight() == size.y) return;
  m_backBuffer = COffscreenContext::create(size);
  invalid();
}

CRect CFrame::getInvalidArea() const {
  std::lock_guard<std::mutex> lock(m_invalidMutex);
  CRect all;
  for (const CRect& area : m_invalidAreas) all.unite(area);
  return all;
}

std::vector<CRect> CFrame::getInvalidAreas() const {
  std::lock_guard<std::mutex> lock(m_invalidMutex);
  return m_invalidAreas;
}

void CFrame::invalidRect(const CRect& rect) {
  // Whole pixels: an area's edge pixel is drawn and copied whole, never blended half.
  CRect r(std::floor(rect.left), std::floor(rect.top), std::ceil(rect.right), std::ceil(rect.bottom));
  r.bound(getViewSize());
  if (r.isEmpty()) return;
  std::lock_guard<std::mutex> lock(m_invalidMutex);
  // An area that overlaps or touches recorded ones absorbs them, so no pixel is drawn twice;
  // the absorbing may reach further areas, hence the loop.
  bool merged = true;
  while (merged) {
    merged = false;
    for (auto it = m_invalidAreas.begin(); it != m_invalidAreas.end(); ++it) {
      if (it->left <= r.right && r.left <= it->right && it->top <= r.bottom && r.top <= it->bottom) {
        r.unite(*it);
        m_invalidAreas.erase(it);
        merged = true;
        break;
      }
    }
  }
  m_invalidAreas.push_back(r);
  if (m_invalidAreas.size() > kMaxSeparateAreas) {
    CRect all;
    for (const CRect& area : m_invalidAreas) all.unite(area);
    m_invalidAreas.assign(1, all);
  }
}

bool CFrame::setSize(CCoord width, CCoord height) {
  const CRect newSize(0, 0, width, height);
  if (newSize == getViewSize()) return true;
  if (m_editor && !m_editor->beforeSizeChange(newSize, getViewSize())) return false;
  if (m_platformFrame && !m_platformFrame->setSize(newSize)) return false;
  setViewSize(newSize);
  return true;
}

void CFrame::setViewSize(const CRect& rect, bool invalidate) {
  CViewContainer::setViewSize(originRect(rect), invalidate);
  setMouseableArea(getViewSize());
  if (m_backBuffer) ensureBackBuffer();
  invalid();
}

bool CFrame::setModalView(CView* view) {
  if (view && (m_modalView || view->isAttached())) return false;
  if (m_modalView) {
    CView* old = m_modalView;
    m_modalView = nullptr;
    CViewContainer::removeView(old, false);
    old->forget();  // the reference the frame took while it was shown
  }
  if (!view) return true;
  onMouseCancel();
  if (!addView(view)) return false;
  view->remember();
  m_modalView = view;
  return true;
}

bool CFrame::removeView(CView* view, bool withForget) {
  if (view && view == m_modalView) {
    // A modal view removing itself: the frame lets go of its own reference only, and only
    // after the current event, because the view is usually still running.
    (void)withForget;
    m_modalView = nullptr;
    if (!CViewContainer::removeView(view, false)) return false;
    m_deferredRelease.push_back(SharedPointer<CView>::adopt(view));
    return true;
  }
  if (view && view == m_focusView) setFocusView(nullptr);
  return CViewContainer::removeView(view, withForget);
}

bool CFrame::removeAll(bool withForget) {
  setModalView(nullptr);
  m_focusView = nullptr;
  return CViewContainer::removeAll(withForget);
}

void CFrame::onViewRemoved(CView* view) {
  if (view == m_focusView) {
    m_focusView = nullptr;
    if (m_platformFrame) m_platformFrame->releaseKeyboardFocus();
  }
  if (m_popup && !m_popup->isClosed() && m_popup->getMenu() == view) m_popup->close(-1);
}

bool CFrame::isTypeOf(const char* s) const { return std::strcmp(s, "CFrame") == 0 || CViewContainer::isTypeOf(s); }

bool CFrame::getCurrentMouseLocation(CPoint& where) const {
  if (m_platformFrame && m_platformFrame->getCurrentMousePosition(where)) return true;
  if (!m_mouseKnown) return false;
  where = m_lastMouse;
  return true;
}

CButtonState CFrame::getCurrentMouseButtons() const {
  CButtonState buttons;
  if (m_platformFrame && m_platformFrame->getCurrentMouseButtons(buttons)) return buttons;
  return m_lastButtons;
}

void CFrame::setCursor(CCursorType type) {
  if (type == m_cursor) return;
  m_cursor = type;
  if (m_platformFrame) m_platformFrame->setMouseCursor(type);
}

int32_t CFrame::getKnobMode() const {
  const int32_t mode = m_editor ? m_editor->getKnobMode() : -1;
  return mode < 0 ? kCircularMode : mode;
}

void CFrame::setFocusView(CView* view) {
  if (view == m_focusView) return;
  CView* old = m_focusView;
  m_focusView = view;
  if (old) old->looseFocus();
  if (m_focusView != view) return;  // looseFocus moved the focus itself
  if (view) {
    view->takeFocus();
    if (m_platformFrame) m_platformFrame->takeKeyboardFocus();
  } else if (m_platformFrame) {
    m_platformFrame->releaseKeyboardFocus();
  }
}

int32_t CFrame::onKeyDown(VstKeyCode& keyCode) {
  if (m_popup && !m_popup->isClosed()) return m_popup->platformOnKeyDown(keyCode);
  if (m_focusView) {
    SharedPointer<CView> keep(m_focusView);
    const int32_t result = m_focusView->onKeyDown(keyCode);
    if (result != -1) return result;
  }
  if (m_modalView) return m_modalView->onKeyDown(keyCode);
  return -1;
}

int32_t CFrame::onKeyUp(VstKeyCode& keyCode) {
  if (m_focusView) {
    const int32_t result = m_focusView->onKeyUp(keyCode);
    if (result != -1) return result;
  }
  if (m_modalView) return m_modalView->onKeyUp(keyCode);
  return -1;
}

CMenuPopup* CFrame::getOpenPopup() const {
  return m_popup && !m_popup->isClosed() ? m_popup.get() : nullptr;
}

void CFrame::setOpenPopup(CMenuPopup* popup) {
  if (m_popup && m_popup.get() != popup && !m_popup->isClosed()) m_popup->close(-1);
  m_popup = popup;
}

CMouseEventResult CFrame::onMouseDown(CPoint& where, const CButtonState& buttons) {
  if (m_popup && !m_popup->isClosed()) {
    // A click into the frame while a pop-up is open only closes the pop-up.
    m_popup->close(-1);
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  }
  if (m_focusView) {
    CRect focusRect = m_focusView->getVisibleViewSizeInFrame();
    if (!focusRect.pointInside(where)) setFocusView(nullptr);
  }
  if (m_modalView) {
    if (!m_modalView->isVisible() || !m_modalView->getMouseableArea().pointInside(where))
      return kMouseEventHandled;  // swallowed: nothing under a modal view takes clicks
    SharedPointer<CView> keep(m_modalView);
    CPoint point = where;
    const CMouseEventResult result = m_modalView->onMouseDown(point, buttons);
    if (result == kMouseEventHandled && m_modalView == keep.get()) m_mouseDownView = keep.get();
    return result;
  }
  return CViewContainer::onMouseDown(where, buttons);
}

CMouseEventResult CFrame::onMouseMoved(CPoint& where, const CButtonState& buttons) {
  if (m_modalView && !m_mouseDownView) {
    if (m_hoverView && m_hoverView != m_modalView) {
      CView* old = m_hoverView;
      m_hoverView = nullptr;
      CPoint p = where;
      old->onMouseExited(p, buttons);
    }
    CPoint point = where;
    return m_modalView->onMouseMoved(point, buttons);
  }
  return CViewContainer::onMouseMoved(where, buttons);
}

CMouseEventResult CFrame::onMouseUp(CPoint& where, const CButtonState& buttons) {
  return CViewContainer::onMouseUp(where, buttons);
}

CMouseEventResult CFrame::platformOnMouseDown(CPoint& where, const CButtonState& buttons) {
  m_lastMouse = where;
  m_lastButtons = buttons;
  m_mouseKnown = true;
  SharedPointer<CFrame> keep(this);
  return onMouseDown(where, buttons);
}

CMouseEventResult CFrame::platformOnMouseMoved(CPoint& where, const CButtonState& buttons) {
  m_lastMouse = where;
  m_lastButtons = buttons;
  m_mouseKnown = true;
  SharedPointer<CFrame> keep(this);
  return onMouseMoved(where, buttons);
}

CMouseEventResult CFrame::platformOnMouseUp(CPoint& where, const CButtonState& buttons) {
  m_lastMouse = where;
  m_lastButtons = CButtonState(buttons.getModifierState());
  m_mouseKnown = true;
  SharedPointer<CFrame> keep(this);
  return onMouseUp(where, buttons);
}

CMouseEventResult CFrame::platformOnMouseExited(CPoint& where, const CButtonState& buttons) {
  m_mouseKnown = false;
  m_lastButtons = CButtonState();
  if (m_mouseDownView) return kMouseEventHandled;  // still dragging: the grab keeps the events coming
  SharedPointer<CFrame> keep(this);
  return onMouseExited(where, buttons);
}

bool CFrame::platformOnMouseWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                                  const CButtonState& buttons) {
  SharedPointer<CFrame> keep(this);
  if (m_popup && !m_popup->isClosed()) return false;
  if (m_modalView) {
    if (!m_modalView->getMouseableArea().pointInside(where)) return false;
    return m_modalView->onWheel(where, axis, distance, buttons);
  }
  return onWheel(where, axis, distance, buttons);
}

int32_t CFrame::platformOnKeyDown(VstKeyCode& keyCode) {
  SharedPointer<CFrame> keep(this);
  return onKeyDown(keyCode);
}

int32_t CFrame::platformOnKeyUp(VstKeyCode& keyCode) {
  SharedPointer<CFrame> keep(this);
  return onKeyUp(keyCode);
}

void CFrame::platformOnFocusLost() {
  // The user moved the keyboard focus elsewhere (another window): end text editing.
  if (m_focusView) setFocusView(nullptr);
}

}  // namespace VSTGUI
