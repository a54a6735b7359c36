#pragma once

#include "Frameworks/Gui/CParamDisplay.h"

namespace VSTGUI {

// A CParamDisplay that shows a fixed text instead of its value.
class CTextLabel : public CParamDisplay {
 public:
  CTextLabel(const CRect& size, UTF8StringPtr text = nullptr, CBitmap* background = nullptr,
             int32_t style = 0);
  CTextLabel(const CTextLabel& other) = default;

  virtual void setText(const UTF8String& text);
  const UTF8String& getText() const { return m_text; }

  bool isTypeOf(const char* s) const override;
  CView* newCopy() const override { return new CTextLabel(*this); }

 protected:
  std::string getDisplayText() const override { return m_text; }

  UTF8String m_text;
};

}  // namespace VSTGUI
