// The editor in a real X window, through the plug-in module's own entry point, as a host runs
// it: sizes, themes, a knob drag, host automation, the size control, repeated opening, a host
// that destroys its window first, and what the host reads and is told after compare and a
// preset change. Screenshots are kept in the build folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include <dirent.h>
#include <unistd.h>

#include "tests/editor/window/WindowTestHost.h"

namespace fs = std::filesystem;
using editortest::WindowTestHost;

namespace {

constexpr int kLevelId = 3;  // the "level" knob: base rectangle 301, 89, 44, 44
constexpr int kLinearKnobMode = 2;

struct Rgb {
  int red, green, blue;
};

struct Theme {
  std::string name;
  Rgb graphBackground{43, 43, 43};
};

// The factory themes of the bundle, with the colour the oscilloscope is filled with.
std::vector<Theme> factoryThemes() {
  std::vector<Theme> themes;
  const fs::path folder = fs::path(EDITOR_TEST_PLUGIN).parent_path() / "Appearance" / "Factory";
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.path().extension() != ".yaml") continue;
    std::ifstream file(entry.path());
    std::stringstream text;
    text << file.rdbuf();
    const std::string yaml = text.str();
    Theme theme;
    std::smatch match;
    if (std::regex_search(yaml, match, std::regex(R"(\n\s*name:\s*\"?([^\"\n]+?)\"?\s*\n)"))) theme.name = match[1];
    if (std::regex_search(yaml, match, std::regex(R"(graphBackgroundRGB:\s*\[\s*(\d+)\s*,\s*(\d+)\s*,\s*(\d+))")))
      theme.graphBackground = {std::stoi(match[1]), std::stoi(match[2]), std::stoi(match[3])};
    if (!theme.name.empty()) themes.push_back(theme);
  }
  std::sort(themes.begin(), themes.end(), [](const Theme& a, const Theme& b) { return a.name < b.name; });
  return themes;
}

int openFileCount() {
  int count = 0;
  if (DIR* dir = opendir("/proc/self/fd")) {
    while (readdir(dir)) ++count;
    closedir(dir);
  }
  return count;
}

long residentKilobytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  return 0;
}

bool near(const Rgb& a, const Rgb& b, int tolerance = 2) {
  return std::abs(a.red - b.red) <= tolerance && std::abs(a.green - b.green) <= tolerance &&
         std::abs(a.blue - b.blue) <= tolerance;
}

Rgb pixelAt(cairo_surface_t* shot, double x, double y) {
  Rgb c{};
  WindowTestHost::pixel(shot, static_cast<int>(x), static_cast<int>(y), c.red, c.green, c.blue);
  return c;
}

// Whether any pixel of the rectangle is clearly red (the "compare" label of an edited preset).
bool anyRed(cairo_surface_t* shot, double left, double top, double right, double bottom) {
  for (int y = static_cast<int>(top); y < static_cast<int>(bottom); ++y)
    for (int x = static_cast<int>(left); x < static_cast<int>(right); ++x) {
      const Rgb c = pixelAt(shot, x, y);
      if (c.red > 180 && c.green < 90 && c.blue < 90) return true;
    }
  return false;
}

int differingPixels(cairo_surface_t* a, cairo_surface_t* b, double left, double top, double right, double bottom) {
  int count = 0;
  for (int y = static_cast<int>(top); y < static_cast<int>(bottom); ++y)
    for (int x = static_cast<int>(left); x < static_cast<int>(right); ++x)
      if (!near(pixelAt(a, x, y), pixelAt(b, x, y), 0)) ++count;
  return count;
}

class EditorWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    settingsRoot = fs::temp_directory_path() / ("skarvel-editor-window-" + std::to_string(::getpid()));
    fs::remove_all(settingsRoot);
    fs::create_directories(settingsRoot);
    ::setenv("XDG_CONFIG_HOME", settingsRoot.c_str(), 1);
    fs::create_directories(EDITOR_TEST_OUTPUT_DIR);
    host = std::make_unique<WindowTestHost>();
    if (!host->hasDisplay()) GTEST_SKIP() << "no X display (run through run-under-xvfb.sh)";
    std::string error;
    ASSERT_TRUE(host->load(EDITOR_TEST_PLUGIN, error)) << error;
  }
  void TearDown() override {
    host.reset();
    std::error_code ignored;
    fs::remove_all(settingsRoot, ignored);
  }

  fs::path settingsFolder() const { return settingsRoot / "Brenmoor" / "Skarvel"; }
  void storeSize(float index) {
    fs::create_directories(settingsFolder());
    std::ofstream(settingsFolder() / "skin", std::ios::binary).write(reinterpret_cast<const char*>(&index), 4);
  }
  float storedSize() const {
    float index = -1;
    std::ifstream(settingsFolder() / "skin", std::ios::binary).read(reinterpret_cast<char*>(&index), 4);
    return index;
  }
  void storeTheme(const std::string& name) {
    fs::create_directories(settingsFolder());
    std::ofstream(settingsFolder() / "appearanceName", std::ios::binary).write(name.c_str(), name.size() + 1);
  }
  void save(cairo_surface_t* shot, const std::string& name) {
    ASSERT_NE(shot, nullptr);
    const std::string path = std::string(EDITOR_TEST_OUTPUT_DIR) + "/" + name;
    EXPECT_EQ(cairo_surface_write_to_png(shot, path.c_str()), CAIRO_STATUS_SUCCESS) << path;
  }
  std::vector<WindowTestHost::Request> requestsOf(std::int32_t opcode) const {
    std::vector<WindowTestHost::Request> found;
    for (const auto& r : host->requests)
      if (r.opcode == opcode) found.push_back(r);
    return found;
  }

  fs::path settingsRoot;
  std::unique_ptr<WindowTestHost> host;
};

TEST_F(EditorWindowTest, OpensAtEachStoredSizeWithTheHostsRectangleAndDrawsIt) {
  const struct {
    float stored;
    int width, height;
  } sizes[] = {{0, 767, 372}, {1, 862, 419}, {2, 1051, 511}, {3, 1206, 586}, {4, 1465, 712}, {5, 1706, 829}};
  storeTheme("Default");
  for (const auto& size : sizes) {
    SCOPED_TRACE(size.stored);
    storeSize(size.stored);
    int width = 0, height = 0;
    ASSERT_TRUE(host->editorSize(width, height)) << "the rectangle is known before the editor opens";
    EXPECT_EQ(width, size.width);
    EXPECT_EQ(height, size.height);
    ASSERT_TRUE(host->openEditor());
    int childWidth = 0, childHeight = 0;
    ASSERT_TRUE(host->windowSize(host->editorWindow(), childWidth, childHeight));
    EXPECT_EQ(childWidth, size.width);
    EXPECT_EQ(childHeight, size.height);
    cairo_surface_t* shot = host->screenshot();
    save(shot, "editor-size-" + std::to_string(static_cast<int>(size.stored)) + ".png");
    const double s = size.width / 862.0;
    // The toolbar strip's upper band, between the save button and the preset name.
    EXPECT_TRUE(near(pixelAt(shot, 186 * s, 2 * s), {45, 45, 45})) << "top strip";
    // The oscilloscope's fill in the "Default" theme.
    EXPECT_TRUE(near(pixelAt(shot, 700 * s, 90 * s), {43, 43, 43})) << "oscilloscope";
    cairo_surface_destroy(shot);
    host->closeEditor();
  }
}

TEST_F(EditorWindowTest, EachFactoryThemePaintsTheWindow) {
  const auto themes = factoryThemes();
  ASSERT_FALSE(themes.empty());
  for (const Theme& theme : themes) {
    SCOPED_TRACE(theme.name);
    storeTheme(theme.name);
    ASSERT_TRUE(host->openEditor());
    cairo_surface_t* shot = host->screenshot();
    std::string file = theme.name;
    std::replace_if(file.begin(), file.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '-');
    save(shot, "editor-theme-" + file + ".png");
    EXPECT_TRUE(near(pixelAt(shot, 700, 90), theme.graphBackground)) << "the oscilloscope takes the theme's colour";
    cairo_surface_destroy(shot);
    host->closeEditor();
  }
}

TEST_F(EditorWindowTest, DraggingAKnobAutomatesTheHostBetweenBeginAndEndEdit) {
  host->dispatch(vst2::effect::setEditKnobMode, 0, kLinearKnobMode);
  ASSERT_TRUE(host->openEditor());
  const float before = host->getParameter(kLevelId);
  host->requests.clear();
  ASSERT_TRUE(host->drag(323, 111, 323, 71));  // 40 pixels up: +0.2 in linear mode

  std::vector<WindowTestHost::Request> gesture;
  for (const auto& r : host->requests)
    if (r.opcode == vst2::host::automate || r.opcode == vst2::host::beginEdit || r.opcode == vst2::host::endEdit)
      gesture.push_back(r);
  ASSERT_GE(gesture.size(), 3u);
  EXPECT_EQ(gesture.front().opcode, vst2::host::beginEdit);
  EXPECT_EQ(gesture.back().opcode, vst2::host::endEdit);
  for (const auto& r : gesture) EXPECT_EQ(r.index, kLevelId);
  const auto automations = requestsOf(vst2::host::automate);
  ASSERT_FALSE(automations.empty());
  const float after = host->getParameter(kLevelId);
  EXPECT_NEAR(after, std::min(1.0f, before + 0.2f), 0.02f);
  EXPECT_FLOAT_EQ(automations.back().opt, after) << "the host heard the value the sound now uses";

  cairo_surface_t* shot = host->screenshot();
  save(shot, "editor-after-drag.png");
  EXPECT_TRUE(anyRed(shot, 54, 10, 113, 26)) << "the \"compare\" label shows the preset as edited";
  cairo_surface_destroy(shot);
}

TEST_F(EditorWindowTest, HostAutomationMovesTheControlWithoutMarkingThePresetEdited) {
  ASSERT_TRUE(host->openEditor());
  cairo_surface_t* before = host->screenshot();
  host->requests.clear();
  const float value = host->getParameter(kLevelId) > 0.5f ? 0.05f : 0.95f;
  host->setParameter(kLevelId, value);
  host->idle(250);
  cairo_surface_t* after = host->screenshot();
  save(after, "editor-after-host-change.png");
  EXPECT_GT(differingPixels(before, after, 301, 89, 345, 133), 20) << "the knob moved";
  EXPECT_EQ(differingPixels(before, after, 161, 89, 205, 133), 0) << "its neighbour did not";
  EXPECT_TRUE(requestsOf(vst2::host::automate).empty()) << "nothing is sent back to the host";
  EXPECT_FALSE(anyRed(after, 54, 10, 113, 26)) << "the preset is not shown as edited";
  EXPECT_FLOAT_EQ(host->getParameter(kLevelId), value);
  cairo_surface_destroy(before);
  cairo_surface_destroy(after);
}

TEST_F(EditorWindowTest, PlusOnTheSizeControlAtFiveGivesTheNormalSize) {
  storeSize(5);
  storeTheme("Default");
  ASSERT_TRUE(host->openEditor());
  const double s = 1706 / 862.0;
  host->requests.clear();
  ASSERT_TRUE(host->click(1706 - 14 * s, 18 * s));  // the plus half of the size control
  host->idle(200);
  const auto resizes = requestsOf(vst2::host::sizeWindow);
  ASSERT_EQ(resizes.size(), 1u);
  EXPECT_EQ(resizes[0].index, 862);
  EXPECT_EQ(resizes[0].value, 419);
  int width = 0, height = 0;
  ASSERT_TRUE(host->windowSize(host->editorWindow(), width, height));
  EXPECT_EQ(width, 862);
  EXPECT_EQ(height, 419);
  ASSERT_TRUE(host->editorSize(width, height));
  EXPECT_EQ(width, 862);
  EXPECT_EQ(storedSize(), 6.0f) << "the size control's index is stored";
  cairo_surface_t* shot = host->screenshot();
  save(shot, "editor-after-resize.png");
  EXPECT_TRUE(near(pixelAt(shot, 700, 90), {43, 43, 43})) << "the oscilloscope is redrawn at its new place";
  cairo_surface_destroy(shot);

  // Reopened, the window keeps the normal size.
  host->closeEditor();
  ASSERT_TRUE(host->editorSize(width, height));
  EXPECT_EQ(width, 862);
  EXPECT_EQ(height, 419);
}

TEST_F(EditorWindowTest, AHostThatRefusesToResizeKeepsTheWindowAsItWas) {
  storeSize(1);
  host->allowResize = false;
  ASSERT_TRUE(host->openEditor());
  ASSERT_TRUE(host->click(862 - 14, 18));
  int width = 0, height = 0;
  ASSERT_TRUE(host->windowSize(host->editorWindow(), width, height));
  EXPECT_EQ(width, 862);
  EXPECT_EQ(storedSize(), 2.0f) << "the choice is still stored for the next opening";
  host->closeEditor();
  ASSERT_TRUE(host->editorSize(width, height));
  EXPECT_EQ(width, 1051);
}

TEST_F(EditorWindowTest, ClosingAndReopeningTwentyTimesLeaksNothing) {
  ASSERT_TRUE(host->openEditor());
  host->closeEditor();
  host->idle(50);
  const int files = openFileCount();
  const long resident = residentKilobytes();
  for (int round = 0; round < 20; ++round) {
    ASSERT_TRUE(host->openEditor()) << round;
    host->idle(30);
    host->closeEditor();
    EXPECT_EQ(host->editorWindow(), 0u) << "the editor's window is gone after close";
  }
  host->idle(50);
  EXPECT_EQ(openFileCount(), files) << "every display connection and file was closed";
  EXPECT_LT(residentKilobytes() - resident, 6 * 1024) << "memory stays put across openings";
}

TEST_F(EditorWindowTest, AHostThatDestroysItsWindowFirstCanStillCloseAndReopen) {
  ASSERT_TRUE(host->openEditor());
  host->destroyParentWindow();
  host->idle(60);
  host->closeEditor();
  host->idle(30);
  ASSERT_TRUE(host->openEditor()) << "a new window works after the old one vanished";
  EXPECT_NE(host->editorWindow(), 0u);
}

TEST_F(EditorWindowTest, MetersAndScopeFollowTheSoundWhenTheHostIdlesSlowly) {
  ASSERT_TRUE(host->openEditor());
  cairo_surface_t* before = host->screenshot();
  host->dispatch(vst2::effect::setSampleRate, 0, 0, nullptr, 44100.0f);
  host->dispatch(vst2::effect::setBlockSize, 0, 256);
  host->dispatch(vst2::effect::mainsChanged, 0, 1);
  vst2::MidiEvent note{};
  note.type = vst2::kMidiEventType;
  note.byteSize = sizeof(note);
  note.midiData[0] = static_cast<char>(0x90);
  note.midiData[1] = 60;
  note.midiData[2] = 120;
  vst2::EventList events{};
  events.numEvents = 1;
  events.events[0] = reinterpret_cast<vst2::Event*>(&note);
  host->dispatch(vst2::effect::processEvents, 0, 0, &events);
  // A host idling at 5 Hz: each idle call hands over what the engine played since the last.
  for (int call = 0; call < 4; ++call) {
    host->process(40, 256);
    host->idle(200, 200);
  }
  cairo_surface_t* after = host->screenshot();
  save(after, "editor-playing.png");
  EXPECT_GT(differingPixels(before, after, 530, 73, 731, 159), 50) << "the oscilloscope shows the sound";
  cairo_surface_destroy(before);
  cairo_surface_destroy(after);
}

TEST_F(EditorWindowTest, ComparingChangesWhatTheHostReadsAndWhatItSaves) {
  storeSize(6);  // the normal size: the toolbar at its base coordinates
  ASSERT_TRUE(host->openEditor());
  auto chunkLevel = [&] {
    void* data = nullptr;
    const std::intptr_t size = host->dispatch(vst2::effect::getChunk, 0, 0, &data);
    const std::string text(static_cast<const char*>(data), static_cast<std::size_t>(size));
    const std::size_t at = text.find("\n  Level: ");
    return at == std::string::npos ? -1.0f : std::stof(text.substr(at + 10));
  };
  const float original = host->getParameter(kLevelId);
  const float edited = original > 0.5f ? 0.0625f : 0.9375f;
  host->setParameter(kLevelId, edited);
  host->idle(100);
  host->requests.clear();
  ASSERT_TRUE(host->click(83, 18));  // "compare": the stored values sound
  host->idle(150);
  EXPECT_NEAR(host->getParameter(kLevelId), original, 1e-6) << "the host reads what is heard";
  EXPECT_NEAR(chunkLevel(), original, 1e-5) << "a project saved now reloads to what was heard";
  bool told = false;
  for (const auto& r : requestsOf(vst2::host::automate)) told = told || (r.index == kLevelId && r.opt == original);
  EXPECT_TRUE(told) << "the host was told to re-read the value";
  ASSERT_TRUE(host->click(83, 18));  // back to the edits
  host->idle(150);
  EXPECT_FLOAT_EQ(host->getParameter(kLevelId), edited);
  EXPECT_NEAR(chunkLevel(), edited, 1e-5);
}

TEST_F(EditorWindowTest, ThePresetStepperTellsTheHostTheNewValuesWithoutAGesture) {
  storeSize(6);
  ASSERT_TRUE(host->openEditor());
  host->requests.clear();
  ASSERT_TRUE(host->click(650, 38));  // the preset stepper's right half: the next preset
  host->idle(150);
  const auto automations = requestsOf(vst2::host::automate);
  ASSERT_FALSE(automations.empty()) << "the next factory preset differs in some values";
  for (const auto& r : automations) EXPECT_FLOAT_EQ(host->getParameter(r.index), r.opt) << r.index;
  EXPECT_FALSE(requestsOf(vst2::host::updateDisplay).empty());
  EXPECT_TRUE(requestsOf(vst2::host::beginEdit).empty()) << "a gesture would make the host record automation";
  EXPECT_TRUE(requestsOf(vst2::host::endEdit).empty());
}

}  // namespace
