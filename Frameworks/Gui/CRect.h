#pragma once

#include "Frameworks/Gui/CPoint.h"

namespace VSTGUI {

// An axis-aligned rectangle; right and bottom are exclusive edges, so width = right - left.
class CRect {
 public:
  constexpr CRect() = default;
  constexpr CRect(CCoord l, CCoord t, CCoord r, CCoord b) : left(l), top(t), right(r), bottom(b) {}
  constexpr CRect(const CPoint& origin, const CPoint& size)
      : left(origin.x), top(origin.y), right(origin.x + size.x), bottom(origin.y + size.y) {}

  CCoord getWidth() const { return right - left; }
  CCoord getHeight() const { return bottom - top; }
  CRect& setWidth(CCoord width) {
    right = left + width;
    return *this;
  }
  CRect& setHeight(CCoord height) {
    bottom = top + height;
    return *this;
  }
  CPoint getTopLeft() const { return {left, top}; }
  CPoint getTopRight() const { return {right, top}; }
  CPoint getBottomLeft() const { return {left, bottom}; }
  CPoint getBottomRight() const { return {right, bottom}; }
  CPoint getCenter() const { return {left + getWidth() / 2, top + getHeight() / 2}; }
  CPoint getSize() const { return {getWidth(), getHeight()}; }
  CRect& setTopLeft(const CPoint& p);
  CRect& setSize(const CPoint& size);

  CRect& offset(CCoord dx, CCoord dy);
  CRect& offset(const CPoint& p) { return offset(p.x, p.y); }
  CRect& offsetInverse(const CPoint& p) { return offset(-p.x, -p.y); }
  CRect& moveTo(CCoord x, CCoord y);
  CRect& moveTo(const CPoint& p) { return moveTo(p.x, p.y); }
  CRect& inset(CCoord dx, CCoord dy);
  CRect& inset(const CPoint& p) { return inset(p.x, p.y); }
  CRect& extend(CCoord dx, CCoord dy) { return inset(-dx, -dy); }
  CRect& normalize();
  CRect& makeIntegral();
  CRect& centerInside(const CRect& r);

  // Clips this rectangle to r (an empty result when they do not overlap).
  CRect& bound(const CRect& r);
  // Grows this rectangle to cover r as well; an empty rectangle contributes nothing.
  CRect& unite(const CRect& r);

  bool pointInside(const CPoint& p) const {
    return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
  }
  bool rectInside(const CRect& r) const {
    return r.left >= left && r.right <= right && r.top >= top && r.bottom <= bottom;
  }
  bool rectOverlap(const CRect& r) const {
    return right > r.left && left < r.right && bottom > r.top && top < r.bottom;
  }
  bool isEmpty() const { return right <= left || bottom <= top; }

  bool operator==(const CRect& r) const {
    return left == r.left && top == r.top && right == r.right && bottom == r.bottom;
  }
  bool operator!=(const CRect& r) const { return !(*this == r); }

  CCoord left = 0;
  CCoord top = 0;
  CCoord right = 0;
  CCoord bottom = 0;
};

}  // namespace VSTGUI
