#include "source/editor/CLabelViews.h"

#include "source/editor/LabelDrawing.h"

using namespace VSTGUI;

namespace skarvel {

CLabelViews::CLabelViews(const CRect& size, CFontDesc* font, CColor colour)
    : CView(size), m_font(labelFont(font)), m_colour(colour) {
  setMouseEnabled(false);
}

void CLabelViews::setOff(bool off) {
  m_off = off;
  setDirty();
}

void CLabelViews::setTextColour(CColor colour) {
  m_colour = colour;
  setDirty();
}

void CLabelViews::setFont(CFontDesc* font) {
  if (!font) return;
  m_font = font;
  setDirty();
}

}  // namespace skarvel
