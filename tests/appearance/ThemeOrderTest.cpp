// The order of the theme menu and the first look: files by name within each folder, whatever
// order the file system lists them in, and the factory "Default" for a user who chose nothing.

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Frameworks/AppearanceManager/AppearanceManager.h"
#include "platform/FolderSettings.h"
#include "ThemeFixture.h"

namespace {

namespace fs = std::filesystem;

class ThemeOrderTest : public ThemeFixture {
protected:
  ThemeOrderTest() : settings(temp / "settings"), manager(factory, settings, userFolder, factoryFolder) {
    fs::create_directories(factoryFolder);
  }
  void writeTheme(const std::string& path, const std::string& name) {
    writeFile(path, themeText(name, "  graphClipRGB: [1, 2, 3]\n"));
  }
  std::vector<std::string> names() const {
    std::vector<std::string> result;
    for (std::size_t i = 0; i < manager.count(); ++i) result.push_back(manager.themeName(i));
    return result;
  }

  std::string userFolder = temp / "Appearance/User";
  std::string factoryFolder = temp / "Appearance/Factory";
  platform::FolderSettings settings;
  appearance::AppearanceManager manager;
};

TEST_F(ThemeOrderTest, EachFolderListsItsThemesByFileNameWhateverTheWalkOrder) {
  // Written in an order unlike the names' so a directory's own order shows if it leaks through;
  // the names inside the files differ from the file names, the file names decide.
  writeTheme(userFolder + "/b.yaml", "User B");
  writeTheme(userFolder + "/a.yaml", "User A");
  writeTheme(factoryFolder + "/Zeta.yaml", "Zeta");
  writeTheme(factoryFolder + "/Mid/Gamma.yaml", "Gamma");
  writeTheme(factoryFolder + "/Alpha.yaml", "Alpha");
  writeTheme(factoryFolder + "/Default.yaml", "Default");
  writeTheme(factoryFolder + "/Daylight.yaml", "Daylight");
  manager.reload();
  const std::vector<std::string> expected{"User A", "User B", "Alpha", "Daylight", "Default", "Gamma", "Zeta"};
  EXPECT_EQ(names(), expected) << messagesText();
  manager.reload();
  EXPECT_EQ(names(), expected) << "the same order every time";
}

TEST_F(ThemeOrderTest, ANewUserStartsWithTheFactoryDefaultTheme) {
  writeTheme(userFolder + "/Mine.yaml", "Default");  // a user theme of the same name is not the factory look
  writeTheme(factoryFolder + "/Daylight.yaml", "Daylight");
  writeTheme(factoryFolder + "/Default.yaml", "Default");
  manager.reload();
  ASSERT_NE(manager.currentAppearance(), nullptr);
  EXPECT_EQ(manager.currentPosition(), 2u);
  EXPECT_TRUE(manager.currentAppearance()->readOnly);
  EXPECT_FALSE(fs::exists(temp / "settings")) << "the first look is not written down as a choice";
}

TEST_F(ThemeOrderTest, WithoutAFactoryDefaultOrWithAVanishedChoiceTheFirstThemeIsShown) {
  writeTheme(factoryFolder + "/Daylight.yaml", "Daylight");
  writeTheme(factoryFolder + "/Ember.yaml", "Ember");
  manager.reload();
  EXPECT_EQ(manager.currentPosition(), 0u);

  writeTheme(factoryFolder + "/Default.yaml", "Default");
  settings.writeText(platform::Settings::kAppearanceNameValue, "Gone");
  settings.writeText(platform::Settings::kAppearanceFileNameValue, factoryFolder + "/Gone.yaml");
  manager.reload();
  EXPECT_EQ(manager.currentPosition(), 0u) << "a remembered theme that is gone falls back to the first";
}

}  // namespace
