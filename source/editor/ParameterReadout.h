#pragma once

#include <string>
#include <string_view>

#include "source/SkarvelParameterTable.h"

namespace skarvel {

// How the editor shows a parameter's value to a musician, and reads a typed value back: the
// parameter's name, the number in its unit (Hz, dB, s, %) and the inverse of each mapping.
//
// Units, mappings and constants come from the parameter table, so they are the engine's own:
// rates and filter frequencies are exponential in hertz, the output gain is 20 log10(3.7 v^2)
// dB, the envelope times are quadratic in seconds, and the amounts are shown as percentages
// (bipolar ones from -100 % to +100 %). Where the host's display text already is the value in
// its unit (hertz, decibels, velocity) the readout shows those very digits, so the editor and
// the host never disagree.
class ParameterReadout {
 public:
  using Unit = ParameterUnit;

  // What the mappings need to know beyond the value itself.
  struct Context {
    // BPMelody on: KT2Rate1 is the band-pass width (0.01 .. 1, shown in %).
    bool bandPassOn = false;
    // The comb filter's frequency ratio: CombFilter = 20 Hz x combBase^v (combBase is an
    // eighth of the sample rate over 20 Hz).
    double combBase = kCombBaseAt44100;
  };

  static constexpr double kCombBaseAt44100 = 275.625;

  // Whether the parameter has a readout and typed entry (the switches have neither).
  static bool hasReadout(int id);
  static Unit unit(int id);
  static std::string_view unitText(Unit unit);
  // The host-visible name ("Rate1").
  static std::string_view name(int id);

  // The number in the parameter's unit for normalised value v, without the unit. `display` is
  // the host's display text of v; it is used as it stands where it already is in the unit.
  static std::string number(int id, float v, std::string_view display, const Context& context);
  // Name, number and unit: "Rate1  474.34 Hz".
  static std::string text(int id, float v, std::string_view display, const Context& context);

  // Reads a value typed in the parameter's unit (optionally followed by the unit; "k" before Hz
  // multiplies by 1000, "ms" is taken as milliseconds; a decimal comma is accepted). On success
  // `value` is the normalised value, clamped to 0..1. False when the text is not a number in
  // that unit; `value` is then left alone.
  static bool parse(int id, std::string_view typed, const Context& context, float& value);
  // What to tell a user whose text was refused: "Type a number, like 474.34 Hz".
  static std::string hint(int id, float v, std::string_view display, const Context& context);

  // The comb filter's ratio found from its display text at value v (the display follows the
  // engine's sample rate, which the editor is not told). A common sample rate's ratio is taken
  // when the estimate lies within 0.2 % of it. `previous` is kept when v is too small to tell.
  static double combBaseFromDisplay(float v, std::string_view display, double previous);
};

}  // namespace skarvel
