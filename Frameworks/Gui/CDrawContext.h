#pragma once

#include <vector>

#include "Frameworks/Gui/CBaseObject.h"
#include "Frameworks/Gui/CBitmap.h"
#include "Frameworks/Gui/CColor.h"
#include "Frameworks/Gui/CFontDesc.h"
#include "Frameworks/Gui/CGraphicsTransform.h"
#include "Frameworks/Gui/CRect.h"

namespace VSTGUI {

// Drawing mode: anti-aliasing on or off.
class CDrawMode {
 public:
  constexpr CDrawMode(int32_t mode = kAliasing) : m_mode(mode) {}
  int32_t modeIgnoringIntegralMode() const { return m_mode & 0xF; }
  int32_t operator()() const { return m_mode; }
  bool operator==(const CDrawMode& other) const { return m_mode == other.m_mode; }
  bool operator!=(const CDrawMode& other) const { return m_mode != other.m_mode; }

 private:
  int32_t m_mode;
};

enum CLineStyleKind { kLineSolid = 0, kLineOnOffDash };

// The painter every view draws with. The state (colours, line width, font, clip, transform,
// global alpha, anti-aliasing) is kept here; a back end (cairo, or later a Windows one)
// implements the primitives.
//
// Coordinates are pixels, y downwards. With an odd line width, lines and outlines are placed
// on pixel centres, so a 1-pixel line from (x, y0) to (x, y1) covers exactly column x and an
// outlined rectangle lies inside its rectangle. Angles are degrees, 0 at 3 o'clock, growing
// clockwise on screen.
class CDrawContext : public CBaseObject {
 public:
  using LinePair = std::pair<CPoint, CPoint>;
  using LineList = std::vector<LinePair>;
  enum PathDrawMode { kPathFilled = 0, kPathFilledEvenOdd, kPathStroked };

  // Applies a transform for the lifetime of this object (nests with the current one).
  class Transform {
   public:
    Transform(CDrawContext& context, const CGraphicsTransform& transformation);
    ~Transform();
    Transform(const Transform&) = delete;
    Transform& operator=(const Transform&) = delete;

   private:
    CDrawContext& m_context;
    bool m_pushed;
  };

  ~CDrawContext() override;

  // Lines and shapes.
  virtual void drawLine(const CPoint& start, const CPoint& end) = 0;
  void drawLine(const LinePair& line) { drawLine(line.first, line.second); }
  virtual void drawLines(const LineList& lines);
  virtual void drawPolygon(const PointList& polygon, const CDrawStyle drawStyle = kDrawStroked) = 0;
  virtual void drawRect(const CRect& rect, const CDrawStyle drawStyle = kDrawStroked) = 0;
  virtual void drawArc(const CRect& rect, const float startAngle1, const float endAngle2,
                       const CDrawStyle drawStyle = kDrawStroked) = 0;
  virtual void drawEllipse(const CRect& rect, const CDrawStyle drawStyle = kDrawStroked) = 0;
  // Sets one pixel to a colour (global alpha applies).
  virtual void drawPoint(const CPoint& point, const CColor& color) = 0;
  // Sets the rectangle to fully transparent.
  virtual void clearRect(const CRect& rect) = 0;
  virtual void drawBitmap(CBitmap* bitmap, const CRect& dest, const CPoint& offset = CPoint(0, 0),
                          float alpha = 1.f) = 0;

  // Paths.
  CGraphicsPath* createGraphicsPath();  // a new path; the caller owns its reference
  virtual void drawGraphicsPath(CGraphicsPath* path, PathDrawMode mode = kPathFilled,
                                CGraphicsTransform* transformation = nullptr) = 0;

  // Text, in the current font and font colour. drawString into a rectangle aligns
  // horizontally as asked and centres the line vertically; drawString at a point puts the
  // baseline's start there.
  virtual void drawString(UTF8StringPtr string, const CRect& rect, const CHoriTxtAlign hAlign = kCenterText,
                          bool antialias = true) = 0;
  virtual void drawString(UTF8StringPtr string, const CPoint& point, bool antialias = true) = 0;
  void drawString(const UTF8String& string, const CRect& rect, const CHoriTxtAlign hAlign = kCenterText,
                  bool antialias = true) {
    drawString(string.c_str(), rect, hAlign, antialias);
  }
  void drawString(const UTF8String& string, const CPoint& point, bool antialias = true) {
    drawString(string.c_str(), point, antialias);
  }
  virtual CCoord getStringWidth(UTF8StringPtr string) = 0;
  CCoord getStringWidth(const UTF8String& string) { return getStringWidth(string.c_str()); }

  // State.
  void setLineWidth(CCoord width) { m_state.lineWidth = width; }
  CCoord getLineWidth() const { return m_state.lineWidth; }
  void setLineStyle(CLineStyleKind style) { m_state.lineStyle = style; }
  CLineStyleKind getLineStyle() const { return m_state.lineStyle; }
  void setDrawMode(CDrawMode mode) { m_state.drawMode = mode; }
  CDrawMode getDrawMode() const { return m_state.drawMode; }
  void setFillColor(const CColor& color) { m_state.fillColor = color; }
  CColor getFillColor() const { return m_state.fillColor; }
  void setFrameColor(const CColor& color) { m_state.frameColor = color; }
  CColor getFrameColor() const { return m_state.frameColor; }
  void setFontColor(const CColor& color) { m_state.fontColor = color; }
  CColor getFontColor() const { return m_state.fontColor; }
  // Uses font; a size or style other than 0 / -1 replaces the font's own for drawing.
  void setFont(const CFontRef font, const CCoord& size = 0, const int32_t& style = -1);
  CFontRef getFont() const { return m_state.font.get(); }
  void setGlobalAlpha(float alpha) { m_state.globalAlpha = alpha; }
  float getGlobalAlpha() const { return m_state.globalAlpha; }

  // Clipping, in the current coordinates. The clip is kept in device space, so it stays put
  // when the transform changes afterwards.
  void setClipRect(const CRect& clip);
  CRect& getClipRect(CRect& clip) const;
  void resetClipRect();

  void saveGlobalState();
  void restoreGlobalState();

  const CGraphicsTransform& getCurrentTransform() const { return m_state.transform; }
  // The drawable's size in pixels.
  const CRect& getSurfaceRect() const { return m_surfaceRect; }
  double getScaleFactor() const { return m_scaleFactor; }

  virtual void beginDraw() {}
  virtual void endDraw() {}

 protected:
  struct State {
    CCoord lineWidth = 1;
    CLineStyleKind lineStyle = kLineSolid;
    CDrawMode drawMode = kAliasing;
    CColor fillColor = kWhiteCColor;
    CColor frameColor = kBlackCColor;
    CColor fontColor = kBlackCColor;
    SharedPointer<CFontDesc> font;
    float globalAlpha = 1.f;
    CRect clipRect;  // device space
    CGraphicsTransform transform;
  };

  explicit CDrawContext(const CRect& surfaceRect, double scaleFactor = 1.);
  const State& state() const { return m_state; }
  void pushTransform(const CGraphicsTransform& transformation);
  void popTransform();

 private:
  State m_state;
  std::vector<State> m_stack;
  std::vector<CGraphicsTransform> m_transformStack;
  CRect m_surfaceRect;
  double m_scaleFactor = 1.;
};

// A drawing context on an image in memory; its bitmap can be drawn elsewhere (for example
// as a frame's background) or its pixels read.
class COffscreenContext : public CDrawContext {
 public:
  static SharedPointer<COffscreenContext> create(const CPoint& size, double scaleFactor = 1.);
  static SharedPointer<COffscreenContext> create(CFrame* frame, CCoord width, CCoord height,
                                                 double scaleFactor = 1.);

  // The image drawn into; it reflects the drawing after endDraw() (and after every call on
  // the cairo back end).
  CBitmap* getBitmap() const { return m_bitmap.get(); }
  CCoord getWidth() const { return getSurfaceRect().getWidth(); }
  CCoord getHeight() const { return getSurfaceRect().getHeight(); }

 protected:
  COffscreenContext(const CRect& surfaceRect, double scaleFactor) : CDrawContext(surfaceRect, scaleFactor) {}
  SharedPointer<CBitmap> m_bitmap;
};

}  // namespace VSTGUI
