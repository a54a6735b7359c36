#include "tools/make-pictures/PictureFile.h"

#include <cstdio>
#include <cstring>

namespace pictures {

Canvas::Canvas(int width, int height) {
  m_surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  m_context = cairo_create(m_surface);
}

Canvas::~Canvas() {
  cairo_destroy(m_context);
  cairo_surface_destroy(m_surface);
}

bool Canvas::ok() const {
  return cairo_surface_status(m_surface) == CAIRO_STATUS_SUCCESS && cairo_status(m_context) == CAIRO_STATUS_SUCCESS;
}

void Canvas::setPixels(const std::vector<std::uint32_t>& pixels) {
  cairo_surface_flush(m_surface);
  const int width = cairo_image_surface_get_width(m_surface);
  const int height = cairo_image_surface_get_height(m_surface);
  const int stride = cairo_image_surface_get_stride(m_surface);
  unsigned char* data = cairo_image_surface_get_data(m_surface);
  if (data == nullptr || pixels.size() != static_cast<std::size_t>(width) * height) return;
  for (int y = 0; y < height; ++y)
    std::memcpy(data + static_cast<std::ptrdiff_t>(y) * stride, pixels.data() + static_cast<std::size_t>(y) * width,
                static_cast<std::size_t>(width) * 4);
  cairo_surface_mark_dirty(m_surface);
}

bool Canvas::writePng(const std::string& path) const {
  if (!ok()) {
    std::fprintf(stderr, "Drawing failed for %s: %s\n", path.c_str(), cairo_status_to_string(cairo_status(m_context)));
    return false;
  }
  cairo_surface_flush(m_surface);
  const cairo_status_t status = cairo_surface_write_to_png(m_surface, path.c_str());
  if (status != CAIRO_STATUS_SUCCESS) {
    std::fprintf(stderr, "Cannot write %s: %s\n", path.c_str(), cairo_status_to_string(status));
    return false;
  }
  return true;
}

}  // namespace pictures
