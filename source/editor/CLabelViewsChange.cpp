#include "source/editor/CLabelViewsChange.h"

#include "source/editor/LabelDrawing.h"

using namespace VSTGUI;

namespace skarvel {

CLabelViewsChange::CLabelViewsChange(const CRect& size, CFontDesc* font, CColor colour)
    : CLabelViews(size, font, colour) {}

const char* CLabelViewsChange::rowText(int row) const {
  static const char* const off[3] = {"keytrk", "rate", "osc1"};
  static const char* const on[3] = {"", "width", ""};
  if (row < 0 || row > 2) return "";
  return m_off ? off[row] : on[row];
}

void CLabelViewsChange::draw(CDrawContext* context) {
  const CRect& r = getViewSize();
  const double row = r.getHeight() / 3.0;
  for (int i = 0; i < 3; ++i)
    drawCentredLabel(context, m_font, m_colour, rowText(i),
                CRect(r.left, r.top + i * row, r.right, r.top + (i + 1) * row));
  setDirty(false);
}

}  // namespace skarvel
