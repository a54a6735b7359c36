#include "source/editor/cMessageDialogue.h"

#include <algorithm>

#include "Frameworks/Gui/CDrawContext.h"
#include "source/editor/ToolBarDrawing.h"

using namespace VSTGUI;
namespace draw = skarvel::toolbar_drawing;

namespace skarvel {

namespace {
constexpr double kBaseFontSize = 16;
}

cMessageDialogue::cMessageDialogue(const CRect& size, CFontDesc* font) : CView(size), m_font(font) {
  setVisible(false);
}

void cMessageDialogue::show(const std::string& message, const std::string& actionCaption) {
  m_message = message;
  m_action = actionCaption;
  m_result = false;
  setVisible(true);
  invalid();
}

CRect cMessageDialogue::innerFrame() const { return draw::frameLineRect(getViewSize()); }

CRect cMessageDialogue::yesRect() const {
  const CRect inner = innerFrame();
  const double scale = draw::scaleOf(m_font);
  const double w = std::min(70.0 * scale, inner.getWidth() / 4);
  const double h = std::min(24.0 * scale, inner.getHeight() / 4);
  const double y = inner.bottom - h - inner.getHeight() * 0.12;
  const double cx = inner.getCenter().x;
  return CRect(cx - w - w * 0.25, y, cx - w * 0.25, y + h);
}

CRect cMessageDialogue::noRect() const {
  CRect r = yesRect();
  const double cx = innerFrame().getCenter().x;
  const double w = r.getWidth();
  return CRect(cx + w * 0.25, r.top, cx + w * 1.25, r.bottom);
}

void cMessageDialogue::draw(CDrawContext* context) {
  const double fontSize = kBaseFontSize * draw::scaleOf(m_font);
  context->saveGlobalState();
  draw::drawPanel(context, getViewSize(), 2);
  const CRect inner = innerFrame();
  const std::string text = "[   " + m_message + "   ]";
  const double size = draw::fittingFontSize(context, m_font, text, fontSize, inner.getWidth() - 8);
  context->setFont(m_font, size);
  context->setFontColor(draw::kText);
  CRect textRect = inner;
  if (!m_action.empty()) textRect.bottom = yesRect().top;
  context->drawString(text, textRect, kCenterText, true);
  if (!m_action.empty()) {
    // The buttons' captions share the message's size, shrunk with it when it is long.
    draw::drawButton(context, yesRect(), "YES", m_font, size, false);
    draw::drawButton(context, noRect(), "NO", m_font, size, false);
  }
  context->restoreGlobalState();
  setDirty(false);
}

void cMessageDialogue::answer(bool yes) {
  m_result = yes;
  setVisible(false);
  if (CView* parent = getParentView()) parent->invalid();
  // The dependents may close the dialog that holds this view: stay alive until the end.
  SharedPointer<CView> keep(this);
  changed(yes ? m_action.c_str() : kNo);
}

CMouseEventResult cMessageDialogue::onMouseDown(CPoint& where, const CButtonState& buttons) {
  if (!buttons.isLeftButton()) return kMouseEventNotHandled;
  if (m_action.empty()) {
    answer(false);
  } else if (yesRect().pointInside(where)) {
    answer(true);
  } else if (noRect().pointInside(where)) {
    answer(false);
  }
  return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

int32_t cMessageDialogue::onKeyDown(VstKeyCode& keyCode) {
  if (!isVisible()) return -1;
  if (keyCode.virt == VKEY_RETURN || keyCode.virt == VKEY_ENTER) {
    answer(!m_action.empty());
    return 1;
  }
  if (keyCode.virt == VKEY_ESCAPE) {
    answer(false);
    return 1;
  }
  return -1;
}

}  // namespace skarvel
