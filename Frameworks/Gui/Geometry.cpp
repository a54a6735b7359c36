// CPoint, CRect and CGraphicsTransform.
#include <algorithm>
#include <cmath>

#include "Frameworks/Gui/CGraphicsTransform.h"

namespace VSTGUI {

CPoint& CPoint::makeIntegral() {
  x = std::floor(x + 0.5);
  y = std::floor(y + 0.5);
  return *this;
}

CRect& CRect::setTopLeft(const CPoint& p) {
  left = p.x;
  top = p.y;
  return *this;
}

CRect& CRect::setSize(const CPoint& size) {
  right = left + size.x;
  bottom = top + size.y;
  return *this;
}

CRect& CRect::offset(CCoord dx, CCoord dy) {
  left += dx;
  right += dx;
  top += dy;
  bottom += dy;
  return *this;
}

CRect& CRect::moveTo(CCoord x, CCoord y) { return offset(x - left, y - top); }

CRect& CRect::inset(CCoord dx, CCoord dy) {
  left += dx;
  right -= dx;
  top += dy;
  bottom -= dy;
  return *this;
}

CRect& CRect::normalize() {
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  return *this;
}

CRect& CRect::makeIntegral() {
  left = std::floor(left + 0.5);
  top = std::floor(top + 0.5);
  right = std::floor(right + 0.5);
  bottom = std::floor(bottom + 0.5);
  return *this;
}

CRect& CRect::centerInside(const CRect& r) {
  const CPoint center = r.getCenter();
  return moveTo(center.x - getWidth() / 2, center.y - getHeight() / 2);
}

CRect& CRect::bound(const CRect& r) {
  left = std::max(left, r.left);
  top = std::max(top, r.top);
  right = std::min(right, r.right);
  bottom = std::min(bottom, r.bottom);
  if (right < left) right = left;
  if (bottom < top) bottom = top;
  return *this;
}

CRect& CRect::unite(const CRect& r) {
  if (r.isEmpty()) return *this;
  if (isEmpty()) return *this = r;
  left = std::min(left, r.left);
  top = std::min(top, r.top);
  right = std::max(right, r.right);
  bottom = std::max(bottom, r.bottom);
  return *this;
}

CGraphicsTransform& CGraphicsTransform::translate(CCoord x, CCoord y) {
  *this = CGraphicsTransform(1, 0, 0, 1, x, y) * *this;
  return *this;
}

CGraphicsTransform& CGraphicsTransform::scale(CCoord x, CCoord y) {
  *this = CGraphicsTransform(x, 0, 0, y, 0, 0) * *this;
  return *this;
}

CGraphicsTransform& CGraphicsTransform::rotate(double angle) {
  const double radians = angle * M_PI / 180.0;
  const double c = std::cos(radians), s = std::sin(radians);
  *this = CGraphicsTransform(c, -s, s, c, 0, 0) * *this;
  return *this;
}

CPoint& CGraphicsTransform::transform(CPoint& p) const {
  const CCoord x = m11 * p.x + m12 * p.y + dx;
  const CCoord y = m21 * p.x + m22 * p.y + dy;
  p.x = x;
  p.y = y;
  return p;
}

CRect& CGraphicsTransform::transform(CRect& r) const {
  CPoint a(r.left, r.top), b(r.right, r.bottom);
  transform(a);
  transform(b);
  r = CRect(a.x, a.y, b.x, b.y);
  return r.normalize();
}

CGraphicsTransform CGraphicsTransform::inverse() const {
  const double det = m11 * m22 - m12 * m21;
  if (det == 0) return {};
  CGraphicsTransform t(m22 / det, -m12 / det, -m21 / det, m11 / det, 0, 0);
  t.dx = -(t.m11 * dx + t.m12 * dy);
  t.dy = -(t.m21 * dx + t.m22 * dy);
  return t;
}

CGraphicsTransform CGraphicsTransform::operator*(const CGraphicsTransform& t) const {
  return CGraphicsTransform(m11 * t.m11 + m12 * t.m21, m11 * t.m12 + m12 * t.m22, m21 * t.m11 + m22 * t.m21,
                            m21 * t.m12 + m22 * t.m22, m11 * t.dx + m12 * t.dy + dx, m21 * t.dx + m22 * t.dy + dy);
}

}  // namespace VSTGUI
