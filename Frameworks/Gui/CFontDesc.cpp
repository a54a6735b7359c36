#include "Frameworks/Gui/CFontDesc.h"

#include "Frameworks/Gui/Platform.h"

namespace VSTGUI {

CFontDesc::CFontDesc(const UTF8String& name, const CCoord& size, int32_t style)
    : m_name(name), m_size(size), m_style(style) {}

CFontDesc::CFontDesc(const CFontDesc& other)
    : CBaseObject(other), m_name(other.m_name), m_size(other.m_size), m_style(other.m_style) {}

CFontDesc::~CFontDesc() = default;

void CFontDesc::setName(const UTF8String& name) {
  if (name == m_name) return;
  m_name = name;
  freePlatformFont();
}

void CFontDesc::setSize(CCoord size) {
  if (size == m_size) return;
  m_size = size;
  freePlatformFont();
}

void CFontDesc::setStyle(int32_t style) {
  if (style == m_style) return;
  m_style = style;
  freePlatformFont();
}

IPlatformFont* CFontDesc::getPlatformFont() const {
  if (!m_platformFont) m_platformFont = getPlatformFactory().createFont(m_name, m_size, m_style);
  return m_platformFont.get();
}

void CFontDesc::freePlatformFont() { m_platformFont.reset(); }

bool registerFontFile(const UTF8String& path, const UTF8String& name) {
  return getPlatformFactory().registerFontFile(path, name);
}

bool isFontRegistered(const UTF8String& name) { return getPlatformFactory().isFontRegistered(name); }

namespace {
// Deliberately never released: views may hold them until the process ends.
CFontRef makeStandardFont(CCoord size, int32_t style = kNormalFace) { return new CFontDesc("Sans", size, style); }
}  // namespace

CFontRef kSystemFont = makeStandardFont(12);
CFontRef kNormalFontVeryBig = makeStandardFont(18);
CFontRef kNormalFontBig = makeStandardFont(14);
CFontRef kNormalFont = makeStandardFont(12);
CFontRef kNormalFontSmall = makeStandardFont(11);
CFontRef kNormalFontSmaller = makeStandardFont(10);
CFontRef kNormalFontVerySmall = makeStandardFont(9);
CFontRef kSymbolFont = makeStandardFont(12);

}  // namespace VSTGUI
