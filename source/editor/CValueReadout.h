#pragma once

#include <string>

#include "Frameworks/Gui/CFontDesc.h"
#include "Frameworks/Gui/CView.h"

namespace skarvel {

// A small label beside a knob or slider that names the parameter and shows its value with its
// unit while the mouse is over the control and while it is being adjusted ("Rate1  474.34 Hz").
// Light text on a near-black box, whatever the theme: it stays legible (about 17:1) over every
// panel colour. It takes no mouse input, so it never stands in the way of the controls.
class CValueReadout : public VSTGUI::CView {
 public:
  static constexpr VSTGUI::CColor kBoxColour{18, 18, 20, 255};
  static constexpr VSTGUI::CColor kFrameColour{96, 96, 104, 255};
  static constexpr VSTGUI::CColor kTextColour{245, 245, 245, 255};
  static constexpr VSTGUI::CColor kHintColour{255, 200, 90, 255};

  // `font` gives the face; its size follows `scale` (the window's size factor).
  CValueReadout(VSTGUI::CFontDesc* font, double scale);

  // Shows `text` just below `control` (above it when there is no room below), kept inside
  // `bounds`. A hint is drawn in a warm colour instead of white.
  void showBeside(const VSTGUI::CRect& control, const VSTGUI::CRect& bounds, const std::string& text,
                  bool hint = false);
  void hide();
  const std::string& text() const { return m_text; }
  bool isHint() const { return m_hint; }
  void setScale(double scale);
  double fontSize() const { return m_font->getSize(); }

  void draw(VSTGUI::CDrawContext* context) override;

  CLASS_METHODS_NOCOPY(CValueReadout, CView)

 private:
  VSTGUI::SharedPointer<VSTGUI::CFontDesc> m_font;
  double m_scale = 1.0;
  std::string m_text;
  bool m_hint = false;
};

}  // namespace skarvel
