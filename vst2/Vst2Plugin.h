#pragma once

#include <memory>

#include "Frameworks/Core/DspEngine.h"
#include "Frameworks/Core/Parameters.h"
#include "Frameworks/Core/PluginDescription.h"
#include "Frameworks/Core/PluginFactory.h"
#include "Frameworks/Core/PluginToHostInterface.h"
#include "Frameworks/Core/Plugin/PluginCore.h"
#include "vst2/AudioEffectX.h"

namespace vst2 {

// The instrument as a VST 2.4 host sees it. Answers the dispatcher and passes parameters,
// events, audio and chunks on to the plug-in core and the engine; it keeps no sound or preset
// logic of its own. It owns the factory (and through it everything the factory built) and
// destroys it when the host closes the effect.
class Vst2Plugin : public AudioEffectX, public core::PluginToHostInterface {
 public:
  Vst2Plugin(HostCallback host, std::unique_ptr<core::PluginFactory> factory, const core::PluginDescription& description,
             const core::Parameters& registry, core::PluginCore& core, core::DspEngine& engine);
  ~Vst2Plugin() override;

  std::intptr_t dispatcher(std::int32_t opcode, std::int32_t index, std::intptr_t value, void* ptr,
                           float opt) override;
  void setParameter(std::int32_t index, float value) override;
  float getParameter(std::int32_t index) override;
  void processReplacing(float** inputs, float** outputs, std::int32_t frames) override;

  // --- core::PluginToHostInterface ---
  void setParameterAutomated(int id, float value) override;
  void updateDisplay() override;
  void setEditor(core::AEffGUIEditor* editor) override;
  void beginEdit(int id) override;
  void endEdit(int id) override;
  bool canHostDo(const char* text) override;
  bool sizeWindow(int width, int height) override;

 private:
  std::intptr_t getOutputProperties(std::int32_t index, void* ptr) const;
  void suspendOrResume(bool resume);

  const core::PluginDescription m_description;
  const core::Parameters& m_registry;
  core::PluginCore& m_core;
  core::DspEngine& m_engine;
  std::unique_ptr<core::PluginFactory> m_factory;
};

}  // namespace vst2
