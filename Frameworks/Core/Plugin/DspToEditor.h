#pragma once

#include "Frameworks/Core/DspToEditorInterface.h"

namespace core {

class PluginCore;

// The engine's notification to the editor. It would arrive on the audio thread, so it is only
// recorded here and reaches the editor from the next editor idle on the user-interface thread.
class DspToEditor : public DspToEditorInterface {
 public:
  explicit DspToEditor(PluginCore& core) : m_core(core) {}
  void notify() override;

 private:
  PluginCore& m_core;
};

}  // namespace core
