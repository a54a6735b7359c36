#pragma once

#include <cstdint>

namespace appearance {

// One theme colour, drawn at full opacity.
struct RgbColour {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;

  friend bool operator==(const RgbColour&, const RgbColour&) = default;
};

}  // namespace appearance
