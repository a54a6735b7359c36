#pragma once

#include <string>
#include <vector>

#include "platform/FolderWalk.h"

namespace presets {

class PresetManager;

// Adds every preset file a folder walk finds to the preset manager, in the list named after the
// folder that directly holds it (the walk's top folder uses the list name it starts with).
class YamlFileCallback : public platform::DirTreeCallback {
 public:
  YamlFileCallback(PresetManager& manager, std::string listName)
      : m_manager(manager), m_listName(std::move(listName)) {}

  void fileFound(const std::string& path) override;
  void folderEntered(const std::string& name) override;
  void folderLeft() override;

 private:
  PresetManager& m_manager;
  std::string m_listName;
  std::vector<std::string> m_remembered;
};

}  // namespace presets
