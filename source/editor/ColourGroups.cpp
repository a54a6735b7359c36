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

  a.controlBackground = item(kControlBackgroundRGB);
  a.highlightFrame = item(kHighlightFrameRGB);
  a.controlActive = item(kControlActiveRGB);
  a.sliderTrackFront = item(kSliderTrackFrontRGB);
  a.activeValueFont = item(kActiveValueFontRGB);
  a.inactiveValueFont = item(kInactiveValueFontRGB);
  a.sliderTrackBack = item(kSliderTrackBackRGB);

  b1.controlActive = item(kControlActiveRGB);
  b1.controlBackground = item(kControlBackgroundRGB);
  b1.frame = item(kHighlightFrameRGB);
  b1.inactiveValueFont = item(kInactiveValueFontRGB);
  b1.activeValueFont = item(kActiveValueFontRGB);
  b2 = b1;
  b2.frame = item(kPlainFrameRGB);

  c.controlBackground = item(kControlBackgroundRGB);
  c.knobRim = item(kKnobRimRGB);
  c.controlActive = item(kControlActiveRGB);
  c.knobIndicator = item(kKnobIndicatorRGB);
  c.displayValueFont = item(kDisplayValueFontRGB);
  c.controlInactive = item(kControlInactiveRGB);

  d.graphBackground = item(kGraphBackgroundRGB);
  d.sliderTrackBack = item(kSliderTrackBackRGB);
  d.highlightFrame = item(kHighlightFrameRGB);
  d.graphSignal = item(kGraphSignalRGB);
  d.graphPeak = item(kGraphPeakRGB);
  d.graphClip = item(kGraphClipRGB);
  d.labelFont = item(kLabelFontRGB);
  d.controlActive = item(kControlActiveRGB);
}

}  // namespace skarvel
