#include "FloatValueHandler.h"

#include "PresetValueText.h"
#include "ProgramFactory.h"
#include "YamlDocumentReader.h"

namespace presets {

bool FloatValueHandler::handleEvent(const yaml_event_t& event, YamlDocumentReader& reader) {
  // Only the step's opening mapping start: a nested mapping or sequence is refused at once.
  if (!m_opened) {
    m_opened = true;
    if (event.type == YAML_MAPPING_START_EVENT) return true;
  }
  if (event.type != YAML_SCALAR_EVENT || !event.data.scalar.value) {
    reader.reportFormatError(std::string("Expected a scalar ") + (m_keyPending ? "value" : "key"));
    return false;
  }
  const char* text = reinterpret_cast<const char*>(event.data.scalar.value);
  if (!m_keyPending) {
    m_pendingKey.assign(text, event.data.scalar.length);
    m_keyPending = true;
    return true;
  }
  m_factory.setParameter(m_pendingKey, parsePresetValue(text));
  m_pendingKey.clear();
  m_keyPending = false;
  return true;
}

}  // namespace presets
