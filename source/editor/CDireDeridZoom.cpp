#include "source/editor/CDireDeridZoom.h"

#include <algorithm>
#include <cmath>

#include "Frameworks/Gui/CDrawContext.h"

using namespace VSTGUI;

namespace skarvel {

namespace {
// The button's own fixed colours (it sits on the fixed-colour top strip).
constexpr CColor kCaption{122, 122, 122};
constexpr CColor kFace{29, 29, 32};
constexpr CColor kEdge{32, 32, 32};
constexpr CColor kLit{215, 215, 228};
}  // namespace

CDireDeridZoom::CDireDeridZoom(const CRect& size, IControlListener* listener, int32_t tag)
    : CControl(size, listener, tag), m_font(owned(new CFontDesc("Arial", 12, kBoldFace))) {
  setMin(0.0f);
  setMax(kMaximum);
}

CRect CDireDeridZoom::minusHalf() const {
  CRect r = getViewSize();
  r.right = r.left + r.getWidth() / 2;
  return r;
}

CRect CDireDeridZoom::plusHalf() const {
  CRect r = getViewSize();
  r.left = r.left + r.getWidth() / 2;
  return r;
}

CMouseEventResult CDireDeridZoom::onMouseDown(CPoint& where, const CButtonState& buttons) {
  if (!buttons.isLeftButton()) return kMouseEventNotHandled;
  m_minus = minusHalf().pointInside(where);
  m_plus = !m_minus && plusHalf().pointInside(where);
  if (!m_minus && !m_plus) return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  beginEdit();
  invalid();
  return kMouseEventHandled;
}

void CDireDeridZoom::release() {
  m_minus = m_plus = false;
  endEdit();
  invalid();
}

CMouseEventResult CDireDeridZoom::onMouseMoved(CPoint& where, const CButtonState&) {
  if ((m_minus && !minusHalf().pointInside(where)) || (m_plus && !plusHalf().pointInside(where)))
    release();
  return kMouseEventHandled;
}

CMouseEventResult CDireDeridZoom::onMouseUp(CPoint&, const CButtonState&) {
  if (!m_minus && !m_plus) return kMouseEventHandled;  // the press was cancelled
  const float step = m_minus ? -1.0f : 1.0f;
  setValue(std::clamp(getValue() + step, 0.0f, kMaximum));
  valueChanged();
  release();
  return kMouseEventHandled;
}

CMouseEventResult CDireDeridZoom::onMouseCancel() {
  if (m_minus || m_plus) release();
  return kMouseEventHandled;
}

void CDireDeridZoom::draw(CDrawContext* context) {
  const CRect r = getViewSize();
  context->saveGlobalState();
  context->setDrawMode(kAntiAliasing);
  context->setLineWidth(1);
  context->setFillColor(kFace);
  context->setFrameColor(kEdge);
  context->drawRect(r, kDrawFilledAndStroked);
  const CRect halves[2] = {minusHalf(), plusHalf()};
  const bool lit[2] = {m_minus, m_plus};
  const char* captions[2] = {"-", "+"};
  context->setFont(m_font, std::max(1.0, r.getHeight() * 0.8), kBoldFace);
  for (int i = 0; i < 2; ++i) {
    if (lit[i]) {
      CColor wash = kLit;
      wash.alpha = 40;
      context->setFillColor(wash);
      CRect h(halves[i]);
      h.inset(1, 1);
      context->drawRect(h, kDrawFilled);
    }
    context->setFontColor(lit[i] ? kLit : kCaption);
    context->drawString(captions[i], halves[i], kCenterText, true);
  }
  context->setDrawMode(kAliasing);
  context->setFrameColor(kCaption);
  const double mid = std::floor(r.left + r.getWidth() / 2);
  context->drawLine(CPoint(mid, r.top + r.getHeight() * 0.25), CPoint(mid, r.bottom - r.getHeight() * 0.25));
  context->restoreGlobalState();
  setDirty(false);
}

}  // namespace skarvel
