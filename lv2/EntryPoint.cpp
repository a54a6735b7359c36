// The plug-in module's only exported function: LV2 hosts call lv2_descriptor and create
// instances through the descriptor it returns.

#include <cstring>
#include <memory>

#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include "lv2/Lv2Plugin.h"
#include "lv2/Lv2Uris.h"
#include "source/plugin/SkarvelPlugin.h"
#include "source/plugin/SkarvelPluginFactory.h"

namespace {

const void* findFeature(const LV2_Feature* const* features, const char* uri) {
  for (; features && *features; ++features)
    if (std::strcmp((*features)->URI, uri) == 0) return (*features)->data;
  return nullptr;
}

LV2_Handle instantiate(const LV2_Descriptor*, double sampleRate, const char*, const LV2_Feature* const* features) {
  const auto* map = static_cast<const LV2_URID_Map*>(findFeature(features, LV2_URID__map));
  if (!map || !map->map) return nullptr;
  try {
    auto factory = std::make_unique<skarvel::SkarvelPluginFactory>();
    core::PluginCore& core = factory->createForHost();
    core::DspEngine& engine = factory->getDspEngine();
    auto plugin = std::make_unique<lv2::Lv2Plugin>(std::move(factory), core, engine, *map);
    core.attachHost(*plugin);
    plugin->setSampleRate(sampleRate);
    // The host's controls start at the parameters' defaults: so does the sound.
    core.selectInitProgram();
    return plugin.release()->handle();
  } catch (...) {
    // Out of memory or a failure while loading: no instance rather than a host crash.
    return nullptr;
  }
}

void connectPort(LV2_Handle handle, uint32_t port, void* data) { lv2::Lv2Plugin::fromHandle(handle)->connectPort(port, data); }
void activate(LV2_Handle handle) { lv2::Lv2Plugin::fromHandle(handle)->activate(); }
void run(LV2_Handle handle, uint32_t frames) { lv2::Lv2Plugin::fromHandle(handle)->run(frames); }
void deactivate(LV2_Handle handle) { lv2::Lv2Plugin::fromHandle(handle)->deactivate(); }
void cleanup(LV2_Handle handle) { delete lv2::Lv2Plugin::fromHandle(handle); }

// Saving and restoring copy the program's text: running out of memory there fails the request
// instead of unwinding into the host.
LV2_State_Status save(LV2_Handle handle, LV2_State_Store_Function store, LV2_State_Handle state, uint32_t,
                      const LV2_Feature* const*) {
  try {
    return lv2::Lv2Plugin::fromHandle(handle)->save(store, state);
  } catch (...) {
    return LV2_STATE_ERR_UNKNOWN;
  }
}

LV2_State_Status restore(LV2_Handle handle, LV2_State_Retrieve_Function retrieve, LV2_State_Handle state, uint32_t,
                         const LV2_Feature* const*) {
  try {
    return lv2::Lv2Plugin::fromHandle(handle)->restore(retrieve, state);
  } catch (...) {
    return LV2_STATE_ERR_UNKNOWN;
  }
}

const LV2_State_Interface kStateInterface = {save, restore};

const void* extensionData(const char* uri) {
  if (uri && std::strcmp(uri, LV2_STATE__interface) == 0) return &kStateInterface;
  return nullptr;
}

const LV2_Descriptor kDescriptor = {lv2::kPluginUri, instantiate, connectPort, activate, run, deactivate, cleanup,
                                    extensionData};

}  // namespace

extern "C" LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index) {
  return index == 0 ? &kDescriptor : nullptr;
}
