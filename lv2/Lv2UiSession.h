#pragma once

#include <array>
#include <cstdint>

#include "Frameworks/Core/AEffGUIEditor.h"
#include "Frameworks/Core/EditorToPluginCoreInterface.h"
#include "Frameworks/Core/Plugin/PluginCore.h"
#include "lv2/Lv2UiBridge.h"

namespace lv2 {

class Lv2Plugin;

// The plug-in's editor open in an LV2 host: the editor window inside the host's parent window,
// the user's changes written to the host's ports (inside touch gestures), the host's port
// changes shown in the editor, and the window's size handed to the host.
//
// The host's controls are kept in step with the core: the core's automate requests after a preset
// change it made (the editor's preset menu, a comparison, a MIDI program change) are written to
// the host's ports, and at each idle pass so is any other value the core holds that the host has
// neither sent nor been sent (a restored state, a change made before the window opened). A value
// the host just sent that the audio thread has not applied yet is left alone.
//
// Everything here runs on the host's user-interface thread.
class Lv2UiSession : public UiSession {
 public:
  Lv2UiSession(Lv2Plugin& plugin, core::AEffGUIEditor& editor, const UiHostFunctions& host);
  ~Lv2UiSession();

  Lv2UiSession(const Lv2UiSession&) = delete;
  Lv2UiSession& operator=(const Lv2UiSession&) = delete;

  bool open(void* parent);
  void close();

  // --- UiSession ---
  std::uintptr_t window() const override { return m_editor.ownWindow(); }
  int idle() override;
  void portEvent(std::uint32_t port, std::uint32_t size, std::uint32_t format, const void* buffer) override;

  // --- from the plug-in, for the editor ---
  void writeParameter(int id, float value);
  void touch(int id, bool grabbed);
  bool canResize() const { return m_host.resize != nullptr; }
  bool resize(int width, int height);
  // Writes the values the host has not got to its ports (once the window is open).
  void followCore();

 private:
  Lv2Plugin& m_plugin;
  core::EditorToPluginCoreInterface& m_core;
  core::AEffGUIEditor& m_editor;
  const UiHostFunctions m_host;
  // False until open has made the window: the host is not written to while it creates the UI.
  bool m_open = false;
  // What the host's ports hold as far as this window knows (NaN: not known).
  std::array<float, core::PluginCore::kMaxParameters> m_hostValues;
};

}  // namespace lv2
