#pragma once

#include <windows.h>

#include <gdiplus.h>

#include <memory>
#include <string>

#include "Frameworks/Gui/Platform.h"

namespace VSTGUI::Win32 {

// A font family at a size in pixels, through GDI+.
class GdiFont : public IPlatformFont {
 public:
  GdiFont(const Gdiplus::FontFamily& family, CCoord size, int32_t style, std::string resolvedName);

  CCoord getAscent() const override { return m_ascent; }
  CCoord getDescent() const override { return m_descent; }
  CCoord getStringWidth(UTF8StringPtr text) const override;
  std::string getResolvedName() const override { return m_resolvedName; }

  bool isValid() const { return m_font && m_font->GetLastStatus() == Gdiplus::Ok; }
  const Gdiplus::Font* getGdiplusFont() const { return m_font.get(); }
  // The layout every measurement and drawing uses: no padding, trailing spaces counted.
  static const Gdiplus::StringFormat& layout();

 private:
  std::unique_ptr<Gdiplus::Font> m_font;
  CCoord m_ascent = 0;
  CCoord m_descent = 0;
  std::string m_resolvedName;
};

// Font files registered by name (each in a private font collection of its own, so nothing is
// installed for other programs) and installed fonts by family name. No system font is assumed
// to exist: when a name cannot be found, a registered font or a generic family stands in, and
// only when there is no font at all is the answer null.
class GdiFontRegistry {
 public:
  static GdiFontRegistry& instance();

  bool registerFontFile(const std::string& path, const std::string& name);
  bool isRegistered(const std::string& name) const;
  std::shared_ptr<GdiFont> createFont(const std::string& name, CCoord size, int32_t style);

 private:
  GdiFontRegistry();
  struct Impl;
  std::unique_ptr<Impl> m_impl;
};

}  // namespace VSTGUI::Win32
