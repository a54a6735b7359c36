#pragma once

#include <memory>
#include <string>

#include "Frameworks/Gui/CBaseObject.h"
#include "Frameworks/Gui/CColor.h"
#include "Frameworks/Gui/CRect.h"

namespace VSTGUI {

class IPlatformBitmap;

// Names a picture resource: a file path, absolute or relative to the resource folder.
struct CResourceDescription {
  CResourceDescription() = default;
  CResourceDescription(const char* resourceName) : name(resourceName ? resourceName : "") {}
  CResourceDescription(const std::string& resourceName) : name(resourceName) {}
  std::string name;
};

// The folder relative picture names are looked up in (the plug-in's data folder).
void setResourceFolder(const std::string& folder);
const std::string& getResourceFolder();
// Resolves a resource name to a file path.
std::string resolveResourcePath(const std::string& name);

// A picture: a PNG file, or an empty image to draw into. draw() is virtual so a subclass can
// paint itself with vector drawing instead of pixels.
class CBitmap : public CBaseObject {
 public:
  // Loads a PNG; getPlatformBitmap() is null when the file is missing or unreadable.
  explicit CBitmap(const CResourceDescription& desc);
  // A transparent image of the given size.
  CBitmap(CCoord width, CCoord height);
  explicit CBitmap(const CPoint& size, double scaleFactor = 1.);
  explicit CBitmap(std::shared_ptr<IPlatformBitmap> platformBitmap);
  ~CBitmap() override;

  // Draws the part of the picture starting at offset into rect (clipped to rect).
  virtual void draw(CDrawContext* context, const CRect& rect, const CPoint& offset = CPoint(0, 0),
                    float alpha = 1.f);

  CCoord getWidth() const;
  CCoord getHeight() const;
  CPoint getSize() const { return {getWidth(), getHeight()}; }
  const CResourceDescription& getResourceDescription() const { return m_resource; }

  IPlatformBitmap* getPlatformBitmap() const { return m_platformBitmap.get(); }
  const std::shared_ptr<IPlatformBitmap>& getSharedPlatformBitmap() const { return m_platformBitmap; }
  void setPlatformBitmap(std::shared_ptr<IPlatformBitmap> bitmap);

  // Writes the picture as a PNG file.
  bool writePNG(const std::string& path) const;

 private:
  CResourceDescription m_resource;
  std::shared_ptr<IPlatformBitmap> m_platformBitmap;
};

// Reads and writes a bitmap's pixels in place (straight, not premultiplied, colours). The
// changes are published to drawing when the access object is destroyed.
class CBitmapPixelAccess : public CBaseObject {
 public:
  // Null when the bitmap holds no pixels. With alwaysOpaque, setColor writes alpha 255.
  static SharedPointer<CBitmapPixelAccess> create(CBitmap* bitmap, bool alwaysOpaque = true);
  ~CBitmapPixelAccess() override;

  bool setPosition(uint32_t x, uint32_t y);
  uint32_t getX() const { return m_x; }
  uint32_t getY() const { return m_y; }
  void getColor(CColor& color) const;
  CColor getColor() const {
    CColor c;
    getColor(c);
    return c;
  }
  void setColor(const CColor& color);
  // Steps to the next pixel (row by row); false after the last one.
  bool operator++();

  uint32_t getBitmapWidth() const { return m_width; }
  uint32_t getBitmapHeight() const { return m_height; }

 private:
  CBitmapPixelAccess(CBitmap* bitmap, bool alwaysOpaque);
  uint8_t* pixel() const;

  SharedPointer<CBitmap> m_bitmap;
  IPlatformBitmap* m_platform = nullptr;
  uint8_t* m_data = nullptr;
  int32_t m_stride = 0;
  uint32_t m_width = 0, m_height = 0, m_x = 0, m_y = 0;
  bool m_alwaysOpaque = true;
};

}  // namespace VSTGUI
