#pragma once

#include <array>
#include <string_view>

namespace skarvel {

// The instrument's 36 parameters in id order: host-visible name (also the preset key) and the
// value a new program starts with. Ids are stable; presets and hosts store values by them.
struct ParameterEntry {
  std::string_view name;
  float defaultValue;
};

inline constexpr int kParameterCount = 36;

inline constexpr std::array<ParameterEntry, kParameterCount> kParameterTable{{
    {"Rate1", 0.5f},       {"LP-HP1", 0.5f},      {"AM", 0.5f},           {"Level", 0.5f},
    {"Smooth", 0.0f},      {"Rate2", 0.5f},       {"LP-HP2", 0.5f},       {"Osc1", 1.0f},
    {"Osc2", 1.0f},        {"ResoAmnt", 0.5f},    {"CombFilter", 0.5f},   {"LP-HP3", 0.5f},
    {"FM", 0.5f},          {"Dry_Wet", 1.0f},     {"Attack1", 0.5f},      {"Decay1", 0.5f},
    {"Sustain1", 0.5f},    {"Release1", 0.5f},    {"Velosens", 0.731f},   {"ADSR2Level", 0.0f},
    {"ADSR2Rate1", 0.5f},  {"ADSR2LP_HP1", 0.5f}, {"ADSR2AM", 0.5f},      {"EQLP_Freq", 0.5f},
    {"EQHP_Freq", 0.5f},   {"QFilters", 0.0f},    {"ReverbSize", 0.5f},   {"ReverbMix", 0.5f},
    {"ReverbOn", 0.0f},    {"Gain_out", 0.5f},    {"StrEnh", 0.0f},       {"KT2Rate1", 0.5f},
    {"KT2LP_HP1", 0.5f},   {"KT2Rate2", 0.5f},    {"BPMelody", 0.0f},     {"RateScaleUp", 0.0f},
}};

// Parameter ids by name, for code that addresses a parameter directly.
enum ParameterId : int {
  kRate1, kLpHp1, kAm, kLevel, kSmooth, kRate2, kLpHp2, kOsc1, kOsc2, kResoAmnt, kCombFilter,
  kLpHp3, kFm, kDryWet, kAttack1, kDecay1, kSustain1, kRelease1, kVelosens, kAdsr2Level,
  kAdsr2Rate1, kAdsr2LpHp1, kAdsr2Am, kEqLpFreq, kEqHpFreq, kQFilters, kReverbSize, kReverbMix,
  kReverbOn, kGainOut, kStrEnh, kKt2Rate1, kKt2LpHp1, kKt2Rate2, kBpMelody, kRateScaleUp,
};

}  // namespace skarvel
