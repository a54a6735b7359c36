#include "tools/make-pictures/TilePainter.h"

#include <algorithm>
#include <cmath>

namespace pictures {

namespace {

// A small integer hash (splitmix-style): deterministic on every platform, unlike
// the standard library's distributions.
std::uint32_t hash(std::uint32_t a, std::uint32_t b, std::uint32_t c) {
  std::uint64_t z = (static_cast<std::uint64_t>(a) << 32) ^ (static_cast<std::uint64_t>(b) * 0x9E3779B97F4A7C15ull) ^ c;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return static_cast<std::uint32_t>(z ^ (z >> 31));
}

// -1..1
double unitFromHash(std::uint32_t h) { return h / 2147483647.5 - 1.0; }

double smootherStep(double t) { return t * t * t * (t * (t * 6.0 - 15.0) + 10.0); }

int wrap(int i, int period) { return ((i % period) + period) % period; }

}  // namespace

double TilePainter::latticeValue(int i, int j, std::uint32_t salt) const {
  return unitFromHash(hash(static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(j), m_settings.seed ^ salt));
}

// Value noise over a lattice of cellsX by cellsY cells stretched across the tile.
// The lattice indices wrap, so the noise is periodic with the tile.
double TilePainter::periodicNoise(double x, double y, int cellsX, int cellsY, std::uint32_t salt) const {
  const double size = m_settings.size;
  const double u = x / size * cellsX;
  const double v = y / size * cellsY;
  const int i0 = static_cast<int>(std::floor(u));
  const int j0 = static_cast<int>(std::floor(v));
  const double fu = smootherStep(u - i0);
  const double fv = smootherStep(v - j0);
  const int i1 = wrap(i0 + 1, cellsX), j1 = wrap(j0 + 1, cellsY);
  const int iw = wrap(i0, cellsX), jw = wrap(j0, cellsY);
  const double top = latticeValue(iw, jw, salt) * (1 - fu) + latticeValue(i1, jw, salt) * fu;
  const double bottom = latticeValue(iw, j1, salt) * (1 - fu) + latticeValue(i1, j1, salt) * fu;
  return top * (1 - fv) + bottom * fv;
}

std::vector<std::uint32_t> TilePainter::paint() const {
  const int size = m_settings.size;
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(size) * size);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      // Pixel centres, so the lattice is sampled symmetrically across the wrap.
      const double px = x + 0.5, py = y + 0.5;
      const double cloud = 0.5 * periodicNoise(px, py, 8, 8, 1) + 0.5 * periodicNoise(px, py, 16, 16, 2);
      const double streak = periodicNoise(px, py, 2, 64, 3);
      const double grain = unitFromHash(hash(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y), m_settings.seed ^ 4u));
      const double level = m_settings.meanLevel + m_settings.cloudDepth * cloud + m_settings.streakDepth * streak +
                           m_settings.grainDepth * grain;
      // A hair of blue keeps the grain from looking brownish once darkened.
      const auto channel = [&](double offset) {
        return static_cast<std::uint32_t>(std::clamp(std::lround(level + offset), 0l, 255l));
      };
      pixels[static_cast<std::size_t>(y) * size + x] =
          0xFF000000u | channel(-0.5) << 16 | channel(0.0) << 8 | channel(1.0);
    }
  }
  return pixels;
}

}  // namespace pictures
