#pragma once

#include "Frameworks/Gui/CRect.h"

namespace VSTGUI {

// An affine transform: x' = m11·x + m12·y + dx, y' = m21·x + m22·y + dy.
struct CGraphicsTransform {
  CCoord m11 = 1, m12 = 0, m21 = 0, m22 = 1, dx = 0, dy = 0;

  CGraphicsTransform() = default;
  CGraphicsTransform(CCoord a11, CCoord a12, CCoord a21, CCoord a22, CCoord tx, CCoord ty)
      : m11(a11), m12(a12), m21(a21), m22(a22), dx(tx), dy(ty) {}

  CGraphicsTransform& translate(CCoord x, CCoord y);
  CGraphicsTransform& translate(const CPoint& p) { return translate(p.x, p.y); }
  CGraphicsTransform& scale(CCoord x, CCoord y);
  // Rotation in degrees, clockwise on the y-down screen.
  CGraphicsTransform& rotate(double angle);

  CPoint& transform(CPoint& p) const;
  // Transforms the rectangle's corners (exact for translations and scales).
  CRect& transform(CRect& r) const;
  CGraphicsTransform inverse() const;
  bool isIdentity() const { return m11 == 1 && m12 == 0 && m21 == 0 && m22 == 1 && dx == 0 && dy == 0; }

  // this * t: applies t first, then this.
  CGraphicsTransform operator*(const CGraphicsTransform& t) const;
  bool operator==(const CGraphicsTransform& t) const {
    return m11 == t.m11 && m12 == t.m12 && m21 == t.m21 && m22 == t.m22 && dx == t.dx && dy == t.dy;
  }
};

}  // namespace VSTGUI
