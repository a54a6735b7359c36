// gui-demo: a window with one of each widget of the GUI layer, for trying it by hand.
// It plays the host: a top-level X11 window into which the frame is embedded, and an idle loop.
#include <X11/Xlib.h>
#include <poll.h>

#include <cstdio>

#include "tools/gui-demo/DemoPanel.h"

using namespace VSTGUI;

int main() {
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "gui-demo: cannot open the X display\n");
    return 1;
  }
  const int screen = DefaultScreen(display);
  Window window = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, guidemo::DemoPanel::kWidth,
                                      guidemo::DemoPanel::kHeight, 0, BlackPixel(display, screen),
                                      BlackPixel(display, screen));
  XStoreName(display, window, "GUI layer demo");
  Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
  XSetWMProtocols(display, window, &deleteWindow, 1);
  XSelectInput(display, window, StructureNotifyMask);
  XMapWindow(display, window);
  XSync(display, False);

  guidemo::DemoPanel panel;
  auto* frame = new CFrame(CRect(0, 0, guidemo::DemoPanel::kWidth, guidemo::DemoPanel::kHeight), nullptr);
  if (!frame->open(reinterpret_cast<void*>(window), PlatformType::kX11EmbedWindowID)) {
    std::fprintf(stderr, "gui-demo: cannot open the frame\n");
    return 1;
  }
  panel.build(frame);

  bool running = true;
  while (running) {
    while (XPending(display)) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type == ClientMessage && static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow) running = false;
      if (event.type == DestroyNotify) running = false;
    }
    frame->idle();
    // Sleep until either connection has something, at most 20 ms (the timers' resolution).
    pollfd fds[2] = {{ConnectionNumber(display), POLLIN, 0},
                     {frame->getPlatformFrame()->getEventFileDescriptor(), POLLIN, 0}};
    poll(fds, 2, 20);
  }
  frame->close();
  XDestroyWindow(display, window);
  XCloseDisplay(display);
  return 0;
}
