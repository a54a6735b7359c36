#include "Frameworks/Gui/win32/GdiContext.h"

#include <algorithm>
#include <cmath>

#include "Frameworks/Gui/CBitmap.h"
#include "Frameworks/Gui/CGraphicsPath.h"
#include "platform/win32/WideText.h"
#include "Frameworks/Gui/win32/GdiFont.h"

namespace VSTGUI::Win32 {

namespace {

using Gdiplus::REAL;

CRect surfaceRectOf(const GdiBitmap& bitmap) { return CRect(CPoint(0, 0), bitmap.getSize()); }

// Degrees swept from start to end: clockwise grows the angle on screen, as GDI+ does.
REAL sweepOf(double start, double end, bool clockwise) {
  double sweep = end - start;
  if (clockwise) {
    while (sweep < 0) sweep += 360;
  } else {
    while (sweep > 0) sweep -= 360;
  }
  return static_cast<REAL>(std::clamp(sweep, -360.0, 360.0));
}

Gdiplus::RectF rectF(const CRect& rect, CCoord offset = 0) {
  return Gdiplus::RectF(static_cast<REAL>(rect.left + offset), static_cast<REAL>(rect.top + offset),
                        static_cast<REAL>(rect.getWidth()), static_cast<REAL>(rect.getHeight()));
}

Gdiplus::PointF pointF(const CPoint& point, CCoord offset = 0) {
  return Gdiplus::PointF(static_cast<REAL>(point.x + offset), static_cast<REAL>(point.y + offset));
}

}  // namespace

GdiContext::GdiContext(std::shared_ptr<GdiBitmap> bitmap)
    : COffscreenContext(surfaceRectOf(*bitmap), 1.),
      m_surfaceBitmap(bitmap),
      m_graphics(std::make_unique<Gdiplus::Graphics>(bitmap->getGdiplusBitmap())) {
  m_bitmap = makeOwned<CBitmap>(std::shared_ptr<IPlatformBitmap>(bitmap));
  m_graphics->SetCompositingQuality(Gdiplus::CompositingQualityHighSpeed);
}

GdiContext::~GdiContext() = default;

void GdiContext::begin() {
  // GDI+ centres pixel (x, y) on the point (x, y); this layer covers the square from (x, y) to
  // (x + 1, y + 1). Shifting every device coordinate by half a pixel makes the two agree, for
  // lines and fills alike.
  m_graphics->ResetTransform();
  m_graphics->TranslateTransform(-0.5f, -0.5f);
  const CRect& clip = state().clipRect;
  m_graphics->SetClip(rectF(clip));
  const CGraphicsTransform& t = state().transform;
  Gdiplus::Matrix matrix(static_cast<REAL>(t.m11), static_cast<REAL>(t.m21), static_cast<REAL>(t.m12),
                         static_cast<REAL>(t.m22), static_cast<REAL>(t.dx), static_cast<REAL>(t.dy));
  m_graphics->MultiplyTransform(&matrix, Gdiplus::MatrixOrderPrepend);
  m_graphics->SetSmoothingMode(state().drawMode.modeIgnoringIntegralMode() == kAntiAliasing
                                   ? Gdiplus::SmoothingModeAntiAlias
                                   : Gdiplus::SmoothingModeNone);
  m_graphics->SetCompositingMode(Gdiplus::CompositingModeSourceOver);
}

Gdiplus::Color GdiContext::color(const CColor& value) const {
  const double alpha = std::clamp(value.normAlpha() * state().globalAlpha, 0.0, 1.0);
  return Gdiplus::Color(static_cast<BYTE>(std::lround(alpha * 255)), value.red, value.green, value.blue);
}

std::unique_ptr<Gdiplus::Pen> GdiContext::pen() const {
  auto result = std::make_unique<Gdiplus::Pen>(color(state().frameColor), static_cast<REAL>(state().lineWidth));
  if (state().lineStyle == kLineOnOffDash) {
    // Dash lengths are in line widths: 2 on, 2 off, as on the other back end.
    const REAL dashes[] = {2.0f, 2.0f};
    result->SetDashPattern(dashes, 2);
  }
  return result;
}

CCoord GdiContext::strokeOffset() const {
  const long width = std::lround(state().lineWidth);
  return (width == state().lineWidth && (width % 2) == 1) ? 0.5 : 0.0;
}

void GdiContext::drawLine(const CPoint& start, const CPoint& end) {
  begin();
  const CCoord o = strokeOffset();
  m_graphics->DrawLine(pen().get(), pointF(start, o), pointF(end, o));
}

void GdiContext::drawPolygon(const PointList& polygon, const CDrawStyle drawStyle) {
  if (polygon.size() < 2) return;
  begin();
  auto points = [&](CCoord o) {
    std::vector<Gdiplus::PointF> list;
    for (const CPoint& p : polygon) list.push_back(pointF(p, o));
    return list;
  };
  if (drawStyle != kDrawStroked) {
    const auto fillPoints = points(0);
    Gdiplus::SolidBrush brush(color(state().fillColor));
    m_graphics->FillPolygon(&brush, fillPoints.data(), static_cast<INT>(fillPoints.size()));
  }
  if (drawStyle != kDrawFilled) {
    const auto strokePoints = points(strokeOffset());
    const auto strokePen = pen();
    if (polygon.front() == polygon.back() || drawStyle == kDrawFilledAndStroked)
      m_graphics->DrawPolygon(strokePen.get(), strokePoints.data(), static_cast<INT>(strokePoints.size()));
    else
      m_graphics->DrawLines(strokePen.get(), strokePoints.data(), static_cast<INT>(strokePoints.size()));
  }
}

void GdiContext::drawRect(const CRect& rect, const CDrawStyle drawStyle) {
  begin();
  if (drawStyle != kDrawStroked) {
    Gdiplus::SolidBrush brush(color(state().fillColor));
    m_graphics->FillRectangle(&brush, rectF(rect));
  }
  if (drawStyle != kDrawFilled) {
    // The outline lies inside the rectangle.
    const CCoord half = state().lineWidth / 2;
    m_graphics->DrawRectangle(pen().get(), static_cast<REAL>(rect.left + half), static_cast<REAL>(rect.top + half),
                              static_cast<REAL>(rect.getWidth() - 2 * half),
                              static_cast<REAL>(rect.getHeight() - 2 * half));
  }
}

void GdiContext::drawArc(const CRect& rect, const float startAngle1, const float endAngle2,
                         const CDrawStyle drawStyle) {
  if (rect.getWidth() <= 0 || rect.getHeight() <= 0) return;
  begin();
  const REAL sweep = sweepOf(startAngle1, endAngle2, true);
  if (drawStyle != kDrawStroked) {
    Gdiplus::SolidBrush brush(color(state().fillColor));
    m_graphics->FillPie(&brush, rectF(rect), startAngle1, sweep);
  }
  if (drawStyle != kDrawFilled) m_graphics->DrawArc(pen().get(), rectF(rect), startAngle1, sweep);
}

void GdiContext::drawEllipse(const CRect& rect, const CDrawStyle drawStyle) {
  if (rect.getWidth() <= 0 || rect.getHeight() <= 0) return;
  begin();
  if (drawStyle != kDrawStroked) {
    Gdiplus::SolidBrush brush(color(state().fillColor));
    m_graphics->FillEllipse(&brush, rectF(rect));
  }
  if (drawStyle != kDrawFilled) m_graphics->DrawEllipse(pen().get(), rectF(rect));
}

void GdiContext::drawPoint(const CPoint& point, const CColor& value) {
  begin();
  m_graphics->SetSmoothingMode(Gdiplus::SmoothingModeNone);
  Gdiplus::SolidBrush brush(color(value));
  m_graphics->FillRectangle(&brush, static_cast<REAL>(std::floor(point.x)), static_cast<REAL>(std::floor(point.y)),
                            1.0f, 1.0f);
}

void GdiContext::clearRect(const CRect& rect) {
  begin();
  m_graphics->SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
  m_graphics->SetSmoothingMode(Gdiplus::SmoothingModeNone);
  Gdiplus::SolidBrush clear(Gdiplus::Color(0, 0, 0, 0));
  m_graphics->FillRectangle(&clear, rectF(rect));
  m_graphics->SetCompositingMode(Gdiplus::CompositingModeSourceOver);
}

void GdiContext::drawBitmap(CBitmap* bitmap, const CRect& dest, const CPoint& offset, float alpha) {
  if (!bitmap) return;
  auto* source = dynamic_cast<GdiBitmap*>(bitmap->getPlatformBitmap());
  if (!source) return;
  begin();
  m_graphics->IntersectClip(rectF(dest));
  m_graphics->SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
  const CPoint size = source->getSize();
  const Gdiplus::RectF target(static_cast<REAL>(dest.left - offset.x), static_cast<REAL>(dest.top - offset.y),
                              static_cast<REAL>(size.x), static_cast<REAL>(size.y));
  const REAL opacity = static_cast<REAL>(std::clamp(alpha * state().globalAlpha, 0.0f, 1.0f));
  if (opacity >= 1.0f) {
    m_graphics->DrawImage(source->getGdiplusBitmap(), target, 0, 0, static_cast<REAL>(size.x),
                          static_cast<REAL>(size.y), Gdiplus::UnitPixel);
  } else {
    Gdiplus::ColorMatrix matrix = {{{1, 0, 0, 0, 0}, {0, 1, 0, 0, 0}, {0, 0, 1, 0, 0}, {0, 0, 0, opacity, 0},
                                    {0, 0, 0, 0, 1}}};
    Gdiplus::ImageAttributes attributes;
    attributes.SetColorMatrix(&matrix);
    m_graphics->DrawImage(source->getGdiplusBitmap(), target, 0, 0, static_cast<REAL>(size.x),
                          static_cast<REAL>(size.y), Gdiplus::UnitPixel, &attributes);
  }
}

void GdiContext::drawGraphicsPath(CGraphicsPath* path, PathDrawMode mode, CGraphicsTransform* transformation) {
  if (!path) return;
  begin();
  if (transformation) {
    Gdiplus::Matrix matrix(static_cast<REAL>(transformation->m11), static_cast<REAL>(transformation->m21),
                           static_cast<REAL>(transformation->m12), static_cast<REAL>(transformation->m22),
                           static_cast<REAL>(transformation->dx), static_cast<REAL>(transformation->dy));
    m_graphics->MultiplyTransform(&matrix);
  }
  const CCoord o = mode == kPathStroked ? strokeOffset() : 0;
  Gdiplus::GraphicsPath gdiPath(mode == kPathFilledEvenOdd ? Gdiplus::FillModeAlternate : Gdiplus::FillModeWinding);
  using Type = CGraphicsPath::Element::Type;
  Gdiplus::PointF current(0, 0);
  for (const auto& e : path->getElements()) {
    switch (e.type) {
      case Type::kBeginSubpath:
        gdiPath.StartFigure();
        current = pointF(e.p1, o);
        break;
      case Type::kLine: {
        const Gdiplus::PointF to = pointF(e.p1, o);
        gdiPath.AddLine(current, to);
        current = to;
        break;
      }
      case Type::kBezier: {
        const Gdiplus::PointF end = pointF(e.p3, o);
        gdiPath.AddBezier(current, pointF(e.p1, o), pointF(e.p2, o), end);
        current = end;
        break;
      }
      case Type::kArc: {
        CRect r = e.rect;
        r.offset(o, o);
        if (r.getWidth() > 0 && r.getHeight() > 0) {
          gdiPath.AddArc(rectF(r), static_cast<REAL>(e.startAngle), sweepOf(e.startAngle, e.endAngle, e.clockwise));
          gdiPath.GetLastPoint(&current);
        }
        break;
      }
      case Type::kEllipse: {
        CRect r = e.rect;
        r.offset(o, o);
        gdiPath.StartFigure();
        gdiPath.AddEllipse(rectF(r));
        break;
      }
      case Type::kRect: {
        CRect r = e.rect;
        r.offset(o, o);
        gdiPath.StartFigure();
        gdiPath.AddRectangle(rectF(r));
        break;
      }
      case Type::kClose:
        gdiPath.CloseFigure();
        break;
    }
  }
  if (mode == kPathStroked) {
    m_graphics->DrawPath(pen().get(), &gdiPath);
  } else {
    Gdiplus::SolidBrush brush(color(state().fillColor));
    m_graphics->FillPath(&brush, &gdiPath);
  }
}

void GdiContext::drawString(UTF8StringPtr string, const CRect& rect, const CHoriTxtAlign hAlign, bool antialias) {
  if (!string || !*string) return;
  CFontRef font = state().font ? state().font.get() : kSystemFont;
  IPlatformFont* platformFont = font->getPlatformFont();
  if (!platformFont) return;
  const CCoord width = platformFont->getStringWidth(string);
  CCoord x = rect.left;
  if (hAlign == kCenterText)
    x = rect.left + (rect.getWidth() - width) / 2;
  else if (hAlign == kRightText)
    x = rect.right - width;
  // The line's ascent-to-descent box is centred vertically in the rectangle.
  const CCoord baseline =
      rect.top + rect.getHeight() / 2 + (platformFont->getAscent() - platformFont->getDescent()) / 2;
  drawString(string, CPoint(std::round(x), std::round(baseline)), antialias);
}

void GdiContext::drawString(UTF8StringPtr string, const CPoint& point, bool antialias) {
  if (!string || !*string) return;
  CFontRef font = state().font ? state().font.get() : kSystemFont;
  auto* platformFont = dynamic_cast<GdiFont*>(font->getPlatformFont());
  if (!platformFont || !platformFont->isValid()) return;
  begin();
  m_graphics->SetTextRenderingHint(antialias ? Gdiplus::TextRenderingHintAntiAlias
                                             : Gdiplus::TextRenderingHintSingleBitPerPixel);
  const std::wstring wide = platform::win32::widen(string);
  Gdiplus::SolidBrush brush(color(state().fontColor));
  // GDI+ places the top of the line's cell; the caller gives its baseline.
  const Gdiplus::PointF origin(static_cast<REAL>(point.x), static_cast<REAL>(point.y - platformFont->getAscent()));
  m_graphics->DrawString(wide.c_str(), static_cast<INT>(wide.size()), platformFont->getGdiplusFont(), origin,
                         &GdiFont::layout(), &brush);
}

void GdiContext::endDraw() {
  m_graphics->Flush(Gdiplus::FlushIntentionSync);
  m_surfaceBitmap->flush();
}

CCoord GdiContext::getStringWidth(UTF8StringPtr string) {
  CFontRef font = state().font ? state().font.get() : kSystemFont;
  IPlatformFont* platformFont = font->getPlatformFont();
  return platformFont ? platformFont->getStringWidth(string) : 0;
}

}  // namespace VSTGUI::Win32
