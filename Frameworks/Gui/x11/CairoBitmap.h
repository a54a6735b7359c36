#pragma once

#include <cairo.h>

#include <memory>
#include <string>

#include "Frameworks/Gui/Platform.h"

namespace VSTGUI::X11 {

// A picture held as a cairo image surface (32-bit premultiplied ARGB).
class CairoBitmap : public IPlatformBitmap {
 public:
  // Takes over the surface's reference.
  explicit CairoBitmap(cairo_surface_t* surface);
  ~CairoBitmap() override;
  CairoBitmap(const CairoBitmap&) = delete;
  CairoBitmap& operator=(const CairoBitmap&) = delete;

  // A transparent image; null for an empty or impossible size.
  static std::shared_ptr<CairoBitmap> create(const CPoint& size);
  // Null when the file is missing or not a PNG.
  static std::shared_ptr<CairoBitmap> loadPNG(const std::string& path);

  CPoint getSize() const override;
  uint8_t* getData() override;
  int32_t getStride() const override;
  void flush() override { cairo_surface_flush(m_surface); }
  void markDirty() override { cairo_surface_mark_dirty(m_surface); }
  bool writePNG(const std::string& path) override;

  cairo_surface_t* getSurface() const { return m_surface; }

 private:
  cairo_surface_t* m_surface;
};

}  // namespace VSTGUI::X11
