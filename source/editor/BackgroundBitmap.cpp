#include "source/editor/BackgroundBitmap.h"

#include <algorithm>
#include <cmath>

#include "Frameworks/Gui/CFrame.h"
#include "Frameworks/Gui/CGraphicsPath.h"
#include "platform/DataFolders.h"
#include "platform/Notice.h"
#include "source/editor/ColourGroups.h"

namespace skarvel {

using VSTGUI::CColor;
using VSTGUI::CDrawContext;
using VSTGUI::CPoint;
using VSTGUI::CRect;

namespace {
// The toolbar strip's own colours (the same in every theme).
constexpr CColor kStripTop{45, 45, 45};
constexpr CColor kStripBottom{29, 29, 32};
constexpr CColor kStripLine{111, 111, 111};
constexpr CColor kNameBox{12, 12, 12};
constexpr CColor kStripBox{32, 32, 32};
constexpr CColor kStripBoxFrame{72, 72, 72};
constexpr CColor kStripText{192, 192, 192};
constexpr CColor kStripMarker{150, 150, 150};
constexpr CColor kStripIcon{162, 162, 162};

// Panels of the window (base units): oscillators, resonator and keytracking, the two envelopes,
// the scope and meters, the filters and reverb, the output, and the help / envelope display.
constexpr std::array<CRect, 7> kPanels{{
    {6, 56, 358, 227},
    {6, 233, 358, 416},
    {366, 56, 518, 416},
    {524, 56, 856, 163},
    {524, 167, 710, 319},
    {714, 167, 856, 319},
    {524, 323, 856, 416},
}};
// The envelope panel is split between the ADSR and the ADSR2 controls.
constexpr double kEnvelopeDividerY = 258;

// Pairs of controls joined by a line through their centres.
constexpr std::array<std::pair<int, int>, 6> kConnections{{
    {kRate1, kLevel}, {kLevel, kSmooth}, {kSmooth, kRate2}, {kDryWet, kResoAmnt}, {kAm, kLpHp2}, {kFm, kLpHp2}}};

CColor withAlpha(CColor colour, std::uint8_t alpha) {
  colour.alpha = alpha;
  return colour;
}

CRect pixelAligned(const CRect& r) {
  return {std::round(r.left), std::round(r.top), std::round(r.right), std::round(r.bottom)};
}

VSTGUI::SharedPointer<VSTGUI::CBitmap> loadPicture(const char* name) {
  auto picture = VSTGUI::owned(new VSTGUI::CBitmap(VSTGUI::CResourceDescription(platform::dataFilePath(name))));
  if (!picture->getPlatformBitmap()) return nullptr;
  return picture;
}
}  // namespace

BackgroundBitmap::BackgroundBitmap(const CPoint& size, const ThemeColourTable& theme, const std::string& fontName)
    : VSTGUI::CBitmap(std::shared_ptr<VSTGUI::IPlatformBitmap>()),
      m_size(size),
      m_mainBackground(toColour(theme[appearance::kMainBackground])),
      m_highlightLine(toColour(theme[appearance::kHighlightLine])),
      m_plainLine(toColour(theme[appearance::kPlainLine])),
      m_knobRim(toColour(theme[appearance::kKnobRim])),
      m_labelFont(toColour(theme[appearance::kLabelFont])),
      m_controlActive(toColour(theme[appearance::kControlActive])),
      m_backgroundRgb(theme[appearance::kMainBackground]),
      m_font(VSTGUI::owned(new VSTGUI::CFontDesc(fontName, 14, VSTGUI::kBoldFace))) {
  m_logo = loadPicture(kLogoFile);
  if (!m_logo) platform::showNotice("Warning", std::string(kLogoFile) + " is missing!");
  m_tile = loadPicture(kTileFile);
  if (!m_font->getPlatformFont()) platform::showNotice("Failure", "Cannot create IPlatformFont");
}

BackgroundBitmap::~BackgroundBitmap() = default;

double BackgroundBitmap::tileDarkening(const ThemeRgb& background) {
  const int high = std::max({background.red, background.green, background.blue});
  const int low = std::min({background.red, background.green, background.blue});
  const int lightness = high / 2 + low / 2;
  return std::clamp(lightness * 4.0 / 255.0, 0.0, 1.0);
}

bool BackgroundBitmap::renderInto(VSTGUI::CFrame& frame) {
  m_size = frame.getViewSize().getSize();
  auto offscreen = VSTGUI::COffscreenContext::create(m_size);
  if (!offscreen) return false;
  offscreen->beginDraw();
  draw(offscreen, CRect(CPoint(0, 0), m_size), CPoint(0, 0), 1.f);
  offscreen->endDraw();
  frame.setBackground(offscreen->getBitmap());
  frame.invalid();
  return true;
}

void BackgroundBitmap::draw(CDrawContext* context, const CRect& rect, const CPoint&, float alpha) {
  if (!context) return;
  m_size = rect.getSize();
  m_sx = m_size.x * (1.0 / kBaseWidth);
  m_sy = m_size.y * (1.0 / kBaseHeight);
  for (const auto& placement : controlTable())
    m_controlRects[static_cast<std::size_t>(placement.id)] = s(placement.rect);
  m_appearanceRegion = s(layout::kAppearanceRegion);
  m_manualIconRegion = s(layout::kManualIconRegion);

  context->saveGlobalState();
  context->setGlobalAlpha(alpha);
  CDrawContext::Transform origin(*context, VSTGUI::CGraphicsTransform().translate(rect.left, rect.top));
  drawBackdrop(context);
  drawConnections(context);
  drawPanels(context);
  drawLabels(context);
  drawTopStrip(context);
  drawLogo(context);
  context->restoreGlobalState();
}

void BackgroundBitmap::darkenTile() {
  if (m_tileDarkened || !m_tile) return;
  m_tileDarkened = true;
  auto pixels = VSTGUI::CBitmapPixelAccess::create(m_tile.get(), false);
  if (!pixels) {
    platform::showNotice("IPlatformBitmapPixelAccess == 0", "");
    return;
  }
  const double k = tileDarkening(m_backgroundRgb);
  auto darken = [k](std::uint8_t c) { return static_cast<std::uint8_t>(c * k); };
  do {
    CColor c = pixels->getColor();
    c.red = darken(c.red);
    c.green = darken(c.green);
    c.blue = darken(c.blue);
    pixels->setColor(c);
  } while (++*pixels);
}

void BackgroundBitmap::drawBackdrop(CDrawContext* context) {
  const CRect all(CPoint(0, 0), m_size);
  if (!m_tile) {
    context->setFillColor(m_mainBackground);
    context->drawRect(all, VSTGUI::kDrawFilled);
    return;
  }
  darkenTile();
  const double tw = m_tile->getWidth();
  const double th = m_tile->getHeight();
  for (double y = 0; y < m_size.y; y += th)
    for (double x = 0; x < m_size.x; x += tw)
      context->drawBitmap(m_tile.get(), CRect(x, y, std::min(x + tw, m_size.x), std::min(y + th, m_size.y)));
  // A wide, soft ellipse of the background colour calms the tile towards the middle.
  context->setDrawMode(VSTGUI::kAntiAliasing);
  context->setFillColor(withAlpha(m_mainBackground, 0x77));
  context->drawEllipse(CRect(-98 * m_sx, 48 * m_sx - 98 * m_sy, m_size.x + 98 * m_sx, m_size.y + 98 * m_sy),
                       VSTGUI::kDrawFilled);
}

void BackgroundBitmap::drawConnections(CDrawContext* context) {
  context->setDrawMode(VSTGUI::kAntiAliasing);
  context->setLineWidth(5 * m_sx);
  context->setFrameColor(m_knobRim);
  for (const auto& [from, to] : kConnections)
    context->drawLine(m_controlRects[static_cast<std::size_t>(from)].getCenter(),
                      m_controlRects[static_cast<std::size_t>(to)].getCenter());
}

void BackgroundBitmap::drawPanels(CDrawContext* context) {
  context->setDrawMode(VSTGUI::kAliasing);
  context->setLineWidth(1);
  for (const CRect& panel : kPanels) drawPanel(context, panel);
  // The envelope panel's divider, stopping short of the frame like a rule.
  const CRect env = kPanels[2];
  context->setFrameColor(m_plainLine);
  context->drawLine(CPoint(std::round((env.left + 10) * m_sx), std::round(kEnvelopeDividerY * m_sy)),
                    CPoint(std::round((env.right - 10) * m_sx), std::round(kEnvelopeDividerY * m_sy)));
}

// A plain frame with a bracket of the highlight colour over its top-left and bottom-right
// corners, so sections read as a set without boxing the controls in.
void BackgroundBitmap::drawPanel(CDrawContext* context, const CRect& base) {
  const CRect r = pixelAligned(s(base));
  context->setFrameColor(m_plainLine);
  context->drawRect(r);
  const double arm = std::round(18 * m_sx);
  const double leg = std::round(10 * m_sy);
  const double right = r.right - 1;
  const double bottom = r.bottom - 1;
  context->setFrameColor(m_highlightLine);
  context->drawLine(CPoint(r.left, r.top), CPoint(r.left + arm, r.top));
  context->drawLine(CPoint(r.left, r.top), CPoint(r.left, r.top + leg));
  context->drawLine(CPoint(right - arm, bottom), CPoint(right, bottom));
  context->drawLine(CPoint(right, bottom - leg), CPoint(right, bottom));
}

void BackgroundBitmap::drawLabel(CDrawContext* context, const char* text, const CRect& base,
                                 VSTGUI::CHoriTxtAlign align, double size) {
  context->setFont(m_font, size * m_sy, VSTGUI::kBoldFace);
  context->setFontColor(m_labelFont);
  context->drawString(text, s(base), align, true);
}

void BackgroundBitmap::drawLabels(CDrawContext* context) {
  for (const auto& p : controlTable()) {
    const CRect& c = p.rect;
    const double centre = c.left + c.getWidth() / 2;
    const double halfBand = std::max(c.getWidth(), 80.0) / 2;
    std::string text(p.label);
    switch (p.labelPlace) {
      case LabelPlace::kAbove:
        if (p.id == kGainOut) break;  // drawn with its neighbour's label
        drawLabel(context, text.c_str(), CRect(centre - halfBand, c.top - 19, centre + halfBand, c.top - 5),
                  VSTGUI::kCenterText, 14);
        break;
      case LabelPlace::kAboveSwitch:
        drawLabel(context, text.c_str(), CRect(centre - halfBand, c.top - 21, centre + halfBand, c.top - 7),
                  VSTGUI::kCenterText, 14);
        break;
      case LabelPlace::kBelow:
        drawLabel(context, text.c_str(), CRect(centre - 20, c.bottom + 5, centre + 20, c.bottom + 19),
                  VSTGUI::kCenterText, 14);
        break;
      case LabelPlace::kLeftAligned:
        drawLabel(context, text.c_str(), CRect(c.left - 107, c.top, c.left - 7, c.bottom), VSTGUI::kRightText, 14);
        break;
      case LabelPlace::kAt: {
        // The ADSR2 column shares one centre with its switching label view (50 wide); a label
        // that would reach into the control beside it moves left only as far as it must.
        context->setFont(m_font, 14 * m_sy, VSTGUI::kBoldFace);
        const double width = context->getStringWidth(text.c_str()) / m_sx;
        const double middle = std::min(p.labelX + 25, c.left - 2 - width / 2);
        drawLabel(context, text.c_str(), CRect(middle - 25, p.labelY, middle + 25, p.labelY + 14),
                  VSTGUI::kCenterText, 14);
        break;
      }
      case LabelPlace::kThreeLines: {
        std::size_t start = 0;
        for (int row = 0; row < 3 && start <= text.size(); ++row) {
          const std::size_t end = std::min(text.find('\n', start), text.size());
          const std::string line = text.substr(start, end - start);
          const double top = p.labelY + 16 * row;
          drawLabel(context, line.c_str(), CRect(p.labelX, top, p.labelX + 43, top + 16), VSTGUI::kCenterText, 14);
          start = end + 1;
        }
        break;
      }
      case LabelPlace::kRightSmall:
        drawLabel(context, text.c_str(),
                  CRect(c.left + 16, c.top + 1.8, c.left + 16 + 100, c.bottom + 1.8), VSTGUI::kLeftText, 12);
        break;
      case LabelPlace::kSharedOutput:
        drawSharedOutputLabels(context, p, controlTable()[kGainOut]);
        break;
      case LabelPlace::kView:
      case LabelPlace::kNone:
        break;
    }
  }
}

// "strEnh" and "output gain" share the band above the output gain knob, each centred over its
// knob; when the two texts would come closer than a small gap they move apart equally.
void BackgroundBitmap::drawSharedOutputLabels(CDrawContext* context, const ControlPlacement& left,
                                              const ControlPlacement& right) {
  context->setFont(m_font, 14 * m_sy, VSTGUI::kBoldFace);
  const std::string leftText(left.label);
  const std::string rightText(right.label);
  const double leftWidth = context->getStringWidth(leftText.c_str()) / m_sx;
  const double rightWidth = context->getStringWidth(rightText.c_str()) / m_sx;
  double leftCentre = left.rect.left + left.rect.getWidth() / 2;
  double rightCentre = right.rect.left + right.rect.getWidth() / 2;
  const double gap = (rightCentre - rightWidth / 2) - (leftCentre + leftWidth / 2);
  constexpr double kMinimumGap = 8;
  if (gap < kMinimumGap) {
    leftCentre -= (kMinimumGap - gap) / 2;
    rightCentre += (kMinimumGap - gap) / 2;
  }
  const double top = right.rect.top - 19;
  const double bottom = right.rect.top - 5;
  drawLabel(context, leftText.c_str(), CRect(leftCentre - 50, top, leftCentre + 50, bottom), VSTGUI::kCenterText, 14);
  drawLabel(context, rightText.c_str(), CRect(rightCentre - 50, top, rightCentre + 50, bottom), VSTGUI::kCenterText,
            14);
}

void BackgroundBitmap::drawMenuMarker(CDrawContext* context, double x, double width) {
  VSTGUI::PointList triangle{s(x, 16), s(x + width, 16), s(x + width / 2, 16 + width * 0.6)};
  context->setDrawMode(VSTGUI::kAntiAliasing);
  context->setFillColor(kStripMarker);
  context->drawPolygon(triangle, VSTGUI::kDrawFilled);
}

void BackgroundBitmap::drawManualIcon(CDrawContext* context) {
  // A page with a folded corner and three lines of text.
  const CRect page(697, 9, 711, 29);
  const double fold = 4;
  context->setDrawMode(VSTGUI::kAntiAliasing);
  context->setLineWidth(std::max(1.0, 1.2 * m_sx));
  context->setFrameColor(kStripIcon);
  VSTGUI::PointList outline{s(page.left, page.top),           s(page.right - fold, page.top),
                            s(page.right, page.top + fold),   s(page.right, page.bottom),
                            s(page.left, page.bottom),        s(page.left, page.top)};
  context->drawPolygon(outline, VSTGUI::kDrawStroked);
  context->drawLine(s(page.right - fold, page.top), s(page.right - fold, page.top + fold));
  context->drawLine(s(page.right - fold, page.top + fold), s(page.right, page.top + fold));
  for (int line = 0; line < 3; ++line) {
    const double y = page.top + 9 + 4 * line;
    context->drawLine(s(page.left + 3, y), s(page.right - (line == 2 ? 6 : 3), y));
  }
}

void BackgroundBitmap::drawTopStrip(CDrawContext* context) {
  const double w = m_size.x;
  context->setDrawMode(VSTGUI::kAliasing);
  context->setLineWidth(1);
  context->setFillColor(kStripTop);
  context->drawRect(CRect(0, 0, w, std::round(32 * m_sy)), VSTGUI::kDrawFilled);
  context->setFillColor(kStripBottom);
  context->drawRect(CRect(0, std::round(32 * m_sy), w, std::round(46 * m_sy)), VSTGUI::kDrawFilled);
  context->setFrameColor(kStripLine);
  const double lineY = std::round(46 * m_sy);
  context->drawLine(CPoint(0, lineY), CPoint(w - 1, lineY));

  // The preset name area.
  context->setFillColor(kNameBox);
  context->drawRect(pixelAligned(s(192, 5, 678, 31)), VSTGUI::kDrawFilled);

  // The options ("?") box and the appearance selector box.
  // The appearance box stops short of its region's right edge, where the size control's
  // "zoom" caption begins.
  const CRect appearanceBox(layout::kAppearanceRegion.left, layout::kAppearanceRegion.top, 771,
                            layout::kAppearanceRegion.bottom);
  for (const CRect& box : {CRect(5, 5, 44, 31), appearanceBox}) {
    context->setFillColor(kStripBox);
    context->setFrameColor(kStripBoxFrame);
    context->drawRect(pixelAligned(s(box)), VSTGUI::kDrawFilledAndStroked);
  }
  context->setFont(m_font, 16 * m_sy, VSTGUI::kBoldFace);
  context->setFontColor(kStripText);
  context->drawString("?", s(5, 5, 29, 31), VSTGUI::kCenterText, true);
  // Three swatches of the current theme in the appearance box.
  const std::array<CColor, 3> swatches{m_highlightLine, m_labelFont, m_mainBackground};
  for (std::size_t i = 0; i < swatches.size(); ++i) {
    const double left = 739 + 8 * static_cast<double>(i);
    context->setFillColor(swatches[i]);
    context->setFrameColor(kStripBoxFrame);
    context->drawRect(pixelAligned(s(left, 14, left + 6, 22)), VSTGUI::kDrawFilledAndStroked);
  }
  for (double x : {29.0, 398.0, 664.0}) drawMenuMarker(context, x, 8);
  drawMenuMarker(context, 765, 6);
  drawManualIcon(context);
}

void BackgroundBitmap::drawLogo(CDrawContext* context) {
  if (!m_logo) return;
  // The picture holds two pixels per base unit; it is drawn at its size in base units.
  const double w = m_logo->getWidth() / layout::kLogoPixelsPerUnit;
  const double left = layout::kLogoBoxLeft + (layout::kLogoBoxWidth - w) / 2;
  VSTGUI::CGraphicsTransform place;
  place.scale(m_sx / layout::kLogoPixelsPerUnit, m_sy / layout::kLogoPixelsPerUnit);
  place.translate(left * m_sx, layout::kLogoTop * m_sy);
  CDrawContext::Transform transform(*context, place);
  context->drawBitmap(m_logo.get(), CRect(0, 0, m_logo->getWidth(), m_logo->getHeight()));
}

}  // namespace skarvel
