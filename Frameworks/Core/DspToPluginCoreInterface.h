#pragma once

namespace core {

// The engine's only way back to the plug-in core. Called on the audio thread (programChange,
// from a MIDI program change inside a block) or on the thread that changed the sample rate
// (resendParameters).
class DspToPluginCoreInterface {
 public:
  virtual ~DspToPluginCoreInterface() = default;
  virtual void programChange(int program) = 0;
  // Send every parameter's current value to the engine again (after a sample-rate change).
  virtual void resendParameters() = 0;
};

}  // namespace core
