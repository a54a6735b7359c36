#include "source/editor/CKnobFlatOrvik.h"

#include <algorithm>

#include "Frameworks/Gui/CDrawContext.h"
#include "source/editor/ColourContrast.h"

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

// The text sits in a darkened band inside the ring of arc segments (stepped knobs show it
// without the band).
void CKnobFlatOrvik::drawValueText(CDrawContext* context) {
  const ValueTextLayout layout = valueTextLayout(context);
  if (layout.size < 1.0) return;
  context->setDrawMode(kAntiAliasing);
  CColor background = m_colours->controlBackground;
  if (!isStepped()) {
    const CColor shade(0, 0, 0, 111);
    context->setFillColor(shade);
    context->drawRect(layout.band, kDrawFilled);
    background = blendOver(shade, background);
  }
  m_valueFont->setSize(layout.size);
  context->setFont(m_valueFont);
  context->setFontColor(valueTextColour(background));
  context->drawString(m_valueText, layout.band, kCenterText, true);
}

}  // namespace skarvel
