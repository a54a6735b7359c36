#include "source/editor/MultiActionDialogButton.h"

#include "Frameworks/Gui/CDrawContext.h"

using namespace VSTGUI;

namespace skarvel {

MultiActionDialogButton::MultiActionDialogButton(const CRect& size, IControlListener* listener, int32_t tag,
                                                 MultiActionDialog* dialog, CFontDesc* font,
                                                 const std::string& caption)
    : CSplashScreen(size, listener, tag, dialog), m_font(font), m_caption(caption) {
  if (dialog) dialog->setResultHandler(this);
}

MultiActionDialogButton::~MultiActionDialogButton() {
  if (auto* dialog = this->dialog()) dialog->setResultHandler(nullptr);
}

MultiActionDialog* MultiActionDialogButton::dialog() const {
  return dynamic_cast<MultiActionDialog*>(getSplashView());
}

void MultiActionDialogButton::endDialog() {
  SharedPointer<CView> keep(this);
  unSplash();
}

void MultiActionDialogButton::draw(CDrawContext* context) {
  context->saveGlobalState();
  CColor colour = m_fontColour;
  if (m_hover) {
    colour.red = static_cast<uint8_t>(colour.red + (255 - colour.red) / 3);
    colour.green = static_cast<uint8_t>(colour.green + (255 - colour.green) / 3);
    colour.blue = static_cast<uint8_t>(colour.blue + (255 - colour.blue) / 3);
  }
  context->setFont(m_font);
  context->setFontColor(colour);
  context->drawString(m_caption, getViewSize(), kCenterText, true);
  context->restoreGlobalState();
  setDirty(false);
}

CMouseEventResult MultiActionDialogButton::onMouseEntered(CPoint&, const CButtonState&) {
  m_hover = true;
  invalid();
  return kMouseEventHandled;
}

CMouseEventResult MultiActionDialogButton::onMouseExited(CPoint&, const CButtonState&) {
  m_hover = false;
  invalid();
  return kMouseEventHandled;
}

}  // namespace skarvel
