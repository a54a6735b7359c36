#include "source/editor/ColourContrast.h"

#include <algorithm>
#include <cmath>

using VSTGUI::CColor;

namespace skarvel {

namespace {
double channel(uint8_t value) {
  const double c = value / 255.0;
  return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(const CColor& c) {
  return 0.2126 * channel(c.red) + 0.7152 * channel(c.green) + 0.0722 * channel(c.blue);
}
}  // namespace

double contrastRatio(const CColor& a, const CColor& b) {
  const double la = luminance(a);
  const double lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

CColor blendOver(const CColor& over, const CColor& under) {
  const double a = over.alpha / 255.0;
  auto mix = [a](uint8_t top, uint8_t bottom) {
    return static_cast<uint8_t>(std::lround(top * a + bottom * (1.0 - a)));
  };
  return CColor(mix(over.red, under.red), mix(over.green, under.green), mix(over.blue, under.blue), 255);
}

CColor legibleOn(const CColor& background, std::initializer_list<CColor> candidates, double minimum) {
  for (const CColor& c : candidates) {
    const CColor opaque(c.red, c.green, c.blue, 255);
    if (contrastRatio(opaque, background) >= minimum) return opaque;
  }
  const CColor white(255, 255, 255, 255), black(0, 0, 0, 255);
  return contrastRatio(white, background) >= contrastRatio(black, background) ? white : black;
}

}  // namespace skarvel
