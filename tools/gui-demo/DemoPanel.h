#pragma once

#include <string>
#include <vector>

#include "Frameworks/Gui/Gui.h"

namespace guidemo {

using namespace VSTGUI;

// One of each widget of the GUI layer on a frame, with a listener that remembers the last
// value of every control. Used by the gui-demo program and by the real-window test.
class DemoPanel : public IControlListener {
 public:
  enum Tag : int32_t { kSliderTag = 1, kMenuTag, kTextTag, kSplashTag, kKnobTag };
  static constexpr CCoord kWidth = 520;
  static constexpr CCoord kHeight = 320;

  // Adds the views to frame (which must be kWidth by kHeight).
  void build(CFrame* frame);

  void valueChanged(CControl* control) override;
  void controlBeginEdit(CControl* control) override { log.push_back("begin " + std::to_string(control->getTag())); }
  void controlEndEdit(CControl* control) override { log.push_back("end " + std::to_string(control->getTag())); }

  CSlider* slider = nullptr;
  CParamDisplay* sliderDisplay = nullptr;
  COptionMenu* menu = nullptr;
  CTextEdit* text = nullptr;
  CDataBrowser* browser = nullptr;
  CSplashScreen* splash = nullptr;
  CControl* knob = nullptr;
  std::vector<std::string> log;
  std::vector<std::string> rows;
  SharedPointer<GenericStringListDataBrowserSource> source;

  static const CColor kBackground;
};

}  // namespace guidemo
