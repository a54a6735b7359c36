#include "source/editor/ColourGroups.h"

namespace skarvel {

VSTGUI::CColor toColour(const ThemeRgb& rgb) { return {rgb.red, rgb.green, rgb.blue, 255}; }

ColourGroups::ColourGroups() { fill(defaultThemeColours()); }

void ColourGroups::apply(const ThemeColourTable& theme) {
  fill(theme);
  c.rimDivisor = 19.0;
}

void ColourGroups::fill(const ThemeColourTable& t) {
  auto item = [&t](ThemeItem i) { return toColour(t[i]); };

  a.controlBackground = item(appearance::kControlBackground);
  a.highlightFrame = item(appearance::kHighlightFrame);
  a.controlActive = item(appearance::kControlActive);
  a.sliderTrackFront = item(appearance::kSliderTrackFront);
  a.activeValueFont = item(appearance::kActiveValueFont);
  a.inactiveValueFont = item(appearance::kInactiveValueFont);
  a.sliderTrackBack = item(appearance::kSliderTrackBack);

  b1.controlActive = item(appearance::kControlActive);
  b1.controlBackground = item(appearance::kControlBackground);
  b1.frame = item(appearance::kHighlightFrame);
  b1.inactiveValueFont = item(appearance::kInactiveValueFont);
  b1.activeValueFont = item(appearance::kActiveValueFont);
  b2 = b1;
  b2.frame = item(appearance::kPlainFrame);

  c.controlBackground = item(appearance::kControlBackground);
  c.knobRim = item(appearance::kKnobRim);
  c.controlActive = item(appearance::kControlActive);
  c.knobIndicator = item(appearance::kKnobIndicator);
  c.displayValueFont = item(appearance::kDisplayValueFont);
  c.controlInactive = item(appearance::kControlInactive);

  d.graphBackground = item(appearance::kGraphBackground);
  d.sliderTrackBack = item(appearance::kSliderTrackBack);
  d.highlightFrame = item(appearance::kHighlightFrame);
  d.graphSignal = item(appearance::kGraphSignal);
  d.graphPeak = item(appearance::kGraphPeak);
  d.graphClip = item(appearance::kGraphClip);
  d.labelFont = item(appearance::kLabelFont);
  d.controlActive = item(appearance::kControlActive);
}

}  // namespace skarvel
