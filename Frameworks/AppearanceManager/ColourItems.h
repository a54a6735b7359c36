#pragma once

#include <array>
#include <cstddef>

#include "Frameworks/AppearanceManager/RgbColour.h"

namespace appearance {

class AppearanceFactory;

// The editor's colour items; the numbers are the items' positions in every theme.
enum ColourItem : std::size_t {
  kMainBackground,
  kControlBackground,
  kControlActive,
  kControlInactive,
  kHighlightLine,
  kPlainLine,
  kHighlightFrame,
  kPlainFrame,
  kDisplayValueFont,
  kActiveValueFont,
  kInactiveValueFont,
  kLabelFont,
  kTooltipFont,
  kSliderTrackBack,
  kSliderTrackFront,
  kKnobRim,
  kKnobIndicator,
  kGraphBackground,
  kGraphSignal,
  kGraphPeak,
  kGraphClip,
  kColourItemCount
};

struct ColourItemDefinition {
  const char* name;  // the key in theme files
  RgbColour defaultColour;
};

// The items in item order, with the built-in default look.
extern const std::array<ColourItemDefinition, kColourItemCount> kColourItems;

// Registers every item above with the factory, in item order.
void registerColourItems(AppearanceFactory& factory);

}  // namespace appearance
