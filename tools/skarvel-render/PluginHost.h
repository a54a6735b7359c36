#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/LoadedModule.h"
#include "vst2/Vst2Abi.h"

namespace render {

// A minimal VST 2.4 host for one instrument: loads the module, creates the instance through its
// entry point, answers the plug-in's requests, and closes and unloads it again.
class PluginHost {
 public:
  PluginHost() = default;
  ~PluginHost();
  PluginHost(const PluginHost&) = delete;
  PluginHost& operator=(const PluginHost&) = delete;

  // Loads the module at `path` and creates an instance. False with a one-line `error` when the
  // file cannot be loaded, has no entry point, or does not give a VST 2.4 instrument.
  bool load(const std::string& path, std::string& error);
  void close();

  std::intptr_t dispatch(std::int32_t opcode, std::int32_t index = 0, std::intptr_t value = 0, void* ptr = nullptr,
                         float opt = 0.0f);
  // A request that answers with a text in the pointer (names, display texts), at most 255 bytes.
  std::string dispatchText(std::int32_t opcode, std::int32_t index = 0);
  // Sample rate and block size, then resume.
  void start(double sampleRate, int blockSize);
  void stop();

  int parameterCount() const { return m_effect ? m_effect->numParams : 0; }
  std::string parameterName(int index);
  // The index of the parameter the plug-in calls `name`, or -1.
  int findParameter(const std::string& name);
  void setParameter(int index, float value);
  float getParameter(int index);
  // Applies a preset through the set-chunk request; false when the plug-in refused it.
  bool setChunk(const std::vector<unsigned char>& data);
  // The plug-in's current chunk, copied; empty when it gives none.
  std::vector<unsigned char> chunk();
  bool usesChunks() const;
  std::string effectName();

  void processEvents(vst2::EventList* events);
  void process(float** outputs, int frames);

  vst2::EffectRecord* effect() const { return m_effect; }
  // Automation requests the plug-in sent to the host since loading.
  int automateRequests() const;

 private:
  platform::LoadedModule m_module;
  vst2::EffectRecord* m_effect = nullptr;
  std::vector<float> m_silence;  // input buffers for instruments that declare inputs
};

}  // namespace render
