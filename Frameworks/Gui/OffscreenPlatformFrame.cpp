#include "Frameworks/Gui/OffscreenPlatformFrame.h"

namespace VSTGUI {

namespace {
class OffscreenPopupWindow : public IPlatformPopupWindow {
 public:
  void present(const CRect&) override {}
};
}  // namespace

std::unique_ptr<IPlatformPopupWindow> OffscreenPlatformFrame::createPopupWindow(CRect&,
                                                                                IPlatformWindowCallback&) {
  return std::make_unique<OffscreenPopupWindow>();
}

}  // namespace VSTGUI
