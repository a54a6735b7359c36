#pragma once

#include <memory>

#include "Frameworks/Gui/CBaseObject.h"

namespace VSTGUI {

class IPlatformFont;

// Font styles (bit flags).
enum CTxtFace : int32_t {
  kNormalFace = 0,
  kBoldFace = 1 << 1,
  kItalicFace = 1 << 2,
  kUnderlineFace = 1 << 3,
  kStrikethroughFace = 1 << 4,
};

// A font by name, size (pixels, the em height) and style. The name is either one registered
// with registerFontFile or a system family name, which the back end matches with the closest
// installed font (a name like "Arial" falls back to a similar sans-serif face).
class CFontDesc : public CBaseObject {
 public:
  CFontDesc(const UTF8String& name = "", const CCoord& size = 0, int32_t style = 0);
  CFontDesc(const CFontDesc& other);
  ~CFontDesc() override;

  const UTF8String& getName() const { return m_name; }
  void setName(const UTF8String& name);
  const CCoord& getSize() const { return m_size; }
  void setSize(CCoord size);
  int32_t getStyle() const { return m_style; }
  void setStyle(int32_t style);

  // The back end's font for this description, made on first use; null when no font at all
  // could be made (no fonts installed).
  IPlatformFont* getPlatformFont() const;
  void freePlatformFont();

  bool operator==(const CFontDesc& other) const {
    return m_name == other.m_name && m_size == other.m_size && m_style == other.m_style;
  }

 private:
  UTF8String m_name;
  CCoord m_size = 0;
  int32_t m_style = 0;
  mutable std::shared_ptr<IPlatformFont> m_platformFont;
};

// Registers a TrueType/OpenType file under a font name, so a CFontDesc of that name draws with
// it. Returns false when the file cannot be read as a font. Registering a name again replaces it.
bool registerFontFile(const UTF8String& path, const UTF8String& name);
// Whether a name was registered with registerFontFile.
bool isFontRegistered(const UTF8String& name);

// Shared default fonts (sans-serif). They live for the whole process.
extern CFontRef kSystemFont;
extern CFontRef kNormalFontVeryBig;
extern CFontRef kNormalFontBig;
extern CFontRef kNormalFont;
extern CFontRef kNormalFontSmall;
extern CFontRef kNormalFontSmaller;
extern CFontRef kNormalFontVerySmall;
extern CFontRef kSymbolFont;

}  // namespace VSTGUI
