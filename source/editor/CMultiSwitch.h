#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "Frameworks/Gui/CControl.h"
#include "Frameworks/Gui/CFontDesc.h"
#include "source/editor/ColourGroups.h"

namespace skarvel {

// A row of n cells, one per position, each with its text; the selected one is lit. A left
// click selects the cell under the mouse (value = position / (n - 1)); with fewer than two
// positions a click toggles between 0 and 1. Cells run across the width, or down the height
// when the view is taller than wide.
class CMultiSwitch : public VSTGUI::CControl {
 public:
  static constexpr std::size_t kItemTextLength = 31;

  CMultiSwitch(const VSTGUI::CRect& size, VSTGUI::IControlListener* listener, int32_t tag,
               const ColourGroupB* colours, int positions, VSTGUI::CFontDesc* font = nullptr);

  // One text per position (extra texts are ignored, missing ones are empty).
  virtual void setItemTexts(const std::vector<std::string_view>& texts);
  const std::string& getItemText(int position) const;
  int getPositions() const { return m_positions; }
  bool isVerticalLayout() const { return getHeight() > getWidth(); }
  // The position the value selects (nearest).
  int selectedPosition() const;
  // The font used for the texts (the editor gives its label font at 12 x scale).
  void setFont(VSTGUI::CFontDesc* font);

  void draw(VSTGUI::CDrawContext* context) override;
  VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;

  CLASS_METHODS(CMultiSwitch, CControl)

 protected:
  virtual void drawCell(VSTGUI::CDrawContext* context, int position, const VSTGUI::CRect& cell);

  const ColourGroupB* m_colours;
  int m_positions;
  std::vector<std::string> m_texts;
  VSTGUI::SharedPointer<VSTGUI::CFontDesc> m_font;
};

}  // namespace skarvel
