#pragma once

#include <cstdint>
#include <string>

namespace core {

// Describes one host-automatable value. Values are normalised floats; minimum and maximum
// are kept for hosts and editors that ask, but nothing clamps to them.
struct ParameterDefinition {
  std::uint64_t id = 0;
  std::string name;        // host-visible name and preset key
  std::string secondName;  // alternative preset key, empty when unused
  std::string label;       // unit label, empty when unused
  float defaultValue = 0.0f;
  float minimum = 0.0f;
  float maximum = 1.0f;
  bool labelFromEngine = false;  // ask the engine for the label instead of `label`
};

}  // namespace core
