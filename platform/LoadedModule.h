#pragma once

#include <string>

namespace platform {

// A shared library (a plug-in module) loaded at run time by a host program: the module is
// loaded by `open`, its exported functions are looked up by name, and it is
// unloaded when the object goes or `close` is called.
class LoadedModule {
 public:
  LoadedModule() = default;
  ~LoadedModule() { close(); }
  LoadedModule(const LoadedModule&) = delete;
  LoadedModule& operator=(const LoadedModule&) = delete;

  // Loads the file at `path` (UTF-8). False with a one-line reason in `error` when it cannot.
  bool open(const std::string& path, std::string& error);
  void close();
  bool isOpen() const { return m_handle != nullptr; }
  // The exported function `name`, or null.
  void* symbol(const char* name) const;

 private:
  void* m_handle = nullptr;
};

}  // namespace platform
