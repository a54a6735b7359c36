#pragma once

#include <cairo.h>

#include <memory>

#include "Frameworks/Gui/CDrawContext.h"
#include "Frameworks/Gui/x11/CairoBitmap.h"

namespace VSTGUI::X11 {

// The cairo implementation of the drawing primitives, on an image surface.
class CairoContext : public COffscreenContext {
 public:
  explicit CairoContext(std::shared_ptr<CairoBitmap> bitmap);
  ~CairoContext() override;

  void drawLine(const CPoint& start, const CPoint& end) override;
  void drawPolygon(const PointList& polygon, const CDrawStyle drawStyle = kDrawStroked) override;
  void drawRect(const CRect& rect, const CDrawStyle drawStyle = kDrawStroked) override;
  void drawArc(const CRect& rect, const float startAngle1, const float endAngle2,
               const CDrawStyle drawStyle = kDrawStroked) override;
  void drawEllipse(const CRect& rect, const CDrawStyle drawStyle = kDrawStroked) override;
  void drawPoint(const CPoint& point, const CColor& color) override;
  void clearRect(const CRect& rect) override;
  void drawBitmap(CBitmap* bitmap, const CRect& dest, const CPoint& offset = CPoint(0, 0),
                  float alpha = 1.f) override;
  void drawGraphicsPath(CGraphicsPath* path, PathDrawMode mode = kPathFilled,
                        CGraphicsTransform* transformation = nullptr) override;
  void drawString(UTF8StringPtr string, const CRect& rect, const CHoriTxtAlign hAlign = kCenterText,
                  bool antialias = true) override;
  void drawString(UTF8StringPtr string, const CPoint& point, bool antialias = true) override;
  CCoord getStringWidth(UTF8StringPtr string) override;
  void endDraw() override;

  cairo_t* getCairo() const { return m_cr; }

 private:
  // Opens one drawing call: state saved, clip and transform applied, anti-aliasing set.
  void begin();
  void end();
  void setSourceColor(const CColor& color);
  void applyStroke();
  // Half-pixel shift that puts odd-width strokes on pixel centres.
  CCoord strokeOffset() const;
  bool setupFont(bool antialias);

  std::shared_ptr<CairoBitmap> m_surfaceBitmap;
  cairo_t* m_cr;
};

}  // namespace VSTGUI::X11
