#pragma once

#include "Frameworks/Gui/CFontDesc.h"
#include "Frameworks/Gui/CView.h"

namespace skarvel {

// The three-row label of the keytracking knob: "keytrk" / "rate" / "osc1" while the band-pass
// melody is off, and only "width" in the middle row while it is on.
class CLabelViewsChange : public VSTGUI::CView {
 public:
  CLabelViewsChange(const VSTGUI::CRect& size, VSTGUI::CFontDesc* font, VSTGUI::CColor colour);

  // off: true while BPMelody is below 0.5.
  void setOff(bool off);
  bool isOff() const { return m_off; }
  void setTextColour(VSTGUI::CColor colour);
  VSTGUI::CColor getTextColour() const { return m_colour; }
  void setFont(VSTGUI::CFontDesc* font);
  const char* rowText(int row) const;

  void draw(VSTGUI::CDrawContext* context) override;

  CLASS_METHODS(CLabelViewsChange, CView)

 private:
  VSTGUI::SharedPointer<VSTGUI::CFontDesc> m_font;
  VSTGUI::CColor m_colour;
  bool m_off = true;
};

}  // namespace skarvel
