#pragma once

#include <array>
#include <string_view>

#include "source/SkarvelParameterTable.h"

namespace skarvel {

// How a host that draws its own controls should present a parameter. Every value stays a float
// from 0 to 1; the switches are read by the engine as on from 0.5, and the ADSR2 target picks
// between two named settings.
enum class ParameterKind { Continuous, Toggle, Choice };

struct ParameterChoice {
  float value;
  std::string_view label;
};

// The ADSR2 level switch: off lets the ADSR set osc1's level, on the gate (the editor's texts).
inline constexpr std::array<ParameterChoice, 2> kAdsr2LevelChoices{{{0.0f, "ADSR"}, {1.0f, "gate"}}};

constexpr ParameterKind parameterKind(int id) {
  switch (id) {
    case kOsc1:
    case kOsc2:
    case kQFilters:
    case kReverbOn:
    case kBpMelody:
    case kRateScaleUp:
      return ParameterKind::Toggle;
    case kAdsr2Level:
      return ParameterKind::Choice;
    default:
      return ParameterKind::Continuous;
  }
}

}  // namespace skarvel
