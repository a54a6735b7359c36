#pragma once

#include "Frameworks/Core/AEffGUIEditor.h"
#include "Frameworks/Core/EditorToPluginCoreInterface.h"
#include "Frameworks/Core/PluginToHostInterface.h"

namespace skarvel {

// The editor object the plug-in core creates and the host addresses. It declares the window's
// size and receives the core's notifications, but it has no window yet: open reports failure.
class EditorCore : public core::AEffGUIEditor {
 public:
  static constexpr int kWidth = 862;
  static constexpr int kHeight = 419;

  EditorCore(core::PluginToHostInterface& effect, core::EditorToPluginCoreInterface& core);
  ~EditorCore() override;

  bool getRect(core::EditorRect** rect) override;
  bool open(void* parent) override;
  void close() override;
  void idle() override;
  bool isOpen() const override { return false; }

  void setParameterFromHost(int id, float value) override;
  void programChanged(int listIndex, int programIndex) override;

 protected:
  core::PluginToHostInterface& m_effect;
  core::EditorToPluginCoreInterface& m_core;
  core::EditorRect m_rect{0, 0, kHeight, kWidth};
};

}  // namespace skarvel
