#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>

namespace skarvel {

// How a host that draws its own controls should present a parameter. Every value stays a float
// from 0 to 1; the switches are read by the engine as on from 0.5, and the ADSR2 target picks
// between two named settings.
enum class ParameterKind { Continuous, Toggle, Choice };

// How the engine turns a usable value x (0..1) into the quantity it works with, with the
// entry's two constants a and b. Each curve is evaluated in single precision in exactly the
// order written here, which is the order the sound has always been computed in.
enum class ParameterCurve {
  kIdentity,     // x
  kSwitch,       // 1 from x = 0.5 on, else 0
  kLinear,       // a x + b
  kSquare,       // x x a + b
  kExponential,  // a b^x
  kCombHertz,    // a (rate / 8 x b)^x: from a hertz to an eighth of the sample rate, b = 1 / a
  kCapped,       // min(x, a)
  kGated,        // 0 below a, else x
};

struct ParameterMapping {
  ParameterCurve curve = ParameterCurve::kIdentity;
  float a = 0.0f;
  float b = 0.0f;
};

// The text hosts show for a stored value v (ParameterDisplay). Values outside 0..1 are shown
// as the formula extrapolates them.
enum class ParameterDisplayFormat {
  kValue,     // v, two decimals
  kBipolar,   // 2 v - 1, two decimals
  kMapped,    // the mapped value, two decimals (the hertz parameters)
  kDecibels,  // 20 log10 of the mapped gain, one decimal and a sign; minus infinity below -116
  kVelocity,  // v x 127, rounded to a whole number
  kKeyTrack,  // 2 v - 1, or the band-pass width 0.99 v + 0.01 with BPMelody on (two decimals)
};

// The unit the editor's readout shows a parameter's value in (and reads typed values in).
enum class ParameterUnit { kNone, kHertz, kDecibel, kSeconds, kPercent };

// One parameter: host-visible name (also the preset key), the value a new program starts with,
// how hosts present it, how the engine maps it and how hosts and the editor show it.
struct ParameterEntry {
  std::string_view name;
  float defaultValue;
  ParameterKind kind;
  ParameterMapping mapping;
  ParameterDisplayFormat display;
  ParameterUnit unit;
};

inline constexpr int kParameterCount = 36;

// Parameter ids by name, for code that addresses a parameter directly. Ids are stable; presets
// and hosts store values by them.
enum ParameterId : int {
  kRate1, kLpHp1, kAm, kLevel, kSmooth, kRate2, kLpHp2, kOsc1, kOsc2, kResoAmnt, kCombFilter,
  kLpHp3, kFm, kDryWet, kAttack1, kDecay1, kSustain1, kRelease1, kVelosens, kAdsr2Level,
  kAdsr2Rate1, kAdsr2LpHp1, kAdsr2Am, kEqLpFreq, kEqHpFreq, kQFilters, kReverbSize, kReverbMix,
  kReverbOn, kGainOut, kStrEnh, kKt2Rate1, kKt2LpHp1, kKt2Rate2, kBpMelody, kRateScaleUp,
};
static_assert(kRateScaleUp + 1 == kParameterCount, "one id per parameter");

namespace parameter_rows {
using K = ParameterKind;
using C = ParameterCurve;
using D = ParameterDisplayFormat;
using U = ParameterUnit;

// A 0..1 amount the engine takes as it is, shown in percent.
constexpr ParameterEntry amount(std::string_view name, float defaultValue) {
  return {name, defaultValue, K::Continuous, {C::kIdentity}, D::kValue, U::kPercent};
}
// A switch, on from 0.5.
constexpr ParameterEntry toggle(std::string_view name, float defaultValue) {
  return {name, defaultValue, K::Toggle, {C::kSwitch}, D::kValue, U::kNone};
}
// A bipolar amount shown from -1 to +1 (-100 % to +100 %), mapped to a x + b.
constexpr ParameterEntry bipolar(std::string_view name, float defaultValue, float a, float b) {
  return {name, defaultValue, K::Continuous, {C::kLinear, a, b}, D::kBipolar, U::kPercent};
}
// A frequency a b^x hertz.
constexpr ParameterEntry hertz(std::string_view name, float defaultValue, float a, float b) {
  return {name, defaultValue, K::Continuous, {C::kExponential, a, b}, D::kMapped, U::kHertz};
}
// An envelope time x x a + b seconds.
constexpr ParameterEntry seconds(std::string_view name, float defaultValue, float a, float b) {
  return {name, defaultValue, K::Continuous, {C::kSquare, a, b}, D::kValue, U::kSeconds};
}
}  // namespace parameter_rows

// The instrument's parameters in id order.
inline constexpr std::array<ParameterEntry, kParameterCount> kParameterTable = [] {
  using namespace parameter_rows;
  return std::array<ParameterEntry, kParameterCount>{{
      hertz("Rate1", 0.5f, 25.0f, 360.0f),  // 25..9000 Hz
      // The filter balances: the engine crossfades by x; shown from full low-pass to high-pass.
      {"LP-HP1", 0.5f, K::Continuous, {C::kIdentity}, D::kBipolar, U::kPercent},
      amount("AM", 0.5f),
      amount("Level", 0.5f),
      amount("Smooth", 0.0f),
      hertz("Rate2", 0.5f, 0.1f, 80000.0f),  // 0.1..8000 Hz
      {"LP-HP2", 0.5f, K::Continuous, {C::kIdentity}, D::kBipolar, U::kPercent},
      toggle("Osc1", 1.0f),
      toggle("Osc2", 1.0f),
      // Feedback held below 0.98 so the comb stays stable.
      {"ResoAmnt", 0.5f, K::Continuous, {C::kCapped, 0.98f}, D::kValue, U::kPercent},
      // 20 Hz .. an eighth of the sample rate (then within the filters' limits).
      {"CombFilter", 0.5f, K::Continuous, {C::kCombHertz, 20.0f, 0.05f}, D::kMapped, U::kHertz},
      {"LP-HP3", 0.5f, K::Continuous, {C::kIdentity}, D::kBipolar, U::kPercent},
      amount("FM", 0.5f),
      amount("Dry_Wet", 1.0f),
      seconds("Attack1", 0.5f, 10.0f, 0.001f),  // 1 ms .. 10 s
      seconds("Decay1", 0.5f, 5.0f, 0.01f),     // 10 ms .. 5 s
      // A sustain level below 0.001 is silence.
      {"Sustain1", 0.5f, K::Continuous, {C::kGated, 0.001f}, D::kValue, U::kPercent},
      seconds("Release1", 0.5f, 10.0f, 0.0f),  // 0 .. 10 s
      // The envelopes' velocity sensitivity 0.001..0.999, shown as a MIDI velocity.
      {"Velosens", 0.731f, K::Continuous, {C::kLinear, 0.998f, 0.001f}, D::kVelocity, U::kNone},
      {"ADSR2Level", 0.0f, K::Choice, {C::kSwitch}, D::kValue, U::kNone},
      bipolar("ADSR2Rate1", 0.5f, 5000.0f, -2500.0f),  // +-2500 Hz of osc1 rate
      bipolar("ADSR2LP_HP1", 0.5f, 2.4f, -1.2f),
      bipolar("ADSR2AM", 0.5f, 2.4f, -1.2f),
      hertz("EQLP_Freq", 0.5f, 40.0f, 500.0f),  // 40..20000 Hz
      hertz("EQHP_Freq", 0.5f, 20.0f, 600.0f),  // 20..12000 Hz
      toggle("QFilters", 0.0f),
      // The reverb's comb feedback 0.7..0.98.
      {"ReverbSize", 0.5f, K::Continuous, {C::kLinear, 0.28f, 0.7f}, D::kValue, U::kPercent},
      // The reverb's wet level 0..0.9.
      {"ReverbMix", 0.5f, K::Continuous, {C::kSquare, 0.9f, 0.0f}, D::kValue, U::kPercent},
      toggle("ReverbOn", 0.0f),
      // The output gain 0..3.7, +11.4 dB at the top.
      {"Gain_out", 0.5f, K::Continuous, {C::kSquare, 3.7f, 0.0f}, D::kDecibels, U::kDecibel},
      amount("StrEnh", 0.0f),
      // Osc1's key tracking -1..+1; with BPMelody on the knob sets the band-pass width instead.
      {"KT2Rate1", 0.5f, K::Continuous, {C::kLinear, 2.0f, -1.0f}, D::kKeyTrack, U::kPercent},
      bipolar("KT2LP_HP1", 0.5f, 2.0f, -1.0f),
      bipolar("KT2Rate2", 0.5f, 2.0f, -1.0f),  // then scaled by Rate2's hertz
      toggle("BPMelody", 0.0f),
      toggle("RateScaleUp", 0.0f),
  }};
}();

// What the engine, hosts and the editor rely on: a switch is presented as one (Toggle or
// Choice) exactly when the engine reads it on/off; hertz are shown as the mapped exponential,
// decibels and seconds come from a square law; a continuous parameter without a unit is the
// velocity.
constexpr bool parameterTableIsConsistent() {
  for (const ParameterEntry& e : kParameterTable) {
    if ((e.kind != ParameterKind::Continuous) != (e.mapping.curve == ParameterCurve::kSwitch)) return false;
    switch (e.unit) {
      case ParameterUnit::kHertz:
        if (e.display != ParameterDisplayFormat::kMapped ||
            (e.mapping.curve != ParameterCurve::kExponential && e.mapping.curve != ParameterCurve::kCombHertz))
          return false;
        break;
      case ParameterUnit::kDecibel:
        if (e.display != ParameterDisplayFormat::kDecibels || e.mapping.curve != ParameterCurve::kSquare) return false;
        break;
      case ParameterUnit::kSeconds:
        if (e.mapping.curve != ParameterCurve::kSquare) return false;
        break;
      case ParameterUnit::kNone:
        if (e.kind == ParameterKind::Continuous && e.display != ParameterDisplayFormat::kVelocity) return false;
        break;
      case ParameterUnit::kPercent:
        break;
    }
  }
  return true;
}
static_assert(parameterTableIsConsistent(), "each parameter's presentation, mapping and display agree");

// The engine's quantity for parameter id at value x. The engine passes usable values (0..1);
// the display texts pass stored values as they are. sampleRate matters only to CombFilter. An id
// that is not a parameter's gives x back.
inline float mapParameter(int id, float x, double sampleRate) {
  if (id < 0 || id >= kParameterCount) return x;
  const ParameterMapping& m = kParameterTable[static_cast<std::size_t>(id)].mapping;
  switch (m.curve) {
    case ParameterCurve::kIdentity: return x;
    case ParameterCurve::kSwitch: return x >= 0.5f ? 1.0f : 0.0f;
    case ParameterCurve::kLinear: return m.a * x + m.b;
    case ParameterCurve::kSquare: return x * x * m.a + m.b;
    case ParameterCurve::kExponential: return m.a * std::pow(m.b, x);
    case ParameterCurve::kCombHertz: return m.a * std::pow(static_cast<float>(sampleRate * 0.125) * m.b, x);
    case ParameterCurve::kCapped: return std::min(x, m.a);
    case ParameterCurve::kGated: return x < m.a ? 0.0f : x;
  }
  return x;
}

// The same for every parameter but CombFilter, whose mapping follows the sample rate.
inline float mapParameter(int id, float x) { return mapParameter(id, x, 0.0); }

// Whether a switch parameter at usable value x is on.
inline bool parameterOn(int id, float x) { return mapParameter(id, x) != 0.0f; }

}  // namespace skarvel
