#pragma once

#include <initializer_list>

#include "Frameworks/Gui/CColor.h"

namespace skarvel {

// Contrast between two opaque colours as the accessibility guidelines measure it: (L1 + 0.05) /
// (L2 + 0.05) of their relative luminances, from 1 (the same) to 21 (black on white).
double contrastRatio(const VSTGUI::CColor& a, const VSTGUI::CColor& b);

// `over` drawn at its alpha onto the opaque `under`.
VSTGUI::CColor blendOver(const VSTGUI::CColor& over, const VSTGUI::CColor& under);

// The first of `candidates` that reads on `background` at `minimum` contrast or better; when
// none does, white or black, whichever reads better.
VSTGUI::CColor legibleOn(const VSTGUI::CColor& background, std::initializer_list<VSTGUI::CColor> candidates,
                         double minimum = 4.5);

}  // namespace skarvel
