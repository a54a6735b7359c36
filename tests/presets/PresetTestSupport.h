#pragma once

#include <string>

#include "Frameworks/Core/Parameters.h"
#include "Frameworks/PresetManager/MessageList.h"
#include "Frameworks/PresetManager/ProgramFactory.h"
#include "source/SkarvelParameterTable.h"

// The instrument's own 36 parameters and a program factory over them, as the plug-in core
// builds them.
struct PresetFixture {
  core::Parameters parameters;
  presets::MessageList messages;
  presets::ProgramFactory factory{fill(parameters), "Skarvel", "1.0.0", messages};

  static const core::Parameters& fill(core::Parameters& registry) {
    for (int id = 0; id < skarvel::kParameterCount; ++id)
      registry.addParameter(id, std::string(skarvel::kParameterTable[id].name),
                            skarvel::kParameterTable[id].defaultValue);
    return registry;
  }

  std::unique_ptr<presets::Program> readText(const std::string& text) {
    return factory.readPresetChunk(reinterpret_cast<const unsigned char*>(text.data()), text.size());
  }

  std::string allMessages() const {
    std::string all;
    for (const std::string& line : messages.lines()) all += line + "\n";
    return all;
  }
};

// The default program's document, byte for byte.
inline const char* const kDefaultDocument =
    "---\n"
    "Preset:\n"
    "  product: Skarvel\n"
    "  version: 1.0.0\n"
    "  format: 1\n"
    "  name: Init\n"
    "Params:\n"
    "  Rate1: 0.5\n"
    "  LP-HP1: 0.5\n"
    "  AM: 0.5\n"
    "  Level: 0.5\n"
    "  Smooth: 0\n"
    "  Rate2: 0.5\n"
    "  LP-HP2: 0.5\n"
    "  Osc1: 1\n"
    "  Osc2: 1\n"
    "  ResoAmnt: 0.5\n"
    "  CombFilter: 0.5\n"
    "  LP-HP3: 0.5\n"
    "  FM: 0.5\n"
    "  Dry_Wet: 1\n"
    "  Attack1: 0.5\n"
    "  Decay1: 0.5\n"
    "  Sustain1: 0.5\n"
    "  Release1: 0.5\n"
    "  Velosens: 0.731\n"
    "  ADSR2Level: 0\n"
    "  ADSR2Rate1: 0.5\n"
    "  ADSR2LP_HP1: 0.5\n"
    "  ADSR2AM: 0.5\n"
    "  EQLP_Freq: 0.5\n"
    "  EQHP_Freq: 0.5\n"
    "  QFilters: 0\n"
    "  ReverbSize: 0.5\n"
    "  ReverbMix: 0.5\n"
    "  ReverbOn: 0\n"
    "  Gain_out: 0.5\n"
    "  StrEnh: 0\n"
    "  KT2Rate1: 0.5\n"
    "  KT2LP_HP1: 0.5\n"
    "  KT2Rate2: 0.5\n"
    "  BPMelody: 0\n"
    "  RateScaleUp: 0\n";
