#include "source/editor/CToolTip.h"

#include <algorithm>

#include "Frameworks/Gui/CDrawContext.h"
#include "source/editor/TextLimit.h"

using namespace VSTGUI;

namespace skarvel {

namespace {
constexpr double kMargin = 4.0;  // pixels between the text and the box's sides
}  // namespace

CToolTip::CToolTip(const CRect& size, CFontDesc* font) : CParamDisplay(size) {
  setTag(-1);
  setFont(font ? font : owned(new CFontDesc("Tahoma_Small", 12, kBoldFace)).get());
  setFontColor(CColor(255, 201, 100));  // until a theme gives tooltipFontRGB
  setFrameColor(CColor(132, 132, 132));
  setHoriAlign(kLeftText);
}

// The box is redrawn only when a line really changes: the editor sets the text for whatever is
// under the mouse ten times a second.
void CToolTip::setLines(const std::array<std::string_view, kLineCount>& lines) {
  for (int i = 0; i < kLineCount; ++i) setLine(i, lines[i]);
}

void CToolTip::setLine(int index, std::string_view text) {
  if (index < 0 || index >= kLineCount) return;
  std::string limited = limitText(text, kLineLength);
  if (limited == m_lines[index]) return;
  m_lines[index] = std::move(limited);
  setDirty();
}

const std::string& CToolTip::getLine(int index) const {
  static const std::string none;
  return index >= 0 && index < kLineCount ? m_lines[index] : none;
}

void CToolTip::setBoxed(bool state) {
  m_boxed = state;
  m_collapsed = false;
  setDirty();
}

double CToolTip::fontSize() const { return std::max(1.0, 0.2 * getHeight() - 5.0); }

CRect CToolTip::cornerSquare() const {
  const CRect& r = getViewSize();
  const double side = std::min(r.getWidth(), r.getHeight()) * 0.2;
  return CRect(r.right - side, r.top, r.right, r.top + side);
}

CMouseEventResult CToolTip::onMouseDown(CPoint&, const CButtonState& buttons) {
  if (!m_boxed || !buttons.isLeftButton()) return kMouseEventNotHandled;
  m_collapsed = !m_collapsed;
  invalid();
  return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

void CToolTip::draw(CDrawContext* context) {
  const CRect r = getViewSize();
  context->saveGlobalState();
  if (m_boxed) {
    CColor fill = getFrameColor();
    fill.alpha = 48;
    context->setDrawMode(kAliasing);
    context->setLineWidth(1);
    context->setFillColor(fill);
    context->setFrameColor(getFrameColor());
    context->drawRect(m_collapsed ? cornerSquare() : r, kDrawFilledAndStroked);
  }
  if (!m_collapsed && getFont()) {
    // The size follows the height; a line too long for the width makes the text smaller
    // instead of running out of the box (the font need not be as narrow as the one the size
    // was chosen for).
    double size = fontSize();
    context->setFont(getFont(), size, kBoldFace);
    const double room = r.getWidth() - 2 * kMargin;
    double widest = 0;
    for (const std::string& line : m_lines) widest = std::max(widest, context->getStringWidth(line));
    if (widest > room && room > 0) {
      size = std::max(1.0, size * room / widest);
      context->setFont(getFont(), size, kBoldFace);
    }
    context->setFontColor(getFontColor());
    const double band = r.getHeight() / kLineCount;
    for (int i = 0; i < kLineCount; ++i) {
      if (m_lines[i].empty()) continue;
      const CRect line(r.left + kMargin, r.top + i * band, r.right - kMargin, r.top + (i + 1) * band);
      context->drawString(m_lines[i], line, kLeftText, true);
    }
  }
  context->restoreGlobalState();
  setDirty(false);
}

}  // namespace skarvel
