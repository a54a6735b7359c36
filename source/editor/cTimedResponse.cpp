#include "source/editor/cTimedResponse.h"

#include <algorithm>

#include "Frameworks/Gui/CDrawContext.h"
#include "Frameworks/Gui/CViewContainer.h"
#include "source/editor/ToolBarDrawing.h"

using namespace VSTGUI;
namespace draw = skarvel::toolbar_drawing;

namespace skarvel {

namespace {
constexpr double kBaseFontSize = 16;
}

cTimedResponse::cTimedResponse(const CRect& size, const std::string& message, CFontDesc* font)
    : CView(size), m_message(message.substr(0, kMaxMessageLength)), m_font(font) {
  m_timer = makeOwned<CVSTGUITimer>([this](CVSTGUITimer*) { tick(); }, kTickMilliseconds, true);
}

cTimedResponse::~cTimedResponse() {
  if (m_timer) m_timer->stop();
}

void cTimedResponse::tick() {
  --m_countdown;
  invalid();
  if (m_countdown <= 0) dismiss();
}

void cTimedResponse::dismiss() {
  if (m_timer) m_timer->stop();
  SharedPointer<CView> keep(this);
  if (auto* parent = dynamic_cast<CViewContainer*>(getParentView())) parent->removeView(this);
}

bool cTimedResponse::removed(CView* parent) {
  // Taken away by anyone (the editor closing, too): the timer must not outlive the notice.
  if (m_timer) m_timer->stop();
  return CView::removed(parent);
}

CMouseEventResult cTimedResponse::onMouseDown(CPoint&, const CButtonState& buttons) {
  if (!buttons.isLeftButton()) return kMouseEventNotHandled;
  dismiss();
  return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

void cTimedResponse::draw(CDrawContext* context) {
  const double fontSize = kBaseFontSize * draw::scaleOf(m_font);
  context->saveGlobalState();
  const CRect whole = getViewSize();
  // A box in the middle of the view; the rest stays see-through but takes the click.
  const double w = std::max(whole.getWidth() * 0.5, 1.0);
  const double h = std::max(whole.getHeight() * 0.22, 1.0);
  CRect box(0, 0, w, h);
  box.centerInside(whole);
  // A closer frame line than the dialogues': the notice is one line of text.
  context->setDrawMode(kAntiAliasing);
  draw::fillRoundRect(context, box, 8, draw::kPanel);
  CRect inner = box;
  inner.inset(8 * draw::scaleOf(m_font), 8 * draw::scaleOf(m_font));
  draw::strokeRoundRect(context, inner, 5, draw::kFrameLine, 2);
  const double size = draw::fittingFontSize(context, m_font, m_message, fontSize, inner.getWidth() - 8);
  context->setFont(m_font, size);
  context->setFontColor(draw::kText);
  context->drawString(m_message, inner, kCenterText, true);
  // The time left, as a row of dots that go out one by one.
  const double dot = std::max(2.0, inner.getHeight() * 0.06);
  const double gap = dot * 1.6;
  const double rowWidth = kTicks * gap;
  double x = inner.getCenter().x - rowWidth / 2;
  const double y = inner.bottom - dot * 2.2;
  context->setDrawMode(kAntiAliasing);
  for (int i = 0; i < kTicks; ++i, x += gap) {
    context->setFillColor(i < m_countdown ? draw::kDimText : draw::kButton);
    context->drawEllipse(CRect(x, y, x + dot, y + dot), kDrawFilled);
  }
  context->restoreGlobalState();
  setDirty(false);
}

}  // namespace skarvel
