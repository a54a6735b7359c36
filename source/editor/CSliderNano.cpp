#include "source/editor/CSliderNano.h"

#include <algorithm>
#include <cmath>

#include "Frameworks/Gui/CDrawContext.h"
#include "source/editor/ControlGestures.h"

using namespace VSTGUI;

namespace skarvel {

namespace {
double diameterFor(const CRect& r) { return std::max(4.0, std::min(r.getWidth() * 0.68, r.getHeight() * 0.5)); }
}  // namespace

// The drag range is the handle's travel, so the handle stays under the mouse.
CSliderNano::CSliderNano(const CRect& size, IControlListener* listener, int32_t tag,
                         const ColourGroupA* colours)
    : CSlider(size, listener, tag, static_cast<int32_t>(diameterFor(size) / 2),
              static_cast<int32_t>(size.getHeight() - diameterFor(size) / 2), nullptr, nullptr,
              CPoint(0, 0), kVertical | kTop),
      m_colours(colours) {
  setZoomFactor(kZoomFactor);
}

CMouseEventResult CSliderNano::onMouseDown(CPoint& where, const CButtonState& buttons) {
  if (offerClickToListener(*this, buttons)) return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  return CSlider::onMouseDown(where, buttons);
}

void CSliderNano::setHighlight(bool state) {
  if (state == m_highlight) return;
  m_highlight = state;
  invalid();
}

double CSliderNano::handleDiameter() const { return diameterFor(getViewSize()); }

CPoint CSliderNano::handleCentre() const {
  const CRect& r = getViewSize();
  const double d = handleDiameter();
  const double v = std::clamp(static_cast<double>(getValueNormalized()), 0.0, 1.0);
  // Value 1 at the top; the handle stays whole inside the view at both ends.
  const double y = r.bottom - d * 0.5 - v * (r.getHeight() - d);
  return {r.left + r.getWidth() * 0.5, y};
}

void CSliderNano::draw(CDrawContext* context) {
  const CRect r = getViewSize();
  const CPoint handle = handleCentre();
  const double d = handleDiameter();

  context->saveGlobalState();
  context->setDrawMode(kAliasing);
  context->setLineWidth(1);
  // The track: an eighth of the width, at least 3 pixels, on whole pixels so it stays crisp.
  const double trackWidth = std::max(3.0, std::round(r.getWidth() / 8.0));
  const double trackLeft = std::round(r.left + (r.getWidth() - trackWidth) * 0.5);
  const double inset = std::round(d * 0.5);
  const CRect track(trackLeft, r.top + inset, trackLeft + trackWidth, r.bottom - inset);
  context->setFillColor(m_colours->sliderTrackFront);
  context->setFrameColor(m_colours->highlightFrame);
  context->drawRect(track, kDrawFilledAndStroked);
  // Beyond the handle the track shows its back colour.
  CRect beyond(track);
  beyond.inset(1, 1);
  beyond.bottom = std::clamp(std::round(handle.y), beyond.top, beyond.bottom);
  if (!beyond.isEmpty()) {
    context->setFillColor(m_colours->sliderTrackBack);
    context->drawRect(beyond, kDrawFilled);
  }

  context->setDrawMode(kAntiAliasing);
  context->setFillColor(m_highlight ? m_colours->controlActive : CColor(128, 128, 128));
  const CRect knob(handle.x - d * 0.5, handle.y - d * 0.5, handle.x + d * 0.5, handle.y + d * 0.5);
  context->drawEllipse(knob, kDrawFilled);
  context->restoreGlobalState();
  setDirty(false);
}

}  // namespace skarvel
