#include "PluginHost.h"

#include <algorithm>
#include <cstring>

namespace render {

namespace {

using EntryPoint = vst2::EffectRecord* (*)(vst2::HostCallback);

// The host's state as the callback reports it (one instrument per process).
double g_sampleRate = 44100.0;
int g_blockSize = 512;
int g_automateRequests = 0;  // automation requests since the module was loaded

std::intptr_t hostCallback(vst2::EffectRecord*, std::int32_t opcode, std::int32_t, std::intptr_t, void* ptr, float) {
  switch (opcode) {
    case vst2::host::version:
      return 2400;
    case vst2::host::currentId:
      return 0;
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
      if (ptr) std::strcpy(static_cast<char*>(ptr), "skarvel-render");
      return 1;
    case vst2::host::getVendorVersion:
      return 1000;
    case vst2::host::canDo: {
      if (!ptr) return 0;
      const char* text = static_cast<const char*>(ptr);
      for (const char* feature : {"sendVstEvents", "sendVstMidiEvent", "offline"})
        if (std::strcmp(text, feature) == 0) return 1;
      return -1;
    }
    default:  // display updates, edits, time info: nothing to do offline
      return 0;
  }
}

}  // namespace

PluginHost::~PluginHost() { close(); }

bool PluginHost::load(const std::string& path, std::string& error) {
  close();
  std::string reason;
  if (!m_module.open(path, reason)) {
    error = "cannot load plug-in '" + path + "': " + reason;
    return false;
  }
  auto entry = reinterpret_cast<EntryPoint>(m_module.symbol("VSTPluginMain"));
  if (!entry) entry = reinterpret_cast<EntryPoint>(m_module.symbol("main"));
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
  if (!(m_effect->flags & vst2::flags::isSynth) || m_effect->numOutputs < 1 || !m_effect->processReplacing) {
    error = "'" + path + "' is not a VST 2.4 instrument";
    close();
    return false;
  }
  dispatch(vst2::effect::open);
  return true;
}

void PluginHost::close() {
  if (m_effect) {
    m_effect->dispatcher(m_effect, vst2::effect::close, 0, 0, nullptr, 0.0f);
    m_effect = nullptr;
  }
  m_module.close();
}

std::intptr_t PluginHost::dispatch(std::int32_t opcode, std::int32_t index, std::intptr_t value, void* ptr,
                                   float opt) {
  if (!m_effect) return 0;
  return m_effect->dispatcher(m_effect, opcode, index, value, ptr, opt);
}

void PluginHost::start(double sampleRate, int blockSize) {
  g_sampleRate = sampleRate;
  g_blockSize = blockSize;
  m_silence.assign(static_cast<std::size_t>(blockSize), 0.0f);
  dispatch(vst2::effect::setSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
  dispatch(vst2::effect::setBlockSize, 0, blockSize);
  dispatch(vst2::effect::mainsChanged, 0, 1);
  dispatch(vst2::effect::startProcess);
}

void PluginHost::stop() {
  dispatch(vst2::effect::stopProcess);
  dispatch(vst2::effect::mainsChanged, 0, 0);
}

std::string PluginHost::dispatchText(std::int32_t opcode, std::int32_t index) {
  char text[256] = {};
  dispatch(opcode, index, 0, text);
  text[sizeof text - 1] = '\0';
  return text;
}

std::string PluginHost::parameterName(int index) { return dispatchText(vst2::effect::getParamName, index); }

int PluginHost::findParameter(const std::string& name) {
  for (int i = 0; i < parameterCount(); ++i)
    if (parameterName(i) == name) return i;
  return -1;
}

void PluginHost::setParameter(int index, float value) {
  if (m_effect) m_effect->setParameter(m_effect, index, value);
}

float PluginHost::getParameter(int index) { return m_effect ? m_effect->getParameter(m_effect, index) : 0.0f; }

bool PluginHost::usesChunks() const { return m_effect && (m_effect->flags & vst2::flags::programChunks); }

bool PluginHost::setChunk(const std::vector<unsigned char>& data) {
  if (!usesChunks()) return false;
  return dispatch(vst2::effect::setChunk, 0, static_cast<std::intptr_t>(data.size()),
                  const_cast<unsigned char*>(data.data())) != 0;
}

std::vector<unsigned char> PluginHost::chunk() {
  void* data = nullptr;
  const std::intptr_t size = dispatch(vst2::effect::getChunk, 0, 0, &data);
  if (size <= 0 || !data) return {};
  const auto* bytes = static_cast<const unsigned char*>(data);
  return std::vector<unsigned char>(bytes, bytes + size);
}

std::string PluginHost::effectName() { return dispatchText(vst2::effect::getEffectName); }

int PluginHost::automateRequests() const { return g_automateRequests; }

void PluginHost::processEvents(vst2::EventList* events) { dispatch(vst2::effect::processEvents, 0, 0, events); }

void PluginHost::process(float** outputs, int frames) {
  if (!m_effect) return;
  // Instruments that declare inputs get silence, all from the same buffer.
  std::vector<float*> inputs(static_cast<std::size_t>(std::max(1, m_effect->numInputs)), m_silence.data());
  m_effect->processReplacing(m_effect, inputs.data(), outputs, frames);
}

}  // namespace render
