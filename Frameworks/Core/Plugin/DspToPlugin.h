#pragma once

#include "Frameworks/Core/DspToPluginCoreInterface.h"

namespace core {

class PluginCore;

// The engine's calls back into the plug-in core (a program change from MIDI, a resend after a
// sample-rate change), passed straight on.
class DspToPlugin : public DspToPluginCoreInterface {
 public:
  explicit DspToPlugin(PluginCore& core) : m_core(core) {}
  void programChange(int program) override;
  void resendParameters() override;

 private:
  PluginCore& m_core;
};

}  // namespace core
