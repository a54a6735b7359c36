#pragma once

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/skarvel-audition/Audition.h"
#include "tools/skarvel-audition/PresetFiles.h"

namespace factorytest {

// One file of the factory library as the plug-in sees it: its bank (the folder that holds it,
// which becomes its preset list), its path, and what the reader made of it.
struct LibraryFile {
  std::string bank;
  std::filesystem::path path;
  bool loaded = false;
  std::vector<std::string> messages;
  audition::LoadedPreset preset;
};

// Every ".yaml" file under the factory folder, read once per test program.
inline const std::vector<LibraryFile>& factoryLibrary() {
  static const std::vector<LibraryFile> files = [] {
    std::vector<LibraryFile> result;
    std::error_code error;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(SKARVEL_FACTORY_PRESET_FOLDER, error)) {
      if (!entry.is_regular_file() || entry.path().extension() != ".yaml") continue;
      LibraryFile file;
      file.path = entry.path();
      const auto parent = entry.path().parent_path();
      file.bank = parent == std::filesystem::path(SKARVEL_FACTORY_PRESET_FOLDER) ? "" : parent.filename().string();
      const auto preset = audition::readPresetFile(entry.path().string(), &file.messages);
      if (preset) {
        file.loaded = true;
        file.preset = *preset;
      }
      result.push_back(std::move(file));
    }
    std::sort(result.begin(), result.end(), [](const LibraryFile& a, const LibraryFile& b) { return a.path < b.path; });
    return result;
  }();
  return files;
}

}  // namespace factorytest
