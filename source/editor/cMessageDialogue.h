#pragma once

#include <string>

#include "Frameworks/Gui/CFontDesc.h"
#include "Frameworks/Gui/CView.h"

namespace skarvel {

// A framed message "[   text   ]" with, when it has an action, the buttons "YES" and "NO". A
// left click on "YES" sends the action caption to the dependents, on "NO" (or anywhere, when
// there is no action) it sends "No"; either way the dialogue hides itself.
class cMessageDialogue : public VSTGUI::CView, public VSTGUI::IDependency {
 public:
  static constexpr VSTGUI::IdStringPtr kNo = "No";

  cMessageDialogue(const VSTGUI::CRect& size, VSTGUI::CFontDesc* font);

  // Shows `message`; an empty action caption shows no buttons.
  void show(const std::string& message, const std::string& actionCaption);
  const std::string& message() const { return m_message; }
  const std::string& actionCaption() const { return m_action; }
  // True after "YES", false after "NO".
  bool result() const { return m_result; }
  VSTGUI::CRect yesRect() const;
  VSTGUI::CRect noRect() const;

  void draw(VSTGUI::CDrawContext* context) override;
  VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  int32_t onKeyDown(VSTGUI::VstKeyCode& keyCode) override;

  CLASS_METHODS_NOCOPY(cMessageDialogue, CView)

 private:
  void answer(bool yes);
  VSTGUI::CRect innerFrame() const;

  VSTGUI::SharedPointer<VSTGUI::CFontDesc> m_font;
  std::string m_message;
  std::string m_action;
  bool m_result = false;
};

}  // namespace skarvel
