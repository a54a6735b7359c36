#pragma once

#include <cstdint>

namespace presets {

class YamlEventHandler;

// One step of an expected document structure. With `endType` 0 the step takes exactly one
// event, which must be of `startType` (0: any). Otherwise it takes events up to and including
// the first one of `endType`; its first event must be of `startType`. Types are libyaml's
// event numbers (YAML_MAPPING_START_EVENT ...).
struct YamlStructureStep {
  std::int32_t startType = 0;
  std::int32_t endType = 0;
  YamlEventHandler* handler = nullptr;  // not owned; may be none
};

}  // namespace presets
