#include "Frameworks/Gui/x11/CairoFont.h"

#include <cairo-ft.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <map>
#include <tuple>
#include <utility>

#include "Frameworks/Gui/CFontDesc.h"
#include "platform/FileSystem.h"

namespace VSTGUI::X11 {

CairoFont::CairoFont(cairo_font_face_t* face, CCoord size, std::string resolvedName)
    : m_resolvedName(std::move(resolvedName)) {
  cairo_matrix_t fontMatrix, ctm;
  cairo_matrix_init_scale(&fontMatrix, size, size);
  cairo_matrix_init_identity(&ctm);
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  m_scaledFont = cairo_scaled_font_create(face, &fontMatrix, &ctm, options);
  cairo_font_options_destroy(options);
  cairo_font_extents_t extents;
  cairo_scaled_font_extents(m_scaledFont, &extents);
  m_ascent = extents.ascent;
  m_descent = extents.descent;
}

CairoFont::~CairoFont() { cairo_scaled_font_destroy(m_scaledFont); }

CCoord CairoFont::getStringWidth(UTF8StringPtr text) const {
  if (!text || !*text) return 0;
  cairo_text_extents_t extents;
  cairo_scaled_font_text_extents(m_scaledFont, text, &extents);
  return extents.x_advance;
}

namespace {
const cairo_user_data_key_t ftFaceKey{};

void destroyFtFace(void* face) { FT_Done_Face(static_cast<FT_Face>(face)); }
}  // namespace

struct FontRegistry::Impl {
  FT_Library library = nullptr;
  std::map<std::string, std::string> registered;  // name -> file
  // (file, index, synthesized bold) -> face
  std::map<std::tuple<std::string, int, bool>, cairo_font_face_t*> faces;
  // (name, style) -> (file, index, synthesized bold)
  std::map<std::pair<std::string, int32_t>, std::tuple<std::string, int, bool>> resolved;

  cairo_font_face_t* faceFor(const std::string& file, int index, bool synthesizeBold) {
    const auto key = std::make_tuple(file, index, synthesizeBold);
    if (auto it = faces.find(key); it != faces.end()) return it->second;
    FT_Face ftFace = nullptr;
    if (!library || FT_New_Face(library, file.c_str(), index, &ftFace) != 0) return nullptr;
    cairo_font_face_t* face = cairo_ft_font_face_create_for_ft_face(ftFace, 0);
    if (cairo_font_face_set_user_data(face, &ftFaceKey, ftFace, destroyFtFace) != CAIRO_STATUS_SUCCESS) {
      cairo_font_face_destroy(face);
      FT_Done_Face(ftFace);
      return nullptr;
    }
    if (synthesizeBold) cairo_ft_font_face_set_synthesize(face, CAIRO_FT_SYNTHESIZE_BOLD);
    faces.emplace(key, face);
    return face;
  }

  // Asks fontconfig for the installed font closest to a family name and style.
  bool match(const std::string& family, int32_t style, std::string& file, int& index, bool& isBold) {
    if (!FcInit()) return false;
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.empty() ? "Sans" : family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, (style & kBoldFace) ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, (style & kItalicFace) ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* font = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!font) return false;
    FcChar8* path = nullptr;
    int weight = FC_WEIGHT_REGULAR;
    bool ok = FcPatternGetString(font, FC_FILE, 0, &path) == FcResultMatch && path;
    if (ok) {
      file = reinterpret_cast<const char*>(path);
      if (FcPatternGetInteger(font, FC_INDEX, 0, &index) != FcResultMatch) index = 0;
      if (FcPatternGetInteger(font, FC_WEIGHT, 0, &weight) == FcResultMatch) isBold = weight >= FC_WEIGHT_DEMIBOLD;
    }
    FcPatternDestroy(font);
    return ok;
  }
};

FontRegistry::FontRegistry() : m_impl(std::make_unique<Impl>()) {
  if (FT_Init_FreeType(&m_impl->library) != 0) m_impl->library = nullptr;
}

FontRegistry& FontRegistry::instance() {
  // Never destroyed: cairo keeps the faces until the process ends.
  static FontRegistry* registry = new FontRegistry();
  return *registry;
}

bool FontRegistry::registerFontFile(const std::string& path, const std::string& name) {
  if (!m_impl->library || name.empty()) return false;
  // FreeType would wait on a FIFO in the font's place for ever.
  if (!platform::isRegularFile(path)) return false;
  FT_Face face = nullptr;
  if (FT_New_Face(m_impl->library, path.c_str(), 0, &face) != 0) return false;
  FT_Done_Face(face);
  m_impl->registered[name] = path;
  // Forget earlier resolutions of this name.
  for (auto it = m_impl->resolved.begin(); it != m_impl->resolved.end();) {
    it = it->first.first == name ? m_impl->resolved.erase(it) : std::next(it);
  }
  return true;
}

bool FontRegistry::isRegistered(const std::string& name) const { return m_impl->registered.count(name) != 0; }

std::shared_ptr<CairoFont> FontRegistry::createFont(const std::string& name, CCoord size, int32_t style) {
  const auto key = std::make_pair(name, style & (kBoldFace | kItalicFace));
  auto it = m_impl->resolved.find(key);
  if (it == m_impl->resolved.end()) {
    std::string file;
    int index = 0;
    bool synthesizeBold = false;
    if (auto reg = m_impl->registered.find(name); reg != m_impl->registered.end()) {
      file = reg->second;
      // A registered file is used as it is; bold is drawn by emboldening its outlines.
      synthesizeBold = (style & kBoldFace) != 0;
    } else {
      bool isBold = false;
      if (!m_impl->match(name, style, file, index, isBold)) return nullptr;
      synthesizeBold = (style & kBoldFace) && !isBold;
    }
    it = m_impl->resolved.emplace(key, std::make_tuple(file, index, synthesizeBold)).first;
  }
  const auto& [file, index, synthesizeBold] = it->second;
  cairo_font_face_t* face = m_impl->faceFor(file, index, synthesizeBold);
  if (!face) return nullptr;
  return std::make_shared<CairoFont>(face, size > 0 ? size : 12, file);
}

}  // namespace VSTGUI::X11
