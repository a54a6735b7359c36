// The editor module's only exported function. It holds no editor of its own: it finds the
// plug-in instance through the host's instance access and opens the editor that lives in the
// plug-in module beside the core (lv2/Lv2UiBridge.h).

#include <cstdint>
#include <cstring>
#include <new>

#include <lv2/core/lv2.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/ui/ui.h>

#include "lv2/Lv2UiBridge.h"
#include "lv2/Lv2Uris.h"

namespace {

struct Ui {
  lv2::UiBridge* bridge = nullptr;
  lv2::UiSession* session = nullptr;
};

const void* findFeature(const LV2_Feature* const* features, const char* uri) {
  for (; features && *features; ++features)
    if (std::strcmp((*features)->URI, uri) == 0) return (*features)->data;
  return nullptr;
}

LV2UI_Handle instantiate(const LV2UI_Descriptor*, const char* pluginUri, const char*, LV2UI_Write_Function write,
                         LV2UI_Controller controller, LV2UI_Widget* widget, const LV2_Feature* const* features) {
  if (!pluginUri || std::strcmp(pluginUri, lv2::kPluginUri) != 0 || !write || !widget) return nullptr;
  const auto* record = static_cast<const lv2::InstanceRecord*>(findFeature(features, LV2_INSTANCE_ACCESS_URI));
  void* parent = const_cast<void*>(findFeature(features, LV2_UI__parent));
  if (!record || !parent || record->magic != lv2::InstanceRecord::kMagic ||
      record->version != lv2::InstanceRecord::kVersion || !record->bridge)
    return nullptr;
  lv2::UiHostFunctions host;
  host.write = write;
  host.controller = controller;
  host.touch = static_cast<const LV2UI_Touch*>(findFeature(features, LV2_UI__touch));
  host.resize = static_cast<const LV2UI_Resize*>(findFeature(features, LV2_UI__resize));
  // Building the window allocates: running out of memory there (or in any later call) must not
  // unwind into the host, which gets no editor, or keeps the one it has, instead.
  auto* ui = new (std::nothrow) Ui{record->bridge, nullptr};
  if (!ui) return nullptr;
  try {
    ui->session = record->bridge->openUi(parent, host);
  } catch (...) {
    ui->session = nullptr;
  }
  if (!ui->session) {
    delete ui;
    return nullptr;
  }
  *widget = reinterpret_cast<LV2UI_Widget>(ui->session->window());
  return ui;
}

void cleanup(LV2UI_Handle handle) {
  auto* ui = static_cast<Ui*>(handle);
  try {
    ui->bridge->closeUi(ui->session);
  } catch (...) {
  }
  delete ui;
}

void portEvent(LV2UI_Handle handle, uint32_t port, uint32_t size, uint32_t format, const void* buffer) {
  try {
    static_cast<Ui*>(handle)->session->portEvent(port, size, format, buffer);
  } catch (...) {
  }
}

int idle(LV2UI_Handle handle) {
  try {
    return static_cast<Ui*>(handle)->session->idle();
  } catch (...) {
    return 0;  // the window stays; the next idle call tries again
  }
}

const LV2UI_Idle_Interface kIdleInterface = {idle};

const void* extensionData(const char* uri) {
  if (uri && std::strcmp(uri, LV2_UI__idleInterface) == 0) return &kIdleInterface;
  return nullptr;
}

const LV2UI_Descriptor kDescriptor = {lv2::kUiUri, instantiate, cleanup, portEvent, extensionData};

}  // namespace

extern "C" LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index) {
  return index == 0 ? &kDescriptor : nullptr;
}
