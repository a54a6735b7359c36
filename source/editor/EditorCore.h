#pragma once

#include "Frameworks/Core/AEffGUIEditor.h"
#include "Frameworks/Core/EditorToPluginCoreInterface.h"
#include "Frameworks/Core/PluginToHostInterface.h"

namespace skarvel {

// The editor object the plug-in core creates and the host addresses. It declares the window's
// size and receives the core's notifications, but it has no window yet: open reports failure,
// so hosts show their own generic controls.
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

  // What the editor was last told, for inspection.
  int parameterNotifications() const { return m_parameterNotifications; }
  int programNotifications() const { return m_programNotifications; }
  int lastListIndex() const { return m_lastListIndex; }
  int lastProgramIndex() const { return m_lastProgramIndex; }

 protected:
  core::PluginToHostInterface& m_effect;
  core::EditorToPluginCoreInterface& m_core;
  core::EditorRect m_rect{0, 0, kHeight, kWidth};

 private:
  int m_parameterNotifications = 0;
  int m_programNotifications = 0;
  int m_lastListIndex = -1;
  int m_lastProgramIndex = -1;
};

}  // namespace skarvel
