#pragma once

#include <string>

#include "Frameworks/Gui/CBitmap.h"
#include "Frameworks/Gui/CDrawContext.h"

namespace guitest {

using namespace VSTGUI;

// The colour of one pixel of an offscreen context (straight alpha).
inline CColor pixelAt(COffscreenContext* context, int x, int y) {
  context->endDraw();
  auto access = CBitmapPixelAccess::create(context->getBitmap(), false);
  CColor color(0, 0, 0, 0);
  if (access && access->setPosition(static_cast<uint32_t>(x), static_cast<uint32_t>(y))) access->getColor(color);
  return color;
}

inline std::string describe(const CColor& c) {
  return "(" + std::to_string(c.red) + ", " + std::to_string(c.green) + ", " + std::to_string(c.blue) + ", " +
         std::to_string(c.alpha) + ")";
}

// Counts the pixels in a rectangle whose colour is within tolerance of colour.
inline int countPixels(COffscreenContext* context, const CRect& rect, const CColor& colour, int tolerance = 0) {
  context->endDraw();
  auto access = CBitmapPixelAccess::create(context->getBitmap(), false);
  int count = 0;
  for (int y = static_cast<int>(rect.top); y < static_cast<int>(rect.bottom); ++y) {
    for (int x = static_cast<int>(rect.left); x < static_cast<int>(rect.right); ++x) {
      if (!access->setPosition(x, y)) continue;
      CColor c;
      access->getColor(c);
      if (std::abs(c.red - colour.red) <= tolerance && std::abs(c.green - colour.green) <= tolerance &&
          std::abs(c.blue - colour.blue) <= tolerance && std::abs(c.alpha - colour.alpha) <= tolerance)
        ++count;
    }
  }
  return count;
}

// The horizontal extent [first, last] of pixels in a row band that differ from the background
// (alpha above threshold); first > last when none.
inline std::pair<int, int> inkExtent(COffscreenContext* context, const CRect& band, int threshold = 64) {
  context->endDraw();
  auto access = CBitmapPixelAccess::create(context->getBitmap(), false);
  int first = 1 << 30, last = -1;
  for (int y = static_cast<int>(band.top); y < static_cast<int>(band.bottom); ++y) {
    for (int x = static_cast<int>(band.left); x < static_cast<int>(band.right); ++x) {
      if (!access->setPosition(x, y)) continue;
      CColor c;
      access->getColor(c);
      if (c.alpha > threshold) {
        first = std::min(first, x);
        last = std::max(last, x);
      }
    }
  }
  return {first, last};
}

}  // namespace guitest
