#include "PresetPreambleHandler.h"

#include "ProgramFactory.h"
#include "YamlDocumentReader.h"

namespace presets {

PresetPreambleHandler::PresetPreambleHandler(ProgramFactory& factory)
    : YamlKeyValueHandler({"product", "version", "format", "name"}), m_factory(factory) {}

bool PresetPreambleHandler::endStep(YamlDocumentReader& reader) {
  const std::string name = value("name");
  if (name.empty()) reader.reportFormatError("Missing name for Program theme");
  if (value("format").empty()) {
    reader.reportFormatError("Missing format for Program theme");
    return false;
  }
  if (name.empty()) return false;
  m_program = m_factory.createProgram();
  m_program->setName(name);
  return true;
}

}  // namespace presets
