#include "PresetValueText.h"

#include <charconv>
#include <cstdlib>

#include <locale.h>

namespace presets {

std::string formatPresetValue(float value) {
  char text[64];
  const auto result = std::to_chars(text, text + sizeof text, static_cast<double>(value),
                                    std::chars_format::general, 6);
  return std::string(text, result.ptr);
}

float parsePresetValue(const char* text) {
  if (!text) return 0.0f;
  // One "C" locale object for the process, created on first use and never freed.
  static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  const double value = cLocale ? strtod_l(text, nullptr, cLocale) : std::strtod(text, nullptr);
  return static_cast<float>(value);
}

}  // namespace presets
