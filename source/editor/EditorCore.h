#pragma once

#include <cstdint>

#include "Frameworks/Core/AEffGUIEditor.h"
#include "Frameworks/Core/EditorToPluginCoreInterface.h"
#include "Frameworks/Core/PluginToHostInterface.h"
#include "Frameworks/Gui/CFrame.h"
#include "Frameworks/Gui/VSTGUIEditorInterface.h"

namespace skarvel {

// The editor as the host and the plug-in core see it, without the instrument's window: the
// window rectangle, the frame inside the host's parent window, the idle pass that lets the
// frame handle its events and redraw, the host's keys and knob mode, and the gesture and resize
// requests the frame passes on to the host. The instrument's editor adds the window's contents
// and the core's notifications (setParameterFromHost, programChanged, editorHook), which stay
// abstract here.
//
// All of it runs on the host's user-interface thread.
class EditorCore : public core::AEffGUIEditor, public VSTGUI::VSTGUIEditorInterface {
 public:
  // The window at its normal size, until the instrument's editor sets another.
  static constexpr std::int16_t kNormalWidth = 862;
  static constexpr std::int16_t kNormalHeight = 419;

  EditorCore(core::PluginToHostInterface& effect, core::EditorToPluginCoreInterface& core);
  ~EditorCore() override;

  EditorCore(const EditorCore&) = delete;
  EditorCore& operator=(const EditorCore&) = delete;

  bool getRect(core::EditorRect** rect) override;
  // Remembers the parent window; the subclass builds the frame.
  bool open(void* parent) override;
  // Forgets the parent window and releases the frame.
  void close() override;
  // Lets the frame handle its window events, timers and redraws (unless it is already inside
  // its own idle, when a callback of the frame reached the host).
  void idle() override;
  bool isOpen() const override { return m_systemWindow != nullptr && frame != nullptr; }
  bool onKeyDown(std::int32_t character, int virtualKey, int modifiers) override;
  bool onKeyUp(std::int32_t character, int virtualKey, int modifiers) override;
  bool setKnobMode(int mode) override;

  // --- VSTGUI::VSTGUIEditorInterface: what the frame asks of the host ---
  // The host's knob mode when it sent one, otherwise the user's preference.
  int32_t getKnobMode() const override { return m_knobMode >= 0 ? m_knobMode : m_preferredKnobMode; }
  // Gestures on parameter controls reach the host as begin/end edit; other controls' tags do not.
  void beginEdit(int32_t index) override;
  void endEdit(int32_t index) override;
  // A host that can size the window is asked to; when it refuses, the frame keeps its size. A
  // host that cannot size it gets no frame larger than the window it opened the editor in.
  bool beforeSizeChange(const VSTGUI::CRect& newSize, const VSTGUI::CRect& oldSize) override;

  // Milliseconds of the clock the idle throttle uses.
  static std::uint32_t tickCount();

 protected:
  bool isParameter(int id) const { return id >= 0 && static_cast<unsigned>(id) < m_core.parameterCount(); }

  core::PluginToHostInterface& m_effect;
  core::EditorToPluginCoreInterface& m_core;
  core::EditorRect m_rect{};
  void* m_systemWindow = nullptr;
  const std::uint32_t m_createdTicks;
  int32_t m_knobMode = -1;  // the host's choice; -1: none sent
  int32_t m_preferredKnobMode = -1;  // the user's choice; -1: the frame's default (circular)
  // The size of the host's window as far as the editor knows: the rectangle at open, then
  // every size the host agreed to.
  int m_hostWidth = kNormalWidth;
  int m_hostHeight = kNormalHeight;
};

}  // namespace skarvel
