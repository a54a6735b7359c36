#include "source/editor/CKnobFlatOrvik.h"

#include <algorithm>

#include "Frameworks/Gui/CDrawContext.h"

using namespace VSTGUI;

namespace skarvel {

CKnobFlatOrvik::CKnobFlatOrvik(const CRect& size, IControlListener* listener, int32_t tag,
                               const ColourGroupC* colours, int positions)
    : CKnobFlatSwitch(size, listener, tag, colours, positions) {}

void CKnobFlatOrvik::drawBody(CDrawContext* context) {
  CKnobFlatSwitch::drawBody(context);
  const double width = getViewSize().getWidth();
  CRect ring = getViewSize();
  const double inset = width * 0.0714 - 1.0;
  ring.inset(inset, inset);
  context->setDrawMode(kAntiAliasing);
  context->setLineWidth(width * 0.1);
  context->setFrameColor(m_colours->controlActive);
  context->setFillColor(m_colours->controlBackground);
  context->drawEllipse(ring, kDrawFilledAndStroked);
}

// The segments run in a band just inside the body's thick ring, on the body colour, so the
// value reads on every theme (also one whose arc colour equals its ring colour).
void CKnobFlatOrvik::arcRadii(double& inner, double& outer) const {
  const double width = getViewSize().getWidth();
  const double ringInner = m_geometry.radius() - (width * 0.0714 - 1.0) - width * 0.05;
  outer = ringInner - width * 0.02;
  inner = outer - std::max(2.5, width * 0.09);
}

void CKnobFlatOrvik::drawValueArc(CDrawContext* context) {
  const double v = drawnValue();
  double inner = 0, outer = 0;
  arcRadii(inner, outer);
  context->setDrawMode(kAntiAliasing);
  context->setLineWidth(2);
  context->setFrameColor(arcColour());
  if (m_positions == -1) {
    // Bipolar: from the centre of the sweep to the value, in 1/200 steps.
    const int k = static_cast<int>(200.0 * v);
    if (v <= 0.5) {
      for (int i = k; i <= 98; ++i) drawRadial(context, i / 200.0, inner, outer);
    } else {
      for (int i = 100; i <= k; ++i) drawRadial(context, i / 200.0, inner, outer);
    }
    return;
  }
  // Unipolar: from the start to the value; big knobs get finer segments.
  const double steps = getViewSize().getWidth() >= 52.0 ? 512.0 : 128.0;
  const int count = static_cast<int>(steps * v) - 1;
  for (int i = 0; i < count; ++i) drawRadial(context, i / steps, inner, outer);
}

void CKnobFlatOrvik::drawValueText(CDrawContext* context) {
  if (m_valueText.empty()) return;
  const CRect& r = getViewSize();
  const double h = r.getHeight();
  const bool small = h < 52.0;
  const double edge = small ? 0.38 : 0.41;
  const double side = small ? 1.0 : 2.0;
  const CRect band(r.left + side, r.top + edge * h, r.right - side, r.bottom - edge * h);
  if (band.isEmpty()) return;
  context->setDrawMode(kAntiAliasing);
  if (!isStepped()) {
    context->setFillColor(CColor(0, 0, 0, 111));
    context->drawRect(band, kDrawFilled);
  }
  m_valueFont->setSize(band.getHeight());
  context->setFont(m_valueFont);
  context->setFontColor(m_colours->controlInactive);
  const bool wide = context->getStringWidth(m_valueText) >= r.getWidth() - 1.0;
  CRect clip;
  context->getClipRect(clip);
  context->setClipRect(CRect(band).bound(clip));
  context->drawString(m_valueText, band, wide ? kLeftText : kCenterText, true);
  context->setClipRect(clip);
}

}  // namespace skarvel
