#include "Frameworks/AppearanceManager/AppearanceFactory.h"

#include <vector>

#include "Frameworks/AppearanceManager/AppearancePreambleHandler.h"
#include "Frameworks/AppearanceManager/ColourKeyValueHandler.h"
#include "Frameworks/Core/Assert.h"
#include "Frameworks/PresetManager/ScalarKeywordEventHandler.h"
#include "Frameworks/PresetManager/YamlDocumentReader.h"

namespace appearance {

AppearanceFactory::AppearanceFactory(presets::MessageList& messages) : m_messages(messages) {}

AppearanceFactory::~AppearanceFactory() = default;

void AppearanceFactory::addColourItem(std::size_t itemNum, const std::string& name, RgbColour defaultColour) {
  m_colourItemDefinitions.push_back({itemNum, name, defaultColour});
  CORE_ASSERT(m_colourItemDefinitions.size() - 1 == itemNum);
  m_itemNameToIndex[name] = m_colourItemDefinitions.size() - 1;
}

const std::string& AppearanceFactory::colourItemName(std::size_t itemNum) const {
  static const std::string none;
  if (!CORE_CHECK(itemNum < m_colourItemDefinitions.size())) return none;
  return m_colourItemDefinitions[itemNum].name;
}

RgbColour AppearanceFactory::defaultColour(std::size_t itemNum) const {
  if (!CORE_CHECK(itemNum < m_colourItemDefinitions.size())) return {};
  return m_colourItemDefinitions[itemNum].defaultColour;
}

Appearance& AppearanceFactory::createAppearance() {
  m_currentAppearance = std::make_unique<Appearance>();
  m_currentAppearance->readOnly = m_loadingReadOnly;
  m_currentAppearance->colours.reserve(m_colourItemDefinitions.size());
  for (const auto& definition : m_colourItemDefinitions) m_currentAppearance->colours.push_back(definition.defaultColour);
  return *m_currentAppearance;
}

std::unique_ptr<Appearance> AppearanceFactory::takeAppearance() { return std::move(m_currentAppearance); }

bool AppearanceFactory::setColour(const std::string& itemName, RgbColour colour) {
  if (!CORE_CHECK(m_currentAppearance)) return false;
  if (!CORE_CHECK(!m_itemNameToIndex.empty())) return false;
  const auto found = m_itemNameToIndex.find(itemName);
  if (found == m_itemNameToIndex.end()) return false;
  m_currentAppearance->colours[found->second] = colour;
  return true;
}

std::unique_ptr<Appearance> AppearanceFactory::readThemeFile(const std::string& path) {
  m_currentAppearance.reset();
  presets::YamlDocumentReader reader(path, m_messages, "Appearance format error");
  presets::ScalarKeywordEventHandler themeKeyword("Theme");
  AppearancePreambleHandler preamble(*this);
  presets::ScalarKeywordEventHandler appearanceKeyword("Appearance");
  ColourKeyValueHandler colours(*this);
  // Theme: {product, version, format, name}, Appearance: {item: [red, green, blue], ...}
  const std::vector<presets::YamlStructureStep> steps{
      {YAML_STREAM_START_EVENT, 0, nullptr},
      {YAML_DOCUMENT_START_EVENT, 0, nullptr},
      {YAML_MAPPING_START_EVENT, 0, nullptr},
      {YAML_SCALAR_EVENT, 0, &themeKeyword},
      {YAML_MAPPING_START_EVENT, YAML_MAPPING_END_EVENT, &preamble},
      {YAML_SCALAR_EVENT, 0, &appearanceKeyword},
      {YAML_MAPPING_START_EVENT, YAML_MAPPING_END_EVENT, &colours},
      {YAML_MAPPING_END_EVENT, 0, nullptr},
      {YAML_DOCUMENT_END_EVENT, 0, nullptr},
  };
  const bool read = reader.readStructure(steps);
  // A failed read drops whatever it had built.
  std::unique_ptr<Appearance> theme = takeAppearance();
  if (!read || !theme) return nullptr;
  theme->filePath = path;
  return theme;
}

}  // namespace appearance
