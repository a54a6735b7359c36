#pragma once

#include "Frameworks/Gui/CFontDesc.h"
#include "Frameworks/Gui/CView.h"

namespace skarvel {

// The label of the ADSR2 target knob: "LP-HP" while the band-pass melody is off, "BP pitch"
// while it is on.
class CLabelViewsADSR : public VSTGUI::CView {
 public:
  CLabelViewsADSR(const VSTGUI::CRect& size, VSTGUI::CFontDesc* font, VSTGUI::CColor colour);

  void setOff(bool off);
  bool isOff() const { return m_off; }
  void setTextColour(VSTGUI::CColor colour);
  VSTGUI::CColor getTextColour() const { return m_colour; }
  void setFont(VSTGUI::CFontDesc* font);
  const char* text() const { return m_off ? "LP-HP" : "BP pitch"; }

  void draw(VSTGUI::CDrawContext* context) override;

  CLASS_METHODS(CLabelViewsADSR, CView)

 private:
  VSTGUI::SharedPointer<VSTGUI::CFontDesc> m_font;
  VSTGUI::CColor m_colour;
  bool m_off = true;
};

}  // namespace skarvel
