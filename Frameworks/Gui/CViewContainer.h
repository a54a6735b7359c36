#pragma once

#include <functional>
#include <vector>

#include "Frameworks/Gui/CView.h"

namespace VSTGUI {

// Options of getViewAt / getViewsAt.
struct GetViewOptions {
  GetViewOptions() = default;
  GetViewOptions& deep(bool state = true) {
    m_deep = state;
    return *this;
  }
  GetViewOptions& mouseEnabled(bool state = true) {
    m_mouseEnabled = state;
    return *this;
  }
  GetViewOptions& includeInvisible(bool state = true) {
    m_includeInvisible = state;
    return *this;
  }
  GetViewOptions& includeViewContainer(bool state = true) {
    m_includeContainers = state;
    return *this;
  }
  bool m_deep = false;
  bool m_mouseEnabled = false;
  bool m_includeInvisible = false;
  bool m_includeContainers = false;
};

// A view holding child views, drawn and hit-tested in order (later children on top). Children
// are placed in the container's own coordinates (0, 0 at its top-left corner). The container
// owns its children: addView takes over the creator's reference, removeView forgets it.
class CViewContainer : public CView {
 public:
  explicit CViewContainer(const CRect& size);
  CViewContainer(const CViewContainer& other);
  ~CViewContainer() override;

  virtual bool addView(CView* view);
  // Adds view before `before` (under it); at the end when before is not a child.
  virtual bool addView(CView* view, CView* before);
  bool addView(CView* view, const CRect& mouseableArea, bool mouseEnabled = true);
  virtual bool removeView(CView* view, bool withForget = true);
  virtual bool removeAll(bool withForget = true);
  bool changeViewZOrder(CView* view, uint32_t newIndex);
  bool isChild(CView* view, bool deep = false) const;
  uint32_t getNbViews() const { return static_cast<uint32_t>(m_children.size()); }
  CView* getView(uint32_t index) const;
  const std::vector<CView*>& getChildren() const { return m_children; }
  void forEachChild(const std::function<void(CView*)>& callback) const;

  // The topmost visible child whose area contains where (in this container's parent
  // coordinates, like getViewSize()). With deep, descends into child containers.
  virtual CView* getViewAt(const CPoint& where, const GetViewOptions& options = GetViewOptions()) const;
  // The container chain under where, deepest last (for tooltips and hover).
  std::vector<CView*> getViewsAt(const CPoint& where, const GetViewOptions& options = GetViewOptions()) const;

  void setBackgroundColor(const CColor& color);
  CColor getBackgroundColor() const { return m_backgroundColor; }
  void setBackgroundOffset(const CPoint& offset) { m_backgroundOffset = offset; }
  const CPoint& getBackgroundOffset() const { return m_backgroundOffset; }
  virtual void drawBackgroundRect(CDrawContext* context, const CRect& rect);

  void draw(CDrawContext* context) override;
  void drawRect(CDrawContext* context, const CRect& updateRect) override;
  bool isDirty() const override;
  // Rectangles are in the container's own coordinates (those of its children).
  void invalidRect(const CRect& rect) override;
  void invalid() override;
  void setViewSize(const CRect& rect, bool invalid = true) override;

  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseCancel() override;
  CMouseEventResult onMouseExited(CPoint& where, const CButtonState& buttons) override;
  bool onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
               const CButtonState& buttons) override;

  bool attached(CView* parent) override;
  bool removed(CView* parent) override;

  bool isTypeOf(const char* s) const override;
  CView* newCopy() const override { return new CViewContainer(*this); }

  // The view that received the last mouse down and gets the moves and the up.
  CView* getMouseDownView() const { return m_mouseDownView; }

 protected:
  // Sends entered/exited to the children as the mouse moves over them (buttons up).
  void updateHover(const CPoint& where, const CButtonState& buttons);
  CPoint toLocal(const CPoint& where) const {
    return CPoint(where.x - m_size.left, where.y - m_size.top);
  }

  std::vector<CView*> m_children;
  CView* m_mouseDownView = nullptr;
  CView* m_hoverView = nullptr;
  CColor m_backgroundColor = kTransparentCColor;
  CPoint m_backgroundOffset;
};

}  // namespace VSTGUI
