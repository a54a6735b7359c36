#pragma once

#include <array>
#include <cstddef>

#include "Frameworks/AppearanceManager/ColourItems.h"

namespace skarvel {

// A theme's colours in item order, as the appearance manager hands them to the editor; the
// items and their positions are the appearance manager's.
using ThemeRgb = appearance::RgbColour;
using ThemeItem = appearance::ColourItem;
inline constexpr std::size_t kThemeItemCount = appearance::kColourItemCount;
using ThemeColourTable = std::array<ThemeRgb, kThemeItemCount>;

// The built-in look (every item's default colour), used before any theme is applied.
const ThemeColourTable& defaultThemeColours();

}  // namespace skarvel
