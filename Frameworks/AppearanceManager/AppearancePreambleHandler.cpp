#include "Frameworks/AppearanceManager/AppearancePreambleHandler.h"

#include "Frameworks/AppearanceManager/AppearanceFactory.h"
#include "Frameworks/PresetManager/YamlDocumentReader.h"

namespace appearance {

AppearancePreambleHandler::AppearancePreambleHandler(AppearanceFactory& factory)
    : YamlKeyValueHandler({"product", "version", "format", "name"}), m_factory(factory) {}

bool AppearancePreambleHandler::endStep(presets::YamlDocumentReader& reader) {
  const std::string name = value("name");
  // Both omissions are reported before giving up, so one read names everything that is missing.
  if (name.empty()) reader.reportFormatError("Missing name for appearance theme");
  if (value("format").empty()) {
    reader.reportFormatError("Missing format for appearance theme");
    return false;
  }
  if (name.empty()) return false;
  m_factory.createAppearance().name = name;
  return true;
}

}  // namespace appearance
