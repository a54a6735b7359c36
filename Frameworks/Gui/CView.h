#pragma once

#include <atomic>

#include "Frameworks/Gui/CBaseObject.h"
#include "Frameworks/Gui/CBitmap.h"
#include "Frameworks/Gui/CButtonState.h"
#include "Frameworks/Gui/CColor.h"
#include "Frameworks/Gui/CRect.h"
#include "Frameworks/Gui/VstKeyCode.h"

namespace VSTGUI {

// Declares a class's name for isTypeOf() and its copy for newCopy().
#define CLASS_METHODS(name, parent)                                              \
  bool isTypeOf(const char* s) const override {                                  \
    return (std::char_traits<char>::compare(s, #name, sizeof(#name)) == 0) ||    \
           parent::isTypeOf(s);                                                  \
  }                                                                              \
  CView* newCopy() const override { return new name(*this); }
#define CLASS_METHODS_NOCOPY(name, parent)                                       \
  bool isTypeOf(const char* s) const override {                                  \
    return (std::char_traits<char>::compare(s, #name, sizeof(#name)) == 0) ||    \
           parent::isTypeOf(s);                                                  \
  }                                                                              \
  CView* newCopy() const override { return nullptr; }

// A rectangle on screen that draws itself and may take mouse and keyboard input.
//
// A view's size is given in its parent's coordinates (a child of the frame uses frame
// coordinates); mouse handlers get points in the same coordinates as getViewSize().
//
// Thread rule: setDirty() and invalid() only record that the view needs drawing; they may be
// called from any thread. Everything else, drawing above all, happens on the user-interface
// thread, in the frame's idle.
class CView : public CBaseObject {
 public:
  explicit CView(const CRect& size);
  CView(const CView& other);
  ~CView() override;

  // Drawing.
  virtual void draw(CDrawContext* context);
  // Draws the part inside updateRect (in the view's coordinates); the default draws it all.
  virtual void drawRect(CDrawContext* context, const CRect& updateRect);
  virtual bool isDirty() const { return m_dirty.load(std::memory_order_relaxed); }
  virtual void setDirty(bool state = true);
  // Asks for the whole view to be redrawn at the next idle.
  virtual void invalid() { invalidRect(getViewSize()); }
  virtual void invalidRect(const CRect& rect);

  // Mouse; where is in parent coordinates.
  virtual CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons);
  virtual CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons);
  virtual CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons);
  virtual CMouseEventResult onMouseCancel();
  virtual CMouseEventResult onMouseEntered(CPoint& where, const CButtonState& buttons);
  virtual CMouseEventResult onMouseExited(CPoint& where, const CButtonState& buttons);
  // distance > 0 rolls up (away from the user).
  virtual bool onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                       const CButtonState& buttons);
  bool onWheel(const CPoint& where, const float& distance, const CButtonState& buttons) {
    return onWheel(where, kMouseWheelAxisY, distance, buttons);
  }

  // Keyboard; answer 1 when the key was used, -1 to pass it on (to the host).
  virtual int32_t onKeyDown(VstKeyCode& keyCode);
  virtual int32_t onKeyUp(VstKeyCode& keyCode);

  // Focus (only views that want keys take it).
  virtual void takeFocus() {}
  virtual void looseFocus() {}
  virtual bool wantsFocus() const { return m_wantsFocus; }
  void setWantsFocus(bool state) { m_wantsFocus = state; }

  // Geometry.
  const CRect& getViewSize() const { return m_size; }
  CRect& getViewSize(CRect& rect) const {
    rect = m_size;
    return rect;
  }
  virtual void setViewSize(const CRect& rect, bool invalid = true);
  // The area that takes mouse clicks (by default the view's size), in parent coordinates.
  const CRect& getMouseableArea() const { return m_mouseableArea; }
  CRect& getMouseableArea(CRect& rect) const {
    rect = m_mouseableArea;
    return rect;
  }
  virtual void setMouseableArea(const CRect& rect) { m_mouseableArea = rect; }
  CCoord getWidth() const { return m_size.getWidth(); }
  CCoord getHeight() const { return m_size.getHeight(); }
  // Converts between this view's parent coordinates and frame coordinates.
  CPoint& localToFrame(CPoint& point) const;
  CPoint& frameToLocal(CPoint& point) const;
  // The view's rectangle in frame coordinates.
  CRect getVisibleViewSizeInFrame() const;

  // State.
  virtual void setVisible(bool state);
  bool isVisible() const { return m_visible; }
  virtual void setMouseEnabled(bool state) { m_mouseEnabled = state; }
  bool getMouseEnabled() const { return m_mouseEnabled; }
  void setTransparency(bool state) { m_transparent = state; }
  bool getTransparency() const { return m_transparent; }
  void setAlphaValue(float alpha);
  float getAlphaValue() const { return m_alpha; }

  // Hierarchy.
  virtual bool attached(CView* parent);
  virtual bool removed(CView* parent);
  bool isAttached() const { return m_parent != nullptr; }
  CView* getParentView() const { return m_parent; }
  CFrame* getFrame() const;

  // Type queries by class name ("CView", "CControl", ...) and copies.
  virtual bool isTypeOf(const char* s) const;
  virtual CView* newCopy() const { return new CView(*this); }

  // Background picture (drawn by CViewContainer and by some controls).
  virtual void setBackground(CBitmap* background);
  CBitmap* getBackground() const { return m_background.get(); }

 protected:
  CRect m_size;
  CRect m_mouseableArea;

 private:
  friend class CViewContainer;
  CView* m_parent = nullptr;
  SharedPointer<CBitmap> m_background;
  std::atomic<bool> m_dirty{false};
  bool m_visible = true;
  bool m_mouseEnabled = true;
  bool m_transparent = false;
  bool m_wantsFocus = false;
  float m_alpha = 1.f;
};

}  // namespace VSTGUI
