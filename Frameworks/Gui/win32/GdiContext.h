#pragma once

#include <windows.h>

#include <gdiplus.h>

#include <memory>

#include "Frameworks/Gui/CDrawContext.h"
#include "Frameworks/Gui/win32/GdiBitmap.h"

namespace VSTGUI::Win32 {

// The GDI+ implementation of the drawing primitives, on a bitmap in memory. Pixel (x, y)
// covers the square from (x, y) to (x + 1, y + 1), as on every back end.
class GdiContext : public COffscreenContext {
 public:
  explicit GdiContext(std::shared_ptr<GdiBitmap> bitmap);
  ~GdiContext() override;

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

 private:
  // Sets clip, transform and smoothing for one drawing call.
  void begin();
  Gdiplus::Color color(const CColor& value) const;
  std::unique_ptr<Gdiplus::Pen> pen() const;
  // Half-pixel shift that puts odd-width strokes on pixel centres.
  CCoord strokeOffset() const;

  std::shared_ptr<GdiBitmap> m_surfaceBitmap;
  std::unique_ptr<Gdiplus::Graphics> m_graphics;
};

}  // namespace VSTGUI::Win32
