// The editor's mouse and keyboard gestures through real input: a test host opens the built
// plug-in in an X window under Xvfb and xdotool clicks, rolls the wheel and types. What the host
// hears (parameter values, gestures) and what the window shows are checked.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "tests/editor/window/WindowTestHost.h"

namespace fs = std::filesystem;
using editortest::WindowTestHost;

namespace {

constexpr int kRate1 = 0;    // knob at 91, 89, 44 x 44
constexpr int kLevel = 3;    // knob at 301, 89, 44 x 44
constexpr int kGainOut = 29; // knob at 779, 188, 54 x 54 at the normal size

struct Rgb {
  int red, green, blue;
};

Rgb pixelAt(cairo_surface_t* shot, double x, double y) {
  Rgb c{};
  WindowTestHost::pixel(shot, static_cast<int>(x), static_cast<int>(y), c.red, c.green, c.blue);
  return c;
}

class EditorInputTest : public testing::Test {
 protected:
  void SetUp() override {
    root = fs::temp_directory_path() / ("skarvel-editor-input-" + std::to_string(::getpid()));
    fs::remove_all(root);
    fs::create_directories(settingsFolder());
    ::setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
    fs::create_directories(EDITOR_TEST_OUTPUT_DIR);
    host = std::make_unique<WindowTestHost>();
    if (!host->hasDisplay()) GTEST_SKIP() << "no X display (run through run-under-xvfb.sh)";
    std::string error;
    ASSERT_TRUE(host->load(EDITOR_TEST_PLUGIN, error)) << error;
  }
  void TearDown() override {
    host.reset();
    if (!savedPath.empty()) ::setenv("PATH", savedPath.c_str(), 1);
    std::error_code ignored;
    fs::remove_all(root, ignored);
  }

  fs::path settingsFolder() const { return root / "config" / "Brenmoor" / "Skarvel"; }
  void store(const std::string& value, const std::string& text) {
    std::ofstream(settingsFolder() / value, std::ios::binary).write(text.c_str(), text.size() + 1);
  }
  void storeSize(float index) {
    std::ofstream(settingsFolder() / "skin", std::ios::binary).write(reinterpret_cast<const char*>(&index), 4);
  }
  // Sets a parameter as the host would and lets the editor show it.
  void setParameter(int id, float value) {
    host->setParameter(id, value);
    host->idle(150);
  }
  std::vector<std::string> gestures(int id) const {
    std::vector<std::string> heard;
    for (const auto& r : host->requests) {
      if (r.index != id) continue;
      if (r.opcode == vst2::host::beginEdit) heard.push_back("begin");
      if (r.opcode == vst2::host::endEdit) heard.push_back("end");
      if (r.opcode == vst2::host::automate) heard.push_back("automate");
    }
    return heard;
  }
  bool key(const std::string& name) { return host->xdotool({"key", name}); }
  bool typeText(const std::string& text) { return host->xdotool({"type", "--delay", "30", text}); }
  // A stand-in for the desktop's opener on the PATH that records what it is asked to open.
  fs::path fakeOpener() {
    const fs::path bin = root / "bin";
    fs::create_directories(bin);
    const fs::path log = root / "opened.txt";
    std::ofstream(bin / "xdg-open") << "#!/bin/sh\necho \"$1\" >> '" << log.string() << "'\n";
    fs::permissions(bin / "xdg-open", fs::perms::owner_all);
    savedPath = std::getenv("PATH");
    ::setenv("PATH", (bin.string() + ":" + savedPath).c_str(), 1);
    return log;
  }
  static int lineCount(const fs::path& file) {
    std::ifstream in(file);
    int lines = 0;
    for (std::string line; std::getline(in, line);) ++lines;
    return lines;
  }

  fs::path root;
  std::string savedPath;
  std::unique_ptr<WindowTestHost> host;
};

TEST_F(EditorInputTest, ACircularClickTakesTheValueAtTheClickedAngle) {
  ASSERT_TRUE(host->openEditor());
  setParameter(kLevel, 0.0f);
  ASSERT_TRUE(host->click(323 + 17, 111));  // three o'clock on the level knob
  EXPECT_NEAR(host->getParameter(kLevel), 5.0f / 6.0f, 0.03f);
  setParameter(kLevel, 1.0f);
  ASSERT_TRUE(host->click(323 - 17, 111));  // nine o'clock, from the top of the range
  EXPECT_NEAR(host->getParameter(kLevel), 1.0f / 6.0f, 0.03f);
}

TEST_F(EditorInputTest, EveryQuickClickOnTheManualIconOpensTheManual) {
  const fs::path log = fakeOpener();
  ASSERT_TRUE(host->openEditor());
  for (int i = 0; i < 4; ++i) {
    ASSERT_TRUE(host->click(704, 19));  // xdotool holds the button for a few milliseconds only
    host->idle(450);                    // apart enough not to make a double click
  }
  for (int wait = 0; wait < 100 && lineCount(log) < 4; ++wait) host->idle(20);
  EXPECT_EQ(lineCount(log), 4);
}

TEST_F(EditorInputTest, TheWheelStepsAKnobAndShiftStepsFinerEachNotchAGesture) {
  ASSERT_TRUE(host->openEditor());
  setParameter(kLevel, 0.5f);
  ASSERT_TRUE(host->hoverAt(323, 111));
  host->requests.clear();
  ASSERT_TRUE(host->xdotool({"click", "4"}));
  EXPECT_NEAR(host->getParameter(kLevel), 0.52f, 1e-5);
  ASSERT_TRUE(host->xdotool({"keydown", "shift", "click", "5", "keyup", "shift"}));
  EXPECT_NEAR(host->getParameter(kLevel), 0.518f, 1e-5);
  EXPECT_EQ(gestures(kLevel),
            (std::vector<std::string>{"begin", "automate", "end", "begin", "automate", "end"}));
}

TEST_F(EditorInputTest, ADoubleClickSetsTheParametersTableDefault) {
  ASSERT_TRUE(host->openEditor());
  setParameter(kGainOut, 0.9f);
  ASSERT_TRUE(host->hoverAt(806 + 20, 215));
  ASSERT_TRUE(host->xdotool({"click", "--repeat", "2", "--delay", "80", "1"}));
  EXPECT_FLOAT_EQ(host->getParameter(kGainOut), 0.5f);
}

TEST_F(EditorInputTest, ARightClickOpensAFieldWhereReturnAppliesAndEscapeCancels) {
  ASSERT_TRUE(host->openEditor());
  setParameter(kRate1, 0.5f);
  ASSERT_TRUE(host->hoverAt(113, 111));
  ASSERT_TRUE(host->xdotool({"click", "3"}));
  host->requests.clear();
  ASSERT_TRUE(typeText("1000"));
  ASSERT_TRUE(key("Return"));
  EXPECT_NEAR(host->getParameter(kRate1), std::log(40.0) / std::log(360.0), 1e-5);
  EXPECT_EQ(gestures(kRate1), (std::vector<std::string>{"begin", "automate", "end"}));

  // Text that is no number changes nothing and leaves the field open; Escape closes it.
  ASSERT_TRUE(host->xdotool({"click", "3"}));
  ASSERT_TRUE(typeText("loud"));
  ASSERT_TRUE(key("Return"));
  cairo_surface_t* refused = host->screenshot();
  ASSERT_TRUE(key("Escape"));
  cairo_surface_t* closed = host->screenshot();
  const std::string path = std::string(EDITOR_TEST_OUTPUT_DIR) + "/editor-typed-entry-refused.png";
  cairo_surface_write_to_png(refused, path.c_str());
  EXPECT_NEAR(host->getParameter(kRate1), std::log(40.0) / std::log(360.0), 1e-5);
  // The field's dark box sits over the knob while it is open.
  const Rgb inField = pixelAt(refused, 113 - 38, 111);
  const Rgb afterwards = pixelAt(closed, 113 - 38, 111);
  EXPECT_TRUE(inField.red < 20 && inField.green < 20) << "the field is still there";
  EXPECT_FALSE(afterwards.red == inField.red && afterwards.green == inField.green && afterwards.blue == inField.blue);
  cairo_surface_destroy(refused);
  cairo_surface_destroy(closed);
}

TEST_F(EditorInputTest, TheReadoutShowsWhileTheMouseIsOverAKnobOnly) {
  ASSERT_TRUE(host->openEditor());
  ASSERT_TRUE(host->hoverAt(323, 111));
  host->idle(250);
  cairo_surface_t* shown = host->screenshot();
  const std::string path = std::string(EDITOR_TEST_OUTPUT_DIR) + "/editor-readout.png";
  cairo_surface_write_to_png(shown, path.c_str());
  // Below the knob: the readout's near-black box with light text on it.
  int box = 0, light = 0;
  for (int y = 136; y < 156; ++y)
    for (int x = 283; x < 363; ++x) {
      const Rgb c = pixelAt(shown, x, y);
      if (c.red == 18 && c.green == 18 && c.blue == 20) ++box;
      if (c.red > 200 && c.green > 200 && c.blue > 200) ++light;
    }
  EXPECT_GT(box, 300);
  EXPECT_GT(light, 20);
  ASSERT_TRUE(host->hoverAt(600, 250));
  host->idle(250);
  cairo_surface_t* gone = host->screenshot();
  int remaining = 0;
  for (int y = 136; y < 156; ++y)
    for (int x = 283; x < 363; ++x) {
      const Rgb c = pixelAt(gone, x, y);
      if (c.red == 18 && c.green == 18 && c.blue == 20) ++remaining;
    }
  EXPECT_LT(remaining, 20);
  cairo_surface_destroy(shown);
  cairo_surface_destroy(gone);
}

TEST_F(EditorInputTest, TheOptionsMenuTurnsOnVerticalKnobDragging) {
  ASSERT_TRUE(host->openEditor());
  ASSERT_TRUE(host->click(24, 23));  // the "?" options menu
  ASSERT_TRUE(key("Up"));            // from the first entry round to the last: "drag knobs vertically"
  ASSERT_TRUE(key("Return"));
  std::ifstream stored(settingsFolder() / "knobDrag", std::ios::binary);
  std::string value((std::istreambuf_iterator<char>(stored)), std::istreambuf_iterator<char>());
  EXPECT_EQ(value.substr(0, value.find('\0')), "vertical");
  // Now a drag straight up moves the knob by the distance, not to the angle.
  setParameter(kLevel, 0.0f);
  ASSERT_TRUE(host->drag(323 + 10, 111, 323 + 10, 71));  // 40 pixels up: +0.2
  EXPECT_NEAR(host->getParameter(kLevel), 0.2f, 0.02f);
}

TEST_F(EditorInputTest, ANewUserSeesTheDefaultTheme) {
  ASSERT_TRUE(host->openEditor());
  cairo_surface_t* shot = host->screenshot();
  const Rgb scope = pixelAt(shot, 700, 90);
  EXPECT_TRUE(scope.red == 43 && scope.green == 43 && scope.blue == 43) << "the Default theme's oscilloscope";
  cairo_surface_destroy(shot);
  EXPECT_FALSE(fs::exists(settingsFolder() / "appearanceName")) << "nothing written until the user chooses";
}

TEST_F(EditorInputTest, AHostThatCannotResizeKeepsTheEditorInsideItsWindow) {
  host->canResize = false;
  storeSize(1);
  ASSERT_TRUE(host->openEditor());
  ASSERT_TRUE(host->click(862 - 14, 18));  // "+"
  host->idle(200);
  int width = 0, height = 0;
  ASSERT_TRUE(host->windowSize(host->editorWindow(), width, height));
  EXPECT_EQ(width, 862) << "never larger than the host's window";
  EXPECT_EQ(height, 419);
  ASSERT_TRUE(host->click(400, 300));  // the notice that says why goes at a click
  ASSERT_TRUE(host->click(862 - 40, 18));  // "-": smaller fits inside
  ASSERT_TRUE(host->windowSize(host->editorWindow(), width, height));
  EXPECT_EQ(width, 767);
  ASSERT_TRUE(host->click(767 - 12, 16));  // the size control is still in reach: "+" again
  ASSERT_TRUE(host->windowSize(host->editorWindow(), width, height));
  EXPECT_EQ(width, 862);
}

}  // namespace
