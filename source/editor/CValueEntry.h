#pragma once

#include <functional>
#include <string>

#include "Frameworks/Gui/CTextEdit.h"

namespace skarvel {

// The field in which a value is typed (opened by a right click on a knob or slider). It starts
// with the current value selected. Return or Enter offers the text to `submit`; when that
// refuses it the field stays open with the text selected, so the user can type again. Escape,
// or leaving the field (a click elsewhere, another window), calls `cancel` and changes nothing.
class CValueEntry : public VSTGUI::CTextEdit {
 public:
  using Submit = std::function<bool(const std::string& text)>;
  using Cancel = std::function<void()>;

  static constexpr VSTGUI::CColor kBoxColour{12, 12, 14, 255};
  static constexpr VSTGUI::CColor kTextColour{245, 245, 245, 255};

  CValueEntry(const VSTGUI::CRect& size, VSTGUI::CFontDesc* font, const std::string& text, Submit submit,
              Cancel cancel);

  // Starts editing with the whole text selected and the keyboard focus taken.
  void begin();
  // Stops without calling anything back (the editor closes the field itself).
  void finish();
  bool isFinished() const { return m_finished; }

  int32_t onKeyDown(VSTGUI::VstKeyCode& keyCode) override;
  void looseFocus() override;

  CLASS_METHODS_NOCOPY(CValueEntry, CTextEdit)

 private:
  Submit m_submit;
  Cancel m_cancel;
  bool m_finished = false;
};

}  // namespace skarvel
