#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Frameworks/AppearanceManager/Appearance.h"
#include "Frameworks/AppearanceManager/ColourItems.h"
#include "Frameworks/AppearanceManager/RgbColour.h"

namespace platform {
class Settings;
}

namespace appearance {

class AppearanceFactory;

// Owns the themes read from the user and factory theme folders, keeps the current one and
// remembers the user's choice in the settings store. Used from the user-interface thread.
class AppearanceManager {
public:
  // Name of the built-in theme that stands alone when no theme file can be read.
  static constexpr const char* kDefaultThemeName = "Init";
  // The factory theme a new user starts with.
  static constexpr const char* kFirstLookThemeName = "Default";

  // The folders are full paths; the user folder is created (one level) if it is missing.
  AppearanceManager(AppearanceFactory& factory, platform::Settings& settings, std::string userFolder,
                    std::string factoryFolder);
  // On the plug-in's own theme folders beside its module file.
  AppearanceManager(AppearanceFactory& factory, platform::Settings& settings);
  ~AppearanceManager();

  // Reads every theme again: user themes first, then factory themes, each folder's files by
  // file name; "Init" alone when nothing could be read. Then selects the theme remembered in
  // the settings.
  //
  // The editor reloads each time its window opens, so the same broken file would otherwise
  // explain itself in the message list at every opening. A reload whose messages are exactly
  // those of the previous reload, while the list still holds them, adds nothing; a reload that
  // reports anything new (or finds the earlier report dropped from the list) adds its report.
  void reload();

  // Makes the theme at `position` current and returns it; a position beyond the list selects
  // position 0.
  const Appearance& select(std::size_t position);
  // The name of the theme at `itemId`; a position beyond the list is a programming error.
  const std::string& themeName(std::size_t itemId) const;

  std::size_t count() const { return m_appearances.size(); }
  // The current theme; none only before the first reload.
  const Appearance* currentAppearance() const { return m_currentAppearance; }
  std::size_t currentPosition() const { return m_currentPosition; }
  // False when a theme file failed to read during the last reload.
  bool allFilesLoaded() const { return m_allFilesLoaded; }
  // The current theme's colour of an item (the item's default colour before the first reload).
  RgbColour colour(std::size_t itemNum) const;
  // All of the editor's colours of the current theme, in item order.
  std::array<RgbColour, kColourItemCount> colourTable() const;

  // The position of the theme whose file path, or else whose name, is `filePath` / `name`;
  // false when neither is known.
  bool find(const std::string& filePath, const std::string& name, std::size_t& position) const;

  // Stores the current theme as the user's choice: "appearanceFileName" first, then
  // "appearanceName".
  void rememberCurrent();
  // Selects the theme stored as the user's choice (by file path, then by name), or position 0.
  // With no choice stored yet, the factory theme named kFirstLookThemeName is the first look.
  const Appearance& selectRemembered();

  const std::string& userFolder() const { return m_userFolder; }
  const std::string& factoryFolder() const { return m_factoryFolder; }

private:
  void loadAll();
  void loadFolder(const std::string& folder);
  void append(std::unique_ptr<Appearance> theme);

  AppearanceFactory& m_factory;
  platform::Settings& m_settings;
  std::string m_userFolder;
  std::string m_factoryFolder;

  std::vector<std::unique_ptr<Appearance>> m_appearances;
  const Appearance* m_defaultAppearance = nullptr;
  const Appearance* m_currentAppearance = nullptr;
  std::size_t m_currentPosition = 0;
  // Every theme's name and file path, each to the theme's position (later themes win).
  std::map<std::string, std::size_t> m_lookup;
  bool m_allFilesLoaded = true;
  // The messages of the last reload that were kept in the list, and their appending number.
  std::vector<std::string> m_lastReport;
  std::uint64_t m_lastReportNumber = 0;
};

}  // namespace appearance
