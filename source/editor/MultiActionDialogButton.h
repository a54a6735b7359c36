#pragma once

#include <string>

#include "Frameworks/Gui/CSplashScreen.h"
#include "source/editor/MultiActionDialog.h"

namespace skarvel {

// The toolbar's "save" button: a caption that opens its dialog as the frame's modal view (the
// value becomes 1 and the listener hears it) and closes it again when the dialog ends (the value
// returns to 0 and the listener hears that).
class MultiActionDialogButton : public VSTGUI::CSplashScreen, public DialogResultHandler {
 public:
  MultiActionDialogButton(const VSTGUI::CRect& size, VSTGUI::IControlListener* listener, int32_t tag,
                          MultiActionDialog* dialog, VSTGUI::CFontDesc* font, const std::string& caption);
  ~MultiActionDialogButton() override;

  void endDialog() override;
  MultiActionDialog* dialog() const;
  const std::string& caption() const { return m_caption; }
  VSTGUI::CColor fontColour() const { return m_fontColour; }

  void draw(VSTGUI::CDrawContext* context) override;
  VSTGUI::CMouseEventResult onMouseEntered(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CMouseEventResult onMouseExited(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;

  CLASS_METHODS_NOCOPY(MultiActionDialogButton, CSplashScreen)

 private:
  VSTGUI::SharedPointer<VSTGUI::CFontDesc> m_font;
  std::string m_caption;
  VSTGUI::CColor m_fontColour{162, 162, 162, 255};
  bool m_hover = false;
};

}  // namespace skarvel
