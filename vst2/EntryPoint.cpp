// The module's only exported functions: the host calls VSTPluginMain (or its older name, main)
// with its callback and receives the effect record of a new instance.

#include <memory>

#include "source/plugin/SkarvelPlugin.h"
#include "source/plugin/SkarvelPluginFactory.h"
#include "vst2/Vst2Plugin.h"

#define SKARVEL_EXPORT extern "C" __attribute__((visibility("default")))

SKARVEL_EXPORT vst2::EffectRecord* VSTPluginMain(vst2::HostCallback host) {
  if (vst2::AudioEffectX::hostVersion(host) == 0) return nullptr;
  try {
    auto factory = std::make_unique<skarvel::SkarvelPluginFactory>();
    core::PluginCore& core = factory->createForHost();
    const core::PluginDescription& description = factory->description();
    core::Parameters& registry = factory->registry();
    core::DspEngine& engine = factory->getDspEngine();
    auto adapter = std::make_unique<vst2::Vst2Plugin>(host, std::move(factory), description, registry, core, engine);
    core.attachHost(*adapter);
    // From here on the host owns the instance; its close request deletes it.
    return adapter.release()->getEffect();
  } catch (...) {
    // Out of memory or a failure while loading: no plug-in rather than a host crash.
    return nullptr;
  }
}

// Older hosts look the entry point up under the name "main".
SKARVEL_EXPORT vst2::EffectRecord* vst2MainAlias(vst2::HostCallback host) __asm__("main");
vst2::EffectRecord* vst2MainAlias(vst2::HostCallback host) { return VSTPluginMain(host); }
