#include "Frameworks/Gui/Platform.h"

namespace VSTGUI {

namespace {
IPlatformFactory* installedFactory = nullptr;
}

IPlatformFactory& getPlatformFactory() {
  return installedFactory ? *installedFactory : getDefaultPlatformFactory();
}

void setPlatformFactory(IPlatformFactory* factory) { installedFactory = factory; }

bool openUrl(const std::string& url) {
  std::string reason;
  return getPlatformFactory().openUrl(url, reason);
}

bool openUrl(const std::string& url, std::string& reason) { return getPlatformFactory().openUrl(url, reason); }

}  // namespace VSTGUI
