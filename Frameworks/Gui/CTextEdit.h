#pragma once

#include <functional>

#include "Frameworks/Gui/CTextLabel.h"

namespace VSTGUI {

// A one-line text field. A click takes the keyboard focus (from the host, too) and places the
// caret; typing inserts UTF-8 text; Backspace, Delete, Left, Right, Home and End edit and move
// (with Shift they extend the selection); Return or Enter commits (the listener is told and
// the focus is given back); Escape cancels (the text returns to what it was when editing
// began). Clicking outside the field also commits.
class CTextEdit : public CTextLabel {
 public:
  using StringToValueFunction = std::function<bool(UTF8StringPtr text, float& result, CTextEdit* textEdit)>;

  CTextEdit(const CRect& size, IControlListener* listener, int32_t tag, UTF8StringPtr txt = nullptr,
            CBitmap* background = nullptr, const int32_t style = 0);
  CTextEdit(const CTextEdit& other);
  ~CTextEdit() override;

  void setText(const UTF8String& text) override;
  void setPlaceholderString(const UTF8String& text) { m_placeholder = text; setDirty(); }
  const UTF8String& getPlaceholderString() const { return m_placeholder; }
  // Tell the listener after every keystroke, not only on commit.
  void setImmediateTextChange(bool state) { m_immediateTextChange = state; }
  bool getImmediateTextChange() const { return m_immediateTextChange; }
  void setStringToValueFunction(StringToValueFunction function) { m_stringToValue = std::move(function); }
  // Longest text accepted, in bytes (0: no limit).
  void setMaxLength(size_t bytes) { m_maxLength = bytes; }

  bool isTextEditing() const { return m_textEditing; }
  // True while the listener hears of a commit made with Return, Enter or Tab (false for one made
  // by leaving the field).
  bool isCommittingWithKey() const { return m_committingWithKey; }
  // Caret and selection as byte offsets into the text (selection start <= end).
  size_t getCaretPosition() const { return m_caret; }
  size_t getSelectionStart() const { return std::min(m_anchor, m_caret); }
  size_t getSelectionEnd() const { return std::max(m_anchor, m_caret); }
  void selectAll();

  void takeFocus() override;
  void looseFocus() override;
  bool wantsFocus() const override { return true; }

  void draw(CDrawContext* context) override;
  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
  int32_t onKeyDown(VstKeyCode& keyCode) override;
  bool removed(CView* parent) override;

  bool isTypeOf(const char* s) const override;
  CView* newCopy() const override { return new CTextEdit(*this); }

 protected:
  void startEditing();
  void commit();
  void cancel();
  void endEditing();
  void replaceSelection(const std::string& text);
  size_t offsetAt(CCoord x);
  CCoord textStartX(CDrawContext* context) const;

  UTF8String m_placeholder;
  UTF8String m_textBeforeEdit;
  StringToValueFunction m_stringToValue;
  size_t m_caret = 0;
  size_t m_anchor = 0;
  size_t m_maxLength = 0;
  CCoord m_scroll = 0;  // pixels the text is shifted left to keep the caret visible
  bool m_textEditing = false;
  bool m_immediateTextChange = false;
  bool m_selecting = false;
  bool m_ending = false;
  bool m_committingWithKey = false;
};

// Encodes a Unicode code point as UTF-8 (empty for invalid code points).
std::string encodeUtf8(uint32_t codePoint);

}  // namespace VSTGUI
