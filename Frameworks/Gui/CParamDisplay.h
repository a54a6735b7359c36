#pragma once

#include <functional>

#include "Frameworks/Gui/CControl.h"
#include "Frameworks/Gui/CFontDesc.h"

namespace VSTGUI {

// A control that shows its value as text (and the base of text labels and menus): font, font
// colour, back colour, frame colour, alignment, text inset, and the drawing style bits
// kNoDrawStyle (draw nothing), kNoTextStyle (no text), kNoFrame (no outline), kShadowText,
// kRoundRectStyle.
class CParamDisplay : public CControl {
 public:
  using ValueToStringFunction = std::function<bool(float value, char utf8String[256], CParamDisplay* display)>;

  CParamDisplay(const CRect& size, CBitmap* background = nullptr, int32_t style = 0);
  CParamDisplay(const CParamDisplay& other);
  ~CParamDisplay() override;

  virtual void setFont(CFontRef fontID);
  CFontRef getFont() const { return m_font.get(); }
  virtual void setFontColor(CColor color) { m_fontColor = color; setDirty(); }
  CColor getFontColor() const { return m_fontColor; }
  virtual void setBackColor(CColor color) { m_backColor = color; setDirty(); }
  CColor getBackColor() const { return m_backColor; }
  virtual void setFrameColor(CColor color) { m_frameColor = color; setDirty(); }
  CColor getFrameColor() const { return m_frameColor; }
  virtual void setShadowColor(CColor color) { m_shadowColor = color; setDirty(); }
  CColor getShadowColor() const { return m_shadowColor; }
  virtual void setHoriAlign(CHoriTxtAlign align) { m_horiAlign = align; setDirty(); }
  CHoriTxtAlign getHoriAlign() const { return m_horiAlign; }
  virtual void setTextInset(const CPoint& inset) { m_textInset = inset; setDirty(); }
  const CPoint& getTextInset() const { return m_textInset; }
  virtual void setStyle(int32_t style) { m_style = style; setDirty(); }
  int32_t getStyle() const { return m_style; }
  void setAntialias(bool state) { m_antialias = state; }
  bool getAntialias() const { return m_antialias; }
  void setFrameWidth(CCoord width) { m_frameWidth = width; }
  CCoord getFrameWidth() const { return m_frameWidth; }
  void setRoundRectRadius(CCoord radius) { m_roundRectRadius = radius; }
  // Decimal places of the default value text.
  void setPrecision(uint8_t precision) { m_precision = precision; setDirty(); }
  uint8_t getPrecision() const { return m_precision; }
  void setValueToStringFunction(ValueToStringFunction function) { m_valueToString = std::move(function); }

  void draw(CDrawContext* context) override;

  bool isTypeOf(const char* s) const override;
  CView* newCopy() const override { return new CParamDisplay(*this); }

 protected:
  // The text shown for the current value.
  virtual std::string getDisplayText() const;
  virtual void drawBack(CDrawContext* context, CBitmap* newBack = nullptr);
  virtual void drawPlatformText(CDrawContext* context, UTF8StringPtr string);
  virtual void drawPlatformText(CDrawContext* context, UTF8StringPtr string, const CRect& size);

  SharedPointer<CFontDesc> m_font;
  CColor m_fontColor = kWhiteCColor;
  CColor m_backColor = kBlackCColor;
  CColor m_frameColor = kBlackCColor;
  CColor m_shadowColor = kRedCColor;
  CHoriTxtAlign m_horiAlign = kCenterText;
  CPoint m_textInset;
  int32_t m_style = 0;
  bool m_antialias = true;
  CCoord m_frameWidth = 1.;
  CCoord m_roundRectRadius = 6.;
  uint8_t m_precision = 2;
  ValueToStringFunction m_valueToString;
};

}  // namespace VSTGUI
