#include "DataFolders.h"

#include <mutex>
#include <optional>

#include "FileSystem.h"
#include "ModulePath.h"
#include "Notice.h"

namespace platform {

namespace {

// The system's own separator, so the folders read as the system writes paths.
#ifdef _WIN32
#define SKARVEL_SEP "\\"
#else
#define SKARVEL_SEP "/"
#endif

struct Folders {
  std::optional<std::string> root;
  std::optional<std::string> factoryPresets;
  std::optional<std::string> userPresets;
  std::optional<std::string> factoryThemes;
  std::optional<std::string> userThemes;
  std::optional<std::string> rootOverride;
};

std::mutex g_foldersMutex;
Folders g_folders;

std::string rootLocked() {
  if (!g_folders.root) {
    if (g_folders.rootOverride) g_folders.root = *g_folders.rootOverride;
    else g_folders.root = resolvedFolderOf(modulePath());
  }
  return *g_folders.root;
}

std::string folderLocked(std::optional<std::string>& slot, const char* relative, bool create) {
  if (!slot) {
    const std::string root = rootLocked();
    if (root.size() <= 5) showNotice("Hu?", "Plugin Data not found!");
    slot = root + relative;
    if (create) createFolder(*slot);
  }
  return *slot;
}

std::string folder(std::optional<std::string> Folders::*slot, const char* relative, bool create) {
  const std::lock_guard<std::mutex> lock(g_foldersMutex);
  return folderLocked(g_folders.*slot, relative, create);
}

}  // namespace

std::string dataRoot() {
  const std::lock_guard<std::mutex> lock(g_foldersMutex);
  return rootLocked();
}

std::string factoryPresetsFolder() { return folder(&Folders::factoryPresets, "Presets" SKARVEL_SEP "Factory" SKARVEL_SEP, false); }
std::string userPresetsFolder() { return folder(&Folders::userPresets, "Presets" SKARVEL_SEP "User" SKARVEL_SEP, true); }
std::string factoryThemesFolder() { return folder(&Folders::factoryThemes, "Appearance" SKARVEL_SEP "Factory" SKARVEL_SEP, false); }
std::string userThemesFolder() { return folder(&Folders::userThemes, "Appearance" SKARVEL_SEP "User" SKARVEL_SEP, true); }

std::string dataFilePath(const std::string& relativeName) { return dataRoot() + relativeName; }

void setDataRootForTesting(const std::string& root) {
  const std::lock_guard<std::mutex> lock(g_foldersMutex);
  g_folders = Folders{};
  if (!root.empty()) g_folders.rootOverride = root.back() == SKARVEL_SEP[0] ? root : root + SKARVEL_SEP;
}

}  // namespace platform
