#pragma once

#include "Frameworks/Gui/CFontDesc.h"
#include "Frameworks/Gui/CView.h"

namespace skarvel {

// A label beside a knob whose meaning changes with the band-pass melody switch: it keeps the
// switch state, the font and the text colour; each kind draws its own texts.
class CLabelViews : public VSTGUI::CView {
 public:
  // off: true while BPMelody is below 0.5.
  void setOff(bool off);
  bool isOff() const { return m_off; }
  void setTextColour(VSTGUI::CColor colour);
  VSTGUI::CColor getTextColour() const { return m_colour; }
  void setFont(VSTGUI::CFontDesc* font);

  CLASS_METHODS_NOCOPY(CLabelViews, CView)

 protected:
  CLabelViews(const VSTGUI::CRect& size, VSTGUI::CFontDesc* font, VSTGUI::CColor colour);

  VSTGUI::SharedPointer<VSTGUI::CFontDesc> m_font;
  VSTGUI::CColor m_colour;
  bool m_off = true;
};

}  // namespace skarvel
