// The theme list: reload order and flags, the "Init" theme, selection, and finding the user's
// remembered choice again by file path, then by name.

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "Frameworks/AppearanceManager/AppearanceManager.h"
#include "platform/DataFolders.h"
#include "platform/FolderSettings.h"
#include "ThemeFixture.h"

namespace {

namespace fs = std::filesystem;
using appearance::AppearanceManager;
using appearance::RgbColour;
using platform::Settings;

// Records the order of writes on top of a real folder store.
class RecordingSettings : public platform::FolderSettings {
public:
  using FolderSettings::FolderSettings;
  void writeText(std::string_view valueName, std::string_view text) override {
    writes.emplace_back(valueName, text);
    FolderSettings::writeText(valueName, text);
  }
  std::vector<std::pair<std::string, std::string>> writes;
};

class AppearanceManagerTest : public ThemeFixture {
protected:
  AppearanceManagerTest() : settings(temp / "settings"), manager(factory, settings, userFolder, factoryFolder) {
    fs::create_directories(factoryFolder);
  }

  void writeTheme(const std::string& path, const std::string& name, const std::string& body = "") {
    writeFile(path, themeText(name, body.empty() ? "  graphClipRGB: [1, 2, 3]\n" : body));
  }

  std::vector<std::string> names() const {
    std::vector<std::string> result;
    for (std::size_t i = 0; i < manager.count(); ++i) result.push_back(manager.themeName(i));
    return result;
  }

  std::string userFolder = temp / "Appearance/User";
  std::string factoryFolder = temp / "Appearance/Factory";
  RecordingSettings settings;
  AppearanceManager manager;
};

}  // namespace

TEST_F(AppearanceManagerTest, EmptyFoldersGiveOnlyInitWithTheDefaultColours) {
  manager.reload();
  ASSERT_EQ(manager.count(), 1u);
  EXPECT_EQ(manager.themeName(0), "Init");
  ASSERT_NE(manager.currentAppearance(), nullptr);
  EXPECT_EQ(manager.currentAppearance()->filePath, "");
  EXPECT_FALSE(manager.currentAppearance()->readOnly);
  for (std::size_t item = 0; item < appearance::kColourItemCount; ++item)
    EXPECT_EQ(manager.colour(item), appearance::kColourItems[item].defaultColour) << item;
  EXPECT_TRUE(manager.allFilesLoaded());
  EXPECT_EQ(messages.count(), 0u);
  EXPECT_TRUE(fs::is_directory(userFolder)) << "the user folder is created for the user to fill";
  EXPECT_TRUE(settings.writes.empty()) << "nothing is remembered until the user chooses";
  EXPECT_FALSE(fs::exists(temp / "settings"));
}

TEST_F(AppearanceManagerTest, UserThemesComeFirstThenFactoryThemesFromEveryDepth) {
  writeTheme(userFolder + "/Mine.yaml", "Mine");
  writeTheme(factoryFolder + "/Shipped.yaml", "Shipped");
  writeTheme(factoryFolder + "/More/Deeper/Nested.yaml", "Nested");
  writeTheme(factoryFolder + "/.hidden/Hidden.yaml", "Hidden");
  writeTheme(factoryFolder + "/Capitals.YAML", "Capitals");
  writeTheme(factoryFolder + "/Notes.txt", "Notes");
  writeTheme(factoryFolder + "/.dotfile.yaml", "Dot file");  // files are not filtered by their first character
  manager.reload();

  ASSERT_EQ(manager.count(), 4u) << messagesText();
  EXPECT_EQ(manager.themeName(0), "Mine");
  EXPECT_FALSE(manager.select(0).readOnly);
  const auto all = names();
  EXPECT_EQ(std::set<std::string>(all.begin() + 1, all.end()), (std::set<std::string>{"Shipped", "Nested", "Dot file"}));
  for (std::size_t i = 1; i < manager.count(); ++i) EXPECT_TRUE(manager.select(i).readOnly) << manager.themeName(i);
  EXPECT_TRUE(manager.allFilesLoaded());
}

TEST_F(AppearanceManagerTest, ABrokenFileIsLeftOutAndMarksFilesMissing) {
  writeTheme(userFolder + "/Good.yaml", "Good");
  writeFile(userFolder + "/Broken.yaml", themeText("Broken", "  graphClipRGB: [1, 2]\n"));
  manager.reload();
  EXPECT_EQ(names(), std::vector<std::string>{"Good"});
  EXPECT_FALSE(manager.allFilesLoaded());
  EXPECT_NE(messagesText().find("Appearance format error in " + userFolder + "/Broken.yaml"), std::string::npos);

  // Only broken files: "Init" stands in, and the missing files are still reported.
  fs::remove(userFolder + "/Good.yaml");
  manager.reload();
  EXPECT_EQ(names(), std::vector<std::string>{"Init"});
  EXPECT_FALSE(manager.allFilesLoaded());

  // A repaired file is picked up by the next reload.
  writeTheme(userFolder + "/Broken.yaml", "Repaired");
  manager.reload();
  EXPECT_EQ(names(), std::vector<std::string>{"Repaired"});
  EXPECT_TRUE(manager.allFilesLoaded());
}

TEST_F(AppearanceManagerTest, SelectMakesAThemeCurrentAndAPositionBeyondTheListSelectsTheFirst) {
  writeTheme(userFolder + "/Red.yaml", "Red", "  mainBackgroundRGB: [200, 0, 0]\n");
  manager.reload();
  EXPECT_EQ(manager.colour(appearance::kMainBackground), (RgbColour{200, 0, 0}));
  EXPECT_EQ(manager.colour(appearance::kGraphClip), (RgbColour{215, 0, 0}));
  const auto table = manager.colourTable();
  EXPECT_EQ(table[appearance::kMainBackground], (RgbColour{200, 0, 0}));
  EXPECT_EQ(table[appearance::kGraphClip], (RgbColour{215, 0, 0}));

  EXPECT_EQ(manager.select(7).name, "Red");
  EXPECT_EQ(manager.currentPosition(), 0u);
  ASSERT_NE(manager.currentAppearance(), nullptr) << "there is always a theme to paint with";
  EXPECT_DEATH((void)manager.themeName(1), "itemId < m_appearances.size\\(\\)");
}

TEST_F(AppearanceManagerTest, ChoosingAThemeWritesTheFilePathBeforeTheName) {
  writeTheme(userFolder + "/A.yaml", "Alpha");
  writeTheme(userFolder + "/B.yaml", "Beta");
  manager.reload();
  std::size_t beta = 0;
  ASSERT_TRUE(manager.find("", "Beta", beta));
  manager.select(beta);
  manager.rememberCurrent();

  const std::vector<std::pair<std::string, std::string>> expected{
      {"appearanceFileName", userFolder + "/B.yaml"}, {"appearanceName", "Beta"}};
  EXPECT_EQ(settings.writes, expected);
  EXPECT_EQ(readFile(temp / "settings/appearanceName"), std::string("Beta") + '\0');

  // The next editor (a new manager on the same settings) opens with the same theme.
  appearance::AppearanceManager next(factory, settings, userFolder, factoryFolder);
  next.reload();
  EXPECT_EQ(next.currentAppearance()->name, "Beta");
  EXPECT_EQ(next.currentPosition(), beta);
}

TEST_F(AppearanceManagerTest, ARenamedFileIsFoundByItsNameAndARenamedThemeByItsPath) {
  writeTheme(userFolder + "/Ember.yaml", "Ember");
  writeTheme(factoryFolder + "/Other.yaml", "Other");
  manager.reload();
  manager.select(0);
  manager.rememberCurrent();

  // Moved to another file name, same name inside: found by name.
  fs::rename(userFolder + "/Ember.yaml", userFolder + "/Warm.yaml");
  manager.reload();
  EXPECT_EQ(manager.currentAppearance()->name, "Ember");
  EXPECT_EQ(manager.currentAppearance()->filePath, userFolder + "/Warm.yaml");

  // Same file path with a new name, while another theme now carries the remembered name: the
  // path wins.
  settings.writeText(Settings::kAppearanceFileNameValue, factoryFolder + "/Other.yaml");
  settings.writeText(Settings::kAppearanceNameValue, "Ember");
  writeTheme(factoryFolder + "/Other.yaml", "Other, renamed");
  manager.reload();
  EXPECT_EQ(manager.currentAppearance()->name, "Other, renamed");
}

TEST_F(AppearanceManagerTest, ARememberedThemeThatIsGoneFallsBackToTheFirstWithoutAMessage) {
  writeTheme(userFolder + "/A.yaml", "Alpha");
  writeTheme(factoryFolder + "/B.yaml", "Beta");
  settings.writeText(Settings::kAppearanceFileNameValue, "/nowhere/Gone.yaml");
  settings.writeText(Settings::kAppearanceNameValue, "Gone");
  manager.reload();
  EXPECT_EQ(manager.currentPosition(), 0u);
  EXPECT_EQ(manager.currentAppearance()->name, "Alpha");
  EXPECT_EQ(messages.count(), 0u);

  // "Init" is found by name when it is what was chosen last.
  fs::remove(userFolder + "/A.yaml");
  fs::remove(factoryFolder + "/B.yaml");
  manager.reload();
  manager.rememberCurrent();
  EXPECT_EQ(settings.readText(Settings::kAppearanceNameValue), "Init");
  EXPECT_EQ(settings.readText(Settings::kAppearanceFileNameValue), "");
}

TEST_F(AppearanceManagerTest, ALaterThemeWithTheSameNameTakesTheLookupEntry) {
  writeTheme(userFolder + "/Mine.yaml", "Twin");
  writeTheme(factoryFolder + "/Shipped.yaml", "Twin");
  manager.reload();
  ASSERT_EQ(manager.count(), 2u);
  std::size_t position = 9;
  ASSERT_TRUE(manager.find("", "Twin", position));
  EXPECT_EQ(position, 1u) << "the factory theme, read later, replaces the user theme's name entry";
  ASSERT_TRUE(manager.find(userFolder + "/Mine.yaml", "Twin", position));
  EXPECT_EQ(position, 0u) << "the path still tells them apart";
}

TEST_F(AppearanceManagerTest, AFolderLinkLoopIsWalkedOnce) {
  writeTheme(userFolder + "/Sub/Looped.yaml", "Looped");
  std::error_code linkError;
  fs::create_directory_symlink(userFolder, userFolder + "/Sub/Back", linkError);
  if (linkError) GTEST_SKIP() << "no symbolic links here: " << linkError.message();
  manager.reload();
  EXPECT_EQ(names(), std::vector<std::string>{"Looped"});
}

TEST_F(AppearanceManagerTest, ByDefaultThemesComeFromTheDataFoldersBesideThePlugin) {
  const std::string root = temp / "bundle";
  writeTheme(root + "/Appearance/Factory/Shipped.yaml", "Shipped");
  platform::setDataRootForTesting(root);
  AppearanceManager beside(factory, settings);
  beside.reload();
  platform::setDataRootForTesting("");

  // The data folders are written with the system's own separator.
#ifdef _WIN32
  const std::string s = "\\";
#else
  const std::string s = "/";
#endif
  EXPECT_EQ(beside.factoryFolder(), root + s + "Appearance" + s + "Factory" + s);
  EXPECT_EQ(beside.userFolder(), root + s + "Appearance" + s + "User" + s);
  EXPECT_TRUE(fs::is_directory(root + "/Appearance/User"));
  ASSERT_EQ(beside.count(), 1u);
  EXPECT_EQ(beside.currentAppearance()->filePath, root + s + "Appearance" + s + "Factory" + s + "Shipped.yaml");
}

// The editor reloads the themes at every opening; a broken file explains itself once, not once
// per opening, and again only when something about the report changes.
TEST_F(AppearanceManagerTest, ReopeningWithTheSameBrokenFileAddsNoRepeatedReport) {
  writeTheme(userFolder + "/Good.yaml", "Good");
  writeFile(userFolder + "/Broken.yaml", themeText("Broken", "  graphClipRGB: [1, 2]\n"));
  manager.reload();
  const std::vector<std::string> first = messages.lines();
  ASSERT_EQ(first.size(), 3u) << messagesText();
  for (int opening = 0; opening < 5; ++opening) manager.reload();
  EXPECT_EQ(messages.lines(), first);
  EXPECT_FALSE(manager.allFilesLoaded()) << "the menu still says files are missing";

  // Other reports in between do not make the same theme report come back.
  messages.append("Failed to save preset X");
  manager.reload();
  EXPECT_EQ(messages.count(), 4u);

  // A second broken file changes the report: the whole new report is added.
  writeFile(userFolder + "/Other.yaml", themeText("Other", "  graphClipRGB: [1, 2, 3, 4]\n"));
  manager.reload();
  EXPECT_EQ(messages.count(), 4u + 6u) << messagesText();
  manager.reload();
  EXPECT_EQ(messages.count(), 10u);

  // Repaired, then broken again: the report differs from the last reload's (none), so it is added.
  fs::remove(userFolder + "/Other.yaml");
  writeTheme(userFolder + "/Broken.yaml", "Repaired");
  manager.reload();
  EXPECT_EQ(messages.count(), 10u);
  EXPECT_TRUE(manager.allFilesLoaded());
  writeFile(userFolder + "/Broken.yaml", themeText("Broken", "  graphClipRGB: [1, 2]\n"));
  manager.reload();
  EXPECT_EQ(messages.count(), 13u);
  const std::vector<std::string> after = messages.lines();
  EXPECT_EQ(std::vector<std::string>(after.end() - 3, after.end()), first);
}

TEST_F(AppearanceManagerTest, AReportDroppedFromTheBoundedLogIsGivenAgain) {
  writeFile(userFolder + "/Broken.yaml", themeText("Broken", "  graphClipRGB: [1, 2]\n"));
  manager.reload();
  const std::vector<std::string> report = messages.lines();
  for (std::size_t i = 0; i < presets::MessageList::kMaxLines; ++i) messages.append("filler");
  const std::vector<std::string> filled = messages.lines();
  ASSERT_EQ(std::find(filled.begin(), filled.end(), report[0]), filled.end());
  manager.reload();
  const std::vector<std::string> after = messages.lines();
  EXPECT_EQ(std::vector<std::string>(after.end() - 3, after.end()), report);
}
