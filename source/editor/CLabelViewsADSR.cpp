#include "source/editor/CLabelViewsADSR.h"

#include "source/editor/LabelDrawing.h"

using namespace VSTGUI;

namespace skarvel {

CLabelViewsADSR::CLabelViewsADSR(const CRect& size, CFontDesc* font, CColor colour)
    : CView(size), m_font(labelFont(font)), m_colour(colour) {
  setMouseEnabled(false);
}

void CLabelViewsADSR::setOff(bool off) {
  m_off = off;
  setDirty();
}

void CLabelViewsADSR::setTextColour(CColor colour) {
  m_colour = colour;
  setDirty();
}

void CLabelViewsADSR::setFont(CFontDesc* font) {
  if (!font) return;
  m_font = font;
  setDirty();
}

void CLabelViewsADSR::draw(CDrawContext* context) {
  drawCentredLabel(context, m_font, m_colour, text(), getViewSize());
  setDirty(false);
}

}  // namespace skarvel
