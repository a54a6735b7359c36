#include "Frameworks/Gui/win32/Win32Frame.h"

#include <windows.h>
#include <windowsx.h>

#include <algorithm>

#include "Frameworks/Gui/win32/GdiContext.h"

namespace VSTGUI::Win32 {

namespace {

const wchar_t* const kFrameClass = L"SkarvelFrameWindow";
const wchar_t* const kPopupClass = L"SkarvelPopupWindow";

// The system cursors' resource ids, for the wide functions.
LPCWSTR systemCursor(LPCSTR id) { return reinterpret_cast<LPCWSTR>(id); }

HINSTANCE thisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&thisModule), &module);
  return module;
}

// The window procedure's owner: the frame or a pop-up. Its address (as a MessageTarget, not
// as the derived class) travels in the window's creation parameters.
class MessageTarget {
 public:
  virtual ~MessageTarget() = default;
  virtual LRESULT handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;
};

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* target = reinterpret_cast<MessageTarget*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (target) return target->handle(window, message, wParam, lParam);
  return DefWindowProcW(window, message, wParam, lParam);
}

bool registerClasses() {
  static const bool registered = [] {
    WNDCLASSEXW frameClass{};
    frameClass.cbSize = sizeof frameClass;
    frameClass.style = CS_DBLCLKS;
    frameClass.lpfnWndProc = windowProc;
    frameClass.hInstance = thisModule();
    frameClass.hCursor = LoadCursorW(nullptr, systemCursor(IDC_ARROW));
    frameClass.lpszClassName = kFrameClass;
    WNDCLASSEXW popupClass = frameClass;
    popupClass.style = CS_DROPSHADOW;
    popupClass.lpszClassName = kPopupClass;
    const bool frameOk = RegisterClassExW(&frameClass) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    const bool popupOk = RegisterClassExW(&popupClass) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    return frameOk && popupOk;
  }();
  return registered;
}

uint32_t modifiers() {
  uint32_t bits = 0;
  if (GetKeyState(VK_SHIFT) < 0) bits |= kShift;
  if (GetKeyState(VK_CONTROL) < 0) bits |= kControl;
  if (GetKeyState(VK_MENU) < 0) bits |= kAlt;
  return bits;
}

uint32_t buttonsOf(WPARAM wParam) {
  uint32_t bits = modifiers();
  if (wParam & MK_LBUTTON) bits |= kLButton;
  if (wParam & MK_MBUTTON) bits |= kMButton;
  if (wParam & MK_RBUTTON) bits |= kRButton;
  return bits;
}

uint8_t keyModifiers() {
  uint8_t bits = 0;
  if (GetKeyState(VK_SHIFT) < 0) bits |= MODIFIER_SHIFT;
  if (GetKeyState(VK_CONTROL) < 0) bits |= MODIFIER_CONTROL;
  if (GetKeyState(VK_MENU) < 0) bits |= MODIFIER_ALTERNATE;
  return bits;
}

uint8_t virtualKey(WPARAM key) {
  switch (key) {
    case VK_BACK: return VKEY_BACK;
    case VK_TAB: return VKEY_TAB;
    case VK_RETURN: return VKEY_RETURN;
    case VK_ESCAPE: return VKEY_ESCAPE;
    case VK_SPACE: return VKEY_SPACE;
    case VK_END: return VKEY_END;
    case VK_HOME: return VKEY_HOME;
    case VK_LEFT: return VKEY_LEFT;
    case VK_UP: return VKEY_UP;
    case VK_RIGHT: return VKEY_RIGHT;
    case VK_DOWN: return VKEY_DOWN;
    case VK_PRIOR: return VKEY_PAGEUP;
    case VK_NEXT: return VKEY_PAGEDOWN;
    case VK_INSERT: return VKEY_INSERT;
    case VK_DELETE: return VKEY_DELETE;
    default: return 0;
  }
}

// Copies a rectangle of a back buffer to a device context.
void paintBackBuffer(HDC dc, IPlatformWindowCallback& callback, const CRect& rect) {
  auto* context = dynamic_cast<GdiContext*>(callback.platformGetBackBuffer());
  if (!context) return;
  context->endDraw();
  auto* bitmap = context->getBitmap() ? dynamic_cast<GdiBitmap*>(context->getBitmap()->getPlatformBitmap()) : nullptr;
  if (!bitmap) return;
  const CPoint size = bitmap->getSize();
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = static_cast<LONG>(size.x);
  info.bmiHeader.biHeight = -static_cast<LONG>(size.y);  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  CRect area = rect;
  area.bound(CRect(0, 0, size.x, size.y));
  if (area.getWidth() <= 0 || area.getHeight() <= 0) return;
  const int left = static_cast<int>(area.left), top = static_cast<int>(area.top);
  const int width = static_cast<int>(area.getWidth()), height = static_cast<int>(area.getHeight());
  // With a top-down bitmap the scan lines are counted from the top row of the source.
  SetDIBitsToDevice(dc, left, top, width, height, left, static_cast<int>(size.y) - top - height, 0,
                    static_cast<UINT>(size.y), bitmap->getData(), &info, DIB_RGB_COLORS);
}

class Win32PopupWindow;

class Win32PlatformFrame : public IPlatformFrame, public MessageTarget {
 public:
  explicit Win32PlatformFrame(IPlatformWindowCallback& frame) : m_frame(frame) {}
  ~Win32PlatformFrame() override {
    if (m_window) {
      SetWindowLongPtrW(m_window, GWLP_USERDATA, 0);
      DestroyWindow(m_window);
    }
  }

  bool create(const CRect& size, HWND parent) {
    if (!registerClasses() || !IsWindow(parent)) return false;
    MessageTarget* target = this;
    m_window = CreateWindowExW(0, kFrameClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                               std::max(1, static_cast<int>(size.getWidth())),
                               std::max(1, static_cast<int>(size.getHeight())), parent, nullptr, thisModule(), target);
    return m_window != nullptr;
  }

  void present(const CRect& rect) override {
    if (!m_window) return;
    HDC dc = GetDC(m_window);
    paintBackBuffer(dc, m_frame, rect);
    ReleaseDC(m_window, dc);
  }
  bool setSize(const CRect& size) override {
    return m_window && SetWindowPos(m_window, nullptr, 0, 0, std::max(1, static_cast<int>(size.getWidth())),
                                    std::max(1, static_cast<int>(size.getHeight())), SWP_NOMOVE | SWP_NOZORDER |
                                                                                          SWP_NOACTIVATE);
  }
  // The host's message loop delivers the window's messages.
  void processEvents() override {}
  bool getCurrentMousePosition(CPoint& where) const override {
    POINT point{};
    if (!m_window || !GetCursorPos(&point) || !ScreenToClient(m_window, &point)) return false;
    where = CPoint(point.x, point.y);
    return true;
  }
  bool getCurrentMouseButtons(CButtonState& buttons) const override {
    uint32_t bits = modifiers();
    if (GetAsyncKeyState(VK_LBUTTON) < 0) bits |= kLButton;
    if (GetAsyncKeyState(VK_MBUTTON) < 0) bits |= kMButton;
    if (GetAsyncKeyState(VK_RBUTTON) < 0) bits |= kRButton;
    buttons = CButtonState(bits);
    return true;
  }
  void setMouseCursor(CCursorType type) override {
    m_cursor = type;
    SetCursor(cursorHandle());
  }
  void takeKeyboardFocus() override {
    if (!m_window) return;
    const HWND previous = SetFocus(m_window);
    if (previous != m_window) m_previousFocus = previous;
    m_hasFocus = true;
  }
  void releaseKeyboardFocus() override {
    if (!m_hasFocus) return;
    m_hasFocus = false;
    // Give the keys back to where they were, unless the user has moved on meanwhile.
    if (m_window && GetFocus() == m_window && m_previousFocus && IsWindow(m_previousFocus)) SetFocus(m_previousFocus);
    m_previousFocus = nullptr;
  }
  std::unique_ptr<IPlatformPopupWindow> createPopupWindow(CRect& rect, IPlatformWindowCallback& callback) override;
  uintptr_t getNativeWindow() const override { return reinterpret_cast<uintptr_t>(m_window); }

  void popupClosed() { m_popupOpen = false; }

  LRESULT handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      case WM_PAINT: {
        PAINTSTRUCT paint{};
        HDC dc = BeginPaint(window, &paint);
        paintBackBuffer(dc, m_frame, CRect(paint.rcPaint.left, paint.rcPaint.top, paint.rcPaint.right,
                                           paint.rcPaint.bottom));
        EndPaint(window, &paint);
        return 0;
      }
      case WM_PRINTCLIENT: {
        // A copy of the window for someone else (PrintWindow, screenshots of hidden windows).
        RECT client{};
        GetClientRect(window, &client);
        paintBackBuffer(reinterpret_cast<HDC>(wParam), m_frame, CRect(0, 0, client.right, client.bottom));
        return 0;
      }
      case WM_ERASEBKGND:
        return 1;  // the back buffer covers everything
      case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT) {
          SetCursor(cursorHandle());
          return TRUE;
        }
        break;
      case WM_LBUTTONDOWN:
      case WM_MBUTTONDOWN:
      case WM_RBUTTONDOWN:
      case WM_LBUTTONDBLCLK:
      case WM_MBUTTONDBLCLK:
      case WM_RBUTTONDBLCLK: {
        uint32_t buttons = buttonsOf(wParam);
        if (message == WM_LBUTTONDBLCLK || message == WM_MBUTTONDBLCLK || message == WM_RBUTTONDBLCLK)
          buttons |= kDoubleClick;
        SetCapture(window);
        CPoint where(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        m_frame.platformOnMouseDown(where, CButtonState(buttons));
        return 0;
      }
      case WM_LBUTTONUP:
      case WM_MBUTTONUP:
      case WM_RBUTTONUP: {
        const uint32_t released = message == WM_LBUTTONUP ? kLButton : message == WM_MBUTTONUP ? kMButton : kRButton;
        if (!(wParam & (MK_LBUTTON | MK_MBUTTON | MK_RBUTTON))) ReleaseCapture();
        CPoint where(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        m_frame.platformOnMouseUp(where, CButtonState(modifiers() | released));
        return 0;
      }
      case WM_MOUSEMOVE: {
        if (!m_tracking) {
          TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, window, 0};
          m_tracking = TrackMouseEvent(&track) != 0;
        }
        CPoint where(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        m_frame.platformOnMouseMoved(where, CButtonState(buttonsOf(wParam)));
        return 0;
      }
      case WM_MOUSELEAVE: {
        m_tracking = false;
        CPoint where;
        getCurrentMousePosition(where);
        m_frame.platformOnMouseExited(where, CButtonState(modifiers()));
        return 0;
      }
      case WM_MOUSEWHEEL:
      case WM_MOUSEHWHEEL: {
        POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ScreenToClient(window, &point);
        const float distance = static_cast<float>(GET_WHEEL_DELTA_WPARAM(wParam)) / WHEEL_DELTA;
        m_frame.platformOnMouseWheel(CPoint(point.x, point.y),
                                     message == WM_MOUSEWHEEL ? kMouseWheelAxisY : kMouseWheelAxisX,
                                     message == WM_MOUSEWHEEL ? distance : -distance, CButtonState(modifiers()));
        return 0;
      }
      case WM_KEYDOWN:
      case WM_KEYUP: {
        // Keys with characters arrive as WM_CHAR; these carry the others.
        VstKeyCode code;
        code.virt = virtualKey(wParam);
        code.modifier = keyModifiers();
        if (!code.virt) break;
        if (code.virt == VKEY_SPACE) code.character = ' ';
        if (message == WM_KEYDOWN) m_frame.platformOnKeyDown(code);
        else m_frame.platformOnKeyUp(code);
        return 0;
      }
      case WM_CHAR: {
        if (wParam < 32 || wParam == 127) return 0;  // control characters came as virtual keys
        char32_t character = static_cast<char32_t>(wParam);
        if (character >= 0xD800 && character <= 0xDBFF) {
          m_highSurrogate = static_cast<wchar_t>(character);
          return 0;
        }
        if (character >= 0xDC00 && character <= 0xDFFF && m_highSurrogate)
          character = 0x10000 + ((m_highSurrogate - 0xD800) << 10) + (character - 0xDC00);
        m_highSurrogate = 0;
        VstKeyCode code;
        code.character = static_cast<int32_t>(character);
        code.modifier = keyModifiers();
        m_frame.platformOnKeyDown(code);
        return 0;
      }
      case WM_KILLFOCUS:
        if (m_hasFocus) {
          m_hasFocus = false;
          m_previousFocus = nullptr;
          m_frame.platformOnFocusLost();
        }
        return 0;
      case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS | DLGC_WANTCHARS;
      case WM_DESTROY:
        m_window = nullptr;
        return 0;
      default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }

 private:
  HCURSOR cursorHandle() const {
    LPCWSTR shape = systemCursor(IDC_ARROW);
    switch (m_cursor) {
      case kCursorWait: shape = systemCursor(IDC_WAIT); break;
      case kCursorHSize: shape = systemCursor(IDC_SIZEWE); break;
      case kCursorVSize: shape = systemCursor(IDC_SIZENS); break;
      case kCursorSizeAll: shape = systemCursor(IDC_SIZEALL); break;
      case kCursorNESWSize: shape = systemCursor(IDC_SIZENESW); break;
      case kCursorNWSESize: shape = systemCursor(IDC_SIZENWSE); break;
      case kCursorCopy: shape = systemCursor(IDC_CROSS); break;
      case kCursorNotAllowed: shape = systemCursor(IDC_NO); break;
      case kCursorHand: shape = systemCursor(IDC_HAND); break;
      case kCursorIBeam: shape = systemCursor(IDC_IBEAM); break;
      default: break;
    }
    return LoadCursorW(nullptr, shape);
  }

  IPlatformWindowCallback& m_frame;
  HWND m_window = nullptr;
  HWND m_previousFocus = nullptr;
  CCursorType m_cursor = kCursorDefault;
  bool m_hasFocus = false;
  bool m_tracking = false;
  bool m_popupOpen = false;
  wchar_t m_highSurrogate = 0;
};

// A pop-up menu's window: a top-level window that does not take the activation from the host,
// holding the mouse capture so a click outside it closes it.
class Win32PopupWindow : public IPlatformPopupWindow, public MessageTarget {
 public:
  Win32PopupWindow(Win32PlatformFrame& owner, IPlatformWindowCallback& callback)
      : m_owner(owner), m_callback(callback) {}
  ~Win32PopupWindow() override {
    if (m_window) {
      SetWindowLongPtrW(m_window, GWLP_USERDATA, 0);
      if (GetCapture() == m_window) ReleaseCapture();
      DestroyWindow(m_window);
    }
    m_owner.popupClosed();
  }

  // Opens at rect (frame coordinates); when the screen's edge moves it, rect follows.
  bool create(CRect& rect, HWND frameWindow) {
    POINT origin{static_cast<LONG>(rect.left), static_cast<LONG>(rect.top)};
    ClientToScreen(frameWindow, &origin);
    const POINT requested = origin;
    const LONG width = std::max(1L, static_cast<LONG>(rect.getWidth()));
    const LONG height = std::max(1L, static_cast<LONG>(rect.getHeight()));
    // Keep the pop-up on its monitor: flip it above its origin, or push it left, when it would leave it.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoW(MonitorFromPoint(origin, MONITOR_DEFAULTTONEAREST), &monitor)) {
      const RECT& work = monitor.rcWork;
      if (origin.y + height > work.bottom && origin.y - height >= work.top) origin.y -= height;
      if (origin.x + width > work.right) origin.x = std::max(work.left, work.right - width);
    }
    rect.offset(origin.x - requested.x, origin.y - requested.y);
    m_size = CRect(0, 0, rect.getWidth(), rect.getHeight());
    MessageTarget* target = this;
    m_window = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kPopupClass, L"", WS_POPUP,
                               origin.x, origin.y, width, height, frameWindow, nullptr, thisModule(), target);
    if (!m_window) return false;
    ShowWindow(m_window, SW_SHOWNOACTIVATE);
    SetCapture(m_window);
    return true;
  }

  void present(const CRect& rect) override {
    if (!m_window) return;
    HDC dc = GetDC(m_window);
    paintBackBuffer(dc, m_callback, rect);
    ReleaseDC(m_window, dc);
  }

  LRESULT handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
    CPoint where(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    switch (message) {
      case WM_PAINT: {
        PAINTSTRUCT paint{};
        HDC dc = BeginPaint(window, &paint);
        paintBackBuffer(dc, m_callback,
                        CRect(paint.rcPaint.left, paint.rcPaint.top, paint.rcPaint.right, paint.rcPaint.bottom));
        EndPaint(window, &paint);
        return 0;
      }
      case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
      case WM_LBUTTONDOWN:
      case WM_RBUTTONDOWN:
        if (!m_size.pointInside(where)) {
          m_callback.platformOnClickOutside();
          return 0;
        }
        m_callback.platformOnMouseDown(where, CButtonState(buttonsOf(wParam)));
        return 0;
      case WM_LBUTTONUP:
      case WM_RBUTTONUP:
        if (m_size.pointInside(where))
          m_callback.platformOnMouseUp(where, CButtonState(message == WM_LBUTTONUP ? kLButton : kRButton));
        return 0;
      case WM_MOUSEMOVE:
        m_callback.platformOnMouseMoved(where, CButtonState(buttonsOf(wParam)));
        return 0;
      case WM_CAPTURECHANGED:
        // Another window took the mouse (the host, a dialog): the menu closes as after an outside click.
        if (reinterpret_cast<HWND>(lParam) != window) m_callback.platformOnClickOutside();
        return 0;
      case WM_DESTROY:
        m_window = nullptr;
        return 0;
      default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }

 private:
  Win32PlatformFrame& m_owner;
  IPlatformWindowCallback& m_callback;
  HWND m_window = nullptr;
  CRect m_size;
};

std::unique_ptr<IPlatformPopupWindow> Win32PlatformFrame::createPopupWindow(CRect& rect,
                                                                            IPlatformWindowCallback& callback) {
  if (!m_window || m_popupOpen) return nullptr;
  auto popup = std::make_unique<Win32PopupWindow>(*this, callback);
  m_popupOpen = true;
  if (!popup->create(rect, m_window)) return nullptr;  // its destructor clears the flag
  return popup;
}

}  // namespace

std::unique_ptr<IPlatformFrame> Win32Frame::create(IPlatformWindowCallback& frame, const CRect& size, void* parent) {
  auto window = std::make_unique<Win32PlatformFrame>(frame);
  if (!window->create(size, static_cast<HWND>(parent))) return nullptr;
  return window;
}

}  // namespace VSTGUI::Win32
