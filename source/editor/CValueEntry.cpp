#include "source/editor/CValueEntry.h"

#include "Frameworks/Gui/CFrame.h"

using namespace VSTGUI;

namespace skarvel {

CValueEntry::CValueEntry(const CRect& size, CFontDesc* font, const std::string& text, Submit submit, Cancel cancel)
    : CTextEdit(size, nullptr, -1, text.c_str(), nullptr, 0), m_submit(std::move(submit)), m_cancel(std::move(cancel)) {
  setFont(font);
  setFontColor(kTextColour);
  setBackColor(kBoxColour);
  setFrameColor(CColor(200, 200, 208, 255));
  setHoriAlign(kCenterText);
  setMaxLength(32);
}

void CValueEntry::begin() {
  if (CFrame* frame = getFrame()) frame->setFocusView(this);
  selectAll();
}

void CValueEntry::finish() {
  if (m_finished) return;
  m_finished = true;
  // Editing ends without a commit: nothing is told to a listener.
  cancel();
}

int32_t CValueEntry::onKeyDown(VstKeyCode& keyCode) {
  if (m_finished) return -1;
  SharedPointer<CView> keep(this);
  switch (keyCode.virt) {
    case VKEY_RETURN:
    case VKEY_ENTER:
      if (m_submit && !m_submit(getText())) {
        selectAll();  // refused: type again
        return 1;
      }
      return 1;
    case VKEY_ESCAPE:
      if (m_cancel) m_cancel();
      return 1;
    default:
      return CTextEdit::onKeyDown(keyCode);
  }
}

void CValueEntry::looseFocus() {
  if (m_finished || !isTextEditing()) return;
  SharedPointer<CView> keep(this);
  if (m_cancel) m_cancel();
}

}  // namespace skarvel
