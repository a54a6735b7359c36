#pragma once

#include <string>
#include <string_view>

#include "Frameworks/Gui/CControl.h"
#include "Frameworks/Gui/CFontDesc.h"
#include "source/editor/ColourGroups.h"
#include "source/editor/KnobDrag.h"
#include "source/editor/KnobGeometry.h"

namespace skarvel {

// A flat rotary control drawn with vectors: a round body, a value arc around it, a pointer and,
// while the mouse is over it, its value text. positions is +1 for a unipolar knob (the arc runs
// from the start), -1 for a bipolar one (the arc runs from twelve o'clock) and 2 or more for a
// stepped switch knob whose clicks step through that many positions.
//
// Mouse: a continuous knob is dragged linearly (up and right increase; 200 pixels for the whole
// range, 520 with Shift) or circularly, as the host's knob mode and Alt choose; Ctrl+click
// restores the default; a right click or a double click goes to the listener first. A stepped
// knob steps forwards with the left button and backwards with the right, wrapping at the ends.
// The wheel steps either kind.
class CKnobFlatSwitch : public VSTGUI::CControl {
 public:
  static constexpr std::size_t kValueTextLength = 32;  // bytes of value text kept
  static constexpr double kWheelFineFactor = 10.0;     // Shift makes wheel steps this much finer

  CKnobFlatSwitch(const VSTGUI::CRect& size, VSTGUI::IControlListener* listener, int32_t tag,
                  const ColourGroupC* colours, int positions);

  // The text shown in the knob (the parameter's display text); only the first 32 bytes count.
  virtual void setValueText(std::string_view text);
  const std::string& getValueText() const { return m_valueText; }
  virtual void setShowValue(bool state);
  bool getShowValue() const { return m_showValue; }
  // An inactive knob draws its arc and pointer in grey.
  virtual void setActive(bool state);
  bool isActive() const { return m_active; }
  virtual void setPositions(int positions);
  int getPositions() const { return m_positions; }
  bool isStepped() const { return m_positions >= 2; }
  bool isHovered() const { return m_hover; }
  const KnobGeometry& geometry() const { return m_geometry; }

  void draw(VSTGUI::CDrawContext* context) override;
  VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CMouseEventResult onMouseMoved(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CMouseEventResult onMouseUp(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CMouseEventResult onMouseEntered(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CMouseEventResult onMouseExited(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CMouseEventResult onMouseCancel() override;
  // The wheel steps the value by the wheel increment (a tenth of it with Shift), or a stepped
  // knob by one position, as one gesture per notch.
  bool onWheel(const VSTGUI::CPoint& where, const VSTGUI::CMouseWheelAxis& axis, const float& distance,
               const VSTGUI::CButtonState& buttons) override;

  CLASS_METHODS(CKnobFlatSwitch, CControl)

 protected:
  // Recomputes radius and insets when the view's rectangle differs from the last drawn one.
  virtual void updateGeometry();
  virtual void drawBody(VSTGUI::CDrawContext* context);
  virtual void drawValueArc(VSTGUI::CDrawContext* context);
  virtual void drawSteps(VSTGUI::CDrawContext* context);
  virtual void drawIndicator(VSTGUI::CDrawContext* context);
  virtual void drawValueText(VSTGUI::CDrawContext* context);
  // Where the value text goes and at which font size (0 when there is no room or no text).
  struct ValueTextLayout {
    VSTGUI::CRect band;
    double size = 0.0;
  };
  ValueTextLayout valueTextLayout(VSTGUI::CDrawContext* context) const;
  // The text colour that reads on `background`.
  VSTGUI::CColor valueTextColour(const VSTGUI::CColor& background) const;
  // Radii between which the arc's radial segments run.
  virtual void arcRadii(double& inner, double& outer) const;
  // The value fraction under a point, for circular drags.
  virtual double valueFromPoint(const VSTGUI::CPoint& where) const;
  // One radial segment at a fraction of the sweep.
  void drawRadial(VSTGUI::CDrawContext* context, double fraction, double inner, double outer) const;
  // The value as drawn: snapped to the nearest position for a stepped knob.
  double drawnValue() const;
  VSTGUI::CColor arcColour() const;
  VSTGUI::CColor pointerColour() const;

  const ColourGroupC* m_colours;
  int m_positions;
  KnobGeometry m_geometry;
  VSTGUI::CRect m_lastDrawnRect{0, 0, -1, -1};
  std::string m_valueText;
  VSTGUI::SharedPointer<VSTGUI::CFontDesc> m_valueFont;
  bool m_showValue = true;
  bool m_active = true;

 private:
  void stepByClick(const VSTGUI::CButtonState& buttons);
  void endGesture();

  KnobDrag m_drag;
  VSTGUI::CPoint m_lastPoint{-1, -1};
  VSTGUI::CButtonState m_lastButtons;
  bool m_hover = false;
  bool m_inGesture = false;
};

}  // namespace skarvel
