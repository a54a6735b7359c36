#pragma once

#include <vector>

#include "Frameworks/Gui/CBaseObject.h"
#include "Frameworks/Gui/CGraphicsTransform.h"

namespace VSTGUI {

// A path of lines, arcs, curves and closed figures, recorded in a back-end neutral form and
// drawn with CDrawContext::drawGraphicsPath. Create it with CDrawContext::createGraphicsPath
// (or directly).
class CGraphicsPath : public CBaseObject {
 public:
  struct Element {
    enum class Type { kBeginSubpath, kLine, kBezier, kArc, kEllipse, kRect, kClose };
    Type type;
    CPoint p1, p2, p3;  // points: line end / begin point; bezier controls and end
    CRect rect;         // arc, ellipse and rectangle box
    double startAngle = 0;  // degrees, 0 = 3 o'clock, clockwise on screen
    double endAngle = 0;
    bool clockwise = true;
  };

  void beginSubpath(const CPoint& start);
  void addLine(const CPoint& to);
  void addBezierCurve(const CPoint& control1, const CPoint& control2, const CPoint& end);
  void addArc(const CRect& rect, double startAngle, double endAngle, bool clockwise);
  void addEllipse(const CRect& rect);
  void addRect(const CRect& rect);
  void addRoundRect(const CRect& rect, CCoord radius);
  void closeSubpath();
  void clear() { m_elements.clear(); }

  const std::vector<Element>& getElements() const { return m_elements; }
  // The box covering every recorded point and shape (control points included).
  CRect getBoundingBox() const;

 private:
  std::vector<Element> m_elements;
};

}  // namespace VSTGUI
