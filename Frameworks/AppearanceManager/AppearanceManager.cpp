#include "Frameworks/AppearanceManager/AppearanceManager.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <utility>
#include <vector>

#include "Frameworks/AppearanceManager/AppearanceFactory.h"
#include "Frameworks/Core/Assert.h"
#include "Frameworks/PresetManager/MessageList.h"
#include "platform/DataFolders.h"
#include "platform/FileSystem.h"
#include "platform/FolderWalk.h"
#include "platform/Settings.h"

namespace appearance {

namespace {

// Hands every theme file of a walk to the manager; subfolders only group files on disk.
class ThemeFileCallback : public platform::DirTreeCallback {
public:
  explicit ThemeFileCallback(std::function<void(const std::string&)> onFile) : m_onFile(std::move(onFile)) {}
  void fileFound(const std::string& path) override { m_onFile(path); }
  void folderEntered(const std::string&) override {}
  void folderLeft() override {}

private:
  std::function<void(const std::string&)> m_onFile;
};

}  // namespace

AppearanceManager::AppearanceManager(AppearanceFactory& factory, platform::Settings& settings, std::string userFolder,
                                     std::string factoryFolder)
    : m_factory(factory),
      m_settings(settings),
      m_userFolder(std::move(userFolder)),
      m_factoryFolder(std::move(factoryFolder)) {}

AppearanceManager::AppearanceManager(AppearanceFactory& factory, platform::Settings& settings)
    : AppearanceManager(factory, settings, platform::userThemesFolder(), platform::factoryThemesFolder()) {}

AppearanceManager::~AppearanceManager() = default;

void AppearanceManager::reload() {
  presets::MessageList& messages = m_factory.messages();
  const std::uint64_t reportNumber = messages.appendedCount();
  loadAll();
  std::vector<std::string> report = messages.linesSince(reportNumber);
  if (!report.empty() && report == m_lastReport && messages.holds(m_lastReportNumber)) {
    messages.removeSince(reportNumber);  // the list still explains these files
    return;
  }
  m_lastReport = std::move(report);
  m_lastReportNumber = reportNumber;
}

void AppearanceManager::loadAll() {
  m_allFilesLoaded = true;
  m_currentAppearance = nullptr;
  m_defaultAppearance = nullptr;
  m_currentPosition = 0;
  m_lookup.clear();
  m_appearances.clear();

  if (!m_userFolder.empty()) platform::createFolder(m_userFolder);
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
  std::vector<std::string> paths;
  ThemeFileCallback callback([&paths](const std::string& path) { paths.push_back(path); });
  platform::walkFolderTree(folder, ".yaml", callback);
  // The menu order must not depend on the order the file system lists files in: by file name,
  // then by the whole path for equal names in different subfolders (bytes, not the locale).
  auto fileName = [](const std::string& path) { return path.substr(path.find_last_of("/\\") + 1); };
  std::stable_sort(paths.begin(), paths.end(), [&](const std::string& a, const std::string& b) {
    const std::string nameA = fileName(a), nameB = fileName(b);
    return nameA != nameB ? nameA < nameB : a < b;
  });
  for (const std::string& path : paths) {
    if (auto theme = m_factory.readThemeFile(path)) append(std::move(theme));
    else m_allFilesLoaded = false;
  }
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

std::array<RgbColour, kColourItemCount> AppearanceManager::colourTable() const {
  std::array<RgbColour, kColourItemCount> table{};
  for (std::size_t item = 0; item < table.size(); ++item) table[item] = colour(item);
  return table;
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
  if (filePath.empty() && name.empty()) {
    for (std::size_t i = 0; i < m_appearances.size(); ++i)
      if (m_appearances[i]->readOnly && m_appearances[i]->name == kFirstLookThemeName) {
        position = i;
        break;
      }
  } else if (!find(filePath, name, position)) {
    position = 0;
  }
  return select(position);
}

}  // namespace appearance
