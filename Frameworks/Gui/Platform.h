#pragma once

// The back-end interface of the GUI layer: everything that touches a window system, a
// graphics library or the operating system goes through these classes. The Linux back end
// (X11 windows, cairo drawing, FreeType/fontconfig fonts) lives in x11/, the Windows back end
// (Win32 windows, GDI+ drawing and fonts) in win32/; both implement the same interfaces.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Frameworks/Gui/CButtonState.h"
#include "Frameworks/Gui/CDrawContext.h"
#include "Frameworks/Gui/VstKeyCode.h"

namespace VSTGUI {

// Pixels of a picture: 32-bit premultiplied ARGB in native byte order, rows of stride bytes.
class IPlatformBitmap {
 public:
  virtual ~IPlatformBitmap() = default;
  virtual CPoint getSize() const = 0;
  // Direct pixel access; call markDirty() after writing.
  virtual uint8_t* getData() = 0;
  virtual int32_t getStride() const = 0;
  virtual void flush() = 0;
  virtual void markDirty() = 0;
  virtual bool writePNG(const std::string& path) = 0;
};

// A font ready for measuring (the drawing itself is done by the draw context).
class IPlatformFont {
 public:
  virtual ~IPlatformFont() = default;
  virtual CCoord getAscent() const = 0;
  virtual CCoord getDescent() const = 0;
  virtual CCoord getStringWidth(UTF8StringPtr text) const = 0;
  // The font file or family the name resolved to (for diagnostics and tests).
  virtual std::string getResolvedName() const = 0;
};

// What a platform window reports to the frame (or to a pop-up) that owns it. Points are in the
// window's coordinates.
class IPlatformWindowCallback {
 public:
  virtual ~IPlatformWindowCallback() = default;
  virtual CMouseEventResult platformOnMouseDown(CPoint& where, const CButtonState& buttons) = 0;
  virtual CMouseEventResult platformOnMouseMoved(CPoint& where, const CButtonState& buttons) = 0;
  virtual CMouseEventResult platformOnMouseUp(CPoint& where, const CButtonState& buttons) = 0;
  virtual CMouseEventResult platformOnMouseExited(CPoint& where, const CButtonState& buttons) = 0;
  virtual bool platformOnMouseWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                                    const CButtonState& buttons) = 0;
  virtual int32_t platformOnKeyDown(VstKeyCode& keyCode) = 0;
  virtual int32_t platformOnKeyUp(VstKeyCode& keyCode) = 0;
  // The window lost the keyboard focus (the user clicked elsewhere).
  virtual void platformOnFocusLost() {}
  // A click outside a pop-up window that holds the pointer grab.
  virtual void platformOnClickOutside() {}
  // The window's contents: what to copy to the screen on expose.
  virtual COffscreenContext* platformGetBackBuffer() = 0;
};

// A pop-up window (menus): a separate top-level window that may reach beyond the frame.
class IPlatformPopupWindow {
 public:
  virtual ~IPlatformPopupWindow() = default;
  // Copies the rectangle of the back buffer to the screen.
  virtual void present(const CRect& rect) = 0;
};

// The frame's window inside the host's parent window.
class IPlatformFrame {
 public:
  virtual ~IPlatformFrame() = default;
  // Copies the rectangle of the frame's back buffer to the screen.
  virtual void present(const CRect& rect) = 0;
  virtual bool setSize(const CRect& size) = 0;
  // Handles the window events that are waiting (never blocks).
  virtual void processEvents() = 0;
  virtual bool getCurrentMousePosition(CPoint& where) const = 0;
  virtual bool getCurrentMouseButtons(CButtonState& buttons) const = 0;
  virtual void setMouseCursor(CCursorType type) = 0;
  // Takes the keyboard focus from the host (a text field was clicked) and gives it back.
  virtual void takeKeyboardFocus() = 0;
  virtual void releaseKeyboardFocus() = 0;
  // A pop-up at rect (frame coordinates), or null when none can be made. When the pop-up has to
  // move to stay on the screen, rect is updated to where it was placed.
  virtual std::unique_ptr<IPlatformPopupWindow> createPopupWindow(CRect& rect,
                                                                  IPlatformWindowCallback& callback) = 0;
  // A file descriptor that becomes readable when events wait (-1 if none); hosts with an
  // event-loop fd watch may call CFrame::idle when it does.
  virtual int getEventFileDescriptor() const { return -1; }
  // Number of window-system errors seen (tests expect 0).
  virtual int getErrorCount() const { return 0; }
  // The native window (an X11 window id), 0 when there is none.
  virtual uintptr_t getNativeWindow() const { return 0; }
};

// Configuration of a file selector run.
struct FileSelectorConfig {
  enum class Mode { kOpen, kSave, kDirectory };
  Mode mode = Mode::kOpen;
  std::string title;
  std::string defaultName;
  std::string initialFolder;
  bool multiple = false;
  // (description, extension without dot)
  std::vector<std::pair<std::string, std::string>> filters;
};

// A running file selector (an external dialog process); polled from idle.
class IPlatformFileSelector {
 public:
  virtual ~IPlatformFileSelector() = default;
  // True once the dialog has closed; the chosen paths are then in files (empty: cancelled).
  virtual bool poll(std::vector<std::string>& files) = 0;
};

// Creates the back end's objects.
class IPlatformFactory {
 public:
  virtual ~IPlatformFactory() = default;
  // Milliseconds of a monotonic clock.
  virtual uint64_t getTicks() const = 0;
  virtual SharedPointer<COffscreenContext> createOffscreenContext(const CPoint& size, double scaleFactor) = 0;
  virtual std::shared_ptr<IPlatformBitmap> createBitmap(const CPoint& size) = 0;
  virtual std::shared_ptr<IPlatformBitmap> loadBitmap(const std::string& path) = 0;
  virtual std::shared_ptr<IPlatformFont> createFont(const UTF8String& name, CCoord size, int32_t style) = 0;
  virtual bool registerFontFile(const std::string& path, const UTF8String& name) = 0;
  virtual bool isFontRegistered(const UTF8String& name) const = 0;
  // Opens a window for frame inside parent; null when it cannot (bad parent, no display).
  virtual std::unique_ptr<IPlatformFrame> createFrame(IPlatformWindowCallback& frame, const CRect& size,
                                                      void* parent, PlatformType type) = 0;
  // Starts a file selector dialog; null (with reason set) when none is available.
  virtual std::unique_ptr<IPlatformFileSelector> startFileSelector(const FileSelectorConfig& config,
                                                                   std::string& reason) = 0;
  // Opens a URL or a folder with the desktop's default application (never blocks). On failure
  // `reason` says, in words for the user, what is missing.
  virtual bool openUrl(const std::string& url, std::string& reason) = 0;
};

// The back end in use (the built-in Linux one unless another was set).
IPlatformFactory& getPlatformFactory();
// Replaces the back end (tests may install fakes); null restores the built-in one.
void setPlatformFactory(IPlatformFactory* factory);
// The built-in back end, defined by the platform library linked in.
IPlatformFactory& getDefaultPlatformFactory();

// Opens a URL or folder in the desktop's default application.
bool openUrl(const std::string& url);
bool openUrl(const std::string& url, std::string& reason);

}  // namespace VSTGUI
