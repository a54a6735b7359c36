// The editor module as an LV2 host loads it: the UI binary from the bundle, instantiated with the
// plug-in instance (instance access), a parent X window, resize, touch and idle, under a private
// Xvfb, with real mouse input from xdotool.

#include <dlfcn.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

// GoogleTest before Xlib, whose macros (None, Bool) would clash with its names.
#include <gtest/gtest.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/ui/ui.h>

#include "Lv2Host.h"
#include "common/TempFolderName.h"
#include "lv2/Lv2Uris.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

extern char** environ;

namespace {

constexpr std::uint32_t kLevel = 3;  // the "level" knob, centre 323,111 of the window

struct Write {
  std::uint32_t port;
  float value;
};
struct Touch {
  std::uint32_t port;
  bool grabbed;
  std::size_t writesBefore;  // how many writes the UI had made when it touched
};

// An LV2 host's side of one UI: the parent window, the features, and what the UI asked.
class Lv2UiWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    setenv("LV2_PATH", "/usr/lib/lv2", 1);
    config = makeTempFolder("skarvel-lv2-ui-test-");
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);  // the window size starts at normal
    display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    std::string error;
    ASSERT_TRUE(host.load(SKARVEL_LV2_BUNDLE, lv2::kPluginUri, error)) << error;
    ASSERT_TRUE(host.instantiate(44100.0, error)) << error;
    host.activate();
    module = dlopen((std::string(SKARVEL_LV2_BUNDLE) + "/Skarvel_ui.so").c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(module, nullptr) << dlerror();
    auto entry = reinterpret_cast<LV2UI_DescriptorFunction>(dlsym(module, "lv2ui_descriptor"));
    ASSERT_NE(entry, nullptr);
    descriptor = entry(0);
    ASSERT_NE(descriptor, nullptr);
    EXPECT_STREQ(descriptor->URI, lv2::kUiUri);
    EXPECT_EQ(entry(1), nullptr);
    parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 900, 450, 0, 0, 0);
    XMapWindow(display, parent);
    XSync(display, False);
  }
  void TearDown() override {
    if (ui) descriptor->cleanup(ui);
    host.deactivate();
    host.freeInstance();
    if (module) dlclose(module);
    if (display) {
      XDestroyWindow(display, parent);
      XCloseDisplay(display);
    }
    std::filesystem::remove_all(config);
  }

  static void write(LV2UI_Controller controller, uint32_t port, uint32_t size, uint32_t format, const void* buffer) {
    auto* test = static_cast<Lv2UiWindowTest*>(controller);
    ASSERT_EQ(format, 0u);
    ASSERT_EQ(size, sizeof(float));
    float value = 0.0f;
    std::memcpy(&value, buffer, sizeof value);
    test->writes.push_back({port, value});
    test->host.setControl(port, value);  // as hosts do: the port takes the value
  }
  static int resize(LV2UI_Feature_Handle handle, int width, int height) {
    auto* test = static_cast<Lv2UiWindowTest*>(handle);
    test->sizes.emplace_back(width, height);
    XResizeWindow(test->display, test->parent, static_cast<unsigned>(width), static_cast<unsigned>(height));
    XSync(test->display, False);
    return 0;
  }
  static void touch(LV2UI_Feature_Handle handle, uint32_t port, bool grabbed) {
    auto* test = static_cast<Lv2UiWindowTest*>(handle);
    test->touches.push_back({port, grabbed, test->writes.size()});
  }

  LV2UI_Handle instantiate() {
    resizeFeature = {this, resize};
    touchFeature = {this, touch};
    const LV2_Feature instance{LV2_INSTANCE_ACCESS_URI, lilv_instance_get_handle(host.instance())};
    const LV2_Feature parentFeature{LV2_UI__parent, reinterpret_cast<void*>(parent)};
    const LV2_Feature resizing{LV2_UI__resize, &resizeFeature};
    const LV2_Feature touching{LV2_UI__touch, &touchFeature};
    const LV2_Feature map{LV2_URID__map, host.map()};
    const LV2_Feature* features[] = {&instance, &parentFeature, &resizing, &touching, &map, nullptr};
    LV2UI_Widget made = nullptr;
    LV2UI_Handle handle = descriptor->instantiate(descriptor, lv2::kPluginUri, SKARVEL_LV2_BUNDLE, write, this,
                                                  &made, features);
    if (handle) widget = reinterpret_cast<Window>(made);
    return handle;
  }
  bool open() {
    ui = instantiate();
    if (!ui) return false;
    idleInterface = static_cast<const LV2UI_Idle_Interface*>(descriptor->extension_data(LV2_UI__idleInterface));
    idle(300);
    return idleInterface != nullptr;
  }
  // The host's loop: a block of audio (unless `audio` is false), the UI's idle and the window's
  // events, every 15 ms.
  void idle(int milliseconds, bool audio = true) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    do {
      if (audio) host.run(256);
      if (ui) {
        EXPECT_EQ(idleInterface->idle(ui), 0);
      }
      while (XPending(display)) {
        XEvent event;
        XNextEvent(display, &event);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(15));
    } while (std::chrono::steady_clock::now() < end);
  }
  void portEvent(std::uint32_t port, float value) { descriptor->port_event(ui, port, sizeof value, 0, &value); }

  bool xdotool(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "xdotool");
    std::vector<char*> argv;
    for (auto& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, "xdotool", nullptr, nullptr, argv.data(), environ) != 0) return false;
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) idle(5);
    idle(120);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }
  std::pair<std::string, std::string> screen(int x, int y) {
    int sx = 0, sy = 0;
    Window child = 0;
    XTranslateCoordinates(display, parent, DefaultRootWindow(display), x, y, &sx, &sy, &child);
    return {std::to_string(sx), std::to_string(sy)};
  }
  bool click(int x, int y) {
    auto [sx, sy] = screen(x, y);
    return xdotool({"mousemove", sx, sy, "click", "1"});
  }
  // Knobs follow the mouse's angle: from the knob's top round to its right turns it clockwise.
  bool turnKnob(int cx, int cy) {
    auto [ax, ay] = screen(cx, cy - 17);
    auto [bx, by] = screen(cx + 12, cy - 12);
    auto [ex, ey] = screen(cx + 17, cy);
    return xdotool({"mousemove", ax, ay, "mousedown", "1"}) && xdotool({"mousemove", bx, by}) &&
           xdotool({"mousemove", ex, ey}) && xdotool({"mouseup", "1"});
  }
  std::vector<Window> children() {
    Window root = 0, up = 0, *list = nullptr;
    unsigned count = 0;
    std::vector<Window> found;
    if (XQueryTree(display, parent, &root, &up, &list, &count)) found.assign(list, list + count);
    if (list) XFree(list);
    return found;
  }
  std::pair<int, int> size(Window window) {
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, window, &attributes);
    return {attributes.width, attributes.height};
  }
  // The pixels of a part of the parent window as the server shows them.
  std::vector<unsigned long> pixels(int x, int y, int width, int height) {
    std::vector<unsigned long> out;
    XImage* image = XGetImage(display, parent, x, y, static_cast<unsigned>(width), static_cast<unsigned>(height), AllPlanes,
                              ZPixmap);
    if (!image) return out;
    for (int j = 0; j < height; ++j)
      for (int i = 0; i < width; ++i) out.push_back(XGetPixel(image, i, j));
    XDestroyImage(image);
    return out;
  }
  // The plug-in's state document (what a host would save).
  std::string document() {
    const std::string text = host.stateProperty(lv2::kStateProgramUri);
    return text.substr(0, text.find('\0'));
  }
  std::vector<Write> writesTo(std::uint32_t port) const {
    std::vector<Write> found;
    for (const Write& w : writes)
      if (w.port == port) found.push_back(w);
    return found;
  }

  lv2host::Lv2Host host;
  std::string config;
  Display* display = nullptr;
  Window parent = 0;
  Window widget = 0;
  void* module = nullptr;
  const LV2UI_Descriptor* descriptor = nullptr;
  const LV2UI_Idle_Interface* idleInterface = nullptr;
  LV2UI_Handle ui = nullptr;
  LV2UI_Resize resizeFeature{};
  LV2UI_Touch touchFeature{};
  std::vector<Write> writes;
  std::vector<Touch> touches;
  std::vector<std::pair<int, int>> sizes;
};

TEST_F(Lv2UiWindowTest, EditorOpensInTheHostsWindowAtItsSizeDrawsAndCloses) {
  ASSERT_TRUE(open());
  const std::vector<Window> inside = children();
  ASSERT_EQ(inside.size(), 1u);
  EXPECT_EQ(inside[0], widget) << "the widget is the editor's own window, a child of the host's";
  EXPECT_EQ(size(widget), std::make_pair(862, 419));
  ASSERT_FALSE(sizes.empty());
  EXPECT_EQ(sizes.back(), std::make_pair(862, 419)) << "the host is told the editor's size";
  const std::vector<unsigned long> shown = pixels(0, 0, 862, 419);
  EXPECT_GT(std::set<unsigned long>(shown.begin(), shown.end()).size(), 200u) << "the panel is drawn";
  // One editor per instance: a second UI is refused while this one is open.
  EXPECT_EQ(instantiate(), nullptr);
  EXPECT_TRUE(writes.empty()) << "opening changes none of the host's controls";
  descriptor->cleanup(ui);
  ui = nullptr;
  XSync(display, False);
  EXPECT_TRUE(children().empty()) << "closing takes the editor's window away";
}

TEST_F(Lv2UiWindowTest, KnobDragWritesTheHostsPortInsideATouchGesture) {
  ASSERT_TRUE(open());
  ASSERT_TRUE(turnKnob(323, 111));
  const std::vector<Write> level = writesTo(kLevel);
  ASSERT_FALSE(level.empty());
  EXPECT_GT(level.back().value, 0.55f) << "turned clockwise from 0.5";
  EXPECT_EQ(writes.size(), level.size()) << "only the knob's port is written";
  ASSERT_GE(touches.size(), 2u);
  EXPECT_EQ(touches.front().port, kLevel);
  EXPECT_TRUE(touches.front().grabbed);
  EXPECT_EQ(touches.front().writesBefore, 0u) << "the gesture begins before the first write";
  EXPECT_EQ(touches.back().port, kLevel);
  EXPECT_FALSE(touches.back().grabbed);
  EXPECT_EQ(touches.back().writesBefore, writes.size()) << "and ends after the last";
  // The host's port now holds the value, and so does the plug-in.
  idle(100);
  char expected[32];
  std::snprintf(expected, sizeof expected, "Level: %g\n", static_cast<double>(level.back().value));
  EXPECT_NE(document().find(expected), std::string::npos) << document();
  EXPECT_EQ(writesTo(kLevel).size(), level.size()) << "the port's own value is not written back";
}

TEST_F(Lv2UiWindowTest, HostPortChangeMovesTheKnobWithoutAWriteBack) {
  ASSERT_TRUE(open());
  const std::vector<unsigned long> before = pixels(301, 89, 44, 44);
  // The port event alone moves the knob, before any run has applied the value.
  portEvent(kLevel, 0.0f);
  idle(300, false);
  EXPECT_NE(pixels(301, 89, 44, 44), before) << "the knob shows the host's value";
  host.setControl(kLevel, 0.0f);
  idle(100);
  EXPECT_NE(document().find("Level: 0\n"), std::string::npos) << document();
  EXPECT_TRUE(writes.empty());
}

TEST_F(Lv2UiWindowTest, ProgramChosenInThePluginReachesTheHostsControls) {
  // A factory preset, then MIDI program change 1 of its list: the host's controls still hold
  // the first program; the open editor writes the second's values to them.
  ASSERT_TRUE(host.applyPreset(host.presets().begin()->first));
  ASSERT_TRUE(open());
  const std::uint8_t change[] = {0xC0, 1};
  host.addMidi(0, change, 2);
  idle(300);
  const std::string second = document();
  ASSERT_FALSE(writes.empty());
  for (const Write& w : writes) {
    char line[64];
    std::snprintf(line, sizeof line, "%g", static_cast<double>(w.value));
    EXPECT_NE(second.find(": " + std::string(line) + "\n"), std::string::npos) << "port " << w.port << " " << line;
  }
  // The ports took the values without editing the program, and nothing more is written.
  const std::size_t written = writes.size();
  idle(200);
  EXPECT_EQ(document(), second);
  EXPECT_EQ(writes.size(), written);
}

TEST_F(Lv2UiWindowTest, ProgramChangedBeforeTheEditorOpenedReachesTheHostOnceItHasTheUi) {
  ASSERT_TRUE(host.applyPreset(host.presets().begin()->first));
  host.run(256);
  const std::uint8_t change[] = {0xC0, 1};
  host.addMidi(0, change, 2);
  host.run(256);
  const std::string second = document();
  ui = instantiate();
  ASSERT_NE(ui, nullptr);
  EXPECT_TRUE(writes.empty()) << "nothing is written while the host creates the UI";
  idleInterface = static_cast<const LV2UI_Idle_Interface*>(descriptor->extension_data(LV2_UI__idleInterface));
  ASSERT_NE(idleInterface, nullptr);
  idle(300);
  ASSERT_FALSE(writes.empty()) << "the first idle passes bring the host's controls up to date";
  EXPECT_TRUE(touches.empty()) << "no gesture: the user did not make these changes";
  for (const Write& w : writes) {
    char line[64];
    std::snprintf(line, sizeof line, "%g", static_cast<double>(w.value));
    EXPECT_NE(second.find(": " + std::string(line) + "\n"), std::string::npos) << "port " << w.port << " " << line;
  }
  EXPECT_EQ(document(), second) << "the ports took the values without editing the program";
}

TEST_F(Lv2UiWindowTest, SizeControlResizesTheHostsWindow) {
  ASSERT_TRUE(open());
  ASSERT_TRUE(click(847, 18));  // the size control's "+"
  idle(300);
  ASSERT_FALSE(sizes.empty());
  EXPECT_EQ(sizes.back(), std::make_pair(1051, 511));
  EXPECT_EQ(size(widget), std::make_pair(1051, 511));
  ASSERT_TRUE(click(1004, 22));  // "-" at the larger size
  idle(300);
  EXPECT_EQ(sizes.back(), std::make_pair(862, 419));
  EXPECT_EQ(size(widget), std::make_pair(862, 419));
}

}  // namespace
