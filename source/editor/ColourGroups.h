#pragma once

#include "Frameworks/Gui/CColor.h"
#include "source/editor/ThemeColours.h"

namespace skarvel {

// The colour groups the controls draw with. The editor owns one ColourGroups and every control
// keeps a pointer to its group; a theme change refills the groups in place, so the controls
// only need a redraw. Every theme colour is used at full opacity.

// Group A: sliders.
struct ColourGroupA {
  VSTGUI::CColor controlBackground;
  VSTGUI::CColor highlightFrame;
  VSTGUI::CColor controlActive;
  VSTGUI::CColor sliderTrackFront;
  VSTGUI::CColor activeValueFont;
  VSTGUI::CColor inactiveValueFont;
  VSTGUI::CColor sliderTrackBack;
};

// Groups B1 (the multi-switch, framed in highlightFrameRGB) and B2 (the on/off switches,
// framed in plainFrameRGB).
struct ColourGroupB {
  VSTGUI::CColor controlActive;
  VSTGUI::CColor controlBackground;
  VSTGUI::CColor frame;
  VSTGUI::CColor inactiveValueFont;
  VSTGUI::CColor activeValueFont;
};

// Group C: knobs.
struct ColourGroupC {
  VSTGUI::CColor controlBackground;
  VSTGUI::CColor knobRim;
  VSTGUI::CColor controlActive;
  VSTGUI::CColor knobIndicator;
  VSTGUI::CColor displayValueFont;
  VSTGUI::CColor controlInactive;
  VSTGUI::CColor inactiveGrey{115, 115, 115};  // arc and pointer of a knob that is switched off
  bool rim = false;          // draw a second body ellipse in knobRim
  double rimDivisor = 10.0;  // that ellipse's inset is width / rimDivisor (19 once themed)
};

// Group D: the displays.
struct ColourGroupD {
  VSTGUI::CColor graphBackground;
  VSTGUI::CColor sliderTrackBack;
  VSTGUI::CColor highlightFrame;
  VSTGUI::CColor graphSignal;
  VSTGUI::CColor graphPeak;
  VSTGUI::CColor graphClip;
  VSTGUI::CColor labelFont;
  VSTGUI::CColor controlActive;
};

struct ColourGroups {
  ColourGroupA a;
  ColourGroupB b1;
  ColourGroupB b2;
  ColourGroupC c;
  ColourGroupD d;

  // Starts with the built-in colours (rim divisor still 10, as before any theme is applied).
  ColourGroups();

  // Refills every group from a theme's colour table, in place.
  void apply(const ThemeColourTable& theme);

 private:
  void fill(const ThemeColourTable& theme);
};

// A theme colour at full opacity.
VSTGUI::CColor toColour(const ThemeRgb& rgb);

}  // namespace skarvel
