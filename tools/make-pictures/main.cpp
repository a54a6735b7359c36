// skarvel-make-pictures: draws the editor's pictures.
//
//   skarvel-make-pictures --logo OUT.png --tile OUT.png --font FONT.ttf
//                         [--preview OUT.png --backgrounds "R,G,B;R,G,B;..."] [--tile-check OUT.png]
//
// The preview shows the logo on the editor's background (the tile darkened and
// veiled the way the editor does it) for each given theme background, at the
// editor's smallest, normal and largest sizes, so the pictures can be judged
// against real themes; the tile check shows the tile repeated with its contrast
// stretched.

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/make-pictures/LogoPainter.h"
#include "tools/make-pictures/PictureFile.h"
#include "tools/make-pictures/TilePainter.h"

namespace {

struct Rgb {
  int r = 0, g = 0, b = 0;
};

std::vector<Rgb> parseBackgrounds(const std::string& text) {
  std::vector<Rgb> result;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find(';', start);
    if (end == std::string::npos) end = text.size();
    Rgb c;
    if (std::sscanf(text.substr(start, end - start).c_str(), "%d,%d,%d", &c.r, &c.g, &c.b) == 3) result.push_back(c);
    start = end + 1;
  }
  return result;
}

// The tile as the editor lays it: every channel scaled by the theme's lightness
// factor, repeated from the top-left corner.
cairo_surface_t* darkenedTile(const std::vector<std::uint32_t>& tile, int size, Rgb background) {
  const int lightness = std::max({background.r, background.g, background.b}) / 2 +
                        std::min({background.r, background.g, background.b}) / 2;
  const double k = std::clamp(lightness * 4.0 / 255.0, 0.0, 1.0);
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size);
  auto* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const std::uint32_t p = tile[static_cast<std::size_t>(y) * size + x];
      const auto scaled = [&](int shift) { return static_cast<std::uint32_t>(((p >> shift) & 0xFF) * k) << shift; };
      std::uint32_t out = (p & 0xFF000000u) | scaled(16) | scaled(8) | scaled(0);
      std::memcpy(data + static_cast<std::ptrdiff_t>(y) * stride + x * 4, &out, 4);
    }
  cairo_surface_mark_dirty(surface);
  return surface;
}

bool writePreview(const std::string& path, const std::string& logoPath, const std::vector<std::uint32_t>& tile,
                  int tileSize, const std::vector<Rgb>& backgrounds) {
  cairo_surface_t* logo = cairo_image_surface_create_from_png(logoPath.c_str());
  if (cairo_surface_status(logo) != CAIRO_STATUS_SUCCESS) {
    std::fprintf(stderr, "Cannot read %s for the preview\n", logoPath.c_str());
    cairo_surface_destroy(logo);
    return false;
  }
  const double scales[] = {0.89, 1.0, 1.98};
  const double panelW = 200, panelH = 100;  // base units
  double totalW = 0;
  for (double s : scales) totalW += panelW * s;
  const int width = static_cast<int>(totalW);
  const int height = static_cast<int>(panelH * 1.98 * static_cast<double>(backgrounds.size()));
  pictures::Canvas canvas(width, height);
  cairo_t* cr = canvas.context();
  double y = 0;
  for (const Rgb& bg : backgrounds) {
    cairo_surface_t* darkened = darkenedTile(tile, tileSize, bg);
    double x = 0;
    for (double s : scales) {
      cairo_save(cr);
      cairo_rectangle(cr, x, y, panelW * s, panelH * s);
      cairo_clip(cr);
      cairo_set_source_surface(cr, darkened, x, y);
      cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_REPEAT);
      cairo_paint(cr);
      // The veil: the editor's ellipse in the main background colour covers this
      // part of the window.
      cairo_set_source_rgba(cr, bg.r / 255.0, bg.g / 255.0, bg.b / 255.0, 119 / 255.0);
      cairo_paint(cr);
      const double logoW = cairo_image_surface_get_width(logo) / 2.0;
      cairo_translate(cr, x + (panelW - logoW) / 2 * s, y + 20 * s);
      cairo_scale(cr, s / 2, s / 2);
      cairo_set_source_surface(cr, logo, 0, 0);
      cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
      cairo_paint(cr);
      cairo_restore(cr);
      x += panelW * s;
    }
    cairo_surface_destroy(darkened);
    y += panelH * 1.98;
  }
  cairo_surface_destroy(logo);
  return canvas.writePng(path);
}

// The tile repeated three by three with its contrast stretched eightfold around
// its mean, so seams and repeating blotches are easy to see.
bool writeTileCheck(const std::string& path, const std::vector<std::uint32_t>& tile, int size, double mean) {
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(size) * size * 9);
  for (int y = 0; y < 3 * size; ++y)
    for (int x = 0; x < 3 * size; ++x) {
      const std::uint32_t p = tile[static_cast<std::size_t>(y % size) * size + x % size];
      const double level = static_cast<double>((p >> 8) & 0xFF);
      const auto v = static_cast<std::uint32_t>(std::clamp(128.0 + (level - mean) * 8.0, 0.0, 255.0));
      pixels[static_cast<std::size_t>(y) * 3 * size + x] = 0xFF000000u | v << 16 | v << 8 | v;
    }
  pictures::Canvas canvas(3 * size, 3 * size);
  canvas.setPixels(pixels);
  return canvas.writePng(path);
}

}  // namespace

int main(int argc, char** argv) {
  std::string logoPath, tilePath, fontPath, previewPath, tileCheckPath, backgrounds = "24,26,29";
  for (int i = 1; i < argc; i += 2) {
    const std::string key = argv[i];
    if (i + 1 == argc) {
      std::fprintf(stderr, "Option %s needs a value\n", key.c_str());
      return 2;
    }
    const std::string value = argv[i + 1];
    if (key == "--logo") logoPath = value;
    else if (key == "--tile") tilePath = value;
    else if (key == "--font") fontPath = value;
    else if (key == "--preview") previewPath = value;
    else if (key == "--backgrounds") backgrounds = value;
    else if (key == "--tile-check") tileCheckPath = value;
    else {
      std::fprintf(stderr, "Unknown option %s\n", key.c_str());
      return 2;
    }
  }
  if (logoPath.empty() || tilePath.empty() || fontPath.empty()) {
    std::fprintf(stderr,
                 "usage: %s --logo OUT.png --tile OUT.png --font FONT.ttf "
                 "[--preview OUT.png --backgrounds \"R,G,B;...\"] [--tile-check OUT.png]\n",
                 argv[0]);
    return 2;
  }

  const pictures::TilePainter::Settings tileSettings;
  const std::vector<std::uint32_t> tile = pictures::TilePainter(tileSettings).paint();
  pictures::Canvas tileCanvas(tileSettings.size, tileSettings.size);
  tileCanvas.setPixels(tile);
  if (!tileCanvas.writePng(tilePath)) return 1;

  if (!pictures::LogoPainter(fontPath).writePng(logoPath)) return 1;

  if (!previewPath.empty() &&
      !writePreview(previewPath, logoPath, tile, tileSettings.size, parseBackgrounds(backgrounds)))
    return 1;
  if (!tileCheckPath.empty() && !writeTileCheck(tileCheckPath, tile, tileSettings.size, tileSettings.meanLevel))
    return 1;
  return 0;
}
