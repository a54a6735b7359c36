#pragma once

#include <cstdint>
#include <vector>

namespace pictures {

// A square, seamlessly repeating grain for the editor's background.
//
// The editor darkens the tile by the lightness of the theme's main background
// (k = lightness * 4 / 255, at most 1) before repeating it, so a tile whose mean
// level is near 64 lands on the background's own lightness for every dark theme.
// Every structure in the texture is periodic over the tile: value noise on
// lattices whose cell counts divide the tile, and a grain that is a pure hash of
// the pixel position, so opposite edges continue into each other.
class TilePainter {
public:
  struct Settings {
    int size = 128;            // pixels per side
    std::uint32_t seed = 0x5ca7;
    double meanLevel = 64.0;   // 0..255
    double cloudDepth = 2.0;   // levels, soft mottling
    double streakDepth = 2.0;  // levels, faint horizontal brushing
    double grainDepth = 2.5;   // levels, per-pixel grain
  };

  explicit TilePainter(Settings settings) : m_settings(settings) {}

  // Opaque grey pixels, row by row, as 0xAARRGGBB (cairo's ARGB32 word order).
  std::vector<std::uint32_t> paint() const;

private:
  double periodicNoise(double x, double y, int cellsX, int cellsY, std::uint32_t salt) const;
  double latticeValue(int i, int j, std::uint32_t salt) const;

  Settings m_settings;
};

}  // namespace pictures
