#include "Frameworks/Gui/CControl.h"

#include <cstring>

#include "Frameworks/Gui/CFrame.h"

namespace VSTGUI {

CControl::CControl(const CRect& size, IControlListener* listener, int32_t tag, CBitmap* background)
    : CView(size), m_listener(listener), m_tag(tag) {
  if (background) setBackground(background);
}

CControl::CControl(const CControl& other)
    : CView(other),
      m_listener(other.m_listener),
      m_tag(other.m_tag),
      m_min(other.m_min),
      m_max(other.m_max),
      m_defaultValue(other.m_defaultValue),
      m_wheelInc(other.m_wheelInc),
      m_value(other.getValue()),
      m_oldValue(other.getOldValue()) {}

CControl::~CControl() = default;

void CControl::setValueNormalized(float val) {
  if (!(val >= 0.f)) val = 0.f;  // NaN too
  if (val > 1.f) val = 1.f;
  setValue(m_min + val * (m_max - m_min));
}

float CControl::getValueNormalized() const {
  const float range = getRange();
  if (range == 0.f) return 0.f;
  float normalized = (getValue() - m_min) / range;
  if (!(normalized >= 0.f)) normalized = 0.f;
  return normalized > 1.f ? 1.f : normalized;
}

void CControl::beginEdit() {
  if (m_editing++ > 0) return;
  if (m_listener) m_listener->controlBeginEdit(this);
  if (CFrame* frame = getFrame(); frame && frame->getEditor()) frame->getEditor()->beginEdit(m_tag);
}

void CControl::endEdit() {
  // An end without a begin (or a second end) must not reach the host.
  if (m_editing == 0) return;
  if (--m_editing > 0) return;
  if (CFrame* frame = getFrame(); frame && frame->getEditor()) frame->getEditor()->endEdit(m_tag);
  if (m_listener) m_listener->controlEndEdit(this);
}

void CControl::bounceValue() {
  const float value = getValue();
  if (value > m_max)
    setValue(m_max);
  else if (!(value >= m_min))  // below, or NaN
    setValue(m_min);
}

void CControl::valueChanged() {
  if (m_listener) m_listener->valueChanged(this);
  setDirty();
}

bool CControl::checkDefaultValue(CButtonState button) {
  if (!button.isLeftButton() || button.getModifierState() != kDefaultValueModifier) return false;
  if (getDefaultValue() != getValue()) {
    beginEdit();
    setValue(getDefaultValue());
    valueChanged();
    endEdit();
  }
  return true;
}

bool CControl::isDirty() const { return CView::isDirty() || getOldValue() != getValue(); }

void CControl::setDirty(bool val) {
  CView::setDirty(val);
  if (!val) setOldValue(getValue());
}

bool CControl::onWheel(const CPoint&, const CMouseWheelAxis&, const float&, const CButtonState&) { return false; }

bool CControl::isTypeOf(const char* s) const { return std::strcmp(s, "CControl") == 0 || CView::isTypeOf(s); }

}  // namespace VSTGUI
