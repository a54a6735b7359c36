#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lv2 {

// The plug-in's ports: one control input per parameter, in id order (port index = parameter
// id), then the MIDI input and the left and right audio outputs.
struct PortLayout {
  std::uint32_t parameterCount = 0;

  std::uint32_t midiIn() const { return parameterCount; }
  std::uint32_t leftOut() const { return parameterCount + 1; }
  std::uint32_t rightOut() const { return parameterCount + 2; }
  std::uint32_t count() const { return parameterCount + 3; }
  bool isParameter(std::uint32_t port) const { return port < parameterCount; }
};

// A port symbol from a parameter name: letters, digits and underscores as they are, every other
// byte an underscore, and an underscore in front of a leading digit ("LP-HP1" -> "LP_HP1").
std::string portSymbol(std::string_view name);

}  // namespace lv2
