#pragma once

#include <atomic>

#include "Frameworks/Gui/CView.h"

namespace VSTGUI {

class CControl;

// Receives the changes of controls.
class IControlListener {
 public:
  virtual ~IControlListener() = default;
  virtual void valueChanged(CControl* control) = 0;
  virtual int32_t controlModifierClicked(CControl* control, CButtonState button) {
    (void)control;
    (void)button;
    return 0;
  }
  virtual void controlBeginEdit(CControl* control) { (void)control; }
  virtual void controlEndEdit(CControl* control) { (void)control; }
};

// Style bits shared by the controls.
enum CControlEnum : int32_t {
  kHorizontal = 1 << 0,
  kVertical = 1 << 1,
  kShadowText = 1 << 2,
  kLeft = 1 << 3,
  kRight = 1 << 4,
  kTop = 1 << 5,
  kBottom = 1 << 6,
  k3DIn = 1 << 7,
  k3DOut = 1 << 8,
  kPopupStyle = 1 << 9,
  kCheckStyle = 1 << 10,
  kMultipleCheckStyle = 1 << 10 | 1,
  kNoTextStyle = 1 << 11,
  kNoDrawStyle = 1 << 12,
  kDoubleClickStyle = 1 << 13,
  kNoFrame = 1 << 14,
  kRoundRectStyle = 1 << 15,
};

// A view with a value between min and max, a tag and a listener.
//
// setValue() may be called from any thread (hosts set parameters from their audio thread): it
// only stores the value; the redraw happens at the next idle because isDirty() compares the
// value with the one last drawn.
class CControl : public CView {
 public:
  CControl(const CRect& size, IControlListener* listener = nullptr, int32_t tag = -1,
           CBitmap* background = nullptr);
  CControl(const CControl& other);
  ~CControl() override;

  virtual void setValue(float val) { m_value.store(val, std::memory_order_relaxed); }
  virtual float getValue() const { return m_value.load(std::memory_order_relaxed); }
  // Value mapped to 0..1 over min..max.
  virtual void setValueNormalized(float val);
  virtual float getValueNormalized() const;
  virtual void setMin(float val) { m_min = val; }
  virtual float getMin() const { return m_min; }
  virtual void setMax(float val) { m_max = val; }
  virtual float getMax() const { return m_max; }
  float getRange() const { return m_max - m_min; }
  virtual void setOldValue(float val) { m_oldValue.store(val, std::memory_order_relaxed); }
  virtual float getOldValue() const { return m_oldValue.load(std::memory_order_relaxed); }
  virtual void setDefaultValue(float val) { m_defaultValue = val; }
  virtual float getDefaultValue() const { return m_defaultValue; }
  virtual void setTag(int32_t val) { m_tag = val; }
  virtual int32_t getTag() const { return m_tag; }
  virtual void setListener(IControlListener* listener) { m_listener = listener; }
  IControlListener* getListener() const { return m_listener; }
  void setWheelInc(float val) { m_wheelInc = val; }
  float getWheelInc() const { return m_wheelInc; }

  // Gesture bracket: tells the listener and the editor (which tells the host). Nested calls
  // count, so only the outermost pair reaches the host.
  virtual void beginEdit();
  virtual void endEdit();
  bool isEditing() const { return m_editing > 0; }

  // Clamps the value to min..max.
  virtual void bounceValue();
  // Tells the listener that the value changed and asks for a redraw.
  virtual void valueChanged();
  // With the default-value modifier (Ctrl) and the left button: restores the default value,
  // tells the listener (inside a gesture) and returns true.
  virtual bool checkDefaultValue(CButtonState button);

  bool isDirty() const override;
  void setDirty(bool val = true) override;

  bool onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
               const CButtonState& buttons) override;

  bool isTypeOf(const char* s) const override;
  CView* newCopy() const override { return new CControl(*this); }

 protected:
  IControlListener* m_listener = nullptr;
  int32_t m_tag = -1;
  float m_min = 0.f;
  float m_max = 1.f;
  float m_defaultValue = 0.5f;
  float m_wheelInc = 0.1f;
  int32_t m_editing = 0;

 private:
  std::atomic<float> m_value{0.f};
  std::atomic<float> m_oldValue{1.f};
};

}  // namespace VSTGUI
