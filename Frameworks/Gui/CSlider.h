#pragma once

#include "Frameworks/Gui/CControl.h"

namespace VSTGUI {

// A horizontal or vertical slider: a handle moved along a track. Without a handle picture it
// draws itself with colours (frame, back, value bar). Style bits: kHorizontal or kVertical.
// A vertical slider has its maximum at the top (kTop, also the default) unless only kBottom
// is set, which puts the maximum at the bottom. A horizontal slider has its minimum at the
// left (kLeft, the default) unless kRight is set.
//
// Mouse: a left-button drag moves the value by the distance moved (the handle does not jump to
// the click, except in kTouchMode); Shift divides the movement by the zoom factor for fine
// adjustment; Ctrl+click restores the default value; the wheel steps by the wheel increment.
class CSlider : public CControl {
 public:
  enum Mode { kTouchMode, kRelativeTouchMode, kFreeClickMode };
  enum DrawStyle {
    kDrawFrame = 1 << 0,
    kDrawBack = 1 << 1,
    kDrawValue = 1 << 2,
    kDrawValueFromCenter = 1 << 3,
    kDrawInverted = 1 << 4,
  };

  // The handle travels between iMinPos and iMaxPos (pixels from the view's start along the
  // axis; for a vertical slider, from its top).
  CSlider(const CRect& size, IControlListener* listener, int32_t tag, int32_t iMinPos, int32_t iMaxPos,
          CBitmap* handle, CBitmap* background, const CPoint& offset = CPoint(0, 0),
          const int32_t style = kLeft | kHorizontal);
  CSlider(const CRect& size, IControlListener* listener, int32_t tag, const CPoint& offsetHandle,
          int32_t rangeHandle, CBitmap* handle, CBitmap* background, const CPoint& offset = CPoint(0, 0),
          const int32_t style = kLeft | kHorizontal);
  CSlider(const CSlider& other);
  ~CSlider() override;

  void setStyle(int32_t style);
  int32_t getStyle() const { return m_style; }
  void setSliderMode(Mode mode) { m_mode = mode; }
  Mode getSliderMode() const { return m_mode; }
  void setFreeClick(bool val) { m_mode = val ? kFreeClickMode : kTouchMode; }
  bool getFreeClick() const { return m_mode == kFreeClickMode; }
  // Shift divides the mouse movement by this factor.
  void setZoomFactor(float val) { m_zoomFactor = val; }
  float getZoomFactor() const { return m_zoomFactor; }
  void setOffsetHandle(const CPoint& val);
  CPoint getOffsetHandle() const { return m_offsetHandle; }
  void setOffset(const CPoint& val) { m_offset = val; }
  CPoint getOffset() const { return m_offset; }
  virtual void setHandle(CBitmap* handle);
  CBitmap* getHandle() const { return m_handle.get(); }

  void setDrawStyle(int32_t style) { m_drawStyle = style; setDirty(); }
  int32_t getDrawStyle() const { return m_drawStyle; }
  void setFrameWidth(CCoord width) { m_frameWidth = width; setDirty(); }
  CCoord getFrameWidth() const { return m_frameWidth; }
  void setFrameColor(CColor color) { m_frameColor = color; setDirty(); }
  CColor getFrameColor() const { return m_frameColor; }
  void setBackColor(CColor color) { m_backColor = color; setDirty(); }
  CColor getBackColor() const { return m_backColor; }
  void setValueColor(CColor color) { m_valueColor = color; setDirty(); }
  CColor getValueColor() const { return m_valueColor; }

  // The range of handle travel in pixels.
  CCoord getHandleRange() const { return m_rangeHandle; }
  // The handle's rectangle for the current value (view coordinates).
  CRect getHandleRect() const;

  void draw(CDrawContext* context) override;
  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseCancel() override;
  bool onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
               const CButtonState& buttons) override;
  int32_t onKeyDown(VstKeyCode& keyCode) override;
  void setViewSize(const CRect& rect, bool invalid = true) override;

  bool isTypeOf(const char* s) const override;
  CView* newCopy() const override { return new CSlider(*this); }

 protected:
  bool isVertical() const { return (m_style & kVertical) != 0; }
  // Whether the maximum lies at the top (vertical) or left (horizontal) end.
  bool isInverseStyle() const;
  // Normalised value for a pixel position along the axis (view coordinates).
  float positionToNormalized(const CPoint& where) const;
  void updateRange();

  SharedPointer<CBitmap> m_handle;
  CPoint m_offset;
  CPoint m_offsetHandle;
  int32_t m_style = kLeft | kHorizontal;
  Mode m_mode = kFreeClickMode;
  float m_zoomFactor = 10.f;
  CCoord m_minPos = 0;
  CCoord m_rangeHandle = 0;
  CCoord m_widthOfSlider = 1;
  CCoord m_heightOfSlider = 1;

  int32_t m_drawStyle = 0;
  CCoord m_frameWidth = 1.;
  CColor m_frameColor = kGreyCColor;
  CColor m_backColor = kBlackCColor;
  CColor m_valueColor = kWhiteCColor;

  // Drag state.
  CPoint m_lastPoint;
  float m_startValue = 0.f;  // normalised, where the drag began or was re-anchored
  CCoord m_delta = 0;        // pixels dragged since then
  CButtonState m_lastButtons;
  bool m_dragging = false;
};

}  // namespace VSTGUI
