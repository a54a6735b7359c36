#pragma once

#include <cstdint>

namespace VSTGUI {

// An 8-bit RGBA colour; alpha 255 is opaque.
struct CColor {
  constexpr CColor() = default;
  constexpr CColor(uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255)
      : red(r), green(g), blue(b), alpha(a) {}

  constexpr bool operator==(const CColor& c) const {
    return red == c.red && green == c.green && blue == c.blue && alpha == c.alpha;
  }
  constexpr bool operator!=(const CColor& c) const { return !(*this == c); }

  double normRed() const { return red / 255.0; }
  double normGreen() const { return green / 255.0; }
  double normBlue() const { return blue / 255.0; }
  double normAlpha() const { return alpha / 255.0; }

  uint8_t red = 255;
  uint8_t green = 255;
  uint8_t blue = 255;
  uint8_t alpha = 255;
};

constexpr CColor MakeCColor(uint8_t red = 0, uint8_t green = 0, uint8_t blue = 0,
                            uint8_t alpha = 255) {
  return CColor(red, green, blue, alpha);
}

constexpr CColor kTransparentCColor{255, 255, 255, 0};
constexpr CColor kBlackCColor{0, 0, 0, 255};
constexpr CColor kWhiteCColor{255, 255, 255, 255};
constexpr CColor kGreyCColor{127, 127, 127, 255};
constexpr CColor kRedCColor{255, 0, 0, 255};
constexpr CColor kGreenCColor{0, 255, 0, 255};
constexpr CColor kBlueCColor{0, 0, 255, 255};
constexpr CColor kYellowCColor{255, 255, 0, 255};
constexpr CColor kCyanCColor{0, 255, 255, 255};
constexpr CColor kMagentaCColor{255, 0, 255, 255};

}  // namespace VSTGUI
