// The Linux back end: cairo drawing, FreeType/fontconfig fonts, X11 windows, zenity/kdialog
// file selectors and xdg-open.
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>

#include "Frameworks/Gui/OffscreenPlatformFrame.h"
#include "Frameworks/Gui/x11/CairoContext.h"
#include "Frameworks/Gui/x11/CairoFont.h"
#include "Frameworks/Gui/x11/FileSelectorProcess.h"
#include "Frameworks/Gui/x11/X11Frame.h"

extern char** environ;

namespace VSTGUI {

namespace X11 {

class X11Factory : public IPlatformFactory {
 public:
  uint64_t getTicks() const override {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u + 1;
  }

  SharedPointer<COffscreenContext> createOffscreenContext(const CPoint& size, double) override {
    auto bitmap = CairoBitmap::create(size);
    if (!bitmap) return nullptr;
    return owned<COffscreenContext>(new CairoContext(bitmap));
  }

  std::shared_ptr<IPlatformBitmap> createBitmap(const CPoint& size) override { return CairoBitmap::create(size); }

  std::shared_ptr<IPlatformBitmap> loadBitmap(const std::string& path) override { return CairoBitmap::loadPNG(path); }

  std::shared_ptr<IPlatformFont> createFont(const UTF8String& name, CCoord size, int32_t style) override {
    return FontRegistry::instance().createFont(name, size, style);
  }

  bool registerFontFile(const std::string& path, const UTF8String& name) override {
    return FontRegistry::instance().registerFontFile(path, name);
  }

  bool isFontRegistered(const UTF8String& name) const override { return FontRegistry::instance().isRegistered(name); }

  std::unique_ptr<IPlatformFrame> createFrame(IPlatformWindowCallback& frame, const CRect& size, void* parent,
                                              PlatformType type) override {
    if (type == PlatformType::kOffscreen) return std::make_unique<OffscreenPlatformFrame>(size);
    return X11Frame::create(frame, size, reinterpret_cast<uintptr_t>(parent));
  }

  std::unique_ptr<IPlatformFileSelector> startFileSelector(const FileSelectorConfig& config,
                                                           std::string& reason) override {
    return FileSelectorProcess::start(config, reason);
  }

  bool openUrl(const std::string& url, std::string& reason) override {
    reason.clear();
    if (url.empty()) return false;
    // The shell starts the opener in the background and returns at once, so waiting for it
    // here is short; no fork of this (multi-threaded) host process is needed.
    const char* script = "command -v xdg-open >/dev/null 2>&1 || exit 127; xdg-open \"$1\" >/dev/null 2>&1 &";
    const char* argv[] = {"sh", "-c", script, "sh", url.c_str(), nullptr};
    pid_t pid = 0;
    int status = 0;
    // The shell by its full path: only the opener is looked up in the PATH.
    if (posix_spawn(&pid, "/bin/sh", nullptr, nullptr, const_cast<char* const*>(argv), environ) != 0 ||
        waitpid(pid, &status, 0) != pid) {
      reason = "The desktop's opener (xdg-open) could not be started.";
      return false;
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return true;
    reason = WIFEXITED(status) && WEXITSTATUS(status) == 127
                 ? "xdg-open is not installed: install xdg-utils to open files and folders from here."
                 : "The desktop's opener (xdg-open) could not be started.";
    return false;
  }
};

}  // namespace X11

IPlatformFactory& getDefaultPlatformFactory() {
  static X11::X11Factory factory;
  return factory;
}

}  // namespace VSTGUI
