#pragma once

#include "Frameworks/Gui/CControl.h"

namespace VSTGUI {

// A button that shows a view as the frame's modal view. A left click sets the value to max,
// shows the view and tells the listener; unSplash() removes the view, sets the value to min
// and tells the listener again.
class CSplashScreen : public CControl {
 public:
  CSplashScreen(const CRect& size, IControlListener* listener, int32_t tag, CView* splashView);
  CSplashScreen(const CSplashScreen& other);
  ~CSplashScreen() override;

  virtual void unSplash();
  CView* getSplashView() const { return m_splashView.get(); }
  void setSplashView(CView* view);
  bool isSplashShown() const;

  void draw(CDrawContext* context) override;
  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
  bool removed(CView* parent) override;

  bool isTypeOf(const char* s) const override;
  CView* newCopy() const override { return new CSplashScreen(*this); }

 protected:
  SharedPointer<CView> m_splashView;
};

}  // namespace VSTGUI
