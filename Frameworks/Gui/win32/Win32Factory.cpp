// The Windows back end of the GUI layer: GDI+ drawing and fonts (works headless, also under
// wine), Win32 child and pop-up windows, the common file dialogs, and the shell for opening
// folders ("explore") and documents ("open").
#include <windows.h>

#include <shellapi.h>

#include "Frameworks/Gui/OffscreenPlatformFrame.h"
#include "platform/win32/WideText.h"
#include "Frameworks/Gui/win32/GdiContext.h"
#include "Frameworks/Gui/win32/GdiFont.h"
#include "Frameworks/Gui/win32/Win32FileSelector.h"
#include "Frameworks/Gui/win32/Win32Frame.h"

namespace VSTGUI {

namespace Win32 {

class Win32Factory : public IPlatformFactory {
 public:
  uint64_t getTicks() const override { return GetTickCount64() + 1; }

  SharedPointer<COffscreenContext> createOffscreenContext(const CPoint& size, double) override {
    auto bitmap = GdiBitmap::create(size);
    if (!bitmap) return nullptr;
    return owned<COffscreenContext>(new GdiContext(bitmap));
  }

  std::shared_ptr<IPlatformBitmap> createBitmap(const CPoint& size) override { return GdiBitmap::create(size); }

  std::shared_ptr<IPlatformBitmap> loadBitmap(const std::string& path) override { return GdiBitmap::loadFile(path); }

  std::shared_ptr<IPlatformFont> createFont(const UTF8String& name, CCoord size, int32_t style) override {
    return GdiFontRegistry::instance().createFont(name, size, style);
  }

  bool registerFontFile(const std::string& path, const UTF8String& name) override {
    return GdiFontRegistry::instance().registerFontFile(path, name);
  }

  bool isFontRegistered(const UTF8String& name) const override {
    return GdiFontRegistry::instance().isRegistered(name);
  }

  std::unique_ptr<IPlatformFrame> createFrame(IPlatformWindowCallback& frame, const CRect& size, void* parent,
                                              PlatformType type) override {
    if (type == PlatformType::kOffscreen) return std::make_unique<OffscreenPlatformFrame>(size);
    return Win32Frame::create(frame, size, parent);
  }

  std::unique_ptr<IPlatformFileSelector> startFileSelector(const FileSelectorConfig& config,
                                                           std::string& reason) override {
    return Win32FileSelector::start(config, reason);
  }

  bool openUrl(const std::string& url, std::string& reason) override {
    reason.clear();
    if (url.empty()) return false;
    const std::wstring target = platform::win32::widen(url);
    const DWORD attributes = GetFileAttributesW(target.c_str());
    const bool folder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    // Folders open in the file browser, everything else in its own program.
    const HINSTANCE result =
        ShellExecuteW(nullptr, folder ? L"explore" : L"open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    if (reinterpret_cast<INT_PTR>(result) > 32) return true;
    reason = "Windows found no program to open it.";
    return false;
  }
};

}  // namespace Win32

IPlatformFactory& getDefaultPlatformFactory() {
  static Win32::Win32Factory factory;
  return factory;
}

}  // namespace VSTGUI
