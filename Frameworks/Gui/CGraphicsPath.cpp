#include "Frameworks/Gui/CGraphicsPath.h"

#include <algorithm>

namespace VSTGUI {

void CGraphicsPath::beginSubpath(const CPoint& start) {
  Element e{Element::Type::kBeginSubpath, start, {}, {}, {}};
  m_elements.push_back(e);
}

void CGraphicsPath::addLine(const CPoint& to) {
  Element e{Element::Type::kLine, to, {}, {}, {}};
  m_elements.push_back(e);
}

void CGraphicsPath::addBezierCurve(const CPoint& control1, const CPoint& control2, const CPoint& end) {
  Element e{Element::Type::kBezier, control1, control2, end, {}};
  m_elements.push_back(e);
}

void CGraphicsPath::addArc(const CRect& rect, double startAngle, double endAngle, bool clockwise) {
  Element e{Element::Type::kArc, {}, {}, {}, rect};
  e.startAngle = startAngle;
  e.endAngle = endAngle;
  e.clockwise = clockwise;
  m_elements.push_back(e);
}

void CGraphicsPath::addEllipse(const CRect& rect) {
  Element e{Element::Type::kEllipse, {}, {}, {}, rect};
  m_elements.push_back(e);
}

void CGraphicsPath::addRect(const CRect& rect) {
  Element e{Element::Type::kRect, {}, {}, {}, rect};
  m_elements.push_back(e);
}

void CGraphicsPath::addRoundRect(const CRect& rect, CCoord radius) {
  radius = std::min({radius, rect.getWidth() / 2, rect.getHeight() / 2});
  if (radius <= 0) {
    addRect(rect);
    return;
  }
  const CCoord d = radius * 2;
  beginSubpath(CPoint(rect.left + radius, rect.top));
  addArc(CRect(rect.right - d, rect.top, rect.right, rect.top + d), 270, 360, true);
  addArc(CRect(rect.right - d, rect.bottom - d, rect.right, rect.bottom), 0, 90, true);
  addArc(CRect(rect.left, rect.bottom - d, rect.left + d, rect.bottom), 90, 180, true);
  addArc(CRect(rect.left, rect.top, rect.left + d, rect.top + d), 180, 270, true);
  closeSubpath();
}

void CGraphicsPath::closeSubpath() {
  Element e{Element::Type::kClose, {}, {}, {}, {}};
  m_elements.push_back(e);
}

CRect CGraphicsPath::getBoundingBox() const {
  CRect box;
  bool first = true;
  auto addPoint = [&](const CPoint& p) {
    const CRect r(p.x, p.y, p.x, p.y);
    if (first) {
      box = r;
      first = false;
    } else {
      box.left = std::min(box.left, p.x);
      box.top = std::min(box.top, p.y);
      box.right = std::max(box.right, p.x);
      box.bottom = std::max(box.bottom, p.y);
    }
  };
  for (const Element& e : m_elements) {
    switch (e.type) {
      case Element::Type::kBeginSubpath:
      case Element::Type::kLine: addPoint(e.p1); break;
      case Element::Type::kBezier:
        addPoint(e.p1);
        addPoint(e.p2);
        addPoint(e.p3);
        break;
      case Element::Type::kArc:
      case Element::Type::kEllipse:
      case Element::Type::kRect:
        addPoint(e.rect.getTopLeft());
        addPoint(e.rect.getBottomRight());
        break;
      case Element::Type::kClose: break;
    }
  }
  return box;
}

}  // namespace VSTGUI
