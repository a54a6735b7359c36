#include "Frameworks/Gui/win32/GdiFont.h"

#include <map>
#include <mutex>
#include <vector>

#include "Frameworks/Gui/CFontDesc.h"
#include "platform/win32/WideText.h"
#include "Frameworks/Gui/win32/GdiBitmap.h"

namespace VSTGUI::Win32 {

namespace {

int gdiplusStyle(const Gdiplus::FontFamily& family, int32_t style) {
  int wanted = Gdiplus::FontStyleRegular;
  if (style & kBoldFace) wanted |= Gdiplus::FontStyleBold;
  if (style & kItalicFace) wanted |= Gdiplus::FontStyleItalic;
  // A family without the wanted style (a single registered file) is drawn in its regular style.
  if (!family.IsStyleAvailable(wanted)) wanted = Gdiplus::FontStyleRegular;
  if (!family.IsStyleAvailable(wanted)) {
    for (int other : {Gdiplus::FontStyleBold, Gdiplus::FontStyleItalic, Gdiplus::FontStyleBoldItalic})
      if (family.IsStyleAvailable(other)) return other;
  }
  return wanted;
}

std::string familyName(const Gdiplus::FontFamily& family) {
  WCHAR name[LF_FACESIZE] = {};
  family.GetFamilyName(name);
  return platform::win32::narrow(name);
}

}  // namespace

GdiFont::GdiFont(const Gdiplus::FontFamily& family, CCoord size, int32_t style, std::string resolvedName)
    : m_resolvedName(std::move(resolvedName)) {
  const int gdiStyle = gdiplusStyle(family, style);
  m_font = std::make_unique<Gdiplus::Font>(&family, static_cast<Gdiplus::REAL>(size), gdiStyle, Gdiplus::UnitPixel);
  const double em = family.GetEmHeight(gdiStyle);
  if (em > 0) {
    m_ascent = size * family.GetCellAscent(gdiStyle) / em;
    m_descent = size * family.GetCellDescent(gdiStyle) / em;
  }
}

const Gdiplus::StringFormat& GdiFont::layout() {
  static const Gdiplus::StringFormat* format = [] {
    auto* typographic = Gdiplus::StringFormat::GenericTypographic()->Clone();
    typographic->SetFormatFlags(typographic->GetFormatFlags() | Gdiplus::StringFormatFlagsMeasureTrailingSpaces |
                                Gdiplus::StringFormatFlagsNoWrap);
    return typographic;
  }();
  return *format;
}

CCoord GdiFont::getStringWidth(UTF8StringPtr text) const {
  if (!text || !*text || !isValid()) return 0;
  const std::wstring wide = platform::win32::widen(text);
  // Measured on a tiny offscreen image: the width does not depend on any device.
  static GdiBitmap* scratch = new GdiBitmap(1, 1);
  Gdiplus::Graphics graphics(scratch->getGdiplusBitmap());
  graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
  Gdiplus::RectF box;
  graphics.MeasureString(wide.c_str(), static_cast<INT>(wide.size()), m_font.get(), Gdiplus::PointF(0, 0), &layout(),
                         &box);
  return box.Width;
}

struct GdiFontRegistry::Impl {
  std::mutex mutex;
  // name -> private collection holding that file alone (kept for the life of the process)
  std::map<std::string, std::unique_ptr<Gdiplus::PrivateFontCollection>> registered;

  // The first usable family of a collection; null when it has none.
  static std::unique_ptr<Gdiplus::FontFamily> firstFamily(Gdiplus::FontCollection& collection) {
    const INT count = collection.GetFamilyCount();
    if (count <= 0) return nullptr;
    std::vector<Gdiplus::FontFamily> families(static_cast<std::size_t>(count));
    INT found = 0;
    if (collection.GetFamilies(count, families.data(), &found) != Gdiplus::Ok || found <= 0) return nullptr;
    auto family = std::unique_ptr<Gdiplus::FontFamily>(families[0].Clone());
    if (!family || family->GetLastStatus() != Gdiplus::Ok || !family->IsAvailable()) return nullptr;
    return family;
  }

  std::unique_ptr<Gdiplus::FontFamily> installed(const std::string& name) {
    Gdiplus::InstalledFontCollection fonts;
    auto family = std::make_unique<Gdiplus::FontFamily>(platform::win32::widen(name).c_str(), &fonts);
    if (family->GetLastStatus() != Gdiplus::Ok || !family->IsAvailable()) return nullptr;
    return family;
  }

  // The first installed family, for a system without any of the usual fonts.
  std::unique_ptr<Gdiplus::FontFamily> anyInstalled() {
    Gdiplus::InstalledFontCollection fonts;
    return firstFamily(fonts);
  }

  std::unique_ptr<Gdiplus::FontFamily> generic() {
    // GenericSansSerifFontFamily() answers null, or a family that is not there, when the
    // system has none of the usual fonts (wine without its font packages).
    const Gdiplus::FontFamily* sans = Gdiplus::FontFamily::GenericSansSerif();
    if (!sans || sans->GetLastStatus() != Gdiplus::Ok || !sans->IsAvailable()) return nullptr;
    return std::unique_ptr<Gdiplus::FontFamily>(sans->Clone());
  }
};

GdiFontRegistry::GdiFontRegistry() : m_impl(std::make_unique<Impl>()) {}

GdiFontRegistry& GdiFontRegistry::instance() {
  // Never destroyed: fonts handed out may outlive any static destructor order.
  static GdiFontRegistry* registry = new GdiFontRegistry();
  return *registry;
}

bool GdiFontRegistry::registerFontFile(const std::string& path, const std::string& name) {
  if (path.empty() || name.empty() || !ensureGdiplus()) return false;
  auto collection = std::make_unique<Gdiplus::PrivateFontCollection>();
  if (collection->AddFontFile(platform::win32::widen(path).c_str()) != Gdiplus::Ok) return false;
  if (!Impl::firstFamily(*collection)) return false;  // not a font file GDI+ can use
  const std::lock_guard<std::mutex> lock(m_impl->mutex);
  m_impl->registered[name] = std::move(collection);
  return true;
}

bool GdiFontRegistry::isRegistered(const std::string& name) const {
  const std::lock_guard<std::mutex> lock(m_impl->mutex);
  return m_impl->registered.count(name) != 0;
}

std::shared_ptr<GdiFont> GdiFontRegistry::createFont(const std::string& name, CCoord size, int32_t style) {
  if (!ensureGdiplus() || !(size > 0)) return nullptr;
  const std::lock_guard<std::mutex> lock(m_impl->mutex);
  std::unique_ptr<Gdiplus::FontFamily> family;
  std::string resolved;
  if (auto it = m_impl->registered.find(name); it != m_impl->registered.end()) {
    family = Impl::firstFamily(*it->second);
    resolved = name;
  }
  if (!family && !name.empty() && name != "Sans") family = m_impl->installed(name);
  if (!family) family = m_impl->generic();
  if (!family) family = m_impl->anyInstalled();
  // Nothing installed: any registered font is better than no text.
  for (auto it = m_impl->registered.begin(); !family && it != m_impl->registered.end(); ++it) {
    family = Impl::firstFamily(*it->second);
    resolved = it->first;
  }
  if (!family) return nullptr;
  if (resolved.empty()) resolved = familyName(*family);
  auto font = std::make_shared<GdiFont>(*family, size, style, resolved);
  return font->isValid() ? font : nullptr;
}

}  // namespace VSTGUI::Win32
