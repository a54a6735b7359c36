#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace skarvel {

// One theme colour as the theme files give it: red, green, blue, 0..255 each.
struct ThemeRgb {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;

  friend bool operator==(const ThemeRgb&, const ThemeRgb&) = default;
};

// The 21 colour items of a theme, by position in the theme's colour table.
enum ThemeItem : std::size_t {
  kMainBackgroundRGB,
  kControlBackgroundRGB,
  kControlActiveRGB,
  kControlInactiveRGB,
  kHighlightLineRGB,
  kPlainLineRGB,
  kHighlightFrameRGB,
  kPlainFrameRGB,
  kDisplayValueFontRGB,
  kActiveValueFontRGB,
  kInactiveValueFontRGB,
  kLabelFontRGB,
  kTooltipFontRGB,
  kSliderTrackBackRGB,
  kSliderTrackFrontRGB,
  kKnobRimRGB,
  kKnobIndicatorRGB,
  kGraphBackgroundRGB,
  kGraphSignalRGB,
  kGraphPeakRGB,
  kGraphClipRGB,
  kThemeItemCount
};

// A theme's colours in item order, as the appearance manager hands them to the editor.
using ThemeColourTable = std::array<ThemeRgb, kThemeItemCount>;

// The built-in look, used before any theme is applied.
const ThemeColourTable& defaultThemeColours();

}  // namespace skarvel
