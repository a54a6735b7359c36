#include "Frameworks/AppearanceManager/ColourItems.h"

#include "Frameworks/AppearanceManager/AppearanceFactory.h"

namespace appearance {

const std::array<ColourItemDefinition, kColourItemCount> kColourItems{{
    {"mainBackgroundRGB", {24, 26, 29}},
    {"controlBackgroundRGB", {43, 43, 43}},
    {"controlActiveRGB", {16, 214, 97}},
    {"controlInactiveRGB", {104, 104, 104}},
    {"highlightLineRGB", {16, 214, 97}},
    {"plainLineRGB", {132, 132, 132}},
    {"highlightFrameRGB", {132, 132, 132}},
    {"plainFrameRGB", {32, 32, 32}},
    {"displayValueFontRGB", {192, 192, 192}},
    {"activeValueFontRGB", {16, 214, 97}},
    {"inactiveValueFontRGB", {129, 129, 129}},
    {"labelFontRGB", {192, 192, 192}},
    {"tooltipFontRGB", {197, 197, 197}},
    {"sliderTrackBackRGB", {5, 5, 7}},
    {"sliderTrackFrontRGB", {98, 98, 98}},
    {"knobRimRGB", {5, 5, 7}},
    {"knobIndicatorRGB", {250, 250, 250}},
    {"graphBackgroundRGB", {43, 43, 43}},
    {"graphSignalRGB", {200, 200, 200}},
    {"graphPeakRGB", {16, 214, 97}},
    {"graphClipRGB", {215, 0, 0}},
}};

void registerColourItems(AppearanceFactory& factory) {
  for (std::size_t item = 0; item < kColourItems.size(); ++item)
    factory.addColourItem(item, kColourItems[item].name, kColourItems[item].defaultColour);
}

}  // namespace appearance
