#pragma once

#include <array>
#include <string_view>

#include "source/SkarvelParameterTable.h"

namespace skarvel {

struct ParameterChoice {
  float value;
  std::string_view label;
};

// The ADSR2 level switch: off lets the ADSR set osc1's level, on the gate (the editor's texts).
inline constexpr std::array<ParameterChoice, 2> kAdsr2LevelChoices{{{0.0f, "ADSR"}, {1.0f, "gate"}}};

// How a host that draws its own controls should present the parameter (Continuous for an id
// that is not a parameter).
constexpr ParameterKind parameterKind(int id) {
  return id >= 0 && id < kParameterCount ? kParameterTable[static_cast<std::size_t>(id)].kind
                                         : ParameterKind::Continuous;
}

}  // namespace skarvel
