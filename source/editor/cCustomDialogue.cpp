#include "source/editor/cCustomDialogue.h"

#include <algorithm>

#include "Frameworks/Gui/CDrawContext.h"
#include "Frameworks/Gui/CFrame.h"
#include "source/editor/ToolBarDrawing.h"

using namespace VSTGUI;
namespace draw = skarvel::toolbar_drawing;

namespace skarvel {

namespace {
constexpr double kBaseFontSize = 14;
}

cCustomDialogue::cCustomDialogue(const CRect& size, const std::string& title, const std::vector<std::string>& lines,
                                 const std::string& link, OpenLink openLink, CFontDesc* font)
    : CView(size), m_title(title), m_link(link), m_openLink(std::move(openLink)), m_font(font) {
  for (const std::string& line : lines) m_lines.push_back(line.substr(0, kMaxLineLength));
  m_linkRect = computeLinkRect();
}

CRect cCustomDialogue::computeLinkRect() const {
  const double fontSize = kBaseFontSize * draw::scaleOf(m_font);
  if (!hasLink()) return CRect();
  const CRect inner = draw::frameLineRect(getViewSize());
  const double line = std::max(fontSize * 1.5, inner.getHeight() / 14);
  // Two rows above the bottom of the frame line: the link, then "OK".
  return CRect(inner.left, inner.bottom - 2.6 * line, inner.right, inner.bottom - 1.6 * line);
}

void cCustomDialogue::draw(CDrawContext* context) {
  const double fontSize = kBaseFontSize * draw::scaleOf(m_font);
  context->saveGlobalState();
  const CRect whole = getViewSize();
  context->setFillColor(draw::kBackdrop);
  context->drawRect(whole, kDrawFilled);
  draw::drawPanel(context, whole, 2);
  const CRect inner = draw::frameLineRect(whole);
  const double line = std::max(fontSize * 1.5, inner.getHeight() / 14);
  CRect row(inner.left + 12, inner.top + line * 0.4, inner.right - 12, inner.top + line * 1.4);

  context->setFont(m_font, fontSize * 1.25);
  context->setFontColor(draw::kText);
  context->drawString(m_title, row, kCenterText, true);
  row.offset(0, line * 1.4);

  context->setFont(m_font, fontSize);
  for (const std::string& text : m_lines) {
    if (row.bottom > inner.bottom - 2.6 * line) break;  // never over the link and "OK"
    context->drawString(text, row, kLeftText, true);
    row.offset(0, line);
  }

  m_linkRect = computeLinkRect();
  if (hasLink()) {
    context->setFontColor(draw::kLink);
    context->drawString(kLinkText, m_linkRect, kCenterText, true);
  }
  const double okWidth = std::min(70.0 * draw::scaleOf(m_font), inner.getWidth() / 4);
  CRect ok(0, 0, okWidth, line * 0.85);
  ok.centerInside(CRect(inner.left, inner.bottom - 1.5 * line, inner.right, inner.bottom - 0.4 * line));
  draw::drawButton(context, ok, "OK", m_font, fontSize, false);
  context->restoreGlobalState();
  setDirty(false);
}

CMouseEventResult cCustomDialogue::onMouseDown(CPoint& where, const CButtonState& buttons) {
  if (!buttons.isLeftButton()) return kMouseEventNotHandled;
  if (hasLink() && m_linkRect.pointInside(where)) {
    if (m_openLink) m_openLink(m_link);
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  }
  SharedPointer<CView> keep(this);
  if (CFrame* frame = getFrame()) {
    if (frame->getModalView() == this) {
      frame->setModalView(nullptr);
      return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    }
  }
  if (auto* parent = dynamic_cast<CViewContainer*>(getParentView())) parent->removeView(this);
  return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

}  // namespace skarvel
