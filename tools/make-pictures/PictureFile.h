#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <cairo.h>

namespace pictures {

// Owns a cairo image surface and its drawing context for the length of one picture.
class Canvas {
public:
  Canvas(int width, int height);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  cairo_t* context() const { return m_context; }
  cairo_surface_t* surface() const { return m_surface; }
  bool ok() const;

  // Copies opaque or premultiplied 0xAARRGGBB pixels (row by row, width per row) in.
  void setPixels(const std::vector<std::uint32_t>& pixels);

  // Writes the picture as PNG; false (with the reason on stderr) on failure.
  bool writePng(const std::string& path) const;

private:
  cairo_surface_t* m_surface = nullptr;
  cairo_t* m_context = nullptr;
};

}  // namespace pictures
