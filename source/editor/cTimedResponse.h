#pragma once

#include <string>

#include "Frameworks/Gui/CFontDesc.h"
#include "Frameworks/Gui/CVSTGUITimer.h"
#include "Frameworks/Gui/CView.h"

namespace skarvel {

// A notice that removes itself: its timer fires every 500 ms, and after ten firings (five
// seconds) or at the first left click the notice leaves its parent (the frame's modal view).
class cTimedResponse : public VSTGUI::CView {
 public:
  static constexpr uint32_t kTickMilliseconds = 500;
  static constexpr int kTicks = 10;
  static constexpr std::size_t kMaxMessageLength = 511;

  cTimedResponse(const VSTGUI::CRect& size, const std::string& message, VSTGUI::CFontDesc* font);
  ~cTimedResponse() override;

  const std::string& message() const { return m_message; }
  int countdown() const { return m_countdown; }
  bool isTimerRunning() const { return m_timer && m_timer->isRunning(); }

  void draw(VSTGUI::CDrawContext* context) override;
  VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  bool removed(VSTGUI::CView* parent) override;

  CLASS_METHODS_NOCOPY(cTimedResponse, CView)

 private:
  void tick();
  void dismiss();

  std::string m_message;
  VSTGUI::SharedPointer<VSTGUI::CFontDesc> m_font;
  VSTGUI::SharedPointer<VSTGUI::CVSTGUITimer> m_timer;
  int m_countdown = kTicks;
};

}  // namespace skarvel
