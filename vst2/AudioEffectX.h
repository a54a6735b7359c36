#pragma once

#include "vst2/AudioEffect.h"

namespace vst2 {

// The requests a VST 2.4 plug-in sends to its host beyond the basic record: MIDI wanted,
// automation, display refresh, edit gestures, host features and window size.
class AudioEffectX : public AudioEffect {
 public:
  using AudioEffect::AudioEffect;

  // The host's interface version (2400 for a VST 2.4 host; 0 for no usable host).
  static std::intptr_t hostVersion(HostCallback host);

 protected:
  // Asks the host to send MIDI events from now on.
  void wantEvents(bool on = true) { callHost(host::wantMidi, 0, on ? 1 : 0); }
  void notifyHostAutomation(std::int32_t index, float value) { callHost(host::automate, index, 0, nullptr, value); }
  bool requestDisplayUpdate() { return callHost(host::updateDisplay) != 0; }
  bool requestBeginEdit(std::int32_t index) { return callHost(host::beginEdit, index) != 0; }
  bool requestEndEdit(std::int32_t index) { return callHost(host::endEdit, index) != 0; }
  // 1 when the host supports the feature, 0 when unknown, -1 when it does not.
  std::intptr_t askHostCanDo(const char* text) { return callHost(host::canDo, 0, 0, const_cast<char*>(text)); }
  bool requestWindowSize(std::int32_t width, std::int32_t height) { return callHost(host::sizeWindow, width, height) != 0; }
};

}  // namespace vst2
