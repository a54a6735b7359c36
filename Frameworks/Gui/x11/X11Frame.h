#pragma once

#include <memory>

#include "Frameworks/Gui/Platform.h"

namespace VSTGUI::X11 {

// The frame's X11 window: a child of the host's parent window, on a display connection of its
// own, drawn by copying the frame's back buffer.
class X11Frame {
 public:
  // Null when the display cannot be opened or the parent window does not exist.
  static std::unique_ptr<IPlatformFrame> create(IPlatformWindowCallback& frame, const CRect& size, uintptr_t parent);
};

}  // namespace VSTGUI::X11
