#include "ScalarKeywordEventHandler.h"

#include <cstring>

#include "YamlDocumentReader.h"

namespace presets {

bool ScalarKeywordEventHandler::handleEvent(const yaml_event_t& event, YamlDocumentReader& reader) {
  const bool matches = event.type == YAML_SCALAR_EVENT && event.data.scalar.value &&
                       event.data.scalar.length == m_keyword.size() &&
                       std::memcmp(event.data.scalar.value, m_keyword.data(), m_keyword.size()) == 0;
  if (!matches) {
    reader.reportFormatError("Invalid keyword");
    return false;
  }
  return true;
}

}  // namespace presets
