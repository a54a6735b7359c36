#pragma once

#include "Frameworks/Gui/GuiTypes.h"

namespace VSTGUI {

// A point or a size in pixels (y grows downwards).
class CPoint {
 public:
  constexpr CPoint() = default;
  constexpr CPoint(CCoord px, CCoord py) : x(px), y(py) {}

  CPoint& offset(CCoord dx, CCoord dy) {
    x += dx;
    y += dy;
    return *this;
  }
  CPoint& offset(const CPoint& p) { return offset(p.x, p.y); }
  CPoint& offsetInverse(const CPoint& p) { return offset(-p.x, -p.y); }
  CPoint& makeIntegral();

  bool operator==(const CPoint& other) const { return x == other.x && y == other.y; }
  bool operator!=(const CPoint& other) const { return !(*this == other); }
  CPoint operator+(const CPoint& other) const { return {x + other.x, y + other.y}; }
  CPoint operator-(const CPoint& other) const { return {x - other.x, y - other.y}; }
  CPoint operator-() const { return {-x, -y}; }
  CPoint& operator+=(const CPoint& other) { return offset(other); }
  CPoint& operator-=(const CPoint& other) { return offsetInverse(other); }

  CCoord x = 0;
  CCoord y = 0;
};

}  // namespace VSTGUI
