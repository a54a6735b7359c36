#include "source/editor/CValueReadout.h"

#include <algorithm>
#include <cmath>

#include "Frameworks/Gui/CDrawContext.h"
#include "Frameworks/Gui/Platform.h"

using namespace VSTGUI;

namespace skarvel {

namespace {
constexpr double kFontSize = 13.0;  // at the normal window size
constexpr double kPadding = 5.0;
constexpr double kGap = 3.0;        // between the control and the box
}  // namespace

CValueReadout::CValueReadout(CFontDesc* font, double scale)
    : CView(CRect()), m_font(makeOwned<CFontDesc>(font ? font->getName() : "Tahoma_Small", kFontSize, kBoldFace)) {
  setMouseEnabled(false);
  setVisible(false);
  setScale(scale);
}

void CValueReadout::setScale(double scale) {
  m_scale = scale > 0.0 ? scale : 1.0;
  // Never below 11 pixels: at the smallest window size the text must still read easily.
  m_font->setSize(std::max(11.0, std::round(kFontSize * m_scale)));
  setDirty();
}

void CValueReadout::showBeside(const CRect& control, const CRect& bounds, const std::string& text, bool hint) {
  IPlatformFont* font = m_font->getPlatformFont();
  const double textWidth = font ? font->getStringWidth(text.c_str()) : text.size() * m_font->getSize() * 0.6;
  const double padding = std::round(kPadding * m_scale);
  const double width = std::ceil(textWidth) + 2 * padding;
  const double height = std::ceil(m_font->getSize() * 1.5);
  const double gap = std::round(kGap * m_scale);
  double left = std::round(control.getCenter().x - width / 2);
  double top = std::round(control.bottom + gap);
  if (top + height > bounds.bottom) top = std::round(control.top - gap - height);
  left = std::clamp(left, bounds.left, std::max(bounds.left, bounds.right - width));
  top = std::clamp(top, bounds.top, std::max(bounds.top, bounds.bottom - height));
  const CRect box(left, top, left + width, top + height);
  const bool moved = box != getViewSize();
  if (moved) {
    // Uncover where the box was before it moves.
    if (isVisible()) invalid();
    setViewSize(box);
    setMouseableArea(box);
  }
  if (text != m_text || hint != m_hint || moved) {
    m_text = text;
    m_hint = hint;
    invalid();
  }
  setVisible(true);
}

void CValueReadout::hide() { setVisible(false); }

void CValueReadout::draw(CDrawContext* context) {
  const CRect r = getViewSize();
  context->saveGlobalState();
  context->setDrawMode(kAliasing);
  context->setLineWidth(1);
  context->setFillColor(kBoxColour);
  context->setFrameColor(kFrameColour);
  context->drawRect(r, kDrawFilledAndStroked);
  context->setFont(m_font);
  context->setFontColor(m_hint ? kHintColour : kTextColour);
  context->drawString(m_text, r, kCenterText, true);
  context->restoreGlobalState();
  setDirty(false);
}

}  // namespace skarvel
