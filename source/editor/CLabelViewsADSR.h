#pragma once

#include "source/editor/CLabelViews.h"

namespace skarvel {

// The label of the ADSR2 target knob: "LP-HP" while the band-pass melody is off, "BP pitch"
// while it is on.
class CLabelViewsADSR : public CLabelViews {
 public:
  CLabelViewsADSR(const VSTGUI::CRect& size, VSTGUI::CFontDesc* font, VSTGUI::CColor colour);

  const char* text() const { return m_off ? "LP-HP" : "BP pitch"; }

  void draw(VSTGUI::CDrawContext* context) override;

  CLASS_METHODS(CLabelViewsADSR, CLabelViews)
};

}  // namespace skarvel
