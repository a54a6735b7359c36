#include "source/editor/ParameterReadout.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "source/SkarvelParameterTable.h"

namespace skarvel {

namespace {

enum class Kind {
  kSwitch,
  kExponentialHertz,  // a x b^v hertz
  kCombHertz,         // a x combBase^v hertz
  kGain,              // 20 log10(a v^2) dB
  kSquareSeconds,     // a v^2 + b seconds
  kPercent,           // 100 v %
  kBipolarPercent,    // 100 (2v - 1) %
  kKeytrackRate1,     // bipolar %, or the band-pass width 100 (0.99 v + 0.01) % with BPMelody on
  kVelocity,          // 127 v, whole numbers
};

bool isParameter(int id) { return id >= 0 && id < kParameterCount; }

const ParameterEntry& entry(int id) { return kParameterTable[static_cast<std::size_t>(id)]; }

// The readout's way of showing a parameter, from its table entry (id must be a parameter's).
Kind kind(int id) {
  const ParameterEntry& e = entry(id);
  if (e.kind != ParameterKind::Continuous) return Kind::kSwitch;
  switch (e.unit) {
    case ParameterUnit::kHertz:
      return e.mapping.curve == ParameterCurve::kCombHertz ? Kind::kCombHertz : Kind::kExponentialHertz;
    case ParameterUnit::kDecibel: return Kind::kGain;
    case ParameterUnit::kSeconds: return Kind::kSquareSeconds;
    case ParameterUnit::kPercent:
      if (e.display == ParameterDisplayFormat::kBipolar) return Kind::kBipolarPercent;
      if (e.display == ParameterDisplayFormat::kKeyTrack) return Kind::kKeytrackRate1;
      return Kind::kPercent;
    case ParameterUnit::kNone: break;
  }
  return e.display == ParameterDisplayFormat::kVelocity ? Kind::kVelocity : Kind::kSwitch;
}

std::string fixed(double value, int decimals) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  if (result.ec != std::errc()) return "?";
  std::string text(buffer, result.ptr);
  if (text == "-0" || text.find_first_not_of("-0.") == std::string::npos) text.erase(0, text[0] == '-' ? 1 : 0);
  return text;
}

std::string signedFixed(double value, int decimals) {
  std::string text = fixed(value, decimals);
  if (text.find_first_not_of("0.") != std::string::npos && text[0] != '-') text.insert(0, "+");
  return text;
}

std::string seconds(double t) {
  if (t < 1.0) return fixed(t, 3);
  if (t < 10.0) return fixed(t, 2);
  return fixed(t, 1);
}

double clamp01(double v) { return std::isnan(v) ? 0.0 : std::clamp(v, 0.0, 1.0); }

std::string lower(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

std::string_view trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// A number as typed: optional sign, digits with a decimal point or comma, optional exponent.
// `rest` is what follows it.
bool readNumber(std::string_view text, double& number, std::string_view& rest) {
  std::string copy(text);
  // A decimal comma is taken as the point (only when no point is there already).
  if (copy.find('.') == std::string::npos) std::replace(copy.begin(), copy.end(), ',', '.');
  const char* begin = copy.data();
  const char* end = copy.data() + copy.size();
  if (begin != end && *begin == '+') ++begin;
  if (begin == end || !(std::isdigit(static_cast<unsigned char>(*begin)) || *begin == '.' || *begin == '-'))
    return false;
  const auto result = std::from_chars(begin, end, number, std::chars_format::general);
  if (result.ec != std::errc() || !std::isfinite(number)) return false;
  rest = text.substr(static_cast<std::size_t>(result.ptr - copy.data()));
  return true;
}

}  // namespace

bool ParameterReadout::hasReadout(int id) { return isParameter(id) && kind(id) != Kind::kSwitch; }

ParameterReadout::Unit ParameterReadout::unit(int id) { return isParameter(id) ? entry(id).unit : Unit::kNone; }

std::string_view ParameterReadout::unitText(Unit unit) {
  switch (unit) {
    case Unit::kHertz: return "Hz";
    case Unit::kDecibel: return "dB";
    case Unit::kSeconds: return "s";
    case Unit::kPercent: return "%";
    default: return "";
  }
}

std::string_view ParameterReadout::name(int id) {
  return isParameter(id) ? kParameterTable[static_cast<std::size_t>(id)].name : std::string_view();
}

std::string ParameterReadout::number(int id, float value, std::string_view display, const Context& context) {
  if (!isParameter(id)) return {};
  // The table's constants: a b^v hertz, a v^2 (+ b) for the gain and the envelope times.
  const double a = entry(id).mapping.a;
  const double b = entry(id).mapping.b;
  const double v = value;
  switch (kind(id)) {
    case Kind::kSwitch: return v >= 0.5 ? "on" : "off";
    case Kind::kExponentialHertz:
      return display.empty() ? fixed(a * std::pow(b, v), 2) : std::string(display);
    case Kind::kCombHertz:
      return display.empty() ? fixed(a * std::pow(context.combBase, v), 2) : std::string(display);
    case Kind::kGain: {
      if (!display.empty()) return std::string(display);
      const double g = 20.0 * std::log10(a * v * v);
      return g > -116.0 ? signedFixed(g, 1) : "-\xE2\x88\x9E";
    }
    case Kind::kVelocity: return display.empty() ? fixed(std::floor(v * 127.0 + 0.5), 0) : std::string(display);
    case Kind::kSquareSeconds: return seconds(a * v * v + b);
    case Kind::kPercent: return fixed(100.0 * v, 1);
    case Kind::kBipolarPercent: return signedFixed(100.0 * (2.0 * v - 1.0), 1);
    case Kind::kKeytrackRate1:
      return context.bandPassOn ? fixed(100.0 * (0.99 * v + 0.01), 1) : signedFixed(100.0 * (2.0 * v - 1.0), 1);
  }
  return {};
}

std::string ParameterReadout::text(int id, float v, std::string_view display, const Context& context) {
  if (!isParameter(id)) return {};
  std::string out(name(id));
  if (kind(id) == Kind::kKeytrackRate1 && context.bandPassOn) out += " (width)";
  out += "  ";
  out += number(id, v, display, context);
  const std::string_view unitName = unitText(unit(id));
  if (!unitName.empty()) {
    out += ' ';
    out += unitName;
  }
  return out;
}

bool ParameterReadout::parse(int id, std::string_view typed, const Context& context, float& value) {
  if (!hasReadout(id)) return false;
  const Kind k = kind(id);
  const double a = entry(id).mapping.a;
  const double b = entry(id).mapping.b;
  const std::string_view text = trim(typed);
  const std::string whole = lower(text);
  if (k == Kind::kGain && (whole == "-inf" || whole == "-\xE2\x88\x9E" || whole == "-inf db" ||
                                whole == "-\xE2\x88\x9E db")) {
    value = 0.0f;
    return true;
  }
  double x = 0.0;
  std::string_view restView;
  if (!readNumber(text, x, restView)) return false;
  const std::string rest = lower(trim(restView));

  double v = 0.0;
  switch (k) {
    case Kind::kExponentialHertz:
    case Kind::kCombHertz: {
      if (rest == "k" || rest == "khz")
        x *= 1000.0;
      else if (!rest.empty() && rest != "hz")
        return false;
      const double base = k == Kind::kCombHertz ? context.combBase : b;
      v = x <= 0.0 ? 0.0 : std::log(x / a) / std::log(base);
      break;
    }
    case Kind::kGain: {
      if (!rest.empty() && rest != "db") return false;
      // g = 20 log10(a v^2)  <=>  v = sqrt(10^(g / 20) / a)
      v = std::sqrt(std::pow(10.0, x / 20.0) / a);
      break;
    }
    case Kind::kSquareSeconds: {
      if (rest == "ms")
        x /= 1000.0;
      else if (!rest.empty() && rest != "s" && rest != "sec")
        return false;
      const double square = (x - b) / a;
      v = square <= 0.0 ? 0.0 : std::sqrt(square);
      break;
    }
    case Kind::kPercent:
    case Kind::kBipolarPercent:
    case Kind::kKeytrackRate1: {
      if (!rest.empty() && rest != "%") return false;
      const double share = x / 100.0;
      if (k == Kind::kPercent)
        v = share;
      else if (k == Kind::kKeytrackRate1 && context.bandPassOn)
        v = (share - 0.01) / 0.99;
      else
        v = (share + 1.0) / 2.0;
      break;
    }
    case Kind::kVelocity:
      if (!rest.empty()) return false;
      v = x / 127.0;
      break;
    case Kind::kSwitch: return false;
  }
  value = static_cast<float>(clamp01(v));
  return true;
}

std::string ParameterReadout::hint(int id, float v, std::string_view display, const Context& context) {
  std::string example = number(id, v, display, context);
  if (example.empty() || example.find("\xE2\x88\x9E") != std::string::npos) example = "0";
  const std::string_view unitName = unitText(unit(id));
  return "Type a number, like " + example + (unitName.empty() ? "" : " " + std::string(unitName));
}

double ParameterReadout::combBaseFromDisplay(float v, std::string_view display, double previous) {
  double shown = 0.0;
  std::string_view rest;
  // Below a quarter of the range the two decimals of the display say too little.
  if (!(v >= 0.25f) || !readNumber(display, shown, rest) || shown <= 20.0) return previous;
  const double estimate = std::pow(shown / 20.0, 1.0 / static_cast<double>(v));
  for (double rate : {22050.0, 24000.0, 32000.0, 44100.0, 48000.0, 88200.0, 96000.0, 176400.0, 192000.0}) {
    // The engine forms the ratio in single precision.
    const double ratio = static_cast<double>(static_cast<float>(rate * 0.125) * 0.05f);
    if (std::fabs(estimate / ratio - 1.0) < 0.002) return ratio;
  }
  return estimate;
}

}  // namespace skarvel
