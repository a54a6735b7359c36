#include "Frameworks/Gui/x11/CairoContext.h"

#include <cmath>

#include "Frameworks/Gui/CBitmap.h"
#include "Frameworks/Gui/CGraphicsPath.h"
#include "Frameworks/Gui/x11/CairoFont.h"

namespace VSTGUI::X11 {

namespace {
constexpr double kDegrees = M_PI / 180.0;

CRect surfaceRectOf(const CairoBitmap& bitmap) { return CRect(CPoint(0, 0), bitmap.getSize()); }

// Adds an elliptical arc inscribed in rect (degrees, clockwise on screen) to the path.
void addEllipticArc(cairo_t* cr, const CRect& rect, double start, double end, bool clockwise, bool newSubpath) {
  if (rect.getWidth() <= 0 || rect.getHeight() <= 0) return;
  cairo_save(cr);
  cairo_translate(cr, rect.left + rect.getWidth() / 2, rect.top + rect.getHeight() / 2);
  cairo_scale(cr, rect.getWidth() / 2, rect.getHeight() / 2);
  if (newSubpath) cairo_new_sub_path(cr);
  if (clockwise)
    cairo_arc(cr, 0, 0, 1, start * kDegrees, end * kDegrees);
  else
    cairo_arc_negative(cr, 0, 0, 1, start * kDegrees, end * kDegrees);
  cairo_restore(cr);
}
}  // namespace

CairoContext::CairoContext(std::shared_ptr<CairoBitmap> bitmap)
    : COffscreenContext(surfaceRectOf(*bitmap), 1.), m_surfaceBitmap(bitmap), m_cr(cairo_create(bitmap->getSurface())) {
  m_bitmap = makeOwned<CBitmap>(std::shared_ptr<IPlatformBitmap>(bitmap));
}

CairoContext::~CairoContext() { cairo_destroy(m_cr); }

void CairoContext::begin() {
  cairo_save(m_cr);
  cairo_identity_matrix(m_cr);
  const CRect& clip = state().clipRect;
  cairo_rectangle(m_cr, clip.left, clip.top, clip.getWidth(), clip.getHeight());
  cairo_clip(m_cr);
  const CGraphicsTransform& t = state().transform;
  cairo_matrix_t matrix;
  cairo_matrix_init(&matrix, t.m11, t.m21, t.m12, t.m22, t.dx, t.dy);
  cairo_set_matrix(m_cr, &matrix);
  cairo_set_antialias(m_cr, state().drawMode.modeIgnoringIntegralMode() == kAntiAliasing ? CAIRO_ANTIALIAS_DEFAULT
                                                                                         : CAIRO_ANTIALIAS_NONE);
}

void CairoContext::end() { cairo_restore(m_cr); }

void CairoContext::setSourceColor(const CColor& color) {
  cairo_set_source_rgba(m_cr, color.normRed(), color.normGreen(), color.normBlue(),
                        color.normAlpha() * state().globalAlpha);
}

void CairoContext::applyStroke() {
  cairo_set_line_width(m_cr, state().lineWidth);
  if (state().lineStyle == kLineOnOffDash) {
    const double dashes[] = {state().lineWidth * 2, state().lineWidth * 2};
    cairo_set_dash(m_cr, dashes, 2, 0);
  } else {
    cairo_set_dash(m_cr, nullptr, 0, 0);
  }
  setSourceColor(state().frameColor);
}

CCoord CairoContext::strokeOffset() const {
  const long width = std::lround(state().lineWidth);
  return (width == state().lineWidth && (width % 2) == 1) ? 0.5 : 0.0;
}

void CairoContext::drawLine(const CPoint& start, const CPoint& end) {
  begin();
  const CCoord o = strokeOffset();
  cairo_move_to(m_cr, start.x + o, start.y + o);
  cairo_line_to(m_cr, end.x + o, end.y + o);
  applyStroke();
  cairo_stroke(m_cr);
  this->end();
}

void CairoContext::drawPolygon(const PointList& polygon, const CDrawStyle drawStyle) {
  if (polygon.size() < 2) return;
  begin();
  auto tracePath = [&](CCoord o) {
    cairo_new_path(m_cr);
    cairo_move_to(m_cr, polygon[0].x + o, polygon[0].y + o);
    for (size_t i = 1; i < polygon.size(); ++i) cairo_line_to(m_cr, polygon[i].x + o, polygon[i].y + o);
  };
  if (drawStyle != kDrawStroked) {
    tracePath(0);
    cairo_close_path(m_cr);
    setSourceColor(state().fillColor);
    cairo_fill(m_cr);
  }
  if (drawStyle != kDrawFilled) {
    tracePath(strokeOffset());
    if (polygon.front() == polygon.back() || drawStyle == kDrawFilledAndStroked) cairo_close_path(m_cr);
    applyStroke();
    cairo_stroke(m_cr);
  }
  end();
}

void CairoContext::drawRect(const CRect& rect, const CDrawStyle drawStyle) {
  begin();
  if (drawStyle != kDrawStroked) {
    cairo_rectangle(m_cr, rect.left, rect.top, rect.getWidth(), rect.getHeight());
    setSourceColor(state().fillColor);
    cairo_fill(m_cr);
  }
  if (drawStyle != kDrawFilled) {
    // The outline lies inside the rectangle.
    const CCoord half = state().lineWidth / 2;
    cairo_rectangle(m_cr, rect.left + half, rect.top + half, rect.getWidth() - 2 * half, rect.getHeight() - 2 * half);
    applyStroke();
    cairo_stroke(m_cr);
  }
  end();
}

void CairoContext::drawArc(const CRect& rect, const float startAngle1, const float endAngle2,
                           const CDrawStyle drawStyle) {
  begin();
  if (drawStyle != kDrawStroked) {
    // Filled: a pie slice from the centre.
    cairo_new_path(m_cr);
    cairo_move_to(m_cr, rect.getCenter().x, rect.getCenter().y);
    addEllipticArc(m_cr, rect, startAngle1, endAngle2, true, false);
    cairo_close_path(m_cr);
    setSourceColor(state().fillColor);
    cairo_fill(m_cr);
  }
  if (drawStyle != kDrawFilled) {
    cairo_new_path(m_cr);
    addEllipticArc(m_cr, rect, startAngle1, endAngle2, true, true);
    applyStroke();
    cairo_stroke(m_cr);
  }
  end();
}

void CairoContext::drawEllipse(const CRect& rect, const CDrawStyle drawStyle) {
  begin();
  if (drawStyle != kDrawStroked) {
    cairo_new_path(m_cr);
    addEllipticArc(m_cr, rect, 0, 360, true, true);
    cairo_close_path(m_cr);
    setSourceColor(state().fillColor);
    cairo_fill(m_cr);
  }
  if (drawStyle != kDrawFilled) {
    cairo_new_path(m_cr);
    addEllipticArc(m_cr, rect, 0, 360, true, true);
    cairo_close_path(m_cr);
    applyStroke();
    cairo_stroke(m_cr);
  }
  end();
}

void CairoContext::drawPoint(const CPoint& point, const CColor& color) {
  begin();
  cairo_set_antialias(m_cr, CAIRO_ANTIALIAS_NONE);
  cairo_rectangle(m_cr, std::floor(point.x), std::floor(point.y), 1, 1);
  setSourceColor(color);
  cairo_fill(m_cr);
  end();
}

void CairoContext::clearRect(const CRect& rect) {
  begin();
  cairo_set_operator(m_cr, CAIRO_OPERATOR_CLEAR);
  cairo_rectangle(m_cr, rect.left, rect.top, rect.getWidth(), rect.getHeight());
  cairo_fill(m_cr);
  end();
}

void CairoContext::drawBitmap(CBitmap* bitmap, const CRect& dest, const CPoint& offset, float alpha) {
  if (!bitmap) return;
  auto* source = dynamic_cast<CairoBitmap*>(bitmap->getPlatformBitmap());
  if (!source) return;
  begin();
  cairo_surface_flush(source->getSurface());
  cairo_rectangle(m_cr, dest.left, dest.top, dest.getWidth(), dest.getHeight());
  cairo_clip(m_cr);
  cairo_set_source_surface(m_cr, source->getSurface(), dest.left - offset.x, dest.top - offset.y);
  cairo_pattern_set_filter(cairo_get_source(m_cr), CAIRO_FILTER_NEAREST);
  cairo_paint_with_alpha(m_cr, alpha * state().globalAlpha);
  end();
}

void CairoContext::drawGraphicsPath(CGraphicsPath* path, PathDrawMode mode, CGraphicsTransform* transformation) {
  if (!path) return;
  begin();
  if (transformation) {
    cairo_matrix_t matrix;
    cairo_matrix_init(&matrix, transformation->m11, transformation->m21, transformation->m12, transformation->m22,
                      transformation->dx, transformation->dy);
    cairo_transform(m_cr, &matrix);
  }
  const CCoord o = mode == kPathStroked ? strokeOffset() : 0;
  cairo_new_path(m_cr);
  using Type = CGraphicsPath::Element::Type;
  for (const auto& e : path->getElements()) {
    switch (e.type) {
      case Type::kBeginSubpath: cairo_move_to(m_cr, e.p1.x + o, e.p1.y + o); break;
      case Type::kLine: cairo_line_to(m_cr, e.p1.x + o, e.p1.y + o); break;
      case Type::kBezier:
        cairo_curve_to(m_cr, e.p1.x + o, e.p1.y + o, e.p2.x + o, e.p2.y + o, e.p3.x + o, e.p3.y + o);
        break;
      case Type::kArc: {
        CRect r = e.rect;
        r.offset(o, o);
        addEllipticArc(m_cr, r, e.startAngle, e.endAngle, e.clockwise, false);
        break;
      }
      case Type::kEllipse: {
        CRect r = e.rect;
        r.offset(o, o);
        addEllipticArc(m_cr, r, 0, 360, true, true);
        cairo_close_path(m_cr);
        break;
      }
      case Type::kRect:
        cairo_rectangle(m_cr, e.rect.left + o, e.rect.top + o, e.rect.getWidth(), e.rect.getHeight());
        break;
      case Type::kClose: cairo_close_path(m_cr); break;
    }
  }
  if (mode == kPathStroked) {
    applyStroke();
    cairo_stroke(m_cr);
  } else {
    cairo_set_fill_rule(m_cr, mode == kPathFilledEvenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
    setSourceColor(state().fillColor);
    cairo_fill(m_cr);
  }
  end();
}

bool CairoContext::setupFont(bool antialias) {
  CFontRef font = state().font ? state().font.get() : kSystemFont;
  auto* platformFont = dynamic_cast<CairoFont*>(font->getPlatformFont());
  if (!platformFont) return false;
  cairo_set_scaled_font(m_cr, platformFont->getScaledFont());
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_antialias(options, antialias ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_NONE);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  cairo_set_font_options(m_cr, options);
  cairo_font_options_destroy(options);
  setSourceColor(state().fontColor);
  return true;
}

void CairoContext::drawString(UTF8StringPtr string, const CRect& rect, const CHoriTxtAlign hAlign, bool antialias) {
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

void CairoContext::drawString(UTF8StringPtr string, const CPoint& point, bool antialias) {
  if (!string || !*string) return;
  begin();
  if (setupFont(antialias)) {
    cairo_move_to(m_cr, point.x, point.y);
    cairo_show_text(m_cr, string);
  }
  end();
}

CCoord CairoContext::getStringWidth(UTF8StringPtr string) {
  CFontRef font = state().font ? state().font.get() : kSystemFont;
  IPlatformFont* platformFont = font->getPlatformFont();
  return platformFont ? platformFont->getStringWidth(string) : 0;
}

void CairoContext::endDraw() { cairo_surface_flush(m_surfaceBitmap->getSurface()); }

}  // namespace VSTGUI::X11
