// Reading theme files: the colour items and their defaults, the preamble, the colour pattern
// with its errors and its one warning, and what a failed read leaves behind.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Frameworks/AppearanceManager/ColourKeyValueHandler.h"
#include "ThemeFixture.h"

namespace {

using appearance::Appearance;
using appearance::ColourKeyValueHandler;
using appearance::RgbColour;
namespace items = appearance;

class ThemeFileReading : public ThemeFixture {
protected:
  std::unique_ptr<Appearance> read(const std::string& text, const std::string& fileName = "theme.yaml") {
    path = temp / fileName;
    writeFile(path, text);
    return factory.readThemeFile(path);
  }

  std::vector<RgbColour> defaults() const {
    std::vector<RgbColour> colours;
    for (const auto& item : appearance::kColourItems) colours.push_back(item.defaultColour);
    return colours;
  }

  // The three lines of a format error at the end of the message list.
  void expectFormatError(const std::string& message) {
    ASSERT_GE(messages.count(), 3u) << messagesText();
    EXPECT_EQ(messages.line(messages.count() - 3), "Appearance format error in " + path);
    EXPECT_EQ(messages.line(messages.count() - 2).rfind("    near file offset ", 0), 0u);
    EXPECT_EQ(lastMessage(), "    " + message);
  }

  std::string path;
};

}  // namespace

// Every item's name and default colour are checked against an independent table in
// FactoryThemeFilesTest; here only the registration rule.
TEST_F(ThemeFileReading, ColourItemsMustBeRegisteredInOrder) {
  appearance::AppearanceFactory fresh(messages);
  fresh.addColourItem(0, "first", {});
  EXPECT_DEATH(fresh.addColourItem(2, "skipped one", {}), "m_colourItemDefinitions.size\\(\\) - 1 == itemNum");
}

TEST_F(ThemeFileReading, AThemeGivingOneItemKeepsTheDefaultsOfAllOthers) {
  factory.setLoadingReadOnly(true);
  const auto theme = read(themeText("Clip Only", "  graphClipRGB: [1, 2, 3]\n"));
  ASSERT_NE(theme, nullptr) << messagesText();
  EXPECT_EQ(messages.count(), 0u);
  EXPECT_EQ(theme->name, "Clip Only");
  EXPECT_EQ(theme->filePath, path);
  EXPECT_TRUE(theme->readOnly);
  auto expected = defaults();
  expected[items::kGraphClip] = {1, 2, 3};
  EXPECT_EQ(theme->colours, expected);
}

TEST_F(ThemeFileReading, BlockAndFlowSequencesReadAndALaterEntryWins) {
  const auto theme = read("---\n" + themeText("Mixed",
                                              "  mainBackgroundRGB:\n    - 10\n    - 20\n    - 30\n"
                                              "  knobRimRGB: [ 255, 0, \"7\" ]\n"
                                              "  graphPeakRGB: [1, 1, 1]\n"
                                              "  graphPeakRGB: [2, 2, 2]\n") +
                          "...\n--- second document is never read\n");
  ASSERT_NE(theme, nullptr) << messagesText();
  EXPECT_FALSE(theme->readOnly);
  EXPECT_EQ(theme->colours[items::kMainBackground], (RgbColour{10, 20, 30}));
  EXPECT_EQ(theme->colours[items::kKnobRim], (RgbColour{255, 0, 7}));
  EXPECT_EQ(theme->colours[items::kGraphPeak], (RgbColour{2, 2, 2}));
}

TEST_F(ThemeFileReading, ComponentsReadAsDecimalIntegersTheWayStrtolDoes) {
  const std::vector<std::pair<std::string, long>> cases = {
      {"0", 0},     {"255", 255}, {"256", 256},  {"-1", -1},  {"0x10", 0},  {"  12", 12},  {"+7", 7},
      {"12abc", 12}, {"", 0},      {"abc", 0},    {"007", 7},  {"1e3", 1},  {"-0", 0},
  };
  for (const auto& [text, value] : cases) EXPECT_EQ(ColourKeyValueHandler::parseComponent(text), value) << text;
  EXPECT_GT(ColourKeyValueHandler::parseComponent("99999999999999999999999999"), 255) << "no overflow into range";
  EXPECT_LT(ColourKeyValueHandler::parseComponent("-99999999999999999999999999"), 0);

  const auto theme = read(themeText("Hex", "  plainLineRGB: [0x10, \" 9\", 12abc]\n"));
  ASSERT_NE(theme, nullptr) << messagesText();
  EXPECT_EQ(theme->colours[items::kPlainLine], (RgbColour{0, 9, 12}));
}

TEST_F(ThemeFileReading, ComponentsOutsideZeroTo255StopTheRead) {
  for (const std::string component : {"256", "-1", "1000000000000000000000"}) {
    SCOPED_TRACE(component);
    messages = {};
    EXPECT_EQ(read(themeText("Bad", "  labelFontRGB: [1, " + component + ", 3]\n")), nullptr);
    expectFormatError("Invalid colour component value");
    EXPECT_EQ(factory.currentAppearance(), nullptr) << "a failed read leaves no half-built theme behind";
  }
}

TEST_F(ThemeFileReading, AnythingButThreeComponentsInASequenceIsAnInvalidColourItem) {
  const std::vector<std::string> bodies = {
      "  labelFontRGB: [1, 2, 3, 4]\n",        // the fourth scalar arrives where the sequence end is due
      "  labelFontRGB: [1, 2]\n",              // the sequence ends where the blue component is due
      "  labelFontRGB: 7\n",                   // no sequence at all
      "  labelFontRGB: [[1, 2, 3]]\n",         // nested sequence
      "  labelFontRGB: []\n",
      "  [1, 2, 3]: labelFontRGB\n",           // a sequence where the item name is due
  };
  for (const auto& body : bodies) {
    SCOPED_TRACE(body);
    messages = {};
    EXPECT_EQ(read(themeText("Bad", body)), nullptr);
    expectFormatError("Invalid colour item");
  }
}

TEST_F(ThemeFileReading, AnUnknownItemIsAWarningAndTheFollowingItemsAreStillRead) {
  const auto theme = read(themeText("Future", "  sparkleRGB: [9, 9, 9]\n  graphSignalRGB: [4, 5, 6]\n"));
  ASSERT_NE(theme, nullptr) << messagesText();
  EXPECT_EQ(messages.count(), 3u) << messagesText();
  expectFormatError("Warning: unrecognised colour item name");
  EXPECT_EQ(theme->colours[items::kGraphSignal], (RgbColour{4, 5, 6}));
  EXPECT_EQ(theme->colours.size(), 21u);
}

TEST_F(ThemeFileReading, ThePreambleNeedsANameAndAFormat) {
  const std::string colours = "Appearance:\n  graphClipRGB: [1, 2, 3]\n";

  EXPECT_EQ(read("Theme:\n  product: Skarvel\n  format: 1\n" + colours), nullptr);
  expectFormatError("Missing name for appearance theme");

  messages = {};
  EXPECT_EQ(read("Theme:\n  name: Ember\n  format: ''\n" + colours), nullptr);
  expectFormatError("Missing format for appearance theme");
  EXPECT_EQ(messages.count(), 3u);

  messages = {};
  EXPECT_EQ(read("Theme:\n  version: 2\n" + colours), nullptr);
  ASSERT_EQ(messages.count(), 6u) << "both omissions are reported";
  EXPECT_EQ(messages.line(2), "    Missing name for appearance theme");
  EXPECT_EQ(messages.line(5), "    Missing format for appearance theme");

  messages = {};
  const auto theme = read("Theme:\n  name: Odd\n  format: any text\n  author: me\n" + colours);
  ASSERT_NE(theme, nullptr) << "an unknown preamble key is only a warning";
  EXPECT_EQ(lastMessage(), "    Warning: unrecognised key");
}

TEST_F(ThemeFileReading, TheDocumentStructureIsChecked) {
  EXPECT_EQ(read(""), nullptr);
  expectFormatError("Incorrect structure of the configuration data in the file");

  messages = {};
  EXPECT_EQ(read("theme:\n  name: a\n  format: 1\nAppearance: {}\n"), nullptr);
  expectFormatError("Invalid keyword");

  messages = {};
  EXPECT_EQ(read("Appearance: {}\nTheme:\n  name: a\n  format: 1\n"), nullptr);
  expectFormatError("Invalid keyword");

  messages = {};
  EXPECT_EQ(read("Theme: {name: a, format: 1}\nAppearance: {}\nExtra: 1\n"), nullptr);
  expectFormatError("Incorrect structure of the configuration data in the file");

  messages = {};
  const auto empty = read("Theme: {name: Empty, format: 1}\nAppearance: {}\n");
  ASSERT_NE(empty, nullptr) << messagesText();
  EXPECT_EQ(empty->colours, defaults());

  messages = {};
  EXPECT_EQ(read("Theme: {name: a, format: 1}\nAppearance: {x: [1, 2, 3\n"), nullptr);
  ASSERT_GE(messages.count(), 3u);
  EXPECT_EQ(messages.line(0).rfind("Parser error #", 0), 0u) << messagesText();

  messages = {};
  const std::string missing = temp / "no such theme.yaml";
  EXPECT_EQ(factory.readThemeFile(missing), nullptr);
  ASSERT_EQ(messages.count(), 1u);
  EXPECT_EQ(messages.line(0), "Failed to open file " + missing);
}
