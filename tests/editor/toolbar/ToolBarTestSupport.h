#pragma once

// A real plug-in core on a temporary data root (factory presets, a subfolder bank, themes), a
// real theme manager, and an offscreen frame with the toolbar built on it. The editor's side is
// a recorder; the desktop (browser, file chooser) is a recording back end around the real one.

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Frameworks/AppearanceManager/AppearanceManager.h"
#include "Frameworks/Core/PluginToHostInterface.h"
#include "Frameworks/Gui/CFrame.h"
#include "Frameworks/Gui/COptionMenu.h"
#include "Frameworks/Gui/CVSTGUITimer.h"
#include "Frameworks/Gui/Platform.h"
#include "Frameworks/PresetManager/PresetManager.h"
#include "platform/DataFolders.h"
#include "platform/FolderSettings.h"
#include "source/editor/ToolBar.h"
#include "source/plugin/SkarvelPlugin.h"
#include "source/plugin/SkarvelPluginFactory.h"

namespace toolbar_test {

namespace fs = std::filesystem;

// The desktop as the toolbar sees it: URLs and folders it was asked to open, and a file
// chooser whose answer the test decides.
class RecordingDesktop : public VSTGUI::IPlatformFactory {
 public:
  struct Selector : VSTGUI::IPlatformFileSelector {
    std::vector<std::string> answer;
    bool poll(std::vector<std::string>& files) override {
      files = answer;
      return true;
    }
  };

  RecordingDesktop() : m_real(VSTGUI::getDefaultPlatformFactory()) {}

  uint64_t getTicks() const override { return m_real.getTicks(); }
  VSTGUI::SharedPointer<VSTGUI::COffscreenContext> createOffscreenContext(const VSTGUI::CPoint& size,
                                                                          double scale) override {
    return m_real.createOffscreenContext(size, scale);
  }
  std::shared_ptr<VSTGUI::IPlatformBitmap> createBitmap(const VSTGUI::CPoint& size) override {
    return m_real.createBitmap(size);
  }
  std::shared_ptr<VSTGUI::IPlatformBitmap> loadBitmap(const std::string& path) override {
    return m_real.loadBitmap(path);
  }
  std::shared_ptr<VSTGUI::IPlatformFont> createFont(const VSTGUI::UTF8String& name, VSTGUI::CCoord size,
                                                    int32_t style) override {
    return m_real.createFont(name, size, style);
  }
  bool registerFontFile(const std::string& path, const VSTGUI::UTF8String& name) override {
    return m_real.registerFontFile(path, name);
  }
  bool isFontRegistered(const VSTGUI::UTF8String& name) const override { return m_real.isFontRegistered(name); }
  std::unique_ptr<VSTGUI::IPlatformFrame> createFrame(VSTGUI::IPlatformWindowCallback& frame,
                                                      const VSTGUI::CRect& size, void* parent,
                                                      VSTGUI::PlatformType type) override {
    return m_real.createFrame(frame, size, parent, type);
  }
  std::unique_ptr<VSTGUI::IPlatformFileSelector> startFileSelector(const VSTGUI::FileSelectorConfig& config,
                                                                   std::string& reason) override {
    selectorConfigs.push_back(config);
    if (!chooserAvailable) {
      reason = "no file chooser on this desktop";
      return nullptr;
    }
    auto selector = std::make_unique<Selector>();
    selector->answer = nextAnswer;
    return selector;
  }
  bool openUrl(const std::string& url, std::string& reason) override {
    openedUrls.push_back(url);
    if (openerAvailable) return true;
    reason = "no opener on this desktop";
    return false;
  }

  std::vector<std::string> openedUrls;
  std::vector<VSTGUI::FileSelectorConfig> selectorConfigs;
  std::vector<std::string> nextAnswer;
  bool chooserAvailable = true;
  bool openerAvailable = true;

 private:
  VSTGUI::IPlatformFactory& m_real;
};

struct SilentHost : core::PluginToHostInterface {
  void setParameterAutomated(int, float) override {}
  void updateDisplay() override {}
  void setEditor(core::AEffGUIEditor*) override {}
  void beginEdit(int) override {}
  void endEdit(int) override {}
  bool canHostDo(const char*) override { return false; }
  bool sizeWindow(int, int) override { return false; }
};

// What the toolbar asked of the editor.
struct RecordingEditor : skarvel::ToolBarToEditorInterface {
  explicit RecordingEditor(appearance::AppearanceManager*& themes) : themes(themes) {}
  void appearanceSelected(std::size_t position) override { appearances.push_back(position); }
  void guiSizeSelected(float sizeIndex) override { sizes.push_back(sizeIndex); }
  void reloadThemes() override {
    ++reloads;
    themes->reload();
  }
  bool verticalKnobDrag() const override { return vertical; }
  void verticalKnobDragSelected(bool state) override { vertical = state; }
  appearance::AppearanceManager*& themes;
  bool vertical = false;
  std::vector<std::size_t> appearances;
  std::vector<float> sizes;
  int reloads = 0;
};

inline std::string presetText(const std::string& name, const std::string& level) {
  return "---\nPreset:\n  product: Skarvel\n  version: 1.0.0\n  format: 1\n  name: " + name +
         "\nParams:\n  Level: " + level + "\n";
}

inline std::string themeText(const std::string& name) {
  return "---\nTheme:\n  product: Skarvel\n  version: 1.0.0\n  format: 1\n  name: " + name +
         "\nAppearance:\n  mainBackgroundRGB: [10, 20, 30]\n";
}

// Level (parameter 3) of the factory presets.
constexpr int kLevel = 3;

class ToolBarFixture : public testing::Test {
 protected:
  // Factory presets Alpha (Level 0.2), Beta (0.4), Gamma (0.6); a bank "Pads" with "Warm Pad"
  // (0.3) and "Glass Pad" (0.7); themes "Night" and "Paper".
  void SetUp() override { buildRoot(); }
  void TearDown() override {
    tearDownToolBar();
    VSTGUI::setPlatformFactory(nullptr);
    platform::setDataRootForTesting("");
    fs::remove_all(root);
  }

  void buildRoot() {
    root = fs::temp_directory_path() / ("skarvel-toolbar-test-" + std::to_string(::getpid()));
    fs::remove_all(root);
    fs::create_directories(root / "Presets/Factory/Pads");
    fs::create_directories(root / "Presets/User");
    fs::create_directories(root / "Appearance/Factory");
    fs::create_directories(root / "Appearance/User");
    write("Presets/Factory/Alpha.yaml", presetText("Alpha", "0.2"));
    write("Presets/Factory/Beta.yaml", presetText("Beta", "0.4"));
    write("Presets/Factory/Gamma.yaml", presetText("Gamma", "0.6"));
    write("Presets/Factory/Pads/Warm Pad.yaml", presetText("Warm Pad", "0.3"));
    write("Presets/Factory/Pads/Glass Pad.yaml", presetText("Glass Pad", "0.7"));
    write("Appearance/Factory/Night.yaml", themeText("Night"));
    write("Appearance/Factory/Paper.yaml", themeText("Paper"));
    // The label font the plug-in ships, where the editor registers it from: text is drawn with
    // it and never with whatever fonts the system has.
    fs::create_directories(root / "Fonts");
    fs::copy_file(SKARVEL_SHIPPED_LABEL_FONT, root / "Fonts/Tahoma_Small.ttf");
  }

  void write(const std::string& relative, const std::string& text) {
    std::ofstream(root / relative, std::ios::binary) << text;
  }

  // Builds the plug-in, the theme manager, a frame of width x height and the toolbar on it.
  void open(double width = 862, double height = 419) {
    VSTGUI::setPlatformFactory(&desktop);
    platform::setDataRootForTesting(root.string());
    factory = std::make_unique<skarvel::SkarvelPluginFactory>();
    factory->getDspEngine().registerParameters(factory->registry());
    plugin = static_cast<skarvel::SkarvelPlugin*>(&factory->createPlugin());
    plugin->attachHost(host);
    settings = std::make_unique<platform::FolderSettings>((root / "settings").string());
    themes = std::make_unique<appearance::AppearanceManager>(plugin->appearanceFactory(), *settings,
                                                             (root / "Appearance/User/").string(),
                                                             (root / "Appearance/Factory/").string());
    themes->reload();
    themesPointer = themes.get();
    toolbar = std::make_unique<skarvel::ToolBar>(*plugin, editor, *themes, plugin->messages());
    frame = new VSTGUI::CFrame(VSTGUI::CRect(0, 0, width, height), nullptr);
    ASSERT_TRUE(frame->open(nullptr, VSTGUI::PlatformType::kOffscreen));
    toolbar->createControls(frame);
  }

  void tearDownToolBar() {
    if (toolbar) toolbar->closeControls();
    if (frame) {
      frame->close();  // drops the creator's reference
      frame = nullptr;
    }
    toolbar.reset();
    themes.reset();
    factory.reset();
  }

  // A left click at p (frame coordinates), down and up.
  void click(VSTGUI::CPoint p) {
    VSTGUI::CPoint down = p;
    frame->platformOnMouseDown(down, VSTGUI::CButtonState(VSTGUI::kLButton));
    VSTGUI::CPoint up = p;
    frame->platformOnMouseUp(up, VSTGUI::CButtonState(VSTGUI::kLButton));
  }
  void clickCentre(VSTGUI::CView* view) { click(view->getVisibleViewSizeInFrame().getCenter()); }

  // Chooses entry `index` of a menu as its pop-up would.
  static void choose(VSTGUI::COptionMenu* menu, int32_t index) { menu->popupClosed(index); }

  static std::vector<std::string> titles(VSTGUI::COptionMenu* menu) {
    std::vector<std::string> all;
    for (int32_t i = 0; i < menu->getNbEntries(); ++i) {
      VSTGUI::CMenuItem* item = menu->getEntry(i);
      all.push_back(item->isSeparator() ? std::string("--") : item->getTitle());
    }
    return all;
  }

  presets::PresetManager& presets() { return plugin->presetManager(); }
  std::string currentName() { return plugin->currentProgramName(); }
  // What the engine plays with (during a comparison the host still reads the edited value).
  float level() { return factory->engine().getParameter(kLevel); }

  // Runs every timer against a clock the test moves (never sleeping).
  static void advanceTimers(uint64_t milliseconds) {
    static uint64_t now = VSTGUI::getDefaultPlatformFactory().getTicks() + 100000000;
    const uint64_t end = now + milliseconds;
    VSTGUI::CVSTGUITimer::fireDueTimers(now);
    while (now < end) {
      now += 50;
      VSTGUI::CVSTGUITimer::fireDueTimers(now);
    }
  }

  fs::path root;
  RecordingDesktop desktop;
  SilentHost host;
  std::unique_ptr<skarvel::SkarvelPluginFactory> factory;
  skarvel::SkarvelPlugin* plugin = nullptr;
  std::unique_ptr<platform::FolderSettings> settings;
  std::unique_ptr<appearance::AppearanceManager> themes;
  appearance::AppearanceManager* themesPointer = nullptr;
  RecordingEditor editor{themesPointer};
  std::unique_ptr<skarvel::ToolBar> toolbar;
  VSTGUI::CFrame* frame = nullptr;
};

}  // namespace toolbar_test
