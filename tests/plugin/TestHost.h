#pragma once

// A test host for the built plug-in module: loads it with dlopen, creates instances through its
// entry point with a callback that records every request, and offers the dispatcher calls the
// tests use.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "common/PresetDocument.h"
#include "vst2/Vst2Abi.h"

namespace plugintest {

// One request the plug-in sent to the host.
struct HostCall {
  std::int32_t opcode;
  std::int32_t index;
  std::intptr_t value;
  float opt;
};

// A loaded module (closed when the object goes).
class Module {
 public:
  explicit Module(const std::filesystem::path& path);
  ~Module();
  Module(const Module&) = delete;
  Module& operator=(const Module&) = delete;

  bool loaded() const { return m_handle != nullptr; }
  vst2::EffectRecord* callEntry(vst2::HostCallback callback) const;
  void* symbol(const char* name) const;

 private:
  void* m_handle = nullptr;
};

// One instance of the plug-in.
class Instance {
 public:
  explicit Instance(const Module& module);
  ~Instance();  // closes the effect when still open
  Instance(const Instance&) = delete;
  Instance& operator=(const Instance&) = delete;

  vst2::EffectRecord* effect() const { return m_effect; }
  std::intptr_t dispatch(std::int32_t opcode, std::int32_t index = 0, std::intptr_t value = 0, void* ptr = nullptr,
                         float opt = 0.0f);
  // Closes the effect; the plug-in's answer to the close request (0 when already closed).
  std::intptr_t close();

  void setParameter(int index, float value) { m_effect->setParameter(m_effect, index, value); }
  float getParameter(int index) { return m_effect->getParameter(m_effect, index); }
  std::string text(std::int32_t opcode, int index = 0);
  std::string chunk(int index = 0);
  std::intptr_t setChunk(const std::string& data);
  void resume(float sampleRate = 44100.0f, int blockSize = 256);

  // Sends the MIDI messages (status, data1, data2 at a delta frame) and renders one block.
  struct Midi {
    int deltaFrames;
    unsigned char status, data1, data2;
  };
  void render(const std::vector<Midi>& midi, int frames, std::vector<float>& left, std::vector<float>& right);
  // Renders `seconds` of audio after the messages, returns the left channel.
  std::vector<float> play(const std::vector<Midi>& midi, double seconds, int blockSize = 256);

  // The requests recorded since creation (or the last clearCalls).
  const std::vector<HostCall>& calls() const;
  void clearCalls();
  int count(std::int32_t opcode) const;

 private:
  vst2::EffectRecord* m_effect = nullptr;
};

// What the test callback answers to the version request (2400 unless a test changes it).
void setHostVersionAnswer(std::intptr_t answer);

// The built module in the bundle, loaded once per test program.
const Module& bundleModule();
std::filesystem::path bundleModulePath();

// A copy of the module in a fresh folder with its own data folders, so a test decides which
// presets the plug-in finds. Files are (relative path, content).
class PrivateBundle {
 public:
  explicit PrivateBundle(const std::vector<std::pair<std::string, std::string>>& files);
  ~PrivateBundle();
  const Module& module() const { return *m_module; }
  const std::filesystem::path& folder() const { return m_folder; }

 private:
  std::filesystem::path m_folder;
  std::unique_ptr<Module> m_module;
};

using testdocs::documentValue;
using testdocs::presetDocument;

double rms(const std::vector<float>& samples, std::size_t begin = 0, std::size_t end = SIZE_MAX);

}  // namespace plugintest
