#include "Frameworks/Gui/win32/GdiBitmap.h"

#include <mutex>

#include "platform/win32/WideText.h"

namespace VSTGUI::Win32 {

namespace {

// The encoder that writes PNG files.
bool pngEncoder(CLSID& clsid) {
  UINT count = 0, bytes = 0;
  if (Gdiplus::GetImageEncodersSize(&count, &bytes) != Gdiplus::Ok || bytes == 0) return false;
  std::vector<unsigned char> buffer(bytes);
  auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
  if (Gdiplus::GetImageEncoders(count, bytes, encoders) != Gdiplus::Ok) return false;
  for (UINT i = 0; i < count; ++i) {
    if (encoders[i].MimeType && std::wstring(encoders[i].MimeType) == L"image/png") {
      clsid = encoders[i].Clsid;
      return true;
    }
  }
  return false;
}

}  // namespace

bool ensureGdiplus() {
  static std::once_flag once;
  static bool started = false;
  std::call_once(once, [] {
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    started = Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok;
  });
  return started;
}

GdiBitmap::GdiBitmap(int width, int height)
    : m_width(width), m_height(height), m_pixels(static_cast<std::size_t>(width) * height * 4, 0) {
  m_bitmap = std::make_unique<Gdiplus::Bitmap>(width, height, PixelFormat32bppPARGB);
  if (m_bitmap->GetLastStatus() == Gdiplus::Ok) markDirty();  // starts fully transparent
}

namespace {
bool copyPixels(Gdiplus::Bitmap& bitmap, std::vector<uint8_t>& pixels, int width, int height, bool toBitmap) {
  Gdiplus::BitmapData data{};
  data.Width = static_cast<UINT>(width);
  data.Height = static_cast<UINT>(height);
  data.Stride = width * 4;
  data.PixelFormat = PixelFormat32bppPARGB;
  data.Scan0 = pixels.data();
  Gdiplus::Rect whole(0, 0, width, height);
  const UINT mode = (toBitmap ? Gdiplus::ImageLockModeWrite : Gdiplus::ImageLockModeRead) |
                    Gdiplus::ImageLockModeUserInputBuf;
  if (bitmap.LockBits(&whole, mode, PixelFormat32bppPARGB, &data) != Gdiplus::Ok) return false;
  return bitmap.UnlockBits(&data) == Gdiplus::Ok;
}
}  // namespace

void GdiBitmap::flush() { copyPixels(*m_bitmap, m_pixels, m_width, m_height, false); }

void GdiBitmap::markDirty() { copyPixels(*m_bitmap, m_pixels, m_width, m_height, true); }

std::shared_ptr<GdiBitmap> GdiBitmap::create(const CPoint& size) {
  const int width = static_cast<int>(size.x), height = static_cast<int>(size.y);
  if (width <= 0 || height <= 0 || width > 16384 || height > 16384 || !ensureGdiplus()) return nullptr;
  auto bitmap = std::make_shared<GdiBitmap>(width, height);
  if (bitmap->m_bitmap->GetLastStatus() != Gdiplus::Ok) return nullptr;
  return bitmap;
}

std::shared_ptr<GdiBitmap> GdiBitmap::loadFile(const std::string& path) {
  if (path.empty() || !ensureGdiplus()) return nullptr;
  Gdiplus::Bitmap file(platform::win32::widen(path).c_str());
  if (file.GetLastStatus() != Gdiplus::Ok || file.GetWidth() == 0 || file.GetHeight() == 0) return nullptr;
  auto bitmap = create(CPoint(file.GetWidth(), file.GetHeight()));
  if (!bitmap) return nullptr;
  // Copies the file's pixels, converted to premultiplied ARGB, straight into the buffer.
  Gdiplus::BitmapData data{};
  data.Width = file.GetWidth();
  data.Height = file.GetHeight();
  data.Stride = bitmap->getStride();
  data.PixelFormat = PixelFormat32bppPARGB;
  data.Scan0 = bitmap->getData();
  Gdiplus::Rect whole(0, 0, static_cast<INT>(data.Width), static_cast<INT>(data.Height));
  if (file.LockBits(&whole, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf, PixelFormat32bppPARGB,
                    &data) != Gdiplus::Ok)
    return nullptr;
  file.UnlockBits(&data);
  bitmap->markDirty();
  return bitmap;
}

bool GdiBitmap::writePNG(const std::string& path) {
  CLSID png{};
  if (path.empty() || !pngEncoder(png)) return false;
  return m_bitmap->Save(platform::win32::widen(path).c_str(), &png, nullptr) == Gdiplus::Ok;
}

}  // namespace VSTGUI::Win32
