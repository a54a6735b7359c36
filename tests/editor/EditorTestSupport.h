#pragma once

#include <map>
#include <ostream>
#include <vector>

#include "Frameworks/Gui/CBitmap.h"
#include "Frameworks/Gui/CControl.h"
#include "Frameworks/Gui/CDrawContext.h"
#include "Frameworks/Gui/CFrame.h"
#include "source/editor/ColourGroups.h"

namespace editortest {

using namespace VSTGUI;

// Records what a control tells its listener.
struct RecordingListener : IControlListener {
  void valueChanged(CControl* control) override { values.push_back(control->getValue()); }
  void controlBeginEdit(CControl*) override { ++begins; }
  void controlEndEdit(CControl*) override { ++ends; }
  std::vector<float> values;
  int begins = 0;
  int ends = 0;
};

// Stands in for the plug-in editor: counts the gestures the host would see, per tag.
struct HostEditor : VSTGUIEditorInterface {
  int32_t getKnobMode() const override { return knobMode; }
  void beginEdit(int32_t tag) override { ++begins[tag]; ++open[tag]; }
  void endEdit(int32_t tag) override { ++ends[tag]; --open[tag]; }
  int32_t knobMode = kLinearMode;
  std::map<int32_t, int> begins, ends, open;
};

// An offscreen frame with one control in it; events go straight to the control.
class FrameWith {
 public:
  explicit FrameWith(HostEditor& editor, CCoord width = 400, CCoord height = 300)
      : m_frame(new CFrame(CRect(0, 0, width, height), &editor)) {
    m_frame->open(nullptr, PlatformType::kOffscreen);
  }
  ~FrameWith() { m_frame->close(); }
  FrameWith(const FrameWith&) = delete;
  FrameWith& operator=(const FrameWith&) = delete;

  template <class T>
  T* add(T* view) {
    m_frame->addView(view);
    return view;
  }
  CFrame* frame() const { return m_frame; }

 private:
  CFrame* m_frame;
};

inline CMouseEventResult down(CView* v, double x, double y, uint32_t buttons = kLButton) {
  CPoint p(x, y);
  return v->onMouseDown(p, CButtonState(buttons));
}
inline CMouseEventResult move(CView* v, double x, double y, uint32_t buttons = kLButton) {
  CPoint p(x, y);
  return v->onMouseMoved(p, CButtonState(buttons));
}
inline CMouseEventResult up(CView* v, double x, double y, uint32_t buttons = kLButton) {
  CPoint p(x, y);
  return v->onMouseUp(p, CButtonState(buttons));
}

// Draws a view into a fresh offscreen picture of the given size, filled with a backdrop colour
// first, and gives access to its pixels.
class Render {
 public:
  Render(CView* view, CCoord width, CCoord height, CColor backdrop = CColor(255, 0, 255))
      : m_context(COffscreenContext::create(CPoint(width, height))) {
    m_context->beginDraw();
    m_context->setFillColor(backdrop);
    m_context->drawRect(CRect(0, 0, width, height), kDrawFilled);
    view->draw(m_context);
    m_context->endDraw();
    m_pixels = CBitmapPixelAccess::create(m_context->getBitmap(), false);
  }
  CColor at(double x, double y) const {
    m_pixels->setPosition(static_cast<uint32_t>(x), static_cast<uint32_t>(y));
    return m_pixels->getColor();
  }
  // Whether any pixel in the rectangle has the colour (within tolerance per channel).
  bool anyNear(const CRect& r, CColor c, int tolerance = 24) const {
    for (int y = static_cast<int>(r.top); y < static_cast<int>(r.bottom); ++y)
      for (int x = static_cast<int>(r.left); x < static_cast<int>(r.right); ++x)
        if (near(at(x, y), c, tolerance)) return true;
    return false;
  }
  // Whether some pixel in the rectangle lies at least `share` of the way from the background
  // colour to the colour (an anti-aliased thin line seldom covers a whole pixel).
  bool anyTowards(const CRect& r, CColor c, CColor background, double share = 0.4) const {
    const double dr = c.red - background.red, dg = c.green - background.green, db = c.blue - background.blue;
    const double length = dr * dr + dg * dg + db * db;
    if (length == 0) return false;
    for (int y = static_cast<int>(r.top); y < static_cast<int>(r.bottom); ++y) {
      for (int x = static_cast<int>(r.left); x < static_cast<int>(r.right); ++x) {
        const CColor p = at(x, y);
        const double t = ((p.red - background.red) * dr + (p.green - background.green) * dg +
                          (p.blue - background.blue) * db) / length;
        if (t >= share) return true;
      }
    }
    return false;
  }
  static bool near(CColor a, CColor b, int tolerance = 24) {
    auto d = [](int p, int q) { return p > q ? p - q : q - p; };
    return d(a.red, b.red) <= tolerance && d(a.green, b.green) <= tolerance && d(a.blue, b.blue) <= tolerance;
  }
  COffscreenContext* context() const { return m_context; }

 private:
  SharedPointer<COffscreenContext> m_context;
  SharedPointer<CBitmapPixelAccess> m_pixels;
};

// A theme whose 21 items are far apart from each other, so a pixel's colour names its item.
inline skarvel::ThemeColourTable distinctTheme() {
  skarvel::ThemeColourTable t{};
  for (std::size_t i = 0; i < t.size(); ++i) {
    t[i] = {static_cast<uint8_t>((i * 97) % 256), static_cast<uint8_t>((i * 53 + 40) % 256),
            static_cast<uint8_t>((i * 151 + 90) % 256)};
  }
  return t;
}

}  // namespace editortest

namespace VSTGUI {
inline std::ostream& operator<<(std::ostream& os, const CColor& c) {
  return os << "rgba(" << int(c.red) << ", " << int(c.green) << ", " << int(c.blue) << ", " << int(c.alpha) << ")";
}
}  // namespace VSTGUI
