#include "ModulePath.h"

#include <climits>
#include <cstdlib>

#include <dlfcn.h>

namespace platform {

namespace {
// Any address inside this module will do; a function of its own is the surest.
void addressInsideThisModule() {}
}  // namespace

std::string modulePath() {
  Dl_info info{};
  if (!dladdr(reinterpret_cast<void*>(&addressInsideThisModule), &info) || !info.dli_fname)
    return std::string();
  char resolved[PATH_MAX];
  if (!realpath(info.dli_fname, resolved)) return std::string(info.dli_fname);
  return resolved;
}

std::string resolvedFolderOf(const std::string& path) {
  if (path.empty()) return std::string();
  char resolved[PATH_MAX];
  if (!realpath(path.c_str(), resolved)) return std::string();
  const std::string full(resolved);
  const std::size_t slash = full.rfind('/');
  return slash == std::string::npos ? std::string() : full.substr(0, slash + 1);
}

}  // namespace platform
