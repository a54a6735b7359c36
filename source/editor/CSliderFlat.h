#pragma once

#include <string>
#include <string_view>

#include "Frameworks/Gui/CFontDesc.h"
#include "Frameworks/Gui/CSlider.h"
#include "source/editor/ColourGroups.h"

namespace skarvel {

// A box slider: a framed box showing the value text, changed by dragging anywhere over it.
// Moving right or up adds 0.001 per pixel (so a diagonal drag counts twice); with Shift the
// value eases towards where the drag points, 1/15.2 of the remaining distance per mouse event.
// Ctrl+click restores the default. Without the box style it is a plain CSlider.
class CSliderFlat : public VSTGUI::CSlider {
 public:
  static constexpr int32_t kBoxStyle = 0x4000;
  static constexpr double kValuePerPixel = 0.001;
  static constexpr double kFineFactor = 15.2;
  static constexpr std::size_t kValueTextLength = 32;
  static constexpr std::size_t kCaptionLength = 31;

  CSliderFlat(const VSTGUI::CRect& size, VSTGUI::IControlListener* listener, int32_t tag,
              const ColourGroupA* colours, VSTGUI::CFontDesc* font = nullptr,
              int32_t style = VSTGUI::kVertical | kBoxStyle);

  bool isBoxStyle() const { return m_boxStyle; }
  void setBoxStyle(bool state);

  virtual void setValueText(std::string_view text);
  const std::string& getValueText() const { return m_valueText; }
  virtual void setLabelFont(VSTGUI::CFontDesc* font);
  // Looks the editor leaves off: swapped box and text colours, a bar showing the value, and
  // captions at the left and right ends of the box.
  virtual void setInverted(bool state);
  virtual void setValueBar(bool state);
  virtual void setCaptions(std::string_view left, std::string_view right);

  void draw(VSTGUI::CDrawContext* context) override;
  VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CMouseEventResult onMouseMoved(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CMouseEventResult onMouseUp(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CMouseEventResult onMouseCancel() override;

  CLASS_METHODS(CSliderFlat, CSlider)

 private:
  void setCursor(VSTGUI::CCursorType cursor);

  const ColourGroupA* m_colours;
  VSTGUI::SharedPointer<VSTGUI::CFontDesc> m_font;
  std::string m_valueText;
  std::string m_leftCaption;
  std::string m_rightCaption;
  VSTGUI::CPoint m_dragStart;
  double m_dragStartValue = 0.0;
  bool m_boxStyle = true;
  bool m_inverted = false;
  bool m_valueBar = false;
  bool m_inGesture = false;
};

}  // namespace skarvel
