#include "source/editor/CKnobFlatSwitch.h"

#include <algorithm>
#include <cmath>

#include "Frameworks/Gui/CDrawContext.h"
#include "Frameworks/Gui/CFrame.h"
#include "source/editor/ColourContrast.h"
#include "source/editor/ControlGestures.h"
#include "source/editor/TextLimit.h"

using namespace VSTGUI;

namespace skarvel {

CKnobFlatSwitch::CKnobFlatSwitch(const CRect& size, IControlListener* listener, int32_t tag,
                                 const ColourGroupC* colours, int positions)
    : CControl(size, listener, tag),
      m_colours(colours),
      m_positions(positions),
      m_valueFont(owned(new CFontDesc("Arial", 10, kBoldFace))) {
  updateGeometry();
}

void CKnobFlatSwitch::setValueText(std::string_view text) {
  std::string limited = limitText(text, kValueTextLength);
  if (limited == m_valueText) return;
  m_valueText = std::move(limited);
  setDirty();
}

void CKnobFlatSwitch::setShowValue(bool state) {
  m_showValue = state;
  setDirty();
}

void CKnobFlatSwitch::setActive(bool state) {
  m_active = state;
  setDirty();
}

void CKnobFlatSwitch::setPositions(int positions) {
  m_positions = positions;
  m_lastDrawnRect = CRect(0, 0, -1, -1);
  updateGeometry();
  setDirty();
}

void CKnobFlatSwitch::updateGeometry() {
  const CRect& r = getViewSize();
  if (r == m_lastDrawnRect) return;
  m_lastDrawnRect = r;
  m_geometry.layout(r.left, r.top, r.getWidth(), r.getHeight(), m_positions);
}

double CKnobFlatSwitch::drawnValue() const {
  const double v = std::clamp(static_cast<double>(getValueNormalized()), 0.0, 1.0);
  if (!isStepped()) return v;
  const int last = m_positions - 1;
  return static_cast<int>(v * last + 0.5) / static_cast<double>(last);
}

CColor CKnobFlatSwitch::arcColour() const {
  return m_active ? m_colours->knobIndicator : m_colours->inactiveGrey;
}

CColor CKnobFlatSwitch::pointerColour() const {
  return m_active ? m_colours->displayValueFont : m_colours->inactiveGrey;
}

double CKnobFlatSwitch::valueFromPoint(const CPoint& where) const {
  return m_geometry.fractionAt(where.x, where.y);
}

// ---- mouse -----------------------------------------------------------------------------------

CMouseEventResult CKnobFlatSwitch::onMouseDown(CPoint& where, const CButtonState& buttons) {
  if (buttons.getButtonState() == 0) return kMouseEventNotHandled;
  // A stepped knob keeps its right button for stepping backwards.
  if (!isStepped() && offerClickToListener(*this, buttons)) return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  m_hover = true;
  beginEdit();
  m_inGesture = true;

  if (isStepped()) {
    stepByClick(buttons);
    endGesture();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  }

  if (checkDefaultValue(buttons)) {
    endGesture();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  }

  const CFrame* frame = getFrame();
  const bool linearMode = frame && frame->getKnobMode() == kLinearMode;
  const bool alt = (buttons & kAlt) != 0;
  const double value = getValueNormalized();
  if (buttons.isLeftButton() && (linearMode != alt)) {
    m_drag.beginLinear(where.x, where.y, value, (buttons & kShift) != 0);
  } else {
    m_drag.beginCircular(valueFromPoint(where));
  }
  m_lastButtons = buttons;
  m_lastPoint = CPoint(-1e9, -1e9);  // the first move always runs, so a circular click takes the angle
  onMouseMoved(where, buttons);
  return kMouseEventHandled;
}

void CKnobFlatSwitch::stepByClick(const CButtonState& buttons) {
  const int last = m_positions - 1;
  const double v = getValueNormalized();
  // Count in whole positions, so repeated steps land exactly on 0 and 1.
  int position = std::clamp(static_cast<int>(v * last + 0.5), 0, last);
  if (buttons.isLeftButton()) {
    position = (v >= 1.0 || position >= last) ? 0 : position + 1;
  } else if (buttons.isRightButton()) {
    position = (v <= 0.0 || position <= 0) ? last : position - 1;
  } else {
    return;
  }
  setValueNormalized(static_cast<float>(position) / static_cast<float>(last));
  bounceValue();
  valueChanged();
  invalid();
}

CMouseEventResult CKnobFlatSwitch::onMouseMoved(CPoint& where, const CButtonState& buttons) {
  if (buttons.getButtonState() == 0) {
    if (buttons.getModifierState() == 0 && !m_hover && getViewSize().pointInside(where)) {
      m_hover = true;
      invalid();
    }
    return kMouseEventHandled;
  }
  if (!buttons.isLeftButton() || !m_inGesture) return kMouseEventHandled;
  if (where == m_lastPoint && buttons == m_lastButtons) return kMouseEventHandled;
  m_lastPoint = where;
  m_lastButtons = buttons;

  const float old = getValue();
  const double current = getValueNormalized();
  const double next = m_drag.linear()
                          ? m_drag.moveLinear(where.x, where.y, (buttons & kShift) != 0, current)
                          : m_drag.moveCircular(valueFromPoint(where));
  setValueNormalized(static_cast<float>(next));
  bounceValue();
  if (getValue() != old) valueChanged();
  invalid();
  return kMouseEventHandled;
}

bool CKnobFlatSwitch::onWheel(const CPoint&, const CMouseWheelAxis&, const float& distance,
                              const CButtonState& buttons) {
  if (distance == 0.f) return false;
  const float old = getValue();
  beginEdit();
  if (isStepped()) {
    // One position per notch, without wrapping round.
    const int last = m_positions - 1;
    const int position = static_cast<int>(getValueNormalized() * last + 0.5f) + (distance > 0.f ? 1 : -1);
    setValueNormalized(static_cast<float>(std::clamp(position, 0, last)) / static_cast<float>(last));
  } else {
    const double step = getWheelInc() * ((buttons & kShift) ? 1.0 / kWheelFineFactor : 1.0);
    setValueNormalized(static_cast<float>(getValueNormalized() + distance * step));
  }
  bounceValue();
  if (getValue() != old) valueChanged();
  endEdit();
  invalid();
  return true;
}

CMouseEventResult CKnobFlatSwitch::onMouseUp(CPoint&, const CButtonState&) {
  m_hover = false;
  invalid();
  endGesture();
  return kMouseEventHandled;
}

CMouseEventResult CKnobFlatSwitch::onMouseEntered(CPoint& where, const CButtonState& buttons) {
  if (buttons.getButtonState() == 0 && buttons.getModifierState() == 0) {
    m_hover = true;
    invalid();
  }
  return CControl::onMouseEntered(where, buttons);
}

CMouseEventResult CKnobFlatSwitch::onMouseExited(CPoint&, const CButtonState&) {
  m_hover = false;
  invalid();
  return kMouseEventHandled;
}

CMouseEventResult CKnobFlatSwitch::onMouseCancel() {
  m_hover = false;
  invalid();
  endGesture();
  return kMouseEventHandled;
}

void CKnobFlatSwitch::endGesture() {
  if (!m_inGesture) return;
  m_inGesture = false;
  endEdit();
}

// ---- drawing ---------------------------------------------------------------------------------

void CKnobFlatSwitch::draw(CDrawContext* context) {
  updateGeometry();
  context->saveGlobalState();
  drawBody(context);
  if (isStepped()) {
    drawSteps(context);
  } else {
    drawValueArc(context);
  }
  drawIndicator(context);
  if (m_showValue && (m_hover || isStepped())) drawValueText(context);
  context->restoreGlobalState();
  setDirty(false);
}

void CKnobFlatSwitch::drawBody(CDrawContext* context) {
  CRect r = getViewSize();
  const double width = r.getWidth();
  context->setDrawMode(kAntiAliasing);
  context->setLineWidth(2);
  context->setFrameColor(m_colours->controlActive);
  context->setFillColor(m_colours->controlBackground);
  r.inset(1, 1);
  context->drawEllipse(r, kDrawFilledAndStroked);
  if (m_colours->rim) {
    const double divisor = m_colours->rimDivisor > 0.0 ? m_colours->rimDivisor : 10.0;
    const double inset = std::max(1.0, width / divisor);
    CRect rim = getViewSize();
    rim.inset(inset, inset);
    context->setFillColor(m_colours->knobRim);
    context->drawEllipse(rim, kDrawFilled);
  }
}

void CKnobFlatSwitch::arcRadii(double& inner, double& outer) const {
  inner = m_geometry.radius() - m_geometry.indicatorInset();
  outer = m_geometry.radius() - 0.16 * m_geometry.valueArcOffset();
}

void CKnobFlatSwitch::drawRadial(CDrawContext* context, double fraction, double inner,
                                 double outer) const {
  CPoint a, b;
  m_geometry.pointAt(fraction, inner, a.x, a.y);
  m_geometry.pointAt(fraction, outer, b.x, b.y);
  context->drawLine(a, b);
}

// The plain switch knob shows its value as one stroked arc (from the start, or from twelve
// o'clock for a bipolar knob).
void CKnobFlatSwitch::drawValueArc(CDrawContext* context) {
  const double v = drawnValue();
  double inner = 0, outer = 0;
  arcRadii(inner, outer);
  const double r = 0.5 * (inner + outer);
  const CPoint c(m_geometry.centreX(), m_geometry.centreY());
  const CRect box(c.x - r, c.y - r, c.x + r, c.y + r);
  // Screen angles: degrees clockwise from three o'clock.
  const double start = -m_geometry.startAngle() * 57.29577951308232;
  const double sweep = -m_geometry.range() * 57.29577951308232;
  const double from = m_positions == -1 ? start + 0.5 * sweep : start;
  const double to = start + v * sweep;
  if (std::fabs(to - from) < 0.01) return;
  context->setDrawMode(kAntiAliasing);
  context->setLineWidth(2);
  context->setFrameColor(arcColour());
  context->drawArc(box, static_cast<float>(std::min(from, to)), static_cast<float>(std::max(from, to)));
}

void CKnobFlatSwitch::drawSteps(CDrawContext* context) {
  const double v = drawnValue();
  double inner = 0, outer = 0;
  arcRadii(inner, outer);
  context->setDrawMode(kAntiAliasing);
  context->setLineWidth(1);
  const int centre = static_cast<int>(512.0 * v);
  int half = 255 / m_positions;
  if (m_positions == 3) half = 46;
  if (m_positions == 4) half = 47;
  context->setFrameColor(arcColour());
  for (int i = centre - half; i < centre + half; ++i) drawRadial(context, i / 512.0, inner, outer);
  // A tick at every position, just inside the arc.
  context->setFrameColor(m_colours->controlActive);
  context->setLineWidth(std::max(1.0, m_geometry.radius() * 0.08));
  const double tick = std::max(1.5, m_geometry.radius() * 0.14);
  const int last = m_positions - 1;
  for (int j = 0; j <= last; ++j)
    drawRadial(context, static_cast<double>(j) / last, inner - tick - 1.0, inner - 1.0);
}

void CKnobFlatSwitch::drawIndicator(CDrawContext* context) {
  const double v = drawnValue();
  const double r = m_geometry.radius();
  context->setDrawMode(kAntiAliasing);
  context->setLineWidth(std::max(1.5, r * 0.1));
  context->setFrameColor(pointerColour());
  double inner = 0, outer = 0;
  arcRadii(inner, outer);
  // From near the centre to just short of the arc band.
  drawRadial(context, v, r * 0.15, inner - 1.5);
}

CKnobFlatSwitch::ValueTextLayout CKnobFlatSwitch::valueTextLayout(CDrawContext* context) const {
  ValueTextLayout layout;
  if (m_valueText.empty()) return layout;
  const CRect& r = getViewSize();
  // The band may be as high as 0.18 of the knob (0.24 on small knobs), but the text stays
  // inside the disc the value arc surrounds: it never crosses the arc and is never cut.
  const double h = r.getHeight();
  const double wanted = h * (h < 52.0 ? 0.24 : 0.18);
  double inner = 0, outer = 0;
  arcRadii(inner, outer);
  const double radius = inner - std::max(1.0, 0.03 * r.getWidth());
  if (radius < 2.0 || wanted <= 0.0) return layout;
  m_valueFont->setSize(100.0);
  context->setFont(m_valueFont);
  const double widthPerSize = context->getStringWidth(m_valueText) / 100.0 + 0.1;  // with a little air
  // A box of size s high and widthPerSize x s wide fits the disc when its corners do.
  double size = std::min(wanted, 2.0 * radius / std::sqrt(widthPerSize * widthPerSize + 1.0));
  auto halfChordAt = [radius](double s) { return std::sqrt(std::max(0.0, radius * radius - s * s / 4.0)); };
  // Small sizes may set wider than in proportion (hinting, whole-pixel advances): measure at the
  // size itself and shrink until the text fits its chord.
  for (int round = 0; round < 8 && size >= 1.0; ++round) {
    m_valueFont->setSize(size);
    context->setFont(m_valueFont);
    const double width = context->getStringWidth(m_valueText);
    const double room = 2.0 * halfChordAt(size);
    if (width <= room) break;
    size *= std::max(0.5, room / width * 0.97);
  }
  const double halfChord = halfChordAt(size);
  const CPoint c(m_geometry.centreX(), m_geometry.centreY());
  layout.band = CRect(c.x - halfChord, c.y - size / 2.0, c.x + halfChord, c.y + size / 2.0);
  layout.size = size;
  return layout;
}

CColor CKnobFlatSwitch::valueTextColour(const CColor& background) const {
  // The theme's inactive colour where it reads well, else its display colour, else black or white.
  return legibleOn(background, {m_colours->controlInactive, m_colours->displayValueFont});
}

void CKnobFlatSwitch::drawValueText(CDrawContext* context) {
  const ValueTextLayout layout = valueTextLayout(context);
  if (layout.size < 1.0) return;
  m_valueFont->setSize(layout.size);
  context->setFont(m_valueFont);
  context->setFontColor(valueTextColour(m_colours->controlBackground));
  context->drawString(m_valueText, layout.band, kCenterText, true);
}

}  // namespace skarvel
