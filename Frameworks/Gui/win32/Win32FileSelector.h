#pragma once

#include <memory>
#include <string>

#include "Frameworks/Gui/Platform.h"

namespace VSTGUI::Win32 {

// A common file dialog (open, save) or folder browser run on a thread of its own, so the
// host's user-interface thread keeps going; polled from idle.
class Win32FileSelector : public IPlatformFileSelector {
 public:
  static std::unique_ptr<IPlatformFileSelector> start(const FileSelectorConfig& config, std::string& reason);
  ~Win32FileSelector() override;
  bool poll(std::vector<std::string>& files) override;

  struct Shared;

 private:
  explicit Win32FileSelector(std::shared_ptr<Shared> shared) : m_shared(std::move(shared)) {}
  std::shared_ptr<Shared> m_shared;
};

// The common dialogs' filter text for a configuration ("Presets\0*.yaml\0...\0\0").
std::wstring fileDialogFilter(const FileSelectorConfig& config);

}  // namespace VSTGUI::Win32
