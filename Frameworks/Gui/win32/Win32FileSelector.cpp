#include "Frameworks/Gui/win32/Win32FileSelector.h"

#include <windows.h>

#include <commdlg.h>
#include <shlobj.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/win32/WideText.h"

namespace VSTGUI::Win32 {

using platform::win32::narrow;
using platform::win32::widen;

struct Win32FileSelector::Shared {
  std::mutex mutex;
  bool done = false;
  std::vector<std::string> files;
};

std::wstring fileDialogFilter(const FileSelectorConfig& config) {
  std::wstring filter;
  for (const auto& [description, extension] : config.filters) {
    filter += widen(description) + L'\0' + L"*." + widen(extension) + L'\0';
  }
  filter += L"All files";
  filter += L'\0';
  filter += L"*.*";
  filter += L'\0';
  return filter;  // the final terminator is the string's own
}

namespace {

std::vector<std::string> runFileDialog(const FileSelectorConfig& config) {
  std::vector<std::string> chosen;
  const std::wstring filter = fileDialogFilter(config);
  const std::wstring title = widen(config.title);
  const std::wstring folder = widen(config.initialFolder);
  std::vector<wchar_t> buffer(32768, L'\0');
  const std::wstring name = widen(config.defaultName);
  name.copy(buffer.data(), std::min(name.size(), buffer.size() - 1));

  if (config.mode == FileSelectorConfig::Mode::kDirectory) {
    BROWSEINFOW browse{};
    browse.lpszTitle = title.c_str();
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    if (PIDLIST_ABSOLUTE list = SHBrowseForFolderW(&browse)) {
      if (SHGetPathFromIDListW(list, buffer.data())) chosen.push_back(narrow(buffer.data()));
      CoTaskMemFree(list);
    }
    return chosen;
  }

  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.lpstrFilter = filter.c_str();
  dialog.lpstrFile = buffer.data();
  dialog.nMaxFile = static_cast<DWORD>(buffer.size());
  dialog.lpstrTitle = title.empty() ? nullptr : title.c_str();
  dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  std::wstring extension;
  if (!config.filters.empty()) {
    extension = widen(config.filters.front().second);
    dialog.lpstrDefExt = extension.c_str();
  }
  dialog.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR;
  if (config.mode == FileSelectorConfig::Mode::kSave) {
    dialog.Flags |= OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
    if (GetSaveFileNameW(&dialog)) chosen.push_back(narrow(buffer.data()));
    return chosen;
  }
  dialog.Flags |= OFN_FILEMUSTEXIST | (config.multiple ? OFN_ALLOWMULTISELECT : 0);
  if (!GetOpenFileNameW(&dialog)) return chosen;
  // Several files come as the folder, then each name, every part ending in a zero.
  const std::wstring first = buffer.data();
  const wchar_t* next = buffer.data() + first.size() + 1;
  if (!config.multiple || !*next) {
    chosen.push_back(narrow(first));
    return chosen;
  }
  while (*next) {
    const std::wstring part = next;
    chosen.push_back(narrow(first + L"\\" + part));
    next += part.size() + 1;
  }
  return chosen;
}

}  // namespace

std::unique_ptr<IPlatformFileSelector> Win32FileSelector::start(const FileSelectorConfig& config,
                                                                std::string& reason) {
  auto shared = std::make_shared<Shared>();
  try {
    std::thread([config, shared] {
      // The dialogs need COM on their thread (folder browser, shell extensions).
      const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
      std::vector<std::string> files = runFileDialog(config);
      if (SUCCEEDED(com)) CoUninitialize();
      const std::lock_guard<std::mutex> lock(shared->mutex);
      shared->files = std::move(files);
      shared->done = true;
    }).detach();
  } catch (...) {
    reason = "not available";
    return nullptr;
  }
  return std::unique_ptr<IPlatformFileSelector>(new Win32FileSelector(shared));
}

Win32FileSelector::~Win32FileSelector() = default;

bool Win32FileSelector::poll(std::vector<std::string>& files) {
  const std::lock_guard<std::mutex> lock(m_shared->mutex);
  if (!m_shared->done) return false;
  files = m_shared->files;
  return true;
}

}  // namespace VSTGUI::Win32
