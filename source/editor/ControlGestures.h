#pragma once

#include "Frameworks/Gui/CControl.h"

namespace skarvel {

// A right click and a double click on a knob or slider belong to the editor (typed entry, the
// parameter's default): the control offers them to its listener before its own handling. True
// when the listener took the click.
inline bool offerClickToListener(VSTGUI::CControl& control, const VSTGUI::CButtonState& buttons) {
  const bool special = buttons.isRightButton() || (buttons.isLeftButton() && buttons.isDoubleClick());
  VSTGUI::IControlListener* listener = control.getListener();
  return special && listener && listener->controlModifierClicked(&control, buttons) != 0;
}

}  // namespace skarvel
