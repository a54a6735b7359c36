#include "PresetValueText.h"

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <limits>

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
#ifdef _WIN32
  // The Windows C library reads neither "nan" nor "inf"; they are read here as elsewhere.
  const char* word = text;
  while (*word == ' ' || (*word >= '\t' && *word <= '\r')) ++word;
  const bool negative = *word == '-';
  if (*word == '+' || *word == '-') ++word;
  if (_strnicmp(word, "nan", 3) == 0) return std::numeric_limits<float>::quiet_NaN();
  if (_strnicmp(word, "inf", 3) == 0)
    return negative ? -std::numeric_limits<float>::infinity() : std::numeric_limits<float>::infinity();
  static const _locale_t cLocale = _create_locale(LC_ALL, "C");
  const double value = cLocale ? _strtod_l(text, nullptr, cLocale) : std::strtod(text, nullptr);
#else
  static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  const double value = cLocale ? strtod_l(text, nullptr, cLocale) : std::strtod(text, nullptr);
#endif
  return static_cast<float>(value);
}

}  // namespace presets
