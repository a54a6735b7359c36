// The factory theme files are read by the editor at every open; these tests hold each file to
// the exact event structure the theme reader accepts without a single message, so a shipped
// theme can never land in the "some appearance files are missing" state.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <yaml.h>

#include "Frameworks/AppearanceManager/AppearanceFactory.h"
#include "Frameworks/AppearanceManager/AppearanceManager.h"
#include "Frameworks/AppearanceManager/ColourItems.h"
#include "Frameworks/PresetManager/MessageList.h"
#include "TempFolder.h"
#include "platform/FolderSettings.h"

namespace {

namespace fs = std::filesystem;

using Rgb = std::array<int, 3>;

struct ColourItem {
  const char* name;
  Rgb defaultColour;
};

// The editor's colour items, in item order, with the built-in default colours.
constexpr std::array<ColourItem, 21> kItems{{
    {"mainBackgroundRGB", {24, 26, 29}},     {"controlBackgroundRGB", {43, 43, 43}},
    {"controlActiveRGB", {16, 214, 97}},     {"controlInactiveRGB", {104, 104, 104}},
    {"highlightLineRGB", {16, 214, 97}},     {"plainLineRGB", {132, 132, 132}},
    {"highlightFrameRGB", {132, 132, 132}},  {"plainFrameRGB", {32, 32, 32}},
    {"displayValueFontRGB", {192, 192, 192}}, {"activeValueFontRGB", {16, 214, 97}},
    {"inactiveValueFontRGB", {129, 129, 129}}, {"labelFontRGB", {192, 192, 192}},
    {"tooltipFontRGB", {197, 197, 197}},     {"sliderTrackBackRGB", {5, 5, 7}},
    {"sliderTrackFrontRGB", {98, 98, 98}},   {"knobRimRGB", {5, 5, 7}},
    {"knobIndicatorRGB", {250, 250, 250}},   {"graphBackgroundRGB", {43, 43, 43}},
    {"graphSignalRGB", {200, 200, 200}},     {"graphPeakRGB", {16, 214, 97}},
    {"graphClipRGB", {215, 0, 0}},
}};

struct ThemeFile {
  fs::path path;
  std::string error;  // empty when the file has the accepted structure
  std::map<std::string, std::string> preamble;
  std::map<std::string, Rgb> colours;
  Rgb colour(const std::string& item) const { return colours.at(item); }
};

// Walks the libyaml events of a theme file as the theme reader does, but strictly: any event
// the reader would warn about or reject is an error here.
class ThemeParser {
public:
  explicit ThemeParser(const fs::path& path) {
    m_theme.path = path;
    m_file = std::fopen(path.string().c_str(), "r");
    yaml_parser_initialize(&m_parser);
    if (m_file != nullptr) yaml_parser_set_input_file(&m_parser, m_file);
  }
  ~ThemeParser() {
    if (m_haveEvent) yaml_event_delete(&m_event);
    yaml_parser_delete(&m_parser);
    if (m_file != nullptr) std::fclose(m_file);
  }

  ThemeFile parse() {
    if (m_file == nullptr) reject("cannot open");
    else
      (void)(expect(YAML_STREAM_START_EVENT) && expect(YAML_DOCUMENT_START_EVENT) && expect(YAML_MAPPING_START_EVENT) &&
             expectScalar("Theme") && readPreamble() && expectScalar("Appearance") && readColours() &&
             expect(YAML_MAPPING_END_EVENT) && expect(YAML_DOCUMENT_END_EVENT));
    return m_theme;
  }

private:
  bool next() {
    if (m_haveEvent) yaml_event_delete(&m_event);
    m_haveEvent = yaml_parser_parse(&m_parser, &m_event) != 0;
    if (!m_haveEvent) return reject(std::string("parser error: ") + (m_parser.problem ? m_parser.problem : "?"));
    return true;
  }
  bool reject(const std::string& why) {
    if (m_theme.error.empty()) m_theme.error = why + " at line " + std::to_string(m_parser.mark.line + 1);
    return false;
  }
  bool expect(yaml_event_type_t type) {
    if (!next()) return false;
    if (m_event.type != type)
      return reject("unexpected event " + std::to_string(m_event.type) + ", wanted " + std::to_string(type));
    return true;
  }
  std::string scalar() const { return reinterpret_cast<const char*>(m_event.data.scalar.value); }
  bool expectScalar(const std::string& keyword) {
    if (!expect(YAML_SCALAR_EVENT)) return false;
    if (scalar() != keyword) return reject("keyword '" + scalar() + "' instead of '" + keyword + "'");
    return true;
  }

  bool readPreamble() {
    if (!expect(YAML_MAPPING_START_EVENT)) return false;
    const std::set<std::string> known{"product", "version", "format", "name"};
    while (next() && m_event.type != YAML_MAPPING_END_EVENT) {
      if (m_event.type != YAML_SCALAR_EVENT || !known.count(scalar())) return reject("unrecognised preamble key");
      const std::string key = scalar();
      if (!expect(YAML_SCALAR_EVENT)) return false;
      m_theme.preamble[key] = scalar();
    }
    if (m_theme.preamble["name"].empty() || m_theme.preamble["format"].empty()) return reject("missing name or format");
    return m_theme.error.empty();
  }

  bool readColours() {
    if (!expect(YAML_MAPPING_START_EVENT)) return false;
    while (next() && m_event.type != YAML_MAPPING_END_EVENT) {
      if (m_event.type != YAML_SCALAR_EVENT) return reject("colour item name expected");
      const std::string item = scalar();
      if (m_theme.colours.count(item)) return reject("item given twice: " + item);
      if (!expect(YAML_SEQUENCE_START_EVENT)) return false;
      Rgb rgb{};
      for (int& component : rgb) {
        if (!expect(YAML_SCALAR_EVENT)) return false;
        const std::string text = scalar();
        // Plain decimal only: the reader would take "0x10" or "12abc" silently as something else.
        if (text.empty() || text.size() > 3 || !std::all_of(text.begin(), text.end(), ::isdigit) || std::stoi(text) > 255)
          return reject(item + " has component '" + text + "'");
        component = std::stoi(text);
      }
      if (!expect(YAML_SEQUENCE_END_EVENT)) return false;
      m_theme.colours[item] = rgb;
    }
    return m_theme.error.empty();
  }

  ThemeFile m_theme;
  std::FILE* m_file = nullptr;
  yaml_parser_t m_parser{};
  yaml_event_t m_event{};
  bool m_haveEvent = false;
};

std::vector<ThemeFile> factoryThemes() {
  std::vector<ThemeFile> themes;
  for (const auto& entry : fs::recursive_directory_iterator(SKARVEL_FACTORY_THEMES_DIR))
    if (entry.is_regular_file() && entry.path().extension() == ".yaml") themes.push_back(ThemeParser(entry.path()).parse());
  std::sort(themes.begin(), themes.end(), [](const auto& a, const auto& b) { return a.path < b.path; });
  return themes;
}

const ThemeFile* themeNamed(const std::vector<ThemeFile>& themes, const std::string& name) {
  for (const auto& theme : themes)
    if (theme.preamble.count("name") && theme.preamble.at("name") == name) return &theme;
  return nullptr;
}

// WCAG relative luminance and contrast ratio (1:1 to 21:1).
double luminance(Rgb c) {
  double sum = 0;
  const double weights[3] = {0.2126, 0.7152, 0.0722};
  for (int i = 0; i < 3; ++i) {
    const double s = c[i] / 255.0;
    sum += weights[i] * (s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4));
  }
  return sum;
}
double contrast(Rgb a, Rgb b) {
  const double la = luminance(a), lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

struct TextOnGround {
  const char* what;
  Rgb text, ground;
};

// Every text colour against what it is drawn on. Knob value texts sit on the knob's body under
// a black band of alpha 111.
std::vector<TextOnGround> textPairs(const ThemeFile& t) {
  Rgb knobBand = t.colour("controlBackgroundRGB");
  for (int& c : knobBand) c = static_cast<int>(c * (1.0 - 111.0 / 255.0));
  return {
      {"labels on the panel", t.colour("labelFontRGB"), t.colour("mainBackgroundRGB")},
      {"help text on the panel", t.colour("tooltipFontRGB"), t.colour("mainBackgroundRGB")},
      {"active values on controls", t.colour("activeValueFontRGB"), t.colour("controlBackgroundRGB")},
      {"inactive values on controls", t.colour("inactiveValueFontRGB"), t.colour("controlBackgroundRGB")},
      {"knob indicators on knobs", t.colour("displayValueFontRGB"), t.colour("controlBackgroundRGB")},
      {"knob value texts", t.colour("controlInactiveRGB"), knobBand},
  };
}

}  // namespace

TEST(FactoryThemeFiles, EveryFileHasTheAcceptedStructureAndAllItemsOnce) {
  const auto themes = factoryThemes();
  ASSERT_GE(themes.size(), 4u) << "the default look and at least three themes to choose from";
  std::set<std::string> names;
  for (const auto& theme : themes) {
    SCOPED_TRACE(theme.path.string());
    ASSERT_EQ(theme.error, "");
    EXPECT_EQ(theme.preamble.at("product"), "Skarvel");
    EXPECT_TRUE(names.insert(theme.preamble.at("name")).second) << "theme names must be distinct";
    EXPECT_EQ(theme.colours.size(), kItems.size());
    for (const auto& item : kItems) EXPECT_EQ(theme.colours.count(item.name), 1u) << item.name;
  }
}

TEST(FactoryThemeFiles, DefaultThemeIsExactlyTheBuiltInLook) {
  const auto themes = factoryThemes();
  const ThemeFile* theme = themeNamed(themes, "Default");
  ASSERT_NE(theme, nullptr);
  for (const auto& item : kItems) EXPECT_EQ(theme->colour(item.name), item.defaultColour) << item.name;
}

TEST(FactoryThemeFiles, ThemesLookDifferentFromEachOther) {
  const auto themes = factoryThemes();
  for (std::size_t a = 0; a < themes.size(); ++a)
    for (std::size_t b = a + 1; b < themes.size(); ++b)
      EXPECT_NE(themes[a].colours, themes[b].colours) << themes[a].path << " and " << themes[b].path;
  ASSERT_NE(themeNamed(themes, "Daylight"), nullptr);
  EXPECT_GT(luminance(themeNamed(themes, "Daylight")->colour("mainBackgroundRGB")), 0.7) << "the light theme is light";
}

TEST(FactoryThemeFiles, TextIsReadableInEveryThemeAndHighContrastReachesSevenToOne) {
  for (const auto& theme : factoryThemes()) {
    ASSERT_EQ(theme.error, "");
    const bool highContrast = theme.preamble.at("name") == "High Contrast";
    for (const auto& pair : textPairs(theme)) {
      const double ratio = contrast(pair.text, pair.ground);
      EXPECT_GE(ratio, highContrast ? 7.0 : 3.0) << theme.preamble.at("name") << ": " << pair.what;
    }
  }
  EXPECT_NE(themeNamed(factoryThemes(), "High Contrast"), nullptr);
}

TEST(FactoryThemeFiles, TheEditorsThemeManagerLoadsEveryFactoryThemeWithoutAMessage) {
  TempFolder temp;
  presets::MessageList messages;
  appearance::AppearanceFactory factory(messages);
  appearance::registerColourItems(factory);
  platform::FolderSettings settings(temp / "settings");
  appearance::AppearanceManager manager(factory, settings, temp / "User", SKARVEL_FACTORY_THEMES_DIR);
  manager.reload();
  ASSERT_EQ(factory.colourItemCount(), kItems.size());
  for (std::size_t item = 0; item < kItems.size(); ++item) {
    EXPECT_EQ(factory.colourItemName(item), kItems[item].name);
    const appearance::RgbColour colour = factory.defaultColour(item);
    EXPECT_EQ((Rgb{colour.red, colour.green, colour.blue}), kItems[item].defaultColour) << kItems[item].name;
  }

  std::string log;
  for (const auto& line : messages.lines()) log += line + "\n";
  EXPECT_EQ(log, "");
  EXPECT_TRUE(manager.allFilesLoaded());
  const auto files = factoryThemes();
  ASSERT_EQ(manager.count(), files.size()) << "no \"Init\" stand-in, one theme per file";
  for (std::size_t position = 0; position < manager.count(); ++position) {
    const appearance::Appearance& theme = manager.select(position);
    SCOPED_TRACE(theme.filePath);
    EXPECT_TRUE(theme.readOnly);
    const auto file = std::find_if(files.begin(), files.end(), [&](const ThemeFile& f) { return f.path == theme.filePath; });
    ASSERT_NE(file, files.end());
    EXPECT_EQ(theme.name, file->preamble.at("name"));
    for (std::size_t item = 0; item < kItems.size(); ++item) {
      const Rgb expected = file->colour(kItems[item].name);
      const appearance::RgbColour colour = manager.colour(item);
      EXPECT_EQ((Rgb{colour.red, colour.green, colour.blue}), expected) << kItems[item].name;
    }
  }
}
