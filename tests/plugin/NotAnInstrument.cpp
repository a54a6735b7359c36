// A VST 2.4 module that is an audio effect, not an instrument: the render host must refuse it.

#include "vst2/Vst2Abi.h"

namespace {

std::intptr_t dispatcher(vst2::EffectRecord*, std::int32_t, std::int32_t, std::intptr_t, void*, float) { return 0; }
void process(vst2::EffectRecord*, float**, float**, std::int32_t) {}

vst2::EffectRecord g_effect = [] {
  vst2::EffectRecord effect{};
  effect.magic = vst2::kEffectMagic;
  effect.dispatcher = dispatcher;
  effect.numInputs = 2;
  effect.numOutputs = 2;
  effect.flags = vst2::flags::canReplacing;
  effect.processReplacing = process;
  return effect;
}();

}  // namespace

extern "C" __attribute__((visibility("default"))) vst2::EffectRecord* VSTPluginMain(vst2::HostCallback) {
  return &g_effect;
}
