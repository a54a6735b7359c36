#include "platform/LoadedModule.h"

#include <dlfcn.h>

namespace platform {

bool LoadedModule::open(const std::string& path, std::string& error) {
  close();
  // A path without a slash would make dlopen search the library path instead of the file.
  const std::string file = path.find('/') == std::string::npos ? "./" + path : path;
  m_handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (m_handle) return true;
  const char* reason = dlerror();
  error = reason ? reason : "unknown error";
  return false;
}

void LoadedModule::close() {
  if (m_handle) dlclose(m_handle);
  m_handle = nullptr;
}

void* LoadedModule::symbol(const char* name) const { return m_handle ? dlsym(m_handle, name) : nullptr; }

}  // namespace platform
