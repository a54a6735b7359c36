#pragma once

#include <cstdint>

#include <lv2/ui/ui.h>

// What the editor module (the LV2 UI binary) finds behind the plug-in instance it is handed
// through instance access. The editor itself lives in the plug-in module, beside the core it
// edits; the UI binary only passes the host's UI features through this bridge and calls back
// into the plug-in module by virtual calls. Both modules are built from the same tree and ship
// in the same bundle; the magic and the version catch a UI binary from another build.
namespace lv2 {

// The host's side of one open editor, as the UI binary received it.
struct UiHostFunctions {
  LV2UI_Write_Function write = nullptr;
  LV2UI_Controller controller = nullptr;
  const LV2UI_Touch* touch = nullptr;    // optional
  const LV2UI_Resize* resize = nullptr;  // optional
};

// One open editor window. All calls arrive on the host's user-interface thread.
class UiSession {
 public:
  // The editor's own X window (the UI's widget).
  virtual std::uintptr_t window() const = 0;
  // The host's periodic idle call; 0 while the window stays open.
  virtual int idle() = 0;
  // A port's value changed in the host (format 0: one float).
  virtual void portEvent(std::uint32_t port, std::uint32_t size, std::uint32_t format, const void* buffer) = 0;

 protected:
  ~UiSession() = default;
};

class UiBridge {
 public:
  // Opens the editor inside `parent` (an X window); null when it cannot (another editor of this
  // instance is open, or the window cannot be made).
  virtual UiSession* openUi(void* parent, const UiHostFunctions& host) = 0;
  // Closes the window and destroys the session.
  virtual void closeUi(UiSession* session) = 0;

 protected:
  ~UiBridge() = default;
};

// The record the plug-in's LV2 handle points at.
struct InstanceRecord {
  static constexpr std::uint64_t kMagic = 0x534b52564c4c5632ull;  // "SKRVLLV2"
  static constexpr std::uint32_t kVersion = 1;
  std::uint64_t magic = kMagic;
  std::uint32_t version = kVersion;
  UiBridge* bridge = nullptr;
};

}  // namespace lv2
