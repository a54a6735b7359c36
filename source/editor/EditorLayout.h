#pragma once

#include <array>
#include <string_view>

#include "Frameworks/Gui/CRect.h"
#include "source/SkarvelParameterTable.h"

namespace skarvel {

// The editor's window in base units; every position below is in these units and is multiplied
// by the current horizontal and vertical scale factors.
inline constexpr double kBaseWidth = 862.0;
inline constexpr double kBaseHeight = 419.0;

enum class ControlKind { kKnobUnipolar, kKnobBipolar, kSwitch, kNanoSlider, kFlatSlider, kMultiSwitch };

// Where a parameter's label goes relative to its control.
enum class LabelPlace {
  kAbove,         // centred in a band 14 high ending 5 above the control
  kAboveSwitch,   // the same, 2 higher (the oscillator switches)
  kBelow,         // centred in the band 5 to 19 below (the envelope sliders)
  kLeftAligned,   // right-aligned, ending 7 left of the control (velosens)
  kAt,            // left-aligned from labelX, in a band 14 high from labelY (the ADSR2 column)
  kThreeLines,    // three rows 43 wide, 16 apart, from labelX, labelY (keytracking)
  kRightSmall,    // size 12, 16 right of the switch and 1.8 lower (the two small switches)
  kSharedOutput,  // in the band of the output gain label, centred over the control
  kView,          // a label view of its own draws it
  kNone,
};

struct ControlPlacement {
  int id;
  ControlKind kind;
  VSTGUI::CRect rect;  // base units
  std::string_view label;
  LabelPlace labelPlace;
  double labelX = 0;
  double labelY = 0;
};

// The parameter controls, one per parameter, indexed by parameter id.
const std::array<ControlPlacement, kParameterCount>& controlTable();
// The order in which the editor creates the controls (ids).
const std::array<int, kParameterCount>& creationOrder();

// Base rectangle from x, y, width, height.
constexpr VSTGUI::CRect baseRect(double x, double y, double w, double h) { return {x, y, x + w, y + h}; }

namespace layout {
inline constexpr VSTGUI::CRect kEnvDisplay = baseRect(530, 327, 311, 83);
inline constexpr VSTGUI::CRect kHelpBox = baseRect(526, 327, 319, 83);
inline constexpr VSTGUI::CRect kPeaks = baseRect(795, 74, 20, 86);
inline constexpr VSTGUI::CRect kScope = baseRect(530, 73, 201, 86);
inline constexpr VSTGUI::CRect kLabelViewsChange = baseRect(25, 341, 43, 48);
inline constexpr VSTGUI::CRect kLabelViewsADSR = baseRect(390, 341, 50, 16);
// The toolbar's strip along the top, and the two areas the idle pass watches.
inline constexpr double kTopStripHeight = 46;
inline constexpr VSTGUI::CRect kAppearanceRegion{734, 5, 779, 31};
inline constexpr VSTGUI::CRect kManualIconRegion{692, 7, 716, 31};
// The box the logo is centred in (its top edge is where the logo's top goes).
inline constexpr double kLogoBoxLeft = 725;
inline constexpr double kLogoBoxWidth = 129;
inline constexpr double kLogoTop = 252;
// The logo picture holds two pixels per base unit.
inline constexpr double kLogoPixelsPerUnit = 2;
}  // namespace layout

// Scales a base rectangle.
inline VSTGUI::CRect scaled(const VSTGUI::CRect& r, double sx, double sy) {
  return {r.left * sx, r.top * sy, r.right * sx, r.bottom * sy};
}

}  // namespace skarvel
