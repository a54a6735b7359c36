#include "WinPluginHost.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

#include "platform/win32/WideText.h"

namespace winhost {

namespace {

using EntryPoint = vst2::EffectRecord* (*)(vst2::HostCallback);

double g_sampleRate = 44100.0;
int g_blockSize = 512;
int g_automateRequests = 0;

std::intptr_t hostCallback(vst2::EffectRecord*, std::int32_t opcode, std::int32_t, std::intptr_t, void* ptr, float) {
  switch (opcode) {
    case vst2::host::version:
      return 2400;
    case vst2::host::automate:
      ++g_automateRequests;
      return 0;
    case vst2::host::wantMidi:
      return 1;
    case vst2::host::getSampleRate:
      return static_cast<std::intptr_t>(g_sampleRate);
    case vst2::host::getBlockSize:
      return g_blockSize;
    case vst2::host::getCurrentProcessLevel:
      return 4;  // offline rendering
    case vst2::host::getVendorString:
      if (ptr) std::strcpy(static_cast<char*>(ptr), "Brenmoor");
      return 1;
    case vst2::host::getProductString:
      if (ptr) std::strcpy(static_cast<char*>(ptr), "skarvel-win-host");
      return 1;
    case vst2::host::canDo: {
      if (!ptr) return 0;
      const char* text = static_cast<const char*>(ptr);
      for (const char* feature : {"sendVstEvents", "sendVstMidiEvent", "offline"})
        if (std::strcmp(text, feature) == 0) return 1;
      return -1;
    }
    default:
      return 0;
  }
}

EntryPoint entryPoint(HMODULE module, const char* name) {
  return reinterpret_cast<EntryPoint>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

WinPluginHost::~WinPluginHost() { close(); }

bool WinPluginHost::load(const std::string& path, std::string& error) {
  close();
  const HMODULE module = LoadLibraryW(platform::win32::widen(path).c_str());
  if (!module) {
    error = "cannot load plug-in '" + path + "' (error " + std::to_string(GetLastError()) + ")";
    return false;
  }
  m_module = module;
  EntryPoint entry = entryPoint(module, "VSTPluginMain");
  if (!entry) entry = entryPoint(module, "main");
  if (!entry) {
    error = "'" + path + "' is not a VST 2.4 plug-in (no VSTPluginMain entry point)";
    close();
    return false;
  }
  g_automateRequests = 0;
  m_effect = entry(hostCallback);
  if (!m_effect || m_effect->magic != vst2::kEffectMagic) {
    error = "'" + path + "' did not create a VST 2.4 effect";
    m_effect = nullptr;
    close();
    return false;
  }
  dispatch(vst2::effect::open);
  return true;
}

void WinPluginHost::close() {
  if (m_effect) {
    m_effect->dispatcher(m_effect, vst2::effect::close, 0, 0, nullptr, 0.0f);
    m_effect = nullptr;
  }
  if (m_module) {
    FreeLibrary(static_cast<HMODULE>(m_module));
    m_module = nullptr;
  }
}

std::intptr_t WinPluginHost::dispatch(std::int32_t opcode, std::int32_t index, std::intptr_t value, void* ptr,
                                      float opt) {
  if (!m_effect) return 0;
  return m_effect->dispatcher(m_effect, opcode, index, value, ptr, opt);
}

std::string WinPluginHost::dispatchText(std::int32_t opcode, std::int32_t index) {
  char text[256] = {};
  dispatch(opcode, index, 0, text);
  text[sizeof text - 1] = '\0';
  return text;
}

void WinPluginHost::start(double sampleRate, int blockSize) {
  g_sampleRate = sampleRate;
  g_blockSize = blockSize;
  m_silence.assign(static_cast<std::size_t>(blockSize), 0.0f);
  dispatch(vst2::effect::setSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
  dispatch(vst2::effect::setBlockSize, 0, blockSize);
  dispatch(vst2::effect::mainsChanged, 0, 1);
  dispatch(vst2::effect::startProcess);
}

void WinPluginHost::stop() {
  dispatch(vst2::effect::stopProcess);
  dispatch(vst2::effect::mainsChanged, 0, 0);
}

int WinPluginHost::findParameter(const std::string& name) {
  for (int i = 0; m_effect && i < m_effect->numParams; ++i)
    if (dispatchText(vst2::effect::getParamName, i) == name) return i;
  return -1;
}

void WinPluginHost::setParameter(int index, float value) {
  if (m_effect) m_effect->setParameter(m_effect, index, value);
}

float WinPluginHost::getParameter(int index) { return m_effect ? m_effect->getParameter(m_effect, index) : 0.0f; }

std::vector<unsigned char> WinPluginHost::chunk() {
  void* data = nullptr;
  const std::intptr_t size = dispatch(vst2::effect::getChunk, 0, 0, &data);
  if (size <= 0 || !data) return {};
  const auto* bytes = static_cast<const unsigned char*>(data);
  return std::vector<unsigned char>(bytes, bytes + size);
}

bool WinPluginHost::setChunk(const std::vector<unsigned char>& data) {
  return dispatch(vst2::effect::setChunk, 0, static_cast<std::intptr_t>(data.size()),
                  const_cast<unsigned char*>(data.data())) != 0;
}

void WinPluginHost::processEvents(vst2::EventList* events) { dispatch(vst2::effect::processEvents, 0, 0, events); }

void WinPluginHost::process(float** outputs, int frames) {
  if (!m_effect) return;
  std::vector<float*> inputs(static_cast<std::size_t>(std::max(1, m_effect->numInputs)), m_silence.data());
  m_effect->processReplacing(m_effect, inputs.data(), outputs, frames);
}

int WinPluginHost::automateRequests() const { return g_automateRequests; }

}  // namespace winhost
