#pragma once

#include "source/editor/CKnobFlatSwitch.h"

namespace skarvel {

// The editor's knob: the switch knob with a thick ring over its body, a value arc built from
// short radial segments along that ring, and a value text band across the middle.
class CKnobFlatOrvik : public CKnobFlatSwitch {
 public:
  CKnobFlatOrvik(const VSTGUI::CRect& size, VSTGUI::IControlListener* listener, int32_t tag,
                 const ColourGroupC* colours, int positions);

  CLASS_METHODS(CKnobFlatOrvik, CKnobFlatSwitch)

 protected:
  void drawBody(VSTGUI::CDrawContext* context) override;
  void drawValueArc(VSTGUI::CDrawContext* context) override;
  void drawValueText(VSTGUI::CDrawContext* context) override;
  void arcRadii(double& inner, double& outer) const override;
};

}  // namespace skarvel
