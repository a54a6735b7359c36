#pragma once

#include <string>

#include "YamlEventHandler.h"

namespace presets {

// Accepts one scalar whose value is exactly the keyword (case-sensitive, whole length);
// anything else is the format error "Invalid keyword".
class ScalarKeywordEventHandler : public YamlEventHandler {
 public:
  explicit ScalarKeywordEventHandler(std::string keyword) : m_keyword(std::move(keyword)) {}

  bool handleEvent(const yaml_event_t& event, YamlDocumentReader& reader) override;
  bool endStep(YamlDocumentReader&) override { return true; }

 private:
  std::string m_keyword;
};

}  // namespace presets
