#pragma once

#include "source/editor/CLabelViews.h"

namespace skarvel {

// The three-row label of the keytracking knob: "keytrk" / "rate" / "osc1" while the band-pass
// melody is off, and only "width" in the middle row while it is on.
class CLabelViewsChange : public CLabelViews {
 public:
  CLabelViewsChange(const VSTGUI::CRect& size, VSTGUI::CFontDesc* font, VSTGUI::CColor colour);

  const char* rowText(int row) const;

  void draw(VSTGUI::CDrawContext* context) override;

  CLASS_METHODS(CLabelViewsChange, CLabelViews)
};

}  // namespace skarvel
