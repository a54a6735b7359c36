#pragma once

#include <yaml.h>

namespace presets {

class YamlDocumentReader;

// Receives the parser events of one structure step. Returning false from either operation
// stops the read; the handler has then reported why through the reader.
class YamlEventHandler {
 public:
  virtual ~YamlEventHandler() = default;
  // One event of the step (the step's opening event included, its closing event not).
  virtual bool handleEvent(const yaml_event_t& event, YamlDocumentReader& reader) = 0;
  // The step this handler serves is complete.
  virtual bool endStep(YamlDocumentReader& reader) = 0;
};

}  // namespace presets
