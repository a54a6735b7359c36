#pragma once

#include <cstdint>

#include "Frameworks/Core/AEffGUIEditor.h"
#include "vst2/Vst2Abi.h"

namespace vst2 {

// The plug-in side of one effect record: the record handed to the host, the host callback and
// the state every VST 2.4 plug-in keeps (sample rate, block size, program number, editor). The
// record's C entry points land here and are passed on to the virtual operations; exceptions never
// cross back into the host. An instance is deleted by the close request.
class AudioEffect {
 public:
  AudioEffect(HostCallback host, std::int32_t programCount, std::int32_t parameterCount);
  virtual ~AudioEffect();

  AudioEffect(const AudioEffect&) = delete;
  AudioEffect& operator=(const AudioEffect&) = delete;

  EffectRecord* getEffect() { return &m_effect; }
  // The instance behind a record the host hands back; null for a record that is not ours.
  static AudioEffect* fromEffect(EffectRecord* effect);

  virtual std::intptr_t dispatcher(std::int32_t opcode, std::int32_t index, std::intptr_t value, void* ptr, float opt);
  virtual void setParameter(std::int32_t index, float value);
  virtual float getParameter(std::int32_t index);
  virtual void processReplacing(float** inputs, float** outputs, std::int32_t frames);

  float sampleRate() const { return m_sampleRate; }
  std::int32_t blockSize() const { return m_blockSize; }
  core::AEffGUIEditor* editor() const { return m_editor; }

 protected:
  void setNumInputs(std::int32_t count) { m_effect.numInputs = count; }
  void setNumOutputs(std::int32_t count) { m_effect.numOutputs = count; }
  void setUniqueID(std::int32_t id) { m_effect.uniqueID = id; }
  void setVersion(std::int32_t version) { m_effect.version = version; }
  void setFlag(std::int32_t flag, bool on);
  // Stores the editor and declares (or withdraws) it in the record's flags.
  void setEditorObject(core::AEffGUIEditor* editor);

  // A request to the host; 0 when there is no host callback.
  std::intptr_t callHost(std::int32_t opcode, std::int32_t index = 0, std::intptr_t value = 0, void* ptr = nullptr,
                         float opt = 0.0f) const;

  HostCallback m_host = nullptr;
  float m_sampleRate = 44100.0f;
  std::int32_t m_blockSize = 1024;
  std::int32_t m_currentProgram = 0;
  core::AEffGUIEditor* m_editor = nullptr;  // not owned
  EffectRecord m_effect{};
};

}  // namespace vst2
