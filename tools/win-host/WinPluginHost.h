#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "vst2/Vst2Abi.h"

namespace winhost {

// A minimal VST 2.4 host for one instrument on Windows: loads the DLL (UTF-8 path), creates the
// instance through VSTPluginMain (or main), answers the plug-in's requests, and closes and
// unloads it again.
class WinPluginHost {
 public:
  WinPluginHost() = default;
  ~WinPluginHost();
  WinPluginHost(const WinPluginHost&) = delete;
  WinPluginHost& operator=(const WinPluginHost&) = delete;

  // False with a one-line `error` when the DLL cannot be loaded, has no entry point, or gives
  // no VST 2.4 effect.
  bool load(const std::string& path, std::string& error);
  void close();

  std::intptr_t dispatch(std::int32_t opcode, std::int32_t index = 0, std::intptr_t value = 0, void* ptr = nullptr,
                         float opt = 0.0f);
  std::string dispatchText(std::int32_t opcode, std::int32_t index = 0);
  void start(double sampleRate, int blockSize);
  void stop();

  int findParameter(const std::string& name);
  void setParameter(int index, float value);
  float getParameter(int index);
  std::vector<unsigned char> chunk();
  bool setChunk(const std::vector<unsigned char>& data);

  void processEvents(vst2::EventList* events);
  void process(float** outputs, int frames);

  vst2::EffectRecord* effect() const { return m_effect; }
  // Automation requests the plug-in sent to the host since loading.
  int automateRequests() const;

 private:
  void* m_module = nullptr;
  vst2::EffectRecord* m_effect = nullptr;
  std::vector<float> m_silence;
};

}  // namespace winhost
