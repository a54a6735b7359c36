#include "source/editor/CLabelViewsADSR.h"

#include "source/editor/LabelDrawing.h"

using namespace VSTGUI;

namespace skarvel {

CLabelViewsADSR::CLabelViewsADSR(const CRect& size, CFontDesc* font, CColor colour)
    : CLabelViews(size, font, colour) {}

void CLabelViewsADSR::draw(CDrawContext* context) {
  drawCentredLabel(context, m_font, m_colour, text(), getViewSize());
  setDirty(false);
}

}  // namespace skarvel
