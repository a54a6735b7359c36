#include "source/editor/ThemeColours.h"

namespace skarvel {

const ThemeColourTable& defaultThemeColours() {
  static const ThemeColourTable table = [] {
    ThemeColourTable defaults;
    for (std::size_t i = 0; i < kThemeItemCount; ++i) defaults[i] = appearance::kColourItems[i].defaultColour;
    return defaults;
  }();
  return table;
}

}  // namespace skarvel
