// Hostile theme files: refused quickly and, where they nest, at their first nested level, while
// the colour sequences a theme really has still read.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Frameworks/AppearanceManager/AppearanceManager.h"
#include "Frameworks/PresetManager/YamlDocumentReader.h"
#include "ThemeFixture.h"
#include "platform/FolderSettings.h"
#include "presets/AdversarialDocuments.h"

namespace {

constexpr std::size_t kLimit = presets::YamlDocumentReader::kMaxDocumentBytes;

class HostileThemes : public ThemeFixture {};

TEST_F(HostileThemes, EveryShapeIsRefusedWhereItGoesWrongOrByItsSize) {
  const std::string path = temp / "hostile.yaml";
  for (const std::size_t size : {kLimit, std::size_t(1) << 20}) {
    for (const adversarial::Document& document : adversarial::themes(size)) {
      messages.removeSince(0);
      writeFile(path, document.text);
      std::unique_ptr<appearance::Appearance> theme;
      const double time = adversarial::millisecondsOf([&] { theme = factory.readThemeFile(path); });
      EXPECT_EQ(theme, nullptr) << document.name;
      EXPECT_LT(time, adversarial::kGenerousMilliseconds) << document.name;
      EXPECT_LT(messages.count(), 400u) << document.name;
      if (size > kLimit) {
        EXPECT_EQ(lastMessage(), "    The document is larger than 65536 bytes and is not read") << document.name;
      } else if (document.refusedWhereItStarts) {
        EXPECT_LT(adversarial::reportedOffset(messages, size), adversarial::kEarlyRefusalOffset)
            << document.name << "\n" << messagesText();
      }
    }
  }
}

TEST_F(HostileThemes, ColourSequencesInEitherStyleStillRead) {
  const std::string path = temp / "fine.yaml";
  writeFile(path, themeText("Fine", "  graphClipRGB: [1, 2, 3]\n  graphPeakRGB:\n    - 4\n    - 5\n    - 6\n"));
  std::unique_ptr<appearance::Appearance> theme = factory.readThemeFile(path);
  ASSERT_NE(theme, nullptr) << messagesText();
  EXPECT_EQ(theme->colours[20], (appearance::RgbColour{1, 2, 3}));
  EXPECT_EQ(theme->colours[19], (appearance::RgbColour{4, 5, 6}));
  // A flow mapping for the whole section is still the section's own mapping.
  writeFile(path, "Theme: {product: Skarvel, format: 1, name: Flow}\nAppearance: {graphClipRGB: [7, 8, 9]}\n");
  theme = factory.readThemeFile(path);
  ASSERT_NE(theme, nullptr) << messagesText();
  EXPECT_EQ(theme->colours[20], (appearance::RgbColour{7, 8, 9}));
}

// Every editor opening reloads the themes: hostile files in the theme folders cost it no more
// than broken ones.
TEST_F(HostileThemes, AReloadLeavesHostileFilesOutQuickly) {
  const std::string userFolder = temp / "User";
  const std::string factoryFolder = temp / "Factory";
  const std::vector<adversarial::Document> documents = adversarial::themes(kLimit);
  for (std::size_t i = 0; i < documents.size(); ++i)
    writeFile(userFolder + "/hostile" + std::to_string(i) + ".yaml", documents[i].text);
  writeFile(factoryFolder + "/Good.yaml", themeText("Good", "  graphClipRGB: [1, 2, 3]\n"));
  platform::FolderSettings settings(temp / "settings");
  appearance::AppearanceManager manager(factory, settings, userFolder, factoryFolder);
  const double time = adversarial::millisecondsOf([&] { manager.reload(); });
  EXPECT_LT(time, adversarial::kGenerousMilliseconds * 2);
  ASSERT_EQ(manager.count(), 1u);
  EXPECT_EQ(manager.themeName(0), "Good");
  EXPECT_FALSE(manager.allFilesLoaded());
}

}  // namespace
