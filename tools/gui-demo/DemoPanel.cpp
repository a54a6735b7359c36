#include "tools/gui-demo/DemoPanel.h"

#include <cmath>

namespace guidemo {

const CColor DemoPanel::kBackground{38, 42, 48, 255};

namespace {

const CColor kPanelText{220, 220, 225, 255};
const CColor kAccent{240, 160, 60, 255};

// A round knob drawn with arcs; a vertical drag changes it (200 pixels for the whole range).
class DemoKnob : public CControl {
 public:
  DemoKnob(const CRect& size, IControlListener* listener, int32_t tag) : CControl(size, listener, tag) {
    setDefaultValue(0.5f);
    setValue(0.25f);
  }
  void draw(CDrawContext* context) override {
    CRect r = getViewSize();
    r.inset(4, 4);
    context->setDrawMode(kAntiAliasing);
    context->setLineWidth(2);
    context->setFillColor(CColor(60, 64, 72, 255));
    context->setFrameColor(CColor(110, 115, 125, 255));
    context->drawEllipse(r, kDrawFilledAndStroked);
    context->setLineWidth(4);
    context->setFrameColor(kAccent);
    const float start = 135.f;
    context->drawArc(r, start, start + 270.f * getValueNormalized(), kDrawStroked);
    setDirty(false);
  }
  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override {
    if (!buttons.isLeftButton()) return kMouseEventNotHandled;
    if (checkDefaultValue(buttons)) return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    beginEdit();
    m_start = where;
    m_startValue = getValueNormalized();
    return kMouseEventHandled;
  }
  CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override {
    if (!buttons.isLeftButton() || !isEditing()) return kMouseEventNotHandled;
    setValueNormalized(m_startValue + static_cast<float>((m_start.y - where.y) / 200.0));
    if (isDirty()) valueChanged();
    return kMouseEventHandled;
  }
  CMouseEventResult onMouseUp(CPoint&, const CButtonState&) override {
    endEdit();
    return kMouseEventHandled;
  }

 private:
  CPoint m_start;
  float m_startValue = 0;
};

// The splash screen's modal view: a panel that closes itself when clicked.
class AboutView : public CView {
 public:
  explicit AboutView(const CRect& size) : CView(size) {}
  void setSplash(CSplashScreen* splash) { m_splash = splash; }
  void draw(CDrawContext* context) override {
    context->setDrawMode(kAliasing);
    context->setFillColor(CColor(20, 20, 24, 235));
    context->setFrameColor(kAccent);
    context->setLineWidth(2);
    context->drawRect(getViewSize(), kDrawFilledAndStroked);
    context->setFont(kNormalFontBig);
    context->setFontColor(kPanelText);
    context->drawString("GUI layer demo - click to close", getViewSize(), kCenterText);
    setDirty(false);
  }
  CMouseEventResult onMouseDown(CPoint&, const CButtonState& buttons) override {
    if (buttons.isLeftButton() && m_splash) m_splash->unSplash();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  }

 private:
  CSplashScreen* m_splash = nullptr;
};

CTextLabel* makeLabel(const CRect& r, const char* text) {
  auto* label = new CTextLabel(r, text);
  label->setBackColor(kTransparentCColor);
  label->setFrameColor(kTransparentCColor);
  label->setFontColor(kPanelText);
  label->setHoriAlign(kLeftText);
  label->setFont(kNormalFont);
  return label;
}

}  // namespace

void DemoPanel::build(CFrame* frame) {
  frame->setBackgroundColor(kBackground);

  auto* title = makeLabel(CRect(20, 10, 400, 34), "GUI layer demo");
  title->setFont(kNormalFontVeryBig);
  frame->addView(title);

  frame->addView(makeLabel(CRect(20, 50, 120, 70), "Slider"));
  slider = new CSlider(CRect(120, 50, 320, 70), this, kSliderTag, 120, 320, nullptr, nullptr, CPoint(0, 0),
                       kLeft | kHorizontal);
  slider->setDrawStyle(CSlider::kDrawBack | CSlider::kDrawFrame | CSlider::kDrawValue);
  slider->setBackColor(CColor(25, 27, 31, 255));
  slider->setFrameColor(CColor(110, 115, 125, 255));
  slider->setValueColor(kAccent);
  slider->setDefaultValue(0.5f);
  frame->addView(slider);
  sliderDisplay = new CParamDisplay(CRect(330, 50, 390, 70));
  sliderDisplay->setFontColor(kPanelText);
  sliderDisplay->setBackColor(CColor(25, 27, 31, 255));
  sliderDisplay->setFrameColor(CColor(110, 115, 125, 255));
  frame->addView(sliderDisplay);

  frame->addView(makeLabel(CRect(20, 90, 120, 110), "Menu"));
  menu = new COptionMenu(CRect(120, 90, 320, 110), this, kMenuTag, nullptr, nullptr, kCheckStyle);
  menu->setFontColor(kPanelText);
  menu->setBackColor(CColor(25, 27, 31, 255));
  menu->setFrameColor(CColor(110, 115, 125, 255));
  menu->addEntry("Alpha");
  menu->addEntry("Beta");
  menu->addSeparator();
  menu->addEntry("Gamma (disabled)", -1, CMenuItem::kDisabled);
  menu->addEntry("Delta");
  menu->setCurrent(0);
  frame->addView(menu);

  frame->addView(makeLabel(CRect(20, 130, 120, 150), "Text"));
  text = new CTextEdit(CRect(120, 130, 320, 150), this, kTextTag, "Edit me");
  text->setFontColor(kPanelText);
  text->setBackColor(CColor(25, 27, 31, 255));
  text->setFrameColor(CColor(110, 115, 125, 255));
  text->setHoriAlign(kLeftText);
  frame->addView(text);

  frame->addView(makeLabel(CRect(20, 170, 120, 190), "Knob"));
  knob = new DemoKnob(CRect(120, 160, 170, 210), this, kKnobTag);
  frame->addView(knob);

  for (int i = 1; i <= 40; ++i) rows.push_back("Row " + std::to_string(i) + " of the data browser");
  source = owned(new GenericStringListDataBrowserSource(&rows));
  source->setupUI(CColor(240, 160, 60, 255), kPanelText, CColor(0, 0, 0, 80), CColor(30, 33, 38, 255),
                  CColor(34, 37, 43, 255), kNormalFontSmall, 18);
  browser = new CDataBrowser(CRect(340, 90, 500, 300), source, CDataBrowser::kVerticalScrollbar |
                                                                   CDataBrowser::kAutoHideScrollbars |
                                                                   CDataBrowser::kDrawRowLines);
  frame->addView(browser);

  auto* about = new AboutView(CRect(60, 100, 460, 220));
  splash = new CSplashScreen(CRect(20, 230, 170, 260), this, kSplashTag, about);
  about->setSplash(splash);
  frame->addView(splash);
  auto* splashLabel = makeLabel(CRect(20, 230, 170, 260), "  About (splash)");
  splashLabel->setFrameColor(CColor(110, 115, 125, 255));
  splashLabel->setMouseEnabled(false);
  frame->addView(splashLabel);
}

void DemoPanel::valueChanged(CControl* control) {
  log.push_back("value " + std::to_string(control->getTag()));
  if (control == slider) sliderDisplay->setValue(slider->getValue());
}

}  // namespace guidemo
