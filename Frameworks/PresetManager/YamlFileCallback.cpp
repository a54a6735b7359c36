#include "YamlFileCallback.h"

#include "PresetManager.h"

namespace presets {

void YamlFileCallback::fileFound(const std::string& path) { m_manager.addFileProgram(path, m_listName); }

void YamlFileCallback::folderEntered(const std::string& name) {
  m_remembered.push_back(m_listName);
  m_listName = name;
}

void YamlFileCallback::folderLeft() {
  if (m_remembered.empty()) return;
  m_listName = m_remembered.back();
  m_remembered.pop_back();
}

}  // namespace presets
