#pragma once

#include <initializer_list>
#include <map>
#include <string>

#include "YamlEventHandler.h"

namespace presets {

// Collects the scalar values of a flat mapping for a fixed set of recognised keys. An
// unrecognised key is a warning ("Warning: unrecognised key") and its value, which must be a
// single scalar, is skipped; a recognised key given twice keeps the later value. A mapping or
// sequence anywhere inside the mapping stops the read. Subclasses name the keys and decide in
// endStep what the values mean.
class YamlKeyValueHandler : public YamlEventHandler {
 public:
  bool handleEvent(const yaml_event_t& event, YamlDocumentReader& reader) override;

  // The stored value of `key`; empty when absent or not recognised.
  std::string value(const std::string& key) const;
  const std::map<std::string, std::string>& values() const { return m_values; }

 protected:
  explicit YamlKeyValueHandler(std::initializer_list<const char*> recognisedKeys);

 private:
  std::map<std::string, std::string> m_values;
  bool m_opened = false;  // the step's opening mapping start has been seen
  bool m_skipNext = false;
  std::string* m_awaited = nullptr;  // the entry whose value comes next
};

}  // namespace presets
