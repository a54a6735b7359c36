#pragma once

#include <string>

#include "Frameworks/Gui/CControl.h"
#include "Frameworks/Gui/CFontDesc.h"
#include "Frameworks/Gui/CViewContainer.h"

namespace VSTGUI {
class CTextEdit;
}

namespace skarvel {

class CSimpleLabel;
class cMessageDialogue;

// Whoever opened a dialog and closes it again (the save button).
class DialogResultHandler {
 public:
  virtual ~DialogResultHandler() = default;
  // The dialog is done: take it off the screen and react to its result.
  virtual void endDialog() = 0;
};

// A dialog over the whole frame: a darkened backdrop with an inner panel of five rows, a prompt,
// a one-line text field and three text buttons (tag 0, tag 1 and "Cancel", tag -1). A pressed
// button calls action(tag); "Cancel" and Escape end the dialog through the result handler.
class MultiActionDialog : public VSTGUI::CViewContainer, public VSTGUI::IControlListener {
 public:
  enum ButtonTag : int32_t { kFirstAction = 0, kSecondAction = 1, kCancel = -1 };

  // `frameSize` is the frame's rectangle; the inner panel is placed inside it.
  MultiActionDialog(const VSTGUI::CRect& frameSize, VSTGUI::CFontDesc* font, const std::string& firstCaption,
                    const std::string& secondCaption);
  ~MultiActionDialog() override;

  void setResultHandler(DialogResultHandler* handler) { m_resultHandler = handler; }
  DialogResultHandler* getResultHandler() const { return m_resultHandler; }

  void setPrompt(const std::string& prompt);
  const std::string& getPrompt() const;
  void setName(const std::string& name);
  std::string getName() const;
  void setSecondButtonVisible(bool visible);
  bool isSecondButtonVisible() const;

  // Presses a button as a click would (also from the keyboard: Return presses tag 0, in the
  // name field too).
  void press(int32_t tag);
  // Ends the dialog through the result handler.
  void endDialog();

  VSTGUI::CRect panelRect() const { return m_panel; }
  VSTGUI::CTextEdit* textField() const { return m_textField; }
  // The one font size the prompt, the name field and the buttons share.
  double textSize() const { return m_textFont ? m_textFont->getSize() : 0.0; }
  VSTGUI::CControl* button(int32_t tag) const;
  cMessageDialogue* messageDialogue() const { return m_message; }
  // Shows a question (with an action caption) or a notice (empty action) over the panel.
  void showMessage(const std::string& message, const std::string& actionCaption);

  void valueChanged(VSTGUI::CControl* control) override;
  int32_t onKeyDown(VSTGUI::VstKeyCode& keyCode) override;
  void drawBackgroundRect(VSTGUI::CDrawContext* context, const VSTGUI::CRect& rect) override;
  void setViewSize(const VSTGUI::CRect& rect, bool invalid = true) override;

 protected:
  // Carries out button `tag` (0 or 1). The dialog stays open until someone ends it.
  virtual void action(int32_t tag) = 0;

 private:
  void layout();
  // The one text size of the prompt, the name and the buttons (see layout).
  void fitText();

  DialogResultHandler* m_resultHandler = nullptr;
  VSTGUI::SharedPointer<VSTGUI::CFontDesc> m_font;
  VSTGUI::SharedPointer<VSTGUI::CFontDesc> m_textFont;
  VSTGUI::CRect m_panel;
  CSimpleLabel* m_prompt = nullptr;
  VSTGUI::CTextEdit* m_textField = nullptr;
  VSTGUI::CControl* m_buttons[3] = {nullptr, nullptr, nullptr};
  cMessageDialogue* m_message = nullptr;
};

}  // namespace skarvel
