#include "tools/make-pictures/LogoPainter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <numbers>
#include <vector>

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include "tools/make-pictures/PictureFile.h"

namespace pictures {

namespace {

constexpr double kCorner = 7.0;

// The default theme's accent green, so the plate sits naturally in the default look.
constexpr double kAccent[3] = {16 / 255.0, 214 / 255.0, 97 / 255.0};

void roundedRectangle(cairo_t* cr, double x, double y, double w, double h, double r) {
  const double pi = std::numbers::pi;
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -pi / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, pi / 2);
  cairo_arc(cr, x + r, y + h - r, r, pi / 2, pi);
  cairo_arc(cr, x + r, y + r, r, pi, 3 * pi / 2);
  cairo_close_path(cr);
}

// A FreeType face kept alive for as long as cairo's font face refers to it.
class FontFile {
public:
  explicit FontFile(const std::string& path) {
    if (FT_Init_FreeType(&m_library) != 0) {
      m_library = nullptr;
      return;
    }
    if (FT_New_Face(m_library, path.c_str(), 0, &m_face) != 0) {
      m_face = nullptr;
      return;
    }
    m_fontFace = cairo_ft_font_face_create_for_ft_face(m_face, 0);
  }
  ~FontFile() {
    if (m_fontFace != nullptr) cairo_font_face_destroy(m_fontFace);
    if (m_face != nullptr) FT_Done_Face(m_face);
    if (m_library != nullptr) FT_Done_FreeType(m_library);
  }
  FontFile(const FontFile&) = delete;
  FontFile& operator=(const FontFile&) = delete;

  cairo_font_face_t* face() const { return m_fontFace; }

private:
  FT_Library m_library = nullptr;
  FT_Face m_face = nullptr;
  cairo_font_face_t* m_fontFace = nullptr;
};

void useFont(cairo_t* cr, const FontFile& font, double size) {
  cairo_set_font_face(cr, font.face());
  cairo_set_font_size(cr, size);
  // Outlines as drawn, without hinting towards any particular pixel grid: the
  // picture is scaled by the editor.
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  cairo_set_font_options(cr, options);
  cairo_font_options_destroy(options);
}

// Adds text to the path, centred on centreX, with extra space between letters.
void trackedTextPath(cairo_t* cr, const char* text, double centreX, double baseline, double tracking) {
  std::vector<std::pair<std::string, double>> glyphs;
  double width = 0;
  for (const char* c = text; *c != '\0'; ++c) {
    const std::string letter(1, *c);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, letter.c_str(), &extents);
    glyphs.emplace_back(letter, extents.x_advance);
    width += extents.x_advance;
  }
  width += tracking * static_cast<double>(glyphs.size() - 1);
  double x = centreX - width / 2;
  for (const auto& [letter, advance] : glyphs) {
    cairo_move_to(cr, x, baseline);
    cairo_text_path(cr, letter.c_str());
    x += advance + tracking;
  }
}

// A deterministic noise sequence for the trace (-1..1).
double noiseSample(int i) {
  std::uint32_t x = static_cast<std::uint32_t>(i) * 747796405u + 2891336453u;
  x = ((x >> ((x >> 28) + 4)) ^ x) * 277803737u;
  x = (x >> 22) ^ x;
  return x / 2147483647.5 - 1.0;
}

}  // namespace

LogoPainter::LogoPainter(std::string fontPath) : m_fontPath(std::move(fontPath)) {}

void LogoPainter::paintPlate(cairo_t* cr) const {
  // A soft drop shadow lifts the plate from light and dark panels alike.
  cairo_save(cr);
  roundedRectangle(cr, 1.0, 1.8, kWidth - 2.0, kHeight - 2.0, kCorner);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.35);
  cairo_fill(cr);
  cairo_restore(cr);

  roundedRectangle(cr, 0.75, 0.75, kWidth - 1.5, kHeight - 2.5, kCorner);
  cairo_pattern_t* fill = cairo_pattern_create_linear(0, 0, 0, kHeight);
  cairo_pattern_add_color_stop_rgb(fill, 0.0, 38 / 255.0, 41 / 255.0, 46 / 255.0);
  cairo_pattern_add_color_stop_rgb(fill, 1.0, 17 / 255.0, 19 / 255.0, 22 / 255.0);
  cairo_set_source(cr, fill);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(fill);

  cairo_set_line_width(cr, 0.75);
  cairo_pattern_t* edge = cairo_pattern_create_linear(0, 0, 0, kHeight);
  cairo_pattern_add_color_stop_rgba(edge, 0.0, 1, 1, 1, 0.22);
  cairo_pattern_add_color_stop_rgba(edge, 1.0, 1, 1, 1, 0.06);
  cairo_set_source(cr, edge);
  cairo_stroke(cr);
  cairo_pattern_destroy(edge);
}

void LogoPainter::paintTrace(cairo_t* cr) const {
  // A burst of noise that the resonator turns into a decaying tone: the first
  // stretch is random, then the randomness fades out while a sine fades in.
  const double left = 12.0, right = kWidth - 12.0;
  const double middle = 35.0, amplitude = 5.5;
  const int steps = 232;
  cairo_new_path(cr);
  for (int i = 0; i <= steps; ++i) {
    const double t = static_cast<double>(i) / steps;
    const double x = left + t * (right - left);
    const double noiseShare = std::clamp(1.0 - (t - 0.12) / 0.28, 0.0, 1.0);
    const double envelope = std::sin(std::min(t / 0.08, 1.0) * std::numbers::pi / 2) * std::exp(-2.2 * std::max(t - 0.25, 0.0));
    const double tone = std::sin(t * 2 * std::numbers::pi * 9.0);
    const double value = envelope * (noiseShare * noiseSample(i / 2) + (1.0 - noiseShare) * tone);
    if (i == 0)
      cairo_move_to(cr, x, middle - amplitude * value);
    else
      cairo_line_to(cr, x, middle - amplitude * value);
  }
  cairo_pattern_t* ink = cairo_pattern_create_linear(left, 0, right, 0);
  cairo_pattern_add_color_stop_rgba(ink, 0.0, kAccent[0], kAccent[1], kAccent[2], 0.35);
  cairo_pattern_add_color_stop_rgba(ink, 0.35, kAccent[0], kAccent[1], kAccent[2], 1.0);
  cairo_pattern_add_color_stop_rgba(ink, 1.0, kAccent[0], kAccent[1], kAccent[2], 0.55);
  cairo_set_source(cr, ink);
  cairo_set_line_width(cr, 1.1);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_stroke(cr);
  cairo_pattern_destroy(ink);
}

bool LogoPainter::paintText(cairo_t* cr) const {
  const FontFile wordmark(m_fontPath);
  if (wordmark.face() == nullptr) {
    std::fprintf(stderr, "Cannot load the logo font %s\n", m_fontPath.c_str());
    return false;
  }
  useFont(cr, wordmark, 19.5);
  cairo_new_path(cr);
  trackedTextPath(cr, "SKARVEL", kWidth / 2, 23.5, 1.8);
  cairo_pattern_t* ink = cairo_pattern_create_linear(0, 8.5, 0, 24);
  cairo_pattern_add_color_stop_rgb(ink, 0.0, 0.97, 0.97, 0.96);
  cairo_pattern_add_color_stop_rgb(ink, 1.0, 0.78, 0.79, 0.80);
  cairo_set_source(cr, ink);
  cairo_fill(cr);
  cairo_pattern_destroy(ink);
  return true;
}

bool LogoPainter::paint(cairo_t* cr) const {
  cairo_save(cr);
  paintPlate(cr);
  paintTrace(cr);
  const bool textOk = paintText(cr);
  cairo_restore(cr);
  return textOk;
}

bool LogoPainter::writePng(const std::string& path) const {
  Canvas canvas(static_cast<int>(kWidth) * kPixelsPerUnit, static_cast<int>(kHeight) * kPixelsPerUnit);
  cairo_scale(canvas.context(), kPixelsPerUnit, kPixelsPerUnit);
  cairo_set_antialias(canvas.context(), CAIRO_ANTIALIAS_BEST);
  if (!paint(canvas.context())) return false;
  return canvas.writePng(path);
}

}  // namespace pictures
