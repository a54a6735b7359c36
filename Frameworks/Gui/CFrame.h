#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "Frameworks/Gui/CViewContainer.h"
#include "Frameworks/Gui/Platform.h"
#include "Frameworks/Gui/VSTGUIEditorInterface.h"

namespace VSTGUI {

class CMenuPopup;

// The root view: owns the platform window inside the host's parent window, a back buffer the
// views are drawn into, the modal view, the keyboard focus and the pop-up menu.
//
// Nothing is drawn when a view asks for it: invalid() and setDirty() only record the area, and
// idle() (called from the host's editor-idle request) handles the window events, runs the
// timers, redraws the recorded areas into the back buffer and copies them to the window.
class CFrame : public CViewContainer, public IPlatformWindowCallback {
 public:
  CFrame(const CRect& size, VSTGUIEditorInterface* editor);
  ~CFrame() override;

  // Opens the frame's window inside parent (for X11, the window id the host hands over) or,
  // with PlatformType::kOffscreen, without a window. False when the window cannot be made.
  bool open(void* parent, PlatformType parentType = PlatformType::kDefaultNative);
  // Removes all views, destroys the window and drops the creator's reference.
  void close();
  bool isOpen() const { return m_platformFrame != nullptr; }

  // One pass of the user-interface loop: events, timers, redraw of dirty areas.
  void idle();
  bool isInsideIdle() const { return m_insideIdle; }

  // Resizes the frame (asks the editor first, which asks the host); false when refused.
  bool setSize(CCoord width, CCoord height);
  bool getSize(CRect& size) const {
    size = getViewSize();
    return true;
  }

  // A view over everything that takes all input while it is shown. The frame keeps a reference
  // of its own while the view is shown (the caller keeps its own); passing null, or removing
  // the view with removeView, drops the frame's reference.
  bool setModalView(CView* view);
  CView* getModalView() const { return m_modalView; }

  bool getCurrentMouseLocation(CPoint& where) const;
  CButtonState getCurrentMouseButtons() const;
  void setCursor(CCursorType type);
  CCursorType getCursor() const { return m_cursor; }
  int32_t getKnobMode() const;
  VSTGUIEditorInterface* getEditor() const { return m_editor; }

  // Keyboard focus: the view that gets the keys.
  void setFocusView(CView* view);
  CView* getFocusView() const { return m_focusView; }
  // Keys from the host's editor key requests (or from the window); 1 when used, -1 otherwise.
  int32_t onKeyDown(VstKeyCode& keyCode) override;
  int32_t onKeyUp(VstKeyCode& keyCode) override;

  // The open pop-up menu, if any (only one at a time).
  CMenuPopup* getOpenPopup() const;
  void setOpenPopup(CMenuPopup* popup);

  IPlatformFrame* getPlatformFrame() const { return m_platformFrame.get(); }
  // The picture of the frame as last drawn by idle() (null before open).
  COffscreenContext* getBackBuffer() const { return m_backBuffer.get(); }
  // Area waiting to be redrawn (frame coordinates): the union of the separate areas.
  CRect getInvalidArea() const;
  // The separate areas waiting to be redrawn; overlapping ones are merged as they come.
  std::vector<CRect> getInvalidAreas() const;

  void invalidRect(const CRect& rect) override;
  void invalid() override { invalidRect(getViewSize()); }
  void setViewSize(const CRect& rect, bool invalid = true) override;
  bool removeView(CView* view, bool withForget = true) override;
  bool removeAll(bool withForget = true) override;
  bool isTypeOf(const char* s) const override;
  CView* newCopy() const override { return nullptr; }

  // Input as the window reports it (frame coordinates); tests send synthetic events here.
  CMouseEventResult platformOnMouseDown(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult platformOnMouseMoved(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult platformOnMouseUp(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult platformOnMouseExited(CPoint& where, const CButtonState& buttons) override;
  bool platformOnMouseWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                            const CButtonState& buttons) override;
  int32_t platformOnKeyDown(VstKeyCode& keyCode) override;
  int32_t platformOnKeyUp(VstKeyCode& keyCode) override;
  void platformOnFocusLost() override;
  COffscreenContext* platformGetBackBuffer() override { return m_backBuffer.get(); }

  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;

  // Called by every view leaving the frame's tree: drops the frame's pointers to it.
  void onViewRemoved(CView* view);

  // Redraws the recorded dirty areas into the back buffer now, each on its own, and returns
  // their union.
  CRect redrawDirtyAreas();
  // The same, returning the areas drawn.
  std::vector<CRect> redrawDirtyAreaList();

  // More separate areas than this are drawn as their union.
  static constexpr std::size_t kMaxSeparateAreas = 24;

 private:
  void teardown();
  void collectDirtyViews(CView* view, const CPoint& offset);
  void ensureBackBuffer();

  VSTGUIEditorInterface* m_editor;
  std::unique_ptr<IPlatformFrame> m_platformFrame;
  std::unique_ptr<IPlatformFrame> m_retiredPlatformFrame;  // closed during idle, destroyed after it
  SharedPointer<COffscreenContext> m_backBuffer;
  SharedPointer<CMenuPopup> m_popup;
  CView* m_modalView = nullptr;
  // Views whose last frame reference is dropped at the end of the current idle pass.
  std::vector<SharedPointer<CView>> m_deferredRelease;
  CView* m_focusView = nullptr;
  CCursorType m_cursor = kCursorDefault;
  CPoint m_lastMouse{-1, -1};
  CButtonState m_lastButtons;
  bool m_mouseKnown = false;
  bool m_insideIdle = false;
  bool m_closing = false;

  mutable std::mutex m_invalidMutex;
  std::vector<CRect> m_invalidAreas;
};

}  // namespace VSTGUI
