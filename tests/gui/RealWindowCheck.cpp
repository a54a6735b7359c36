// The GUI layer in a real X window: a test host opens a top-level window, embeds the demo
// frame in it, drives it with real X input from xdotool and takes screenshots.
#include <gtest/gtest.h>  // before Xlib, whose macros clash with its names

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cairo.h>
#include <dirent.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "tools/gui-demo/DemoPanel.h"

extern char** environ;

using namespace VSTGUI;
using guidemo::DemoPanel;

namespace {

bool haveProgram(const char* name) {
  const std::string command = std::string("command -v ") + name + " >/dev/null 2>&1";
  return std::system(command.c_str()) == 0;
}

int openFileCount() {
  int count = 0;
  if (DIR* dir = opendir("/proc/self/fd")) {
    while (readdir(dir)) ++count;
    closedir(dir);
  }
  return count;
}

class TestHost : public VSTGUIEditorInterface {
 public:
  TestHost() {
    // A server busy with the previous test's closing connections may refuse for a moment.
    display = XOpenDisplay(nullptr);
    for (int i = 0; !display && i < 50; ++i) {
      usleep(20000);
      display = XOpenDisplay(nullptr);
    }
    if (!display) return;
    window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, DemoPanel::kWidth, DemoPanel::kHeight, 0,
                                 0, 0);
    XMapWindow(display, window);
    XSync(display, False);
  }
  ~TestHost() override {
    if (frame) frame->close();
    if (display) {
      if (window) XDestroyWindow(display, window);
      XCloseDisplay(display);
    }
  }

  bool openFrame() {
    frame = new CFrame(CRect(0, 0, DemoPanel::kWidth, DemoPanel::kHeight), this);
    if (!frame->open(reinterpret_cast<void*>(window), PlatformType::kX11EmbedWindowID)) {
      frame->forget();
      frame = nullptr;
      return false;
    }
    panel = std::make_unique<DemoPanel>();
    panel->build(frame);
    pump(60);
    return true;
  }

  void closeFrame() {
    frame->close();
    frame = nullptr;
    panel.reset();
  }

  // Lets the frame handle its events and redraw, as a host's idle timer would.
  void pump(int milliseconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    do {
      if (frame) frame->idle();
      while (XPending(display)) {
        XEvent event;
        XNextEvent(display, &event);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    } while (std::chrono::steady_clock::now() < end);
  }

  // Runs xdotool with the arguments while the frame keeps idling.
  void xdotool(std::vector<std::string> args) {
    args.insert(args.begin(), "xdotool");
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    ASSERT_EQ(posix_spawnp(&pid, "xdotool", nullptr, nullptr, argv.data(), environ), 0);
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) pump(5);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "xdotool " << args[1] << " failed";
    pump(80);
  }

  // Screen coordinates of a point of the frame.
  std::pair<std::string, std::string> screen(const CPoint& p) const {
    int x = 0, y = 0;
    Window child;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), static_cast<int>(p.x),
                          static_cast<int>(p.y), &x, &y, &child);
    return {std::to_string(x), std::to_string(y)};
  }
  void click(const CPoint& p, const char* button = "1") {
    auto [x, y] = screen(p);
    xdotool({"mousemove", x, y, "click", button});
  }

  // The host window's pixels as the X server shows them.
  cairo_surface_t* screenshot() const {
    XImage* image = XGetImage(display, window, 0, 0, DemoPanel::kWidth, DemoPanel::kHeight, AllPlanes, ZPixmap);
    if (!image) return nullptr;
    cairo_surface_t* surface =
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, DemoPanel::kWidth, DemoPanel::kHeight);
    auto* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < DemoPanel::kHeight; ++y)
      for (int x = 0; x < DemoPanel::kWidth; ++x)
        reinterpret_cast<uint32_t*>(data + y * stride)[x] = static_cast<uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFF;
    cairo_surface_mark_dirty(surface);
    XDestroyImage(image);
    return surface;
  }

  static CColor pixel(cairo_surface_t* surface, int x, int y) {
    const uint32_t word = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(surface) +
                                                      y * cairo_image_surface_get_stride(surface))[x];
    return CColor((word >> 16) & 0xFF, (word >> 8) & 0xFF, word & 0xFF, 255);
  }

  void beginEdit(int32_t index) override { edits.push_back("begin " + std::to_string(index)); }
  void endEdit(int32_t index) override { edits.push_back("end " + std::to_string(index)); }

  Display* display = nullptr;
  Window window = 0;
  CFrame* frame = nullptr;
  std::unique_ptr<DemoPanel> panel;
  std::vector<std::string> edits;
};

std::string outputPath(const char* name) { return std::string(GUI_TEST_OUTPUT_DIR) + "/" + name; }

}  // namespace

TEST(GuiRealWindow, EmbeddedFrameDrawsIntoTheHostWindow) {
  TestHost host;
  ASSERT_NE(host.display, nullptr) << "DISPLAY must name a running X server";
  ASSERT_TRUE(host.openFrame());
  const uintptr_t child = host.frame->getPlatformFrame()->getNativeWindow();
  Window root, parent, *children = nullptr;
  unsigned int count = 0;
  XQueryTree(host.display, host.window, &root, &parent, &children, &count);
  ASSERT_EQ(count, 1u) << "the frame's window is a child of the host's window";
  EXPECT_EQ(children[0], child);
  XFree(children);

  cairo_surface_t* shot = host.screenshot();
  ASSERT_NE(shot, nullptr);
  EXPECT_EQ(cairo_surface_write_to_png(shot, outputPath("gui-window-screenshot.png").c_str()), CAIRO_STATUS_SUCCESS);
  EXPECT_EQ(TestHost::pixel(shot, 5, 300), DemoPanel::kBackground) << "the frame's background is on screen";
  cairo_surface_destroy(shot);
  EXPECT_EQ(host.frame->getPlatformFrame()->getErrorCount(), 0);
}

TEST(GuiRealWindow, RealInputDrivesTheControls) {
  if (!haveProgram("xdotool")) GTEST_SKIP() << "xdotool is not installed";
  TestHost host;
  ASSERT_NE(host.display, nullptr);
  ASSERT_TRUE(host.openFrame());
  DemoPanel& panel = *host.panel;

  // Drag the slider 50 pixels to the right: a quarter of its 200-pixel range.
  {
    auto [x, y] = host.screen(CPoint(170, 60));
    auto [x2, y2] = host.screen(CPoint(220, 60));
    host.xdotool({"mousemove", x, y, "mousedown", "1"});
    host.xdotool({"mousemove", x2, y2});
    host.xdotool({"mouseup", "1"});
  }
  EXPECT_NEAR(panel.slider->getValue(), 0.25f, 0.02f);
  EXPECT_NE(std::find(host.edits.begin(), host.edits.end(), "begin 1"), host.edits.end())
      << "the host hears the gesture begin";
  EXPECT_NE(std::find(host.edits.begin(), host.edits.end(), "end 1"), host.edits.end());

  // Open the menu and choose "Delta" in the pop-up window.
  host.click(CPoint(200, 100));
  CMenuPopup* popup = host.frame->getOpenPopup();
  ASSERT_NE(popup, nullptr) << "a click on the menu opens its pop-up";
  const CRect entry = popup->getEntryRect(4);
  host.click(CPoint(popup->getFrameRect().left + entry.getCenter().x, popup->getFrameRect().top + entry.getCenter().y));
  EXPECT_EQ(host.frame->getOpenPopup(), nullptr);
  EXPECT_EQ(panel.menu->getCurrentIndex(true), 4);
  EXPECT_EQ(panel.menu->getValue(), 4.f);

  // Escape closes the pop-up without a choice; so does a click outside.
  host.click(CPoint(200, 100));
  ASSERT_NE(host.frame->getOpenPopup(), nullptr);
  host.xdotool({"key", "Escape"});
  EXPECT_EQ(host.frame->getOpenPopup(), nullptr);
  host.click(CPoint(200, 100));
  ASSERT_NE(host.frame->getOpenPopup(), nullptr);
  host.click(CPoint(500, 20));
  EXPECT_EQ(host.frame->getOpenPopup(), nullptr);
  EXPECT_EQ(panel.menu->getCurrentIndex(true), 4) << "closing without a choice keeps the value";

  // Typing into the text field: it takes the keyboard focus and gives it back afterwards.
  XSetInputFocus(host.display, host.window, RevertToParent, CurrentTime);
  XSync(host.display, False);
  host.click(CPoint(200, 140));
  EXPECT_TRUE(panel.text->isTextEditing());
  host.xdotool({"key", "ctrl+a"});
  host.xdotool({"type", "--delay", "5", "Hello"});
  host.xdotool({"key", "Return"});
  EXPECT_FALSE(panel.text->isTextEditing());
  EXPECT_EQ(panel.text->getText(), "Hello");
  Window focus = 0;
  int revert = 0;
  XGetInputFocus(host.display, &focus, &revert);
  EXPECT_EQ(focus, host.window) << "the keyboard focus went back to the host's window";

  host.click(CPoint(200, 140));
  host.xdotool({"type", "--delay", "5", "xyz"});
  host.xdotool({"key", "Escape"});
  EXPECT_EQ(panel.text->getText(), "Hello") << "Escape cancels the edit";

  // The splash button shows its modal view; a click on the view closes it.
  host.click(CPoint(90, 245));
  EXPECT_EQ(host.frame->getModalView(), panel.splash->getSplashView());
  host.click(CPoint(250, 160));
  EXPECT_EQ(host.frame->getModalView(), nullptr);

  // The mouse wheel scrolls the data browser.
  host.click(CPoint(420, 200), "5");
  EXPECT_GT(panel.browser->getScrollOffset(), 0);

  cairo_surface_t* shot = host.screenshot();
  cairo_surface_write_to_png(shot, outputPath("gui-window-after-input.png").c_str());
  cairo_surface_destroy(shot);
  EXPECT_EQ(host.frame->getPlatformFrame()->getErrorCount(), 0);
}

TEST(GuiRealWindow, OpeningAndClosingTwentyTimesLeaksNothing) {
  TestHost host;
  ASSERT_NE(host.display, nullptr);
  // One round first, so that one-time caches (fonts, Xlib's own tables) are filled.
  ASSERT_TRUE(host.openFrame());
  host.closeFrame();
  const int files = openFileCount();
  const int64_t objects = CBaseObject::liveObjectCount();
  for (int round = 0; round < 20; ++round) {
    ASSERT_TRUE(host.openFrame()) << "round " << round;
    EXPECT_EQ(host.frame->getPlatformFrame()->getErrorCount(), 0) << "round " << round;
    host.closeFrame();
    Window root, parent, *children = nullptr;
    unsigned int count = 0;
    XQueryTree(host.display, host.window, &root, &parent, &children, &count);
    if (children) XFree(children);
    EXPECT_EQ(count, 0u) << "closing removes the frame's window (round " << round << ")";
  }
  EXPECT_EQ(openFileCount(), files) << "every display connection was closed";
  EXPECT_EQ(CBaseObject::liveObjectCount(), objects) << "every view was released";
}

TEST(GuiRealWindow, ClosingAfterTheHostDestroyedTheParentIsClean) {
  TestHost host;
  ASSERT_NE(host.display, nullptr);
  ASSERT_TRUE(host.openFrame());
  XDestroyWindow(host.display, host.window);
  XSync(host.display, False);
  host.window = 0;
  host.frame->idle();
  host.closeFrame();  // must neither crash nor end the process through an X error
  SUCCEED();
}

TEST(GuiRealWindow, OpeningOnAMissingParentFails) {
  auto* frame = new CFrame(CRect(0, 0, 100, 100), nullptr);
  EXPECT_FALSE(frame->open(reinterpret_cast<void*>(uintptr_t{0x7FFFFF0}), PlatformType::kX11EmbedWindowID));
  EXPECT_FALSE(frame->open(nullptr));
  frame->forget();
}
