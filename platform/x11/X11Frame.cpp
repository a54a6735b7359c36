#include "platform/x11/X11Frame.h"

namespace VSTGUI::X11 {

std::unique_ptr<IPlatformFrame> X11Frame::create(IPlatformWindowCallback&, const CRect&, uintptr_t) { return nullptr; }

}  // namespace VSTGUI::X11
