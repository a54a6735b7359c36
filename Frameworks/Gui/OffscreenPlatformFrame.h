#pragma once

#include "Frameworks/Gui/Platform.h"

namespace VSTGUI {

// A platform frame without a window: the frame draws into its back buffer as usual and tests
// read it, send synthetic events to the frame, and check what the frame asked of its window.
class OffscreenPlatformFrame : public IPlatformFrame {
 public:
  explicit OffscreenPlatformFrame(const CRect& size) : m_size(size) {}

  void present(const CRect& rect) override {
    ++m_presentCount;
    m_lastPresented = rect;
  }
  bool setSize(const CRect& size) override {
    m_size = size;
    return true;
  }
  void processEvents() override {}
  bool getCurrentMousePosition(CPoint&) const override { return false; }
  bool getCurrentMouseButtons(CButtonState&) const override { return false; }
  void setMouseCursor(CCursorType type) override { m_cursor = type; }
  void takeKeyboardFocus() override { m_hasKeyboardFocus = true; }
  void releaseKeyboardFocus() override { m_hasKeyboardFocus = false; }
  std::unique_ptr<IPlatformPopupWindow> createPopupWindow(CRect&, IPlatformWindowCallback&) override;

  int getPresentCount() const { return m_presentCount; }
  const CRect& getLastPresented() const { return m_lastPresented; }
  CCursorType getCursor() const { return m_cursor; }
  bool hasKeyboardFocus() const { return m_hasKeyboardFocus; }
  const CRect& getSize() const { return m_size; }

 private:
  CRect m_size;
  CRect m_lastPresented;
  int m_presentCount = 0;
  CCursorType m_cursor = kCursorDefault;
  bool m_hasKeyboardFocus = false;
};

}  // namespace VSTGUI
