#include "Frameworks/Gui/CBitmap.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "Frameworks/Gui/CDrawContext.h"
#include "Frameworks/Gui/Platform.h"

namespace VSTGUI {

namespace {
std::string& resourceFolder() {
  static std::string folder;
  return folder;
}
}  // namespace

void setResourceFolder(const std::string& folder) { resourceFolder() = folder; }

const std::string& getResourceFolder() { return resourceFolder(); }

std::string resolveResourcePath(const std::string& name) {
  if (name.empty() || name.front() == '/' || resourceFolder().empty()) return name;
  std::string path = resourceFolder();
  if (path.back() != '/') path += '/';
  return path + name;
}

CBitmap::CBitmap(const CResourceDescription& desc)
    : m_resource(desc), m_platformBitmap(getPlatformFactory().loadBitmap(resolveResourcePath(desc.name))) {}

CBitmap::CBitmap(CCoord width, CCoord height)
    : m_platformBitmap(getPlatformFactory().createBitmap(CPoint(width, height))) {}

CBitmap::CBitmap(const CPoint& size, double) : m_platformBitmap(getPlatformFactory().createBitmap(size)) {}

CBitmap::CBitmap(std::shared_ptr<IPlatformBitmap> platformBitmap) : m_platformBitmap(std::move(platformBitmap)) {}

CBitmap::~CBitmap() = default;

void CBitmap::draw(CDrawContext* context, const CRect& rect, const CPoint& offset, float alpha) {
  if (context && m_platformBitmap) context->drawBitmap(this, rect, offset, alpha);
}

CCoord CBitmap::getWidth() const { return m_platformBitmap ? m_platformBitmap->getSize().x : 0; }

CCoord CBitmap::getHeight() const { return m_platformBitmap ? m_platformBitmap->getSize().y : 0; }

void CBitmap::setPlatformBitmap(std::shared_ptr<IPlatformBitmap> bitmap) { m_platformBitmap = std::move(bitmap); }

bool CBitmap::writePNG(const std::string& path) const {
  return m_platformBitmap && m_platformBitmap->writePNG(path);
}

SharedPointer<CBitmapPixelAccess> CBitmapPixelAccess::create(CBitmap* bitmap, bool alwaysOpaque) {
  if (!bitmap || !bitmap->getPlatformBitmap() || !bitmap->getPlatformBitmap()->getData()) return nullptr;
  return owned(new CBitmapPixelAccess(bitmap, alwaysOpaque));
}

CBitmapPixelAccess::CBitmapPixelAccess(CBitmap* bitmap, bool alwaysOpaque)
    : m_bitmap(bitmap), m_platform(bitmap->getPlatformBitmap()), m_alwaysOpaque(alwaysOpaque) {
  m_platform->flush();
  m_data = m_platform->getData();
  m_stride = m_platform->getStride();
  const CPoint size = m_platform->getSize();
  m_width = static_cast<uint32_t>(size.x);
  m_height = static_cast<uint32_t>(size.y);
}

CBitmapPixelAccess::~CBitmapPixelAccess() { m_platform->markDirty(); }

bool CBitmapPixelAccess::setPosition(uint32_t x, uint32_t y) {
  if (x >= m_width || y >= m_height) return false;
  m_x = x;
  m_y = y;
  return true;
}

uint8_t* CBitmapPixelAccess::pixel() const { return m_data + static_cast<size_t>(m_y) * m_stride + m_x * 4; }

// Pixels are stored as premultiplied 32-bit ARGB words in native byte order.
void CBitmapPixelAccess::getColor(CColor& color) const {
  uint32_t word;
  std::memcpy(&word, pixel(), 4);
  const uint32_t a = word >> 24;
  auto unpremultiply = [a](uint32_t c) -> uint8_t {
    return a == 0 ? 0 : static_cast<uint8_t>(std::min<uint32_t>(255, (c * 255 + a / 2) / a));
  };
  color.alpha = static_cast<uint8_t>(a);
  color.red = unpremultiply((word >> 16) & 0xFF);
  color.green = unpremultiply((word >> 8) & 0xFF);
  color.blue = unpremultiply(word & 0xFF);
}

void CBitmapPixelAccess::setColor(const CColor& color) {
  const uint32_t a = m_alwaysOpaque ? 255 : color.alpha;
  auto premultiply = [a](uint32_t c) -> uint32_t { return (c * a + 127) / 255; };
  const uint32_t word =
      (a << 24) | (premultiply(color.red) << 16) | (premultiply(color.green) << 8) | premultiply(color.blue);
  std::memcpy(pixel(), &word, 4);
}

bool CBitmapPixelAccess::operator++() {
  if (m_x + 1 < m_width) {
    ++m_x;
    return true;
  }
  if (m_y + 1 < m_height) {
    m_x = 0;
    ++m_y;
    return true;
  }
  return false;
}

}  // namespace VSTGUI
