#pragma once

#include <memory>

#include "Frameworks/Gui/Platform.h"

namespace VSTGUI::Win32 {

// The frame's window: a child window of the host's HWND, drawn by copying the frame's back
// buffer (GDI+ bitmap) to it. Messages reach it through the host's own message loop.
class Win32Frame {
 public:
  // Null when the parent is not a window or the child window cannot be made.
  static std::unique_ptr<IPlatformFrame> create(IPlatformWindowCallback& frame, const CRect& size, void* parent);
};

}  // namespace VSTGUI::Win32
