#pragma once

#include <cairo.h>

#include <memory>
#include <string>

#include "Frameworks/Gui/Platform.h"

namespace VSTGUI::X11 {

// A font face at a size, through cairo's FreeType back end.
class CairoFont : public IPlatformFont {
 public:
  // Takes a reference on face.
  CairoFont(cairo_font_face_t* face, CCoord size, std::string resolvedName);
  ~CairoFont() override;
  CairoFont(const CairoFont&) = delete;
  CairoFont& operator=(const CairoFont&) = delete;

  CCoord getAscent() const override { return m_ascent; }
  CCoord getDescent() const override { return m_descent; }
  CCoord getStringWidth(UTF8StringPtr text) const override;
  std::string getResolvedName() const override { return m_resolvedName; }

  cairo_scaled_font_t* getScaledFont() const { return m_scaledFont; }

 private:
  cairo_scaled_font_t* m_scaledFont = nullptr;
  CCoord m_ascent = 0;
  CCoord m_descent = 0;
  std::string m_resolvedName;
};

// Font files registered by name, and system fonts found through fontconfig. Faces are made
// once and kept for the life of the process (fonts are few and small).
class FontRegistry {
 public:
  static FontRegistry& instance();

  bool registerFontFile(const std::string& path, const std::string& name);
  bool isRegistered(const std::string& name) const;
  // A font for a name, size and style (CTxtFace bits); null only when no font exists at all.
  std::shared_ptr<CairoFont> createFont(const std::string& name, CCoord size, int32_t style);

 private:
  FontRegistry();
  struct Impl;
  std::unique_ptr<Impl> m_impl;
};

}  // namespace VSTGUI::X11
