// A small DLL for the module-path test: it reports the data root and the user presets folder as
// the platform code inside it sees them, the way the plug-in's DLL does inside a host.
#include <string>

#include "platform/DataFolders.h"

extern "C" __declspec(dllexport) const char* skarvelProbeDataRoot() {
  static std::string root;
  root = platform::dataRoot();
  return root.c_str();
}

extern "C" __declspec(dllexport) const char* skarvelProbeUserPresets() {
  static std::string folder;
  folder = platform::userPresetsFolder();
  return folder.c_str();
}
