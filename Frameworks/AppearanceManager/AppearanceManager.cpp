#include "Frameworks/AppearanceManager/AppearanceManager.h"

#include <cstdio>
#include <filesystem>
#include <functional>
#include <set>
#include <utility>

#include "Frameworks/AppearanceManager/AppearanceFactory.h"
#include "Frameworks/Core/Assert.h"
#include "platform/Settings.h"

namespace appearance {

namespace fs = std::filesystem;

namespace {

bool endsWithYaml(const std::string& name) {
  static const std::string suffix = ".yaml";  // exact and case-sensitive
  return name.size() >= suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// Reports every ".yaml" file below `folder` in the order the file system lists them. Folders
// whose names begin with "." are not entered, device and other special entries are skipped, and
// a folder reached twice (through a link loop) is walked once.
void walkYamlFiles(const fs::path& folder, const std::function<void(const std::string&)>& onFile,
                   std::set<fs::path>& visited) {
  std::error_code error;
  const fs::path canonical = fs::canonical(folder, error);
  if (error || !visited.insert(canonical).second) return;
  fs::directory_iterator entries(folder, error);
  for (const fs::directory_iterator end; !error && entries != end; entries.increment(error)) {
    const fs::directory_entry& entry = *entries;
    const std::string name = entry.path().filename().string();
    std::error_code statError;
    if (entry.is_directory(statError)) {
      if (!name.empty() && name.front() != '.') walkYamlFiles(entry.path(), onFile, visited);
    } else if (entry.is_regular_file(statError) && endsWithYaml(name)) {
      onFile(entry.path().string());
    }
  }
}

}  // namespace

AppearanceManager::AppearanceManager(AppearanceFactory& factory, platform::Settings& settings, std::string userFolder,
                                     std::string factoryFolder)
    : m_factory(factory),
      m_settings(settings),
      m_userFolder(std::move(userFolder)),
      m_factoryFolder(std::move(factoryFolder)) {}

AppearanceManager::~AppearanceManager() = default;

void AppearanceManager::reload() {
  m_allFilesLoaded = true;
  m_currentAppearance = nullptr;
  m_defaultAppearance = nullptr;
  m_currentPosition = 0;
  m_lookup.clear();
  m_appearances.clear();

  if (!m_userFolder.empty()) {
    std::error_code ignored;
    fs::create_directory(m_userFolder, ignored);
  }
  m_factory.setLoadingReadOnly(false);
  loadFolder(m_userFolder);
  m_factory.setLoadingReadOnly(true);
  loadFolder(m_factoryFolder);
  m_factory.setLoadingReadOnly(false);

  if (m_appearances.empty()) {
    m_factory.createAppearance().name = kDefaultThemeName;
    if (auto theme = m_factory.takeAppearance()) {
      m_defaultAppearance = theme.get();
      append(std::move(theme));
      select(0);
    } else {
      std::fputs("Failed to load any appearance themes or even create a default one. This is likely to be terminal.\n",
                 stderr);
    }
  }
  selectRemembered();
}

void AppearanceManager::loadFolder(const std::string& folder) {
  if (folder.empty()) return;
  std::set<fs::path> visited;
  walkYamlFiles(folder, [this](const std::string& path) {
    if (auto theme = m_factory.readThemeFile(path)) append(std::move(theme));
    else m_allFilesLoaded = false;
  }, visited);
}

void AppearanceManager::append(std::unique_ptr<Appearance> theme) {
  const std::size_t position = m_appearances.size();
  m_lookup[theme->filePath] = position;
  m_lookup[theme->name] = position;
  m_appearances.push_back(std::move(theme));
}

const Appearance& AppearanceManager::select(std::size_t position) {
  if (m_appearances.empty()) {
    // Only before the first reload: nothing to select, so the built-in colours stay in use.
    static const Appearance none;
    m_currentAppearance = nullptr;
    m_currentPosition = 0;
    return none;
  }
  // A position beyond the list falls back to the first theme (the default theme when it is
  // the only one), so there is always a current theme to paint with.
  if (position >= m_appearances.size()) position = 0;
  m_currentPosition = position;
  m_currentAppearance = m_appearances[position].get();
  return *m_currentAppearance;
}

const std::string& AppearanceManager::themeName(std::size_t itemId) const {
  static const std::string none;
  if (!CORE_CHECK(itemId < m_appearances.size())) return none;
  return m_appearances[itemId]->name;
}

RgbColour AppearanceManager::colour(std::size_t itemNum) const {
  if (m_currentAppearance && itemNum < m_currentAppearance->colours.size()) return m_currentAppearance->colours[itemNum];
  return m_factory.defaultColour(itemNum);
}

bool AppearanceManager::find(const std::string& filePath, const std::string& name, std::size_t& position) const {
  auto found = m_lookup.find(filePath);
  if (found == m_lookup.end()) found = m_lookup.find(name);
  if (found == m_lookup.end()) return false;
  position = found->second;
  return true;
}

void AppearanceManager::rememberCurrent() {
  if (!m_currentAppearance) return;
  m_settings.writeText(platform::Settings::kAppearanceFileNameValue, m_currentAppearance->filePath);
  m_settings.writeText(platform::Settings::kAppearanceNameValue, m_currentAppearance->name);
}

const Appearance& AppearanceManager::selectRemembered() {
  const std::string filePath = m_settings.readText(platform::Settings::kAppearanceFileNameValue);
  const std::string name = m_settings.readText(platform::Settings::kAppearanceNameValue);
  std::size_t position = 0;
  if (!find(filePath, name, position)) position = 0;
  return select(position);
}

}  // namespace appearance
