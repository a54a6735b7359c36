// A small shared object for the module-path test: it reports the data root as the platform
// code inside it sees it, the way the plug-in's shared object does inside a host.
#include <string>

#include "platform/DataFolders.h"

extern "C" __attribute__((visibility("default"))) const char* skarvelProbeDataRoot() {
  static std::string root;
  root = platform::dataRoot();
  return root.c_str();
}
