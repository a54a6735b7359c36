#pragma once

#include "Frameworks/Gui/CDrawContext.h"
#include "Frameworks/Gui/CFontDesc.h"

namespace skarvel {

// The label font the switching labels fall back to when the editor gives none.
inline VSTGUI::SharedPointer<VSTGUI::CFontDesc> labelFont(VSTGUI::CFontDesc* font) {
  return font ? VSTGUI::SharedPointer<VSTGUI::CFontDesc>(font)
              : VSTGUI::owned(new VSTGUI::CFontDesc("Tahoma_Small", 14, VSTGUI::kBoldFace));
}

// One line of bold label text centred in r.
inline void drawCentredLabel(VSTGUI::CDrawContext* context, VSTGUI::CFontDesc* font,
                             VSTGUI::CColor colour, const char* text, const VSTGUI::CRect& r) {
  if (!text || !*text) return;
  context->saveGlobalState();
  context->setFont(font, 0, VSTGUI::kBoldFace);
  context->setFontColor(colour);
  context->drawString(text, r, VSTGUI::kCenterText, true);
  context->restoreGlobalState();
}

}  // namespace skarvel
