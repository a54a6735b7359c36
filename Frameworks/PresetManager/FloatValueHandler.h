#pragma once

#include <string>

#include "YamlEventHandler.h"

namespace presets {

class ProgramFactory;

// The "Params" mapping of a preset document: scalar key / scalar value pairs, each value
// converted to a number and stored in the program being read. Keys that name no parameter are
// ignored silently; parameters not named keep their defaults.
class FloatValueHandler : public YamlEventHandler {
 public:
  explicit FloatValueHandler(ProgramFactory& factory) : m_factory(factory) {}

  bool handleEvent(const yaml_event_t& event, YamlDocumentReader& reader) override;
  bool endStep(YamlDocumentReader&) override { return true; }

 private:
  ProgramFactory& m_factory;
  std::string m_pendingKey;
  bool m_keyPending = false;
  bool m_opened = false;  // the step's opening mapping start has been seen
};

}  // namespace presets
