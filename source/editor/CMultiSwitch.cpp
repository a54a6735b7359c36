#include "source/editor/CMultiSwitch.h"

#include <algorithm>
#include <cmath>

#include "Frameworks/Gui/CDrawContext.h"
#include "source/editor/TextLimit.h"

using namespace VSTGUI;

namespace skarvel {

CMultiSwitch::CMultiSwitch(const CRect& size, IControlListener* listener, int32_t tag,
                           const ColourGroupB* colours, int positions, CFontDesc* font)
    : CControl(size, listener, tag),
      m_colours(colours),
      m_positions(std::max(1, positions)),
      m_texts(static_cast<std::size_t>(std::max(1, positions))),
      m_font(font ? SharedPointer<CFontDesc>(font) : owned(new CFontDesc("Tahoma_Small", 12, kBoldFace))) {}

void CMultiSwitch::setItemTexts(const std::vector<std::string_view>& texts) {
  for (std::size_t i = 0; i < m_texts.size(); ++i)
    m_texts[i] = i < texts.size() ? limitText(texts[i], kItemTextLength) : std::string();
  setDirty();
}

const std::string& CMultiSwitch::getItemText(int position) const {
  static const std::string none;
  if (position < 0 || position >= static_cast<int>(m_texts.size())) return none;
  return m_texts[static_cast<std::size_t>(position)];
}

void CMultiSwitch::setFont(CFontDesc* font) {
  if (!font) return;
  m_font = font;
  setDirty();
}

int CMultiSwitch::selectedPosition() const {
  if (m_positions < 2) return getValueNormalized() >= 0.5f ? 1 : 0;
  const double v = std::clamp(static_cast<double>(getValueNormalized()), 0.0, 1.0);
  return static_cast<int>((m_positions - 1) * v + 0.5);
}

CMouseEventResult CMultiSwitch::onMouseDown(CPoint& where, const CButtonState& buttons) {
  if (!buttons.isLeftButton()) return kMouseEventNotHandled;
  const CRect& r = getViewSize();
  if (!r.pointInside(where)) return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  beginEdit();
  const float old = getValueNormalized();
  float value = 0.0f;
  if (m_positions < 2) {
    value = old >= 0.5f ? 0.0f : 1.0f;
  } else {
    const int n = m_positions;
    const bool vertical = isVerticalLayout();
    const double coordinate = vertical ? where.y : where.x;
    const double origin = vertical ? r.top : r.left;
    const double extent = vertical ? r.getHeight() : r.getWidth();
    // The cell under the mouse; the far edge belongs to the last cell.
    int p = static_cast<int>(std::floor((coordinate - origin - extent / (2 * n)) / extent * n + 0.5));
    p = std::clamp(p, 0, n - 1);
    value = static_cast<float>(p) / static_cast<float>(n - 1);
  }
  setValueNormalized(value);
  bounceValue();
  if (std::fabs(getValueNormalized() - old) > 0.0001f) valueChanged();
  endEdit();
  if (isDirty()) invalid();
  return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

void CMultiSwitch::draw(CDrawContext* context) {
  const CRect r = getViewSize();
  const int n = std::max(1, m_positions);
  const bool vertical = isVerticalLayout();
  const double step = (vertical ? r.getHeight() : r.getWidth()) / n;

  context->saveGlobalState();
  context->setDrawMode(kAliasing);
  context->setLineWidth(1);
  for (int i = 0; i < n; ++i) {
    CRect cell = vertical ? CRect(r.left, r.top + i * step, r.right, r.top + (i + 1) * step)
                          : CRect(r.left + i * step, r.top, r.left + (i + 1) * step, r.bottom);
    drawCell(context, i, cell);
  }
  // Separators between the cells and at the far edge.
  context->setFrameColor(m_colours->frame);
  for (int i = 1; i <= n; ++i) {
    const double at = std::floor((vertical ? r.top : r.left) + i * step) - 1.0;
    if (vertical) {
      context->drawLine(CPoint(r.left, at), CPoint(r.right - 1, at));
    } else {
      context->drawLine(CPoint(at, r.top), CPoint(at, r.bottom - 1));
    }
  }
  context->restoreGlobalState();
  setDirty(false);
}

void CMultiSwitch::drawCell(CDrawContext* context, int position, const CRect& cell) {
  CRect inner(cell);
  inner.inset(1, 1);
  context->setDrawMode(kAliasing);
  context->setFillColor(m_colours->controlBackground);
  context->drawRect(inner, kDrawFilled);
  const std::string& text = getItemText(position);
  if (text.empty()) return;
  context->setFont(m_font, 0, kBoldFace);
  context->setFontColor(position == selectedPosition() ? m_colours->activeValueFont
                                                      : m_colours->inactiveValueFont);
  context->drawString(text, cell, kCenterText, true);
}

}  // namespace skarvel
