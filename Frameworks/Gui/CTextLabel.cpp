#include "Frameworks/Gui/CTextLabel.h"

#include <cstring>

namespace VSTGUI {

CTextLabel::CTextLabel(const CRect& size, UTF8StringPtr text, CBitmap* background, int32_t style)
    : CParamDisplay(size, background, style), m_text(text ? text : "") {}

void CTextLabel::setText(const UTF8String& text) {
  if (text == m_text) return;
  m_text = text;
  setDirty();
}

bool CTextLabel::isTypeOf(const char* s) const {
  return std::strcmp(s, "CTextLabel") == 0 || CParamDisplay::isTypeOf(s);
}

}  // namespace VSTGUI
