// Draws the editor window offscreen and writes it as PNG files.
//
//   skarvel-editor-snapshot [--bundle DIR] [--out DIR] [--size N] [--theme NAME] [--all] [--hover ID]
//
// Without --all one picture, editor.png, at size index N (default 1) in the theme NAME (default
// "Default", else the first theme). With --all: editor-size-<N>.png for every size (in that
// theme) and editor-theme-<name>.png for every theme. The window's size and theme are chosen in a private settings folder, so the
// user's own choices are left alone. With --hover the mouse rests on the control of parameter ID, so
// the pictures show its readout and help text.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "Frameworks/Core/PluginToHostInterface.h"
#include "Frameworks/Gui/CFrame.h"
#include "platform/DataFolders.h"
#include "platform/ProductNames.h"
#include "source/editor/myEditor.h"
#include "source/plugin/SkarvelPlugin.h"
#include "source/plugin/SkarvelPluginFactory.h"

namespace fs = std::filesystem;

namespace {

struct SilentHost : core::PluginToHostInterface {
  void setParameterAutomated(int, float) override {}
  void updateDisplay() override {}
  void setEditor(core::AEffGUIEditor*) override {}
  void beginEdit(int) override {}
  void endEdit(int) override {}
  bool canHostDo(const char*) override { return false; }
  bool sizeWindow(int, int) override { return true; }
};

// The mouse comes to rest on parameter `id`'s control and the editor's idle pass sees it.
void hoverOver(skarvel::myEditor& editor, int id) {
  VSTGUI::CControl* control = editor.control(id);
  if (!control || !editor.getFrame()) return;
  VSTGUI::CPoint where = control->getViewSize().getCenter();
  editor.getFrame()->platformOnMouseMoved(where, VSTGUI::CButtonState());
  editor.idleNow();
}

bool writeWindow(skarvel::myEditor& editor, const fs::path& file, int hover) {
  VSTGUI::CFrame* frame = editor.getFrame();
  if (!frame) return false;
  if (hover >= 0) hoverOver(editor, hover);
  frame->redrawDirtyAreas();
  const bool ok = frame->getBackBuffer() && frame->getBackBuffer()->getBitmap()->writePNG(file.string());
  std::printf("%s %s\n", ok ? "wrote" : "could not write", file.c_str());
  return ok;
}

std::string fileSafe(std::string name) {
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '-';
  return name;
}

}  // namespace

int main(int argc, char** argv) {
  std::string bundle = SKARVEL_SNAPSHOT_BUNDLE;
  fs::path out = ".";
  float size = 1.0f;
  std::string theme = "Default";
  bool all = false;
  int hover = -1;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto next = [&]() -> std::string { return i + 1 < argc ? argv[++i] : ""; };
    if (arg == "--bundle") bundle = next();
    else if (arg == "--out") out = next();
    else if (arg == "--size") size = std::strtof(next().c_str(), nullptr);
    else if (arg == "--theme") theme = next();
    else if (arg == "--all") all = true;
    else if (arg == "--hover") hover = static_cast<int>(std::strtol(next().c_str(), nullptr, 10));
    else {
      std::fprintf(stderr, "usage: %s [--bundle DIR] [--out DIR] [--size N] [--theme NAME] [--all] [--hover ID]\n",
                   argv[0]);
      return 2;
    }
  }
  const fs::path settings = fs::temp_directory_path() / ("skarvel-snapshot-" + std::to_string(::getpid()));
  ::setenv("XDG_CONFIG_HOME", settings.c_str(), 1);
  ::setenv("SKARVEL_NO_DIALOGS", "1", 1);
  platform::setDataRootForTesting(bundle);
  fs::create_directories(out);

  auto factory = std::make_unique<skarvel::SkarvelPluginFactory>();
  factory->getDspEngine().registerParameters(factory->registry());
  platform::publishProductNames(factory->description().effectName, factory->description().productName);
  auto& plugin = static_cast<skarvel::SkarvelPlugin&>(factory->createPlugin());
  SilentHost host;
  plugin.attachHost(host);
  auto& editor = static_cast<skarvel::myEditor&>(*plugin.skarvelEditor());

  int failures = 0;
  if (!editor.openOffscreen()) {
    std::fprintf(stderr, "The editor could not open\n");
    return 1;
  }
  auto& themes = editor.appearanceManager();
  std::size_t chosen = 0;
  for (std::size_t i = 0; i < themes.count(); ++i)
    if (themes.themeName(i) == theme) chosen = i;
  editor.appearanceSelected(chosen);
  if (all) {
    for (int index = 0; index < 6; ++index) {
      editor.guiSizeSelected(static_cast<float>(index));
      failures += !writeWindow(editor, out / ("editor-size-" + std::to_string(index) + ".png"), hover);
    }
    editor.guiSizeSelected(1.0f);
    for (std::size_t i = 0; i < themes.count(); ++i) {
      editor.appearanceSelected(i);
      failures += !writeWindow(editor, out / ("editor-theme-" + fileSafe(themes.themeName(i)) + ".png"), hover);
    }
  } else {
    editor.guiSizeSelected(size);
    failures += !writeWindow(editor, out / "editor.png", hover);
  }
  editor.close();
  factory.reset();
  fs::remove_all(settings);
  return failures == 0 ? 0 : 1;
}
