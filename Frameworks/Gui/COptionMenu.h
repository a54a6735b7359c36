#pragma once

#include <memory>
#include <vector>

#include "Frameworks/Gui/CParamDisplay.h"
#include "Frameworks/Gui/Platform.h"

namespace VSTGUI {

// One entry of an option menu.
class CMenuItem : public CBaseObject {
 public:
  enum Flags : int32_t {
    kNoFlags = 0,
    kDisabled = 1 << 0,
    kTitle = 1 << 1,
    kChecked = 1 << 2,
    kSeparator = 1 << 3,
  };

  explicit CMenuItem(const UTF8String& title, int32_t flags = kNoFlags);
  CMenuItem(const UTF8String& title, int32_t tag, int32_t flags);
  static CMenuItem* makeWithTag(const UTF8String& title, int32_t tag);

  void setTitle(const UTF8String& title) { m_title = title; }
  const UTF8String& getTitle() const { return m_title; }
  void setEnabled(bool state) { setFlag(kDisabled, !state); }
  bool isEnabled() const { return !(m_flags & kDisabled); }
  void setChecked(bool state) { setFlag(kChecked, state); }
  bool isChecked() const { return (m_flags & kChecked) != 0; }
  void setIsTitle(bool state) { setFlag(kTitle, state); }
  bool isTitle() const { return (m_flags & kTitle) != 0; }
  void setIsSeparator(bool state) { setFlag(kSeparator, state); }
  bool isSeparator() const { return (m_flags & kSeparator) != 0; }
  void setTag(int32_t tag) { m_tag = tag; }
  int32_t getTag() const { return m_tag; }
  int32_t getFlags() const { return m_flags; }
  // Entries a user may choose (not separators, titles or disabled ones).
  bool isSelectable() const { return isEnabled() && !isSeparator() && !isTitle(); }

 private:
  void setFlag(int32_t flag, bool state) { m_flags = state ? (m_flags | flag) : (m_flags & ~flag); }

  UTF8String m_title;
  int32_t m_tag = -1;
  int32_t m_flags = kNoFlags;
};

using CMenuItemList = std::vector<SharedPointer<CMenuItem>>;

// A pop-up menu control. Its value is the index of the current entry (separators count);
// choosing an entry in the pop-up sets the value to its index and tells the listener. The
// control draws the current entry's title (style kNoTextStyle / kNoDrawStyle hide it;
// kCheckStyle puts a check mark on the current entry in the pop-up).
class COptionMenu : public CParamDisplay {
 public:
  COptionMenu(const CRect& size, IControlListener* listener, int32_t tag, CBitmap* background = nullptr,
              CBitmap* bgWhenClick = nullptr, const int32_t style = 0);
  COptionMenu();
  COptionMenu(const COptionMenu& other);
  ~COptionMenu() override;

  // Adds an entry (taking over the item's reference); index -1 appends.
  CMenuItem* addEntry(CMenuItem* item, int32_t index = -1);
  CMenuItem* addEntry(const UTF8String& title, int32_t index = -1, int32_t itemFlags = CMenuItem::kNoFlags);
  CMenuItem* addSeparator(int32_t index = -1);
  bool removeEntry(int32_t index);
  bool removeAllEntry();
  int32_t getNbEntries() const { return static_cast<int32_t>(m_items.size()); }
  CMenuItem* getEntry(int32_t index) const;
  CMenuItem* getCurrent() const { return getEntry(currentItemIndex()); }
  // The current entry's index, counting separators or not.
  int32_t getCurrentIndex(bool countSeparator = false) const;
  // Makes an entry current (the value follows); index without separators when countSeparator
  // is false. False when out of range.
  bool setCurrent(int32_t index, bool countSeparator = true);
  bool checkEntry(int32_t index, bool state);
  bool checkEntryAlone(int32_t index);
  bool isCheckEntry(int32_t index) const;
  CMenuItemList* getItems() { return &m_items; }
  // Index of the entry chosen in the last pop-up (-1 when it was closed without a choice).
  int32_t getLastResult() const { return m_lastResult; }

  // Opens the pop-up at the control (in a separate window that may reach beyond the frame).
  // The choice arrives later, from idle: the menu's value changes and the listener is told.
  bool popup();
  bool isPopupOpen() const;

  void setValue(float val) override;
  void draw(CDrawContext* context) override;
  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
  bool onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
               const CButtonState& buttons) override;

  bool isTypeOf(const char* s) const override;
  CView* newCopy() const override { return new COptionMenu(*this); }

  // Called by the pop-up when it closes: index chosen, or -1.
  void popupClosed(int32_t index);

 protected:
  std::string getDisplayText() const override;

  // The entry the value points at, -1 when none.
  int32_t currentItemIndex() const;

  CMenuItemList m_items;
  int32_t m_lastResult = -1;
  SharedPointer<CBitmap> m_bgWhenClick;
};

// The open pop-up of an option menu: lays the entries out, draws them into its own buffer, and
// handles the mouse and keys (hover highlight, click to choose, Escape or a click outside to
// close, arrows and Return). The frame keeps it alive while it is open.
class CMenuPopup : public CBaseObject, public IPlatformWindowCallback {
 public:
  CMenuPopup(COptionMenu* menu, CFrame* frame, const CRect& frameRect);
  ~CMenuPopup() override;

  // Opens the platform window; false when none can be made (the pop-up still works offscreen).
  bool openWindow();
  // Closes with a choice (index into the menu's entries) or -1 for none.
  void close(int32_t chosenIndex);
  bool isClosed() const { return m_closed; }

  COptionMenu* getMenu() const { return m_menu; }
  // Size and place in frame coordinates.
  const CRect& getFrameRect() const { return m_frameRect; }
  // Entry rectangle in the pop-up's own coordinates (0, 0 at its top-left).
  CRect getEntryRect(int32_t index) const;
  int32_t getHighlightedIndex() const { return m_highlight; }
  int32_t entryAt(const CPoint& where) const;

  // Redraws into the buffer if needed and shows it (from the frame's idle).
  void idle();
  COffscreenContext* platformGetBackBuffer() override { return m_buffer.get(); }
  void draw(CDrawContext* context);

  CMouseEventResult platformOnMouseDown(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult platformOnMouseMoved(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult platformOnMouseUp(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult platformOnMouseExited(CPoint& where, const CButtonState& buttons) override;
  bool platformOnMouseWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                            const CButtonState& buttons) override;
  int32_t platformOnKeyDown(VstKeyCode& keyCode) override;
  int32_t platformOnKeyUp(VstKeyCode& keyCode) override;
  void platformOnClickOutside() override { close(-1); }
  void platformOnFocusLost() override {}

  static CCoord rowHeightFor(CFontRef font);

 private:
  void moveHighlight(int32_t step);

  COptionMenu* m_menu;  // the menu remembers itself while its pop-up is open
  CFrame* m_frame;
  CRect m_frameRect;
  CCoord m_rowHeight = 18;
  CCoord m_separatorHeight = 7;
  std::vector<CRect> m_entryRects;
  int32_t m_highlight = -1;
  bool m_closed = false;
  bool m_needsDraw = true;
  bool m_pressInside = false;
  SharedPointer<COffscreenContext> m_buffer;
  std::unique_ptr<IPlatformPopupWindow> m_window;
};

}  // namespace VSTGUI
