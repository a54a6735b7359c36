#pragma once

#include <algorithm>
#include <initializer_list>
#include <string>

#include "Frameworks/Gui/CDrawContext.h"
#include "Frameworks/Gui/CGraphicsPath.h"
#include "Frameworks/Gui/Platform.h"

namespace skarvel::toolbar_drawing {

// The look shared by the toolbar's dialogs: a dark panel with a thin light frame line inset
// from its edge, text buttons as rounded boxes.
inline constexpr VSTGUI::CColor kBackdrop{0, 0, 0, 110};
inline constexpr VSTGUI::CColor kPanel{53, 53, 53, 255};
inline constexpr VSTGUI::CColor kFrameLine{150, 150, 156, 255};
inline constexpr VSTGUI::CColor kText{215, 215, 228, 255};
inline constexpr VSTGUI::CColor kDimText{162, 162, 162, 255};
inline constexpr VSTGUI::CColor kButton{74, 74, 80, 255};
inline constexpr VSTGUI::CColor kButtonHover{96, 96, 104, 255};
inline constexpr VSTGUI::CColor kLink{120, 180, 255, 255};

// How much bigger than at the 1.0 size the dialogs draw: the toolbar hands them its label font,
// whose size is 16 at 1.0 and grows with the window.
inline double scaleOf(const VSTGUI::CFontDesc* font) {
  return font && font->getSize() > 0 ? font->getSize() / 16.0 : 1.0;
}

// The frame line of a dialog: inset by 2.3 x 4 % of the width and 3.9 x 4 % of the height.
inline VSTGUI::CRect frameLineRect(const VSTGUI::CRect& r) {
  VSTGUI::CRect inner = r;
  inner.inset(r.getWidth() * 2.3 * 0.04, r.getHeight() * 3.9 * 0.04);
  return inner;
}

inline void roundRect(VSTGUI::CDrawContext* context, const VSTGUI::CRect& r, double radius,
                      VSTGUI::CDrawContext::PathDrawMode mode) {
  auto path = VSTGUI::owned(context->createGraphicsPath());
  path->addRoundRect(r, radius);
  context->drawGraphicsPath(path, mode);
}

inline void fillRoundRect(VSTGUI::CDrawContext* context, const VSTGUI::CRect& r, double radius,
                          VSTGUI::CColor colour) {
  context->setFillColor(colour);
  roundRect(context, r, radius, VSTGUI::CDrawContext::kPathFilled);
}

inline void strokeRoundRect(VSTGUI::CDrawContext* context, const VSTGUI::CRect& r, double radius,
                            VSTGUI::CColor colour, double width) {
  context->setFrameColor(colour);
  context->setLineWidth(width);
  roundRect(context, r, radius, VSTGUI::CDrawContext::kPathStroked);
}

// A dialog panel filling r, with its frame line.
inline void drawPanel(VSTGUI::CDrawContext* context, const VSTGUI::CRect& r, double lineWidth = 2) {
  context->setDrawMode(VSTGUI::kAntiAliasing);
  fillRoundRect(context, r, 8, kPanel);
  strokeRoundRect(context, frameLineRect(r), 5, kFrameLine, lineWidth);
}

// A text button: a rounded box with its caption centred.
inline void drawButton(VSTGUI::CDrawContext* context, const VSTGUI::CRect& r, const std::string& caption,
                       VSTGUI::CFontDesc* font, double fontSize, bool hovered) {
  context->setDrawMode(VSTGUI::kAntiAliasing);
  fillRoundRect(context, r, std::min(6.0, r.getHeight() / 3), hovered ? kButtonHover : kButton);
  context->setFont(font, fontSize);
  context->setFontColor(kText);
  context->drawString(caption, r, VSTGUI::kCenterText, true);
}

// Scales `wanted` down by the proportion the text is too wide, then measures again: a back end
// that draws whole-pixel sizes only (GDI+ under wine rounds to the nearest) can draw the scaled
// size wider than the proportion promises, so the size keeps stepping down until the text fits.
// `measure` gives the text's width at a size; 6 is the smallest size.
template <typename Measure>
double shrinkToFit(const Measure& measure, double wanted, double width) {
  double measured = measure(wanted);
  if (measured <= width || measured <= 0) return wanted;
  double size = std::max(6.0, wanted * width / measured);
  for (int step = 0; step < 16 && size > 6.0; ++step) {
    measured = measure(size);
    if (measured <= width + 0.5 || measured <= 0) break;
    size = std::max(6.0, std::min(size * width / measured, size - 0.25));
  }
  return size;
}

// The largest size up to `wanted` at which every text fits into `width` in font `name`,
// measured without a draw context (for views that size their font before drawing).
inline double fittingFontSize(const std::string& name, std::initializer_list<const char*> texts, double wanted,
                              double width) {
  auto widest = [&](double size) {
    auto probe = VSTGUI::makeOwned<VSTGUI::CFontDesc>(name, size);
    const VSTGUI::IPlatformFont* font = probe->getPlatformFont();
    double widest = 0;
    if (font)
      for (const char* text : texts) widest = std::max(widest, font->getStringWidth(text));
    return widest;
  };
  return shrinkToFit(widest, wanted, width);
}

// The largest font size up to `wanted` at which `text` fits into `width` with `font`.
inline double fittingFontSize(VSTGUI::CDrawContext* context, VSTGUI::CFontDesc* font, const std::string& text,
                              double wanted, double width) {
  auto measured = [&](double size) {
    context->setFont(font, size);
    return context->getStringWidth(text);
  };
  return shrinkToFit(measured, wanted, width);
}

}  // namespace skarvel::toolbar_drawing
