// The editor's logo and background tile as the build stages them into the bundle.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include <cairo.h>
#include <gtest/gtest.h>

namespace {

// A PNG unpacked into straight (not premultiplied) 8-bit channels.
struct Picture {
  int width = 0, height = 0;
  std::vector<std::uint8_t> rgba;  // row by row, 4 bytes a pixel

  int channel(int x, int y, int c) const { return rgba[(static_cast<std::size_t>(y) * width + x) * 4 + c]; }
  int alpha(int x, int y) const { return channel(x, y, 3); }
  double level(int x, int y) const {
    return 0.2126 * channel(x, y, 0) + 0.7152 * channel(x, y, 1) + 0.0722 * channel(x, y, 2);
  }
};

Picture load(const std::string& name) {
  Picture picture;
  const std::string path = std::string(SKARVEL_BUNDLE_DIR) + "/" + name;
  cairo_surface_t* surface = cairo_image_surface_create_from_png(path.c_str());
  if (cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS) {
    cairo_surface_flush(surface);
    picture.width = cairo_image_surface_get_width(surface);
    picture.height = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const bool hasAlpha = cairo_image_surface_get_format(surface) == CAIRO_FORMAT_ARGB32;
    for (int y = 0; y < picture.height; ++y)
      for (int x = 0; x < picture.width; ++x) {
        const auto word = *reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride + x * 4);
        const int a = hasAlpha ? static_cast<int>(word >> 24) : 255;
        for (int shift : {16, 8, 0}) {
          const int premultiplied = static_cast<int>((word >> shift) & 0xFF);
          picture.rgba.push_back(static_cast<std::uint8_t>(a == 0 ? 0 : std::min(255, premultiplied * 255 / a)));
        }
        picture.rgba.push_back(static_cast<std::uint8_t>(a));
      }
  }
  cairo_surface_destroy(surface);
  return picture;
}

// Mean absolute level difference between column a and column b (or rows, when across is false).
double lineDifference(const Picture& p, int a, int b, bool columns) {
  const int length = columns ? p.height : p.width;
  double sum = 0;
  for (int i = 0; i < length; ++i)
    sum += columns ? std::abs(p.level(a, i) - p.level(b, i)) : std::abs(p.level(i, a) - p.level(i, b));
  return sum / length;
}

double lineMean(const Picture& p, int index, bool columns) {
  const int length = columns ? p.height : p.width;
  double sum = 0;
  for (int i = 0; i < length; ++i) sum += columns ? p.level(index, i) : p.level(i, index);
  return sum / length;
}

}  // namespace

TEST(EditorPictures, TileContinuesAcrossOppositeEdges) {
  const Picture tile = load("Skarvel_tile.png");
  ASSERT_GT(tile.width, 0) << "Skarvel_tile.png missing or unreadable";
  for (bool columns : {true, false}) {
    SCOPED_TRACE(columns ? "left and right edges" : "top and bottom edges");
    const int count = columns ? tile.width : tile.height;
    // The step from the last line back to the first must look like any step inside the tile,
    // both pixel by pixel (fine grain) and in the line averages (soft shading, which the grain
    // would otherwise hide).
    double largestStep = 0, largestMeanStep = 0;
    for (int i = 0; i + 1 < count; ++i) {
      largestStep = std::max(largestStep, lineDifference(tile, i, i + 1, columns));
      largestMeanStep = std::max(largestMeanStep, std::abs(lineMean(tile, i, columns) - lineMean(tile, i + 1, columns)));
    }
    EXPECT_LE(lineDifference(tile, count - 1, 0, columns), largestStep * 1.05);
    EXPECT_LE(std::abs(lineMean(tile, count - 1, columns) - lineMean(tile, 0, columns)), largestMeanStep * 1.05);
  }
}

TEST(EditorPictures, TileIsAnOpaqueQuietGreyThatDarkThemesDarkenToTheirOwnLevel) {
  // The editor scales the tile by lightness * 4 / 255: a mean near 64 lands on the theme's
  // own background level.
  const Picture tile = load("Skarvel_tile.png");
  ASSERT_GT(tile.width, 0);
  EXPECT_EQ(tile.width, tile.height);
  double sum = 0, squares = 0;
  int worstTint = 0, minAlpha = 255;
  for (int y = 0; y < tile.height; ++y)
    for (int x = 0; x < tile.width; ++x) {
      const double level = tile.level(x, y);
      sum += level;
      squares += level * level;
      const int r = tile.channel(x, y, 0), g = tile.channel(x, y, 1), b = tile.channel(x, y, 2);
      worstTint = std::max(worstTint, std::max({r, g, b}) - std::min({r, g, b}));
      minAlpha = std::min(minAlpha, tile.alpha(x, y));
    }
  const double n = static_cast<double>(tile.width) * tile.height;
  const double mean = sum / n, deviation = std::sqrt(squares / n - mean * mean);
  EXPECT_NEAR(mean, 64.0, 6.0);
  EXPECT_GT(deviation, 0.5) << "a texture, not a flat fill";
  EXPECT_LT(deviation, 6.0) << "subtle enough not to fight the controls";
  EXPECT_LE(worstTint, 4) << "neutral, so every theme's veil sets the hue";
  EXPECT_EQ(minAlpha, 255);
}

TEST(EditorPictures, LogoFitsTheLogoBoxAtTwoPixelsPerUnitAndCarriesLegibleText) {
  // The box below the output knobs is 129 units wide and leaves about 70 units above the
  // envelope display; the picture is drawn at two pixels per unit.
  const Picture logo = load("Skarvel_logo.png");
  ASSERT_GT(logo.width, 0) << "Skarvel_logo.png missing or unreadable";
  EXPECT_LE(logo.width, 2 * 129);
  EXPECT_GE(logo.width, 2 * 100);
  EXPECT_LE(logo.height, 2 * 70);
  EXPECT_EQ(logo.width % 2, 0);
  EXPECT_EQ(logo.height % 2, 0);

  // Rounded corners stay transparent; the plate is opaque and dark, the word mark light.
  EXPECT_EQ(logo.alpha(0, 0), 0);
  EXPECT_EQ(logo.alpha(logo.width - 1, logo.height - 1), 0);
  int opaque = 0, light = 0;
  for (int y = 0; y < logo.height; ++y)
    for (int x = 0; x < logo.width; ++x)
      if (logo.alpha(x, y) == 255) {
        ++opaque;
        if (logo.level(x, y) > 200) ++light;
      }
  const double area = static_cast<double>(logo.width) * logo.height;
  EXPECT_GT(opaque / area, 0.8);
  EXPECT_GT(light / area, 0.05) << "the word mark";
  EXPECT_LT(logo.level(logo.width / 2, 4), 60.0) << "the plate";
}
