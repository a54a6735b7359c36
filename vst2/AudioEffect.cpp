#include "vst2/AudioEffect.h"

#include <exception>

namespace vst2 {

namespace {

std::intptr_t dispatchThunk(EffectRecord* effect, std::int32_t opcode, std::int32_t index, std::intptr_t value,
                            void* ptr, float opt) {
  AudioEffect* object = AudioEffect::fromEffect(effect);
  if (!object) return 0;
  try {
    if (opcode == effect::close) {
      object->dispatcher(opcode, index, value, ptr, opt);
      delete object;
      return 1;
    }
    return object->dispatcher(opcode, index, value, ptr, opt);
  } catch (...) {
    // A plug-in must never unwind into its host: a request that failed answers 0.
    return 0;
  }
}

void setParameterThunk(EffectRecord* effect, std::int32_t index, float value) {
  if (AudioEffect* object = AudioEffect::fromEffect(effect)) object->setParameter(index, value);
}

float getParameterThunk(EffectRecord* effect, std::int32_t index) {
  AudioEffect* object = AudioEffect::fromEffect(effect);
  return object ? object->getParameter(index) : 0.0f;
}

void processReplacingThunk(EffectRecord* effect, float** inputs, float** outputs, std::int32_t frames) {
  if (AudioEffect* object = AudioEffect::fromEffect(effect)) object->processReplacing(inputs, outputs, frames);
}

// The deprecated accumulating process and the double-precision process are present but do
// nothing: the effect declares neither.
void processNothing(EffectRecord*, float**, float**, std::int32_t) {}
void processDoubleNothing(EffectRecord*, double**, double**, std::int32_t) {}

}  // namespace

AudioEffect::AudioEffect(HostCallback host, std::int32_t programCount, std::int32_t parameterCount) : m_host(host) {
  m_effect.magic = kEffectMagic;
  m_effect.dispatcher = dispatchThunk;
  m_effect.process = processNothing;
  m_effect.setParameter = setParameterThunk;
  m_effect.getParameter = getParameterThunk;
  m_effect.numPrograms = programCount;
  m_effect.numParams = parameterCount;
  m_effect.numInputs = 1;
  m_effect.numOutputs = 2;
  m_effect.flags = 0;
  m_effect.ioRatio = 1.0f;
  m_effect.object = this;
  m_effect.uniqueID = 0;
  m_effect.version = 1;
  m_effect.processReplacing = processReplacingThunk;
  m_effect.processDoubleReplacing = processDoubleNothing;
}

AudioEffect::~AudioEffect() = default;

AudioEffect* AudioEffect::fromEffect(EffectRecord* effect) {
  if (!effect || effect->magic != kEffectMagic) return nullptr;
  return static_cast<AudioEffect*>(effect->object);
}

std::intptr_t AudioEffect::dispatcher(std::int32_t, std::int32_t, std::intptr_t, void*, float) { return 0; }

void AudioEffect::setParameter(std::int32_t, float) {}

float AudioEffect::getParameter(std::int32_t) { return 0.0f; }

void AudioEffect::processReplacing(float**, float**, std::int32_t) {}

void AudioEffect::setFlag(std::int32_t flag, bool on) {
  if (on)
    m_effect.flags |= flag;
  else
    m_effect.flags &= ~flag;
}

void AudioEffect::setEditorObject(core::AEffGUIEditor* editor) {
  m_editor = editor;
  setFlag(flags::hasEditor, editor != nullptr);
}

std::intptr_t AudioEffect::callHost(std::int32_t opcode, std::int32_t index, std::intptr_t value, void* ptr,
                                    float opt) const {
  if (!m_host) return 0;
  return m_host(const_cast<EffectRecord*>(&m_effect), opcode, index, value, ptr, opt);
}

}  // namespace vst2
