#pragma once

#include "Frameworks/Gui/CControl.h"
#include "source/editor/ColourGroups.h"

namespace skarvel {

// A previous/next stepper: a left area that lowers the value by the step and a right area that
// raises it (kept within min..max). The listener hears every click, also one between the
// areas; during valueChanged getOldValue() still holds the value before the click. The area
// under the mouse is highlighted.
class CKickPreviousNext : public VSTGUI::CControl {
 public:
  enum Area { kNoArea = -1, kPreviousArea = 0, kNextArea = 1 };

  // The areas default to the left and right thirds of the view.
  CKickPreviousNext(const VSTGUI::CRect& size, VSTGUI::IControlListener* listener, int32_t tag,
                    const ColourGroupB* colours, float step = 1.0f);

  void setAreas(const VSTGUI::CRect& previous, const VSTGUI::CRect& next);
  const VSTGUI::CRect& getArea(Area area) const { return area == kNextArea ? m_next : m_previous; }
  void setStep(float step) { m_step = step; }
  float getStep() const { return m_step; }
  Area hoveredArea() const { return m_hover; }
  Area areaAt(const VSTGUI::CPoint& where) const;

  void draw(VSTGUI::CDrawContext* context) override;
  void setViewSize(const VSTGUI::CRect& rect, bool invalid = true) override;
  VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CMouseEventResult onMouseMoved(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CMouseEventResult onMouseExited(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;

  CLASS_METHODS(CKickPreviousNext, CControl)

 private:
  void drawArrow(VSTGUI::CDrawContext* context, const VSTGUI::CRect& area, bool pointsLeft, bool lit);

  const ColourGroupB* m_colours;
  VSTGUI::CRect m_previous;
  VSTGUI::CRect m_next;
  float m_step;
  Area m_hover = kNoArea;
};

}  // namespace skarvel
