#include "TestHost.h"

#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <mutex>

namespace plugintest {

namespace fs = std::filesystem;

namespace {

std::atomic<std::intptr_t> g_versionAnswer{2400};
std::mutex g_logMutex;
std::map<vst2::EffectRecord*, std::vector<HostCall>> g_logs;

std::intptr_t testCallback(vst2::EffectRecord* effect, std::int32_t opcode, std::int32_t index, std::intptr_t value,
                           void*, float opt) {
  if (opcode == vst2::host::version) return g_versionAnswer.load();
  if (effect) {
    std::lock_guard lock(g_logMutex);
    g_logs[effect].push_back({opcode, index, value, opt});
  }
  switch (opcode) {
    case vst2::host::wantMidi:
      return 1;
    case vst2::host::getSampleRate:
      return 44100;
    default:
      return 0;
  }
}

using EntryPoint = vst2::EffectRecord* (*)(vst2::HostCallback);

}  // namespace

Module::Module(const fs::path& path) { m_handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL); }

Module::~Module() {
  if (m_handle) dlclose(m_handle);
}

void* Module::symbol(const char* name) const { return m_handle ? dlsym(m_handle, name) : nullptr; }

vst2::EffectRecord* Module::callEntry(vst2::HostCallback callback) const {
  auto entry = reinterpret_cast<EntryPoint>(symbol("VSTPluginMain"));
  return entry ? entry(callback) : nullptr;
}

void setHostVersionAnswer(std::intptr_t answer) { g_versionAnswer.store(answer); }

Instance::Instance(const Module& module) { m_effect = module.callEntry(testCallback); }

Instance::~Instance() { close(); }

std::intptr_t Instance::close() {
  if (!m_effect) return 0;
  const std::intptr_t answer = m_effect->dispatcher(m_effect, vst2::effect::close, 0, 0, nullptr, 0.0f);
  std::lock_guard lock(g_logMutex);
  g_logs.erase(m_effect);
  m_effect = nullptr;
  return answer;
}

std::intptr_t Instance::dispatch(std::int32_t opcode, std::int32_t index, std::intptr_t value, void* ptr, float opt) {
  return m_effect->dispatcher(m_effect, opcode, index, value, ptr, opt);
}

std::string Instance::text(std::int32_t opcode, int index) {
  char buffer[256];
  std::memset(buffer, 'x', sizeof buffer);
  buffer[255] = '\0';
  dispatch(opcode, index, 0, buffer);
  return buffer;
}

std::string Instance::chunk(int index) {
  void* data = nullptr;
  const std::intptr_t size = dispatch(vst2::effect::getChunk, index, 0, &data);
  if (size <= 0 || !data) return {};
  return std::string(static_cast<const char*>(data), static_cast<std::size_t>(size));
}

std::intptr_t Instance::setChunk(const std::string& data) {
  return dispatch(vst2::effect::setChunk, 0, static_cast<std::intptr_t>(data.size()), const_cast<char*>(data.data()));
}

void Instance::resume(float sampleRate, int blockSize) {
  dispatch(vst2::effect::setSampleRate, 0, 0, nullptr, sampleRate);
  dispatch(vst2::effect::setBlockSize, 0, blockSize);
  dispatch(vst2::effect::mainsChanged, 0, 1);
}

void Instance::render(const std::vector<Midi>& midi, int frames, std::vector<float>& left, std::vector<float>& right) {
  std::vector<vst2::MidiEvent> events(midi.size());
  std::vector<unsigned char> storage(vst2::eventListBytes(midi.size()));
  auto* list = reinterpret_cast<vst2::EventList*>(storage.data());
  list->numEvents = static_cast<std::int32_t>(midi.size());
  for (std::size_t i = 0; i < midi.size(); ++i) {
    events[i] = {};
    events[i].type = vst2::kMidiEventType;
    events[i].byteSize = sizeof(vst2::MidiEvent);
    events[i].deltaFrames = midi[i].deltaFrames;
    events[i].midiData[0] = static_cast<char>(midi[i].status);
    events[i].midiData[1] = static_cast<char>(midi[i].data1);
    events[i].midiData[2] = static_cast<char>(midi[i].data2);
    vst2::setEventAt(*list, i, reinterpret_cast<vst2::Event*>(&events[i]));
  }
  if (!midi.empty()) dispatch(vst2::effect::processEvents, 0, 0, list);
  left.assign(static_cast<std::size_t>(frames), 0.0f);
  right.assign(static_cast<std::size_t>(frames), 0.0f);
  float* outputs[2] = {left.data(), right.data()};
  m_effect->processReplacing(m_effect, nullptr, outputs, frames);
}

std::vector<float> Instance::play(const std::vector<Midi>& midi, double seconds, int blockSize) {
  std::vector<float> all, left, right;
  const int total = static_cast<int>(seconds * 44100.0);
  for (int done = 0; done < total; done += blockSize) {
    render(done == 0 ? midi : std::vector<Midi>{}, std::min(blockSize, total - done), left, right);
    all.insert(all.end(), left.begin(), left.end());
  }
  return all;
}

const std::vector<HostCall>& Instance::calls() const {
  std::lock_guard lock(g_logMutex);
  return g_logs[m_effect];
}

void Instance::clearCalls() {
  std::lock_guard lock(g_logMutex);
  g_logs[m_effect].clear();
}

int Instance::count(std::int32_t opcode) const {
  int n = 0;
  for (const HostCall& call : calls()) n += call.opcode == opcode;
  return n;
}

fs::path bundleModulePath() { return SKARVEL_MODULE_PATH; }

const Module& bundleModule() {
  static Module module(bundleModulePath());
  return module;
}

PrivateBundle::PrivateBundle(const std::vector<std::pair<std::string, std::string>>& files) {
  static std::atomic<int> counter{0};
  m_folder = fs::temp_directory_path() /
             ("skarvel-plugin-test-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
  fs::remove_all(m_folder);
  fs::create_directories(m_folder / "Presets/Factory");
  fs::create_directories(m_folder / "Presets/User");
  fs::create_directories(m_folder / "Appearance/Factory");
  fs::create_directories(m_folder / "Appearance/User");
  fs::copy_file(bundleModulePath(), m_folder / "Skarvel.so");
  for (const auto& [name, content] : files) {
    fs::create_directories((m_folder / name).parent_path());
    std::ofstream(m_folder / name, std::ios::binary) << content;
  }
  m_module = std::make_unique<Module>(m_folder / "Skarvel.so");
}

PrivateBundle::~PrivateBundle() {
  m_module.reset();
  std::error_code ignored;
  fs::remove_all(m_folder, ignored);
}

double rms(const std::vector<float>& samples, std::size_t begin, std::size_t end) {
  end = std::min(end, samples.size());
  if (begin >= end) return 0.0;
  double sum = 0.0;
  for (std::size_t i = begin; i < end; ++i) sum += static_cast<double>(samples[i]) * samples[i];
  return std::sqrt(sum / static_cast<double>(end - begin));
}

}  // namespace plugintest
