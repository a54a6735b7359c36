#include "Frameworks/Gui/CSplashScreen.h"

#include <cstring>

#include "Frameworks/Gui/CBitmap.h"
#include "Frameworks/Gui/CFrame.h"

namespace VSTGUI {

CSplashScreen::CSplashScreen(const CRect& size, IControlListener* listener, int32_t tag, CView* splashView)
    : CControl(size, listener, tag) {
  setSplashView(splashView);
  setMin(0);
  setMax(1);
}

CSplashScreen::CSplashScreen(const CSplashScreen& other) : CControl(other), m_splashView(other.m_splashView) {}

CSplashScreen::~CSplashScreen() = default;

void CSplashScreen::setSplashView(CView* view) {
  if (m_splashView && isSplashShown()) unSplash();
  // The splash screen takes over the creator's reference.
  m_splashView = view ? SharedPointer<CView>::adopt(view) : nullptr;
}

bool CSplashScreen::isSplashShown() const {
  CFrame* frame = getFrame();
  return frame && m_splashView && frame->getModalView() == m_splashView.get();
}

void CSplashScreen::draw(CDrawContext* context) {
  if (CBitmap* background = getBackground()) background->draw(context, getViewSize());
  setDirty(false);
}

CMouseEventResult CSplashScreen::onMouseDown(CPoint& where, const CButtonState& buttons) {
  if (!buttons.isLeftButton() || !getViewSize().pointInside(where)) return kMouseEventNotHandled;
  CFrame* frame = getFrame();
  if (!frame || !m_splashView || frame->getModalView()) return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  beginEdit();
  setValue(getMax());
  if (frame->setModalView(m_splashView)) valueChanged();
  endEdit();
  return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

void CSplashScreen::unSplash() {
  SharedPointer<CSplashScreen> keep(this);
  const bool shown = isSplashShown();
  if (shown) getFrame()->setModalView(nullptr);
  if (getValue() != getMin() || shown) {
    beginEdit();
    setValue(getMin());
    valueChanged();
    endEdit();
  }
}

bool CSplashScreen::removed(CView* parent) {
  if (isSplashShown()) getFrame()->setModalView(nullptr);
  return CControl::removed(parent);
}

bool CSplashScreen::isTypeOf(const char* s) const {
  return std::strcmp(s, "CSplashScreen") == 0 || CControl::isTypeOf(s);
}

}  // namespace VSTGUI
