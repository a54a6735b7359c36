#pragma once

#include <array>
#include <string>
#include <string_view>

#include "Frameworks/Gui/CParamDisplay.h"

namespace skarvel {

// The help box: five lines of help text in five equal bands, left-aligned, in the theme's
// help-text colour. A boxed look (a frame and a translucent fill, toggled between the full box
// and a small corner square by a click) exists but is off unless switched on; while it is off
// clicks pass through untouched.
class CToolTip : public VSTGUI::CParamDisplay {
 public:
  static constexpr int kLineCount = 5;
  static constexpr std::size_t kLineLength = 127;  // bytes per line

  CToolTip(const VSTGUI::CRect& size, VSTGUI::CFontDesc* font = nullptr);

  void setLines(const std::array<std::string_view, kLineCount>& lines);
  void setLine(int index, std::string_view text);
  const std::string& getLine(int index) const;

  void setBoxed(bool state);
  bool isBoxed() const { return m_boxed; }
  bool isCollapsed() const { return m_collapsed; }
  // The font size for the current height: 0.2 x height - 5 (at least 1).
  double fontSize() const;

  void draw(VSTGUI::CDrawContext* context) override;
  VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;

  CLASS_METHODS(CToolTip, CParamDisplay)

 private:
  VSTGUI::CRect cornerSquare() const;

  std::array<std::string, kLineCount> m_lines;
  bool m_boxed = false;
  bool m_collapsed = false;
};

}  // namespace skarvel
