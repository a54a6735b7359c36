#include "Frameworks/Gui/CParamDisplay.h"

#include <charconv>
#include <cstring>

#include "Frameworks/Gui/CBitmap.h"
#include "Frameworks/Gui/CDrawContext.h"
#include "Frameworks/Gui/CGraphicsPath.h"

namespace VSTGUI {

CParamDisplay::CParamDisplay(const CRect& size, CBitmap* background, int32_t style)
    : CControl(size, nullptr, -1, background), m_font(kNormalFontSmall), m_style(style) {}

CParamDisplay::CParamDisplay(const CParamDisplay& other)
    : CControl(other),
      m_font(other.m_font),
      m_fontColor(other.m_fontColor),
      m_backColor(other.m_backColor),
      m_frameColor(other.m_frameColor),
      m_shadowColor(other.m_shadowColor),
      m_horiAlign(other.m_horiAlign),
      m_textInset(other.m_textInset),
      m_style(other.m_style),
      m_antialias(other.m_antialias),
      m_frameWidth(other.m_frameWidth),
      m_roundRectRadius(other.m_roundRectRadius),
      m_precision(other.m_precision),
      m_valueToString(other.m_valueToString) {}

CParamDisplay::~CParamDisplay() = default;

void CParamDisplay::setFont(CFontRef fontID) {
  if (!fontID) return;
  m_font = fontID;
  setDirty();
}

std::string CParamDisplay::getDisplayText() const {
  char text[256] = {0};
  if (m_valueToString) {
    if (m_valueToString(getValue(), text, const_cast<CParamDisplay*>(this))) return text;
    text[0] = 0;
  }
  // Locale-independent fixed notation with the chosen number of decimals.
  auto result = std::to_chars(text, text + sizeof(text) - 1, getValue(), std::chars_format::fixed, m_precision);
  if (result.ec != std::errc()) return {};
  *result.ptr = 0;
  return text;
}

void CParamDisplay::draw(CDrawContext* context) {
  if (m_style & kNoDrawStyle) {
    setDirty(false);
    return;
  }
  drawBack(context);
  if (!(m_style & kNoTextStyle)) drawPlatformText(context, getDisplayText().c_str());
  setDirty(false);
}

void CParamDisplay::drawBack(CDrawContext* context, CBitmap* newBack) {
  CBitmap* back = newBack ? newBack : getBackground();
  if (back) {
    back->draw(context, getViewSize());
    return;
  }
  const bool roundRect = (m_style & kRoundRectStyle) != 0;
  context->setDrawMode(roundRect ? kAntiAliasing : kAliasing);
  context->setLineWidth(m_frameWidth);
  context->setFillColor(m_backColor);
  context->setFrameColor(m_frameColor);
  const bool frame = !(m_style & kNoFrame) && m_frameColor.alpha != 0;
  if (m_backColor.alpha == 0 && !frame) return;
  const CDrawStyle style = m_backColor.alpha == 0 ? kDrawStroked : (frame ? kDrawFilledAndStroked : kDrawFilled);
  if (roundRect) {
    SharedPointer<CGraphicsPath> path = owned(context->createGraphicsPath());
    CRect r = getViewSize();
    if (frame) r.inset(m_frameWidth / 2, m_frameWidth / 2);
    path->addRoundRect(r, m_roundRectRadius);
    if (style != kDrawStroked) context->drawGraphicsPath(path, CDrawContext::kPathFilled);
    if (style != kDrawFilled) context->drawGraphicsPath(path, CDrawContext::kPathStroked);
  } else {
    context->drawRect(getViewSize(), style);
  }
}

void CParamDisplay::drawPlatformText(CDrawContext* context, UTF8StringPtr string) {
  drawPlatformText(context, string, getViewSize());
}

void CParamDisplay::drawPlatformText(CDrawContext* context, UTF8StringPtr string, const CRect& size) {
  if (!string || !*string) return;
  CRect textRect = size;
  textRect.inset(m_textInset.x, m_textInset.y);
  context->setFont(m_font);
  if (m_style & kShadowText) {
    CRect shadow = textRect;
    shadow.offset(1, 1);
    context->setFontColor(m_shadowColor);
    context->drawString(string, shadow, m_horiAlign, m_antialias);
  }
  context->setFontColor(m_fontColor);
  context->drawString(string, textRect, m_horiAlign, m_antialias);
}

bool CParamDisplay::isTypeOf(const char* s) const {
  return std::strcmp(s, "CParamDisplay") == 0 || CControl::isTypeOf(s);
}

}  // namespace VSTGUI
