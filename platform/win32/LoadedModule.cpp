#include "platform/LoadedModule.h"

#include <windows.h>

#include "platform/win32/WideText.h"

namespace platform {

bool LoadedModule::open(const std::string& path, std::string& error) {
  close();
  m_handle = LoadLibraryW(win32::widen(path).c_str());
  if (m_handle) return true;
  error = "error " + std::to_string(GetLastError());
  return false;
}

void LoadedModule::close() {
  if (m_handle) FreeLibrary(static_cast<HMODULE>(m_handle));
  m_handle = nullptr;
}

void* LoadedModule::symbol(const char* name) const {
  return m_handle ? reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(m_handle), name)) : nullptr;
}

}  // namespace platform
