#pragma once

#include <windows.h>

#include <gdiplus.h>

#include <memory>
#include <string>
#include <vector>

#include "Frameworks/Gui/Platform.h"

namespace VSTGUI::Win32 {

// Starts GDI+ for the process on first use; it stays up until the process ends (GDI+ must not
// be shut down while a DLL is being unloaded).
bool ensureGdiplus();

// A picture in memory: a GDI+ bitmap in 32-bit premultiplied ARGB (PARGB, the GUI layer's
// native order) with a copy of its pixels for direct access: flush() brings the copy up to
// date with what GDI+ drew, markDirty() hands changed pixels back to GDI+. (Drawing straight
// into a caller's buffer is not reliable everywhere: wine's GDI+ draws lines elsewhere.)
class GdiBitmap : public IPlatformBitmap {
 public:
  // A transparent image; null for an empty or impossible size.
  static std::shared_ptr<GdiBitmap> create(const CPoint& size);
  // Null when the file is missing or not a picture GDI+ reads (PNG among them).
  static std::shared_ptr<GdiBitmap> loadFile(const std::string& path);

  GdiBitmap(int width, int height);
  GdiBitmap(const GdiBitmap&) = delete;
  GdiBitmap& operator=(const GdiBitmap&) = delete;

  CPoint getSize() const override { return CPoint(m_width, m_height); }
  uint8_t* getData() override { return m_pixels.data(); }
  int32_t getStride() const override { return m_width * 4; }
  void flush() override;
  void markDirty() override;
  bool writePNG(const std::string& path) override;

  Gdiplus::Bitmap* getGdiplusBitmap() const { return m_bitmap.get(); }

 private:
  int m_width;
  int m_height;
  std::vector<uint8_t> m_pixels;
  std::unique_ptr<Gdiplus::Bitmap> m_bitmap;
};

}  // namespace VSTGUI::Win32
