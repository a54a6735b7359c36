#include "YamlKeyValueHandler.h"

#include "YamlDocumentReader.h"

namespace presets {

YamlKeyValueHandler::YamlKeyValueHandler(std::initializer_list<const char*> recognisedKeys) {
  for (const char* key : recognisedKeys) m_values.emplace(key, std::string());
}

bool YamlKeyValueHandler::handleEvent(const yaml_event_t& event, YamlDocumentReader& reader) {
  // The step's opening mapping start; any later collection start is a value or key of the wrong
  // kind and stops the read at once, however deep the text would have nested.
  if (!m_opened) {
    m_opened = true;
    if (event.type == YAML_MAPPING_START_EVENT) return true;
  }
  const bool scalar = event.type == YAML_SCALAR_EVENT && event.data.scalar.value;
  if (m_skipNext) {
    // The value of an unrecognised key: skipped when it is one scalar, as a recognised key's
    // value must be.
    m_skipNext = false;
    if (scalar) return true;
    reader.reportFormatError("Expected a value for a key / value pair");
    return false;
  }
  if (!m_awaited) {
    if (!scalar) {
      reader.reportFormatError("Expected a key name for a key / value pair");
      return false;
    }
    const std::string key(reinterpret_cast<const char*>(event.data.scalar.value),
                          event.data.scalar.length);
    const auto found = m_values.find(key);
    if (found == m_values.end()) {
      reader.reportWarning("Warning: unrecognised key");
      m_skipNext = true;
      return true;
    }
    m_awaited = &found->second;
    return true;
  }
  if (!scalar) {
    reader.reportFormatError("Expected a value for a key / value pair");
    return false;
  }
  m_awaited->assign(reinterpret_cast<const char*>(event.data.scalar.value),
                    event.data.scalar.length);
  m_awaited = nullptr;
  return true;
}

std::string YamlKeyValueHandler::value(const std::string& key) const {
  const auto found = m_values.find(key);
  return found == m_values.end() ? std::string() : found->second;
}

}  // namespace presets
