#include "Frameworks/Gui/x11/CairoBitmap.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "platform/FileSystem.h"

namespace VSTGUI::X11 {

namespace {

struct PngBytes {
  std::vector<unsigned char> data;
  std::size_t read = 0;
};

cairo_status_t readPngBytes(void* closure, unsigned char* target, unsigned int length) {
  auto& bytes = *static_cast<PngBytes*>(closure);
  if (length > bytes.data.size() - bytes.read) return CAIRO_STATUS_READ_ERROR;
  std::memcpy(target, bytes.data.data() + bytes.read, length);
  bytes.read += length;
  return CAIRO_STATUS_SUCCESS;
}

}  // namespace

CairoBitmap::CairoBitmap(cairo_surface_t* surface) : m_surface(surface) {}

CairoBitmap::~CairoBitmap() { cairo_surface_destroy(m_surface); }

std::shared_ptr<CairoBitmap> CairoBitmap::create(const CPoint& size) {
  const int width = static_cast<int>(std::lround(size.x));
  const int height = static_cast<int>(std::lround(size.y));
  if (width < 1 || height < 1 || width > 32767 || height > 32767) return nullptr;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return nullptr;
  }
  return std::make_shared<CairoBitmap>(surface);
}

std::shared_ptr<CairoBitmap> CairoBitmap::loadPNG(const std::string& path) {
  // Read through the file helpers, which take regular files only and never wait on a FIFO.
  PngBytes bytes;
  if (!platform::readFile(path, bytes.data)) return nullptr;
  cairo_surface_t* png = cairo_image_surface_create_from_png_stream(readPngBytes, &bytes);
  if (cairo_surface_status(png) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(png);
    return nullptr;
  }
  if (cairo_image_surface_get_format(png) == CAIRO_FORMAT_ARGB32) return std::make_shared<CairoBitmap>(png);
  // Opaque or grey pictures are converted, so pixel access always sees ARGB words.
  auto bitmap = create(CPoint(cairo_image_surface_get_width(png), cairo_image_surface_get_height(png)));
  if (bitmap) {
    cairo_t* cr = cairo_create(bitmap->getSurface());
    cairo_set_source_surface(cr, png, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
  }
  cairo_surface_destroy(png);
  return bitmap;
}

CPoint CairoBitmap::getSize() const {
  return CPoint(cairo_image_surface_get_width(m_surface), cairo_image_surface_get_height(m_surface));
}

uint8_t* CairoBitmap::getData() {
  cairo_surface_flush(m_surface);
  return cairo_image_surface_get_data(m_surface);
}

int32_t CairoBitmap::getStride() const { return cairo_image_surface_get_stride(m_surface); }

bool CairoBitmap::writePNG(const std::string& path) {
  cairo_surface_flush(m_surface);
  return cairo_surface_write_to_png(m_surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
}

}  // namespace VSTGUI::X11
