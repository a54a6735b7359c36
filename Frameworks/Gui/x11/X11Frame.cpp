#include "Frameworks/Gui/x11/X11Frame.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <X11/keysym.h>
#include <cairo-xlib.h>

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <map>

#include "Frameworks/Gui/x11/CairoContext.h"

namespace VSTGUI::X11 {

namespace {

// Xlib reports errors through one process-wide handler whose default ends the process. While
// our code talks to our own display connection, this trap counts that connection's errors
// (a parent window the host has already destroyed, for example) instead, and hands errors of
// other connections to the handler that was installed before.
class ErrorTrap {
 public:
  explicit ErrorTrap(Display* display) : m_display(display) {
    if (s_depth++ == 0) s_previous = XSetErrorHandler(&ErrorTrap::handler);
  }
  ~ErrorTrap() {
    if (--s_depth == 0) XSetErrorHandler(s_previous);
  }
  ErrorTrap(const ErrorTrap&) = delete;
  ErrorTrap& operator=(const ErrorTrap&) = delete;

  static void watch(Display* display, int* counter) { s_counters[display] = counter; }
  static void unwatch(Display* display) { s_counters.erase(display); }

 private:
  static int handler(Display* display, XErrorEvent* event) {
    if (auto it = s_counters.find(display); it != s_counters.end()) {
      ++*it->second;
      return 0;
    }
    return s_previous ? s_previous(display, event) : 0;
  }

  Display* m_display;
  static inline int s_depth = 0;
  static inline XErrorHandler s_previous = nullptr;
  static inline std::map<Display*, int*> s_counters;
};

uint32_t modifiersFromState(unsigned int state) {
  uint32_t buttons = 0;
  if (state & ShiftMask) buttons |= kShift;
  if (state & ControlMask) buttons |= kControl;
  if (state & Mod1Mask) buttons |= kAlt;
  return buttons;
}

uint32_t buttonsFromState(unsigned int state) {
  uint32_t buttons = modifiersFromState(state);
  if (state & Button1Mask) buttons |= kLButton;
  if (state & Button2Mask) buttons |= kMButton;
  if (state & Button3Mask) buttons |= kRButton;
  return buttons;
}

uint32_t buttonFlag(unsigned int button) {
  switch (button) {
    case Button1: return kLButton;
    case Button2: return kMButton;
    case Button3: return kRButton;
    default: return 0;
  }
}

// The character a keysym types, as a Unicode code point (0 for none).
int32_t keysymToCodePoint(KeySym keysym) {
  if ((keysym >= 0x20 && keysym <= 0x7E) || (keysym >= 0xA0 && keysym <= 0xFF)) return static_cast<int32_t>(keysym);
  if ((keysym & 0xFF000000) == 0x01000000) return static_cast<int32_t>(keysym & 0x00FFFFFF);
  if (keysym >= XK_KP_0 && keysym <= XK_KP_9) return static_cast<int32_t>('0' + (keysym - XK_KP_0));
  return 0;
}

VstKeyCode keyCodeFromEvent(XKeyEvent& event) {
  VstKeyCode code;
  char buffer[16];
  KeySym keysym = NoSymbol;
  XLookupString(&event, buffer, sizeof(buffer), &keysym, nullptr);
  switch (keysym) {
    case XK_BackSpace: code.virt = VKEY_BACK; break;
    case XK_Tab:
    case XK_ISO_Left_Tab: code.virt = VKEY_TAB; break;
    case XK_Return: code.virt = VKEY_RETURN; break;
    case XK_KP_Enter: code.virt = VKEY_ENTER; break;
    case XK_Escape: code.virt = VKEY_ESCAPE; break;
    case XK_space: code.virt = VKEY_SPACE; code.character = ' '; break;
    case XK_End:
    case XK_KP_End: code.virt = VKEY_END; break;
    case XK_Home:
    case XK_KP_Home: code.virt = VKEY_HOME; break;
    case XK_Left:
    case XK_KP_Left: code.virt = VKEY_LEFT; break;
    case XK_Up:
    case XK_KP_Up: code.virt = VKEY_UP; break;
    case XK_Right:
    case XK_KP_Right: code.virt = VKEY_RIGHT; break;
    case XK_Down:
    case XK_KP_Down: code.virt = VKEY_DOWN; break;
    case XK_Page_Up: code.virt = VKEY_PAGEUP; break;
    case XK_Page_Down: code.virt = VKEY_PAGEDOWN; break;
    case XK_Insert: code.virt = VKEY_INSERT; break;
    case XK_Delete:
    case XK_KP_Delete: code.virt = VKEY_DELETE; break;
    default: code.character = keysymToCodePoint(keysym); break;
  }
  if (event.state & ShiftMask) code.modifier |= MODIFIER_SHIFT;
  if (event.state & ControlMask) code.modifier |= MODIFIER_CONTROL;
  if (event.state & Mod1Mask) code.modifier |= MODIFIER_ALTERNATE;
  return code;
}

cairo_surface_t* backBufferSurface(IPlatformWindowCallback& callback) {
  auto* context = dynamic_cast<CairoContext*>(callback.platformGetBackBuffer());
  if (!context) return nullptr;
  context->endDraw();
  return cairo_get_target(context->getCairo());
}

// Copies a rectangle of a window's back buffer to the window.
void paintBackBuffer(Display* display, cairo_surface_t* target, IPlatformWindowCallback& callback, const CRect& rect) {
  cairo_surface_t* source = backBufferSurface(callback);
  if (!source || !target) return;
  cairo_t* cr = cairo_create(target);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_surface(cr, source, 0, 0);
  cairo_rectangle(cr, rect.left, rect.top, rect.getWidth(), rect.getHeight());
  cairo_fill(cr);
  cairo_destroy(cr);
  cairo_surface_flush(target);
  XFlush(display);
}

class X11PlatformFrame;

// A pop-up menu's window: override-redirect, on the root window, holding the pointer and
// keyboard grabs while it is open so that a click outside or Escape closes it.
class X11PopupWindow : public IPlatformPopupWindow {
 public:
  X11PopupWindow(X11PlatformFrame& owner, IPlatformWindowCallback& callback, Window window, cairo_surface_t* surface,
                 const CPoint& rootOrigin)
      : m_owner(owner), m_callback(callback), m_window(window), m_surface(surface), m_rootOrigin(rootOrigin) {}
  ~X11PopupWindow() override;

  void present(const CRect& rect) override;

  Window window() const { return m_window; }
  IPlatformWindowCallback& callback() { return m_callback; }
  const CPoint& rootOrigin() const { return m_rootOrigin; }
  cairo_surface_t* surface() const { return m_surface; }

 private:
  X11PlatformFrame& m_owner;
  IPlatformWindowCallback& m_callback;
  Window m_window;
  cairo_surface_t* m_surface;
  CPoint m_rootOrigin;
};

class X11PlatformFrame : public IPlatformFrame {
 public:
  X11PlatformFrame(IPlatformWindowCallback& frame, Display* display, Window parent)
      : m_frame(frame), m_display(display), m_parent(parent) {
    ErrorTrap::watch(m_display, &m_errors);
  }

  ~X11PlatformFrame() override {
    ErrorTrap trap(m_display);
    if (m_hasFocus) releaseKeyboardFocus();
    if (m_surface) cairo_surface_destroy(m_surface);
    if (m_window && !m_windowGone) XDestroyWindow(m_display, m_window);
    for (auto& [type, cursor] : m_cursors) XFreeCursor(m_display, cursor);
    XSync(m_display, False);
    ErrorTrap::unwatch(m_display);
    XCloseDisplay(m_display);
  }

  bool create(const CRect& size) {
    ErrorTrap trap(m_display);
    XWindowAttributes parentAttributes{};
    if (!XGetWindowAttributes(m_display, m_parent, &parentAttributes) || m_errors) return false;
    XSetWindowAttributes attributes{};
    attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                            EnterWindowMask | LeaveWindowMask | KeyPressMask | KeyReleaseMask | FocusChangeMask |
                            StructureNotifyMask;
    attributes.background_pixmap = None;
    attributes.border_pixel = 0;
    m_width = std::max(1, static_cast<int>(size.getWidth()));
    m_height = std::max(1, static_cast<int>(size.getHeight()));
    m_window = XCreateWindow(m_display, m_parent, 0, 0, m_width, m_height, 0, CopyFromParent, InputOutput,
                             CopyFromParent, CWEventMask | CWBackPixmap | CWBorderPixel, &attributes);
    XMapWindow(m_display, m_window);
    // Some hosts never show the window unless the server has processed it before they go on.
    XSync(m_display, False);
    if (m_errors || !m_window) return false;
    m_surface = cairo_xlib_surface_create(m_display, m_window, parentAttributes.visual, m_width, m_height);
    return cairo_surface_status(m_surface) == CAIRO_STATUS_SUCCESS;
  }

  void present(const CRect& rect) override {
    if (m_windowGone) return;
    ErrorTrap trap(m_display);
    paintBackBuffer(m_display, m_surface, m_frame, rect);
  }

  bool setSize(const CRect& size) override {
    if (m_windowGone) return false;
    ErrorTrap trap(m_display);
    m_width = std::max(1, static_cast<int>(size.getWidth()));
    m_height = std::max(1, static_cast<int>(size.getHeight()));
    XResizeWindow(m_display, m_window, m_width, m_height);
    cairo_xlib_surface_set_size(m_surface, m_width, m_height);
    XFlush(m_display);
    return true;
  }

  void processEvents() override {
    ErrorTrap trap(m_display);
    while (XPending(m_display)) {
      XEvent event;
      XNextEvent(m_display, &event);
      dispatch(event);
    }
  }

  bool getCurrentMousePosition(CPoint& where) const override {
    if (m_windowGone) return false;
    ErrorTrap trap(m_display);
    Window root, child;
    int rootX, rootY, x, y;
    unsigned int mask;
    if (!XQueryPointer(m_display, m_window, &root, &child, &rootX, &rootY, &x, &y, &mask)) return false;
    where = CPoint(x, y);
    return true;
  }

  bool getCurrentMouseButtons(CButtonState& buttons) const override {
    if (m_windowGone) return false;
    ErrorTrap trap(m_display);
    Window root, child;
    int rootX, rootY, x, y;
    unsigned int mask = 0;
    if (!XQueryPointer(m_display, m_window, &root, &child, &rootX, &rootY, &x, &y, &mask)) return false;
    buttons = CButtonState(buttonsFromState(mask));
    return true;
  }

  void setMouseCursor(CCursorType type) override {
    if (m_windowGone) return;
    ErrorTrap trap(m_display);
    if (type == kCursorDefault) {
      XUndefineCursor(m_display, m_window);
    } else {
      auto it = m_cursors.find(type);
      if (it == m_cursors.end()) it = m_cursors.emplace(type, XCreateFontCursor(m_display, fontCursor(type))).first;
      XDefineCursor(m_display, m_window, it->second);
    }
    XFlush(m_display);
  }

  void takeKeyboardFocus() override {
    if (m_windowGone) return;
    ErrorTrap trap(m_display);
    Window focus = None;
    int revert = 0;
    XGetInputFocus(m_display, &focus, &revert);
    if (focus != m_window) m_previousFocus = focus;
    XSetInputFocus(m_display, m_window, RevertToParent, CurrentTime);
    XFlush(m_display);
    m_hasFocus = true;
  }

  void releaseKeyboardFocus() override {
    if (!m_hasFocus) return;
    m_hasFocus = false;
    if (m_windowGone) return;
    ErrorTrap trap(m_display);
    Window focus = None;
    int revert = 0;
    XGetInputFocus(m_display, &focus, &revert);
    // Give the keys back to where they were, unless the user has moved on meanwhile.
    if (focus == m_window && m_previousFocus != None && m_previousFocus != PointerRoot)
      XSetInputFocus(m_display, m_previousFocus, RevertToParent, CurrentTime);
    XSync(m_display, False);
    m_previousFocus = None;
  }

  std::unique_ptr<IPlatformPopupWindow> createPopupWindow(CRect& rect, IPlatformWindowCallback& callback) override {
    if (m_windowGone || m_popup) return nullptr;
    ErrorTrap trap(m_display);
    const int screen = DefaultScreen(m_display);
    Window root = RootWindow(m_display, screen);
    int rootX = 0, rootY = 0;
    Window child;
    XTranslateCoordinates(m_display, m_window, root, static_cast<int>(rect.left), static_cast<int>(rect.top), &rootX,
                          &rootY, &child);
    const int originX = rootX, originY = rootY;
    const int width = std::max(1, static_cast<int>(rect.getWidth()));
    const int height = std::max(1, static_cast<int>(rect.getHeight()));
    // Keep the pop-up on the screen: flip it above its origin, or push it left, when it would leave it.
    const int screenWidth = DisplayWidth(m_display, screen), screenHeight = DisplayHeight(m_display, screen);
    if (rootY + height > screenHeight && rootY - height >= 0) rootY = std::max(0, rootY - height);
    if (rootX + width > screenWidth) rootX = std::max(0, screenWidth - width);
    rect.offset(rootX - originX, rootY - originY);
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.save_under = True;
    attributes.background_pixmap = None;
    attributes.border_pixel = 0;
    attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask |
                            KeyReleaseMask | LeaveWindowMask | StructureNotifyMask;
    Window window = XCreateWindow(m_display, root, rootX, rootY, width, height, 0, CopyFromParent, InputOutput,
                                  CopyFromParent, CWOverrideRedirect | CWSaveUnder | CWBackPixmap | CWBorderPixel | CWEventMask,
                                  &attributes);
    XMapRaised(m_display, window);
    XSync(m_display, False);
    XGrabPointer(m_display, window, True, ButtonPressMask | ButtonReleaseMask | PointerMotionMask | LeaveWindowMask,
                 GrabModeAsync, GrabModeAsync, None, None, CurrentTime);
    XGrabKeyboard(m_display, window, True, GrabModeAsync, GrabModeAsync, CurrentTime);
    XFlush(m_display);
    cairo_surface_t* surface =
        cairo_xlib_surface_create(m_display, window, DefaultVisual(m_display, screen), width, height);
    auto popup = std::make_unique<X11PopupWindow>(*this, callback, window, surface, CPoint(rootX, rootY));
    m_popup = popup.get();
    return popup;
  }

  void destroyPopup(X11PopupWindow& popup) {
    ErrorTrap trap(m_display);
    XUngrabPointer(m_display, CurrentTime);
    XUngrabKeyboard(m_display, CurrentTime);
    cairo_surface_destroy(popup.surface());
    XDestroyWindow(m_display, popup.window());
    XFlush(m_display);
    if (m_popup == &popup) m_popup = nullptr;
  }

  void presentPopup(X11PopupWindow& popup, const CRect& rect) {
    ErrorTrap trap(m_display);
    paintBackBuffer(m_display, popup.surface(), popup.callback(), rect);
  }

  int getEventFileDescriptor() const override { return ConnectionNumber(m_display); }
  int getErrorCount() const override { return m_errors; }
  uintptr_t getNativeWindow() const override { return m_windowGone ? 0 : m_window; }

 private:
  static unsigned int fontCursor(CCursorType type) {
    switch (type) {
      case kCursorWait: return XC_watch;
      case kCursorHSize: return XC_sb_h_double_arrow;
      case kCursorVSize: return XC_sb_v_double_arrow;
      case kCursorSizeAll: return XC_fleur;
      case kCursorNESWSize: return XC_bottom_left_corner;
      case kCursorNWSESize: return XC_bottom_right_corner;
      case kCursorCopy: return XC_plus;
      case kCursorNotAllowed: return XC_X_cursor;
      case kCursorHand: return XC_hand2;
      case kCursorIBeam: return XC_xterm;
      default: return XC_left_ptr;
    }
  }

  void dispatch(XEvent& event) {
    if (m_popup && routeToPopup(event)) return;
    if (event.xany.window != m_window) return;
    switch (event.type) {
      case Expose: {
        m_exposed.unite(CRect(event.xexpose.x, event.xexpose.y, event.xexpose.x + event.xexpose.width,
                              event.xexpose.y + event.xexpose.height));
        if (event.xexpose.count == 0) {
          present(m_exposed);
          m_exposed = CRect();
        }
        break;
      }
      case ButtonPress: {
        CPoint where(event.xbutton.x, event.xbutton.y);
        const unsigned int button = event.xbutton.button;
        if (button >= 4 && button <= 7) {
          const float distance = (button == 4 || button == 6) ? 1.f : -1.f;
          const CMouseWheelAxis axis = button <= 5 ? kMouseWheelAxisY : kMouseWheelAxisX;
          m_frame.platformOnMouseWheel(where, axis, distance, CButtonState(modifiersFromState(event.xbutton.state)));
          break;
        }
        uint32_t buttons = buttonsFromState(event.xbutton.state) | buttonFlag(button);
        // A second press of the same button, close by and soon, is a double click.
        if (button == m_lastPressButton && event.xbutton.time - m_lastPressTime < 400 &&
            std::abs(event.xbutton.x - m_lastPressX) < 4 && std::abs(event.xbutton.y - m_lastPressY) < 4)
          buttons |= kDoubleClick;
        m_lastPressButton = button;
        m_lastPressTime = event.xbutton.time;
        m_lastPressX = event.xbutton.x;
        m_lastPressY = event.xbutton.y;
        if (buttons & kDoubleClick) m_lastPressButton = 0;
        m_frame.platformOnMouseDown(where, CButtonState(buttons));
        break;
      }
      case ButtonRelease: {
        if (event.xbutton.button >= 4) break;
        CPoint where(event.xbutton.x, event.xbutton.y);
        m_frame.platformOnMouseUp(where, CButtonState(modifiersFromState(event.xbutton.state) | buttonFlag(event.xbutton.button)));
        break;
      }
      case MotionNotify: {
        // Only the latest of a run of positions matters (never skipping past another event).
        XEvent next;
        while (XEventsQueued(m_display, QueuedAlready) > 0) {
          XPeekEvent(m_display, &next);
          if (next.type != MotionNotify || next.xany.window != m_window) break;
          XNextEvent(m_display, &event);
        }
        CPoint where(event.xmotion.x, event.xmotion.y);
        m_frame.platformOnMouseMoved(where, CButtonState(buttonsFromState(event.xmotion.state)));
        break;
      }
      case EnterNotify: {
        CPoint where(event.xcrossing.x, event.xcrossing.y);
        m_frame.platformOnMouseMoved(where, CButtonState(buttonsFromState(event.xcrossing.state)));
        break;
      }
      case LeaveNotify: {
        if (event.xcrossing.mode != NotifyNormal) break;
        CPoint where(event.xcrossing.x, event.xcrossing.y);
        m_frame.platformOnMouseExited(where, CButtonState(buttonsFromState(event.xcrossing.state)));
        break;
      }
      case KeyPress: {
        VstKeyCode code = keyCodeFromEvent(event.xkey);
        m_frame.platformOnKeyDown(code);
        break;
      }
      case KeyRelease: {
        VstKeyCode code = keyCodeFromEvent(event.xkey);
        m_frame.platformOnKeyUp(code);
        break;
      }
      case FocusOut:
        // Focus moves caused by grabs (our own pop-ups) and the pointer-focus bookkeeping of
        // the server (detail NotifyPointer) are not the user leaving.
        if (event.xfocus.mode == NotifyNormal && event.xfocus.detail != NotifyPointer &&
            event.xfocus.detail != NotifyInferior && m_hasFocus) {
          m_hasFocus = false;
          m_previousFocus = None;
          m_frame.platformOnFocusLost();
        }
        break;
      case DestroyNotify:
        if (event.xdestroywindow.window == m_window) m_windowGone = true;
        break;
      default: break;
    }
  }

  // While a pop-up is open it gets every pointer and key event; true when the event was used.
  bool routeToPopup(XEvent& event) {
    X11PopupWindow& popup = *m_popup;
    IPlatformWindowCallback& callback = popup.callback();
    auto local = [&](int rootX, int rootY) {
      return CPoint(rootX - popup.rootOrigin().x, rootY - popup.rootOrigin().y);
    };
    switch (event.type) {
      case Expose:
        if (event.xany.window != popup.window()) return false;
        presentPopup(popup, CRect(event.xexpose.x, event.xexpose.y, event.xexpose.x + event.xexpose.width,
                                  event.xexpose.y + event.xexpose.height));
        return true;
      case ButtonPress: {
        if (event.xbutton.button >= 4 && event.xbutton.button <= 5) {
          callback.platformOnMouseWheel(local(event.xbutton.x_root, event.xbutton.y_root), kMouseWheelAxisY,
                                        event.xbutton.button == 4 ? 1.f : -1.f, CButtonState());
          return true;
        }
        CPoint where = local(event.xbutton.x_root, event.xbutton.y_root);
        const CRect bounds(CPoint(0, 0), CPoint(cairo_xlib_surface_get_width(popup.surface()),
                                                cairo_xlib_surface_get_height(popup.surface())));
        if (!bounds.pointInside(where)) {
          callback.platformOnClickOutside();
          return true;
        }
        callback.platformOnMouseDown(where, CButtonState(buttonsFromState(event.xbutton.state) | buttonFlag(event.xbutton.button)));
        return true;
      }
      case ButtonRelease: {
        CPoint where = local(event.xbutton.x_root, event.xbutton.y_root);
        callback.platformOnMouseUp(where, CButtonState(buttonFlag(event.xbutton.button)));
        return true;
      }
      case MotionNotify: {
        CPoint where = local(event.xmotion.x_root, event.xmotion.y_root);
        callback.platformOnMouseMoved(where, CButtonState(buttonsFromState(event.xmotion.state)));
        return true;
      }
      case KeyPress: {
        VstKeyCode code = keyCodeFromEvent(event.xkey);
        callback.platformOnKeyDown(code);
        return true;
      }
      case KeyRelease: return true;
      case EnterNotify:
      case LeaveNotify: return event.xany.window == popup.window();
      default: return false;
    }
  }

  IPlatformWindowCallback& m_frame;
  Display* m_display;
  Window m_parent;
  Window m_window = 0;
  cairo_surface_t* m_surface = nullptr;
  int m_width = 1, m_height = 1;
  int m_errors = 0;
  bool m_windowGone = false;
  bool m_hasFocus = false;
  Window m_previousFocus = None;
  std::map<CCursorType, Cursor> m_cursors;
  CRect m_exposed;
  X11PopupWindow* m_popup = nullptr;
  unsigned int m_lastPressButton = 0;
  Time m_lastPressTime = 0;
  int m_lastPressX = 0, m_lastPressY = 0;
};

X11PopupWindow::~X11PopupWindow() { m_owner.destroyPopup(*this); }

void X11PopupWindow::present(const CRect& rect) { m_owner.presentPopup(*this, rect); }

}  // namespace

std::unique_ptr<IPlatformFrame> X11Frame::create(IPlatformWindowCallback& frame, const CRect& size, uintptr_t parent) {
  if (!parent) return nullptr;
  // A busy server may turn a connection away for a moment (EAGAIN); try a few times, briefly.
  Display* display = XOpenDisplay(nullptr);
  for (int attempt = 0; !display && errno == EAGAIN && attempt < 5; ++attempt) {
    usleep(10000);
    display = XOpenDisplay(nullptr);
  }
  if (!display) return nullptr;
  auto platformFrame = std::make_unique<X11PlatformFrame>(frame, display, static_cast<Window>(parent));
  if (!platformFrame->create(size)) return nullptr;  // the destructor closes the display
  return platformFrame;
}

}  // namespace VSTGUI::X11
