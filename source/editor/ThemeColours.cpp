#include "source/editor/ThemeColours.h"

namespace skarvel {

const ThemeColourTable& defaultThemeColours() {
  static const ThemeColourTable table = {{
      {24, 26, 29},     // mainBackgroundRGB
      {43, 43, 43},     // controlBackgroundRGB
      {16, 214, 97},    // controlActiveRGB
      {104, 104, 104},  // controlInactiveRGB
      {16, 214, 97},    // highlightLineRGB
      {132, 132, 132},  // plainLineRGB
      {132, 132, 132},  // highlightFrameRGB
      {32, 32, 32},     // plainFrameRGB
      {192, 192, 192},  // displayValueFontRGB
      {16, 214, 97},    // activeValueFontRGB
      {129, 129, 129},  // inactiveValueFontRGB
      {192, 192, 192},  // labelFontRGB
      {197, 197, 197},  // tooltipFontRGB
      {5, 5, 7},        // sliderTrackBackRGB
      {98, 98, 98},     // sliderTrackFrontRGB
      {5, 5, 7},        // knobRimRGB
      {250, 250, 250},  // knobIndicatorRGB
      {43, 43, 43},     // graphBackgroundRGB
      {200, 200, 200},  // graphSignalRGB
      {16, 214, 97},    // graphPeakRGB
      {215, 0, 0},      // graphClipRGB
  }};
  return table;
}

}  // namespace skarvel
