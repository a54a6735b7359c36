#include "source/editor/MultiActionDialog.h"

#include <algorithm>

#include "Frameworks/Gui/CDrawContext.h"
#include "Frameworks/Gui/CFrame.h"
#include "Frameworks/Gui/CTextEdit.h"
#include "source/editor/CSimpleLabel.h"
#include "source/editor/ToolBarDrawing.h"
#include "source/editor/cMessageDialogue.h"

using namespace VSTGUI;
namespace draw = skarvel::toolbar_drawing;

namespace skarvel {

namespace {

constexpr int32_t kTextFieldTag = 100;
constexpr CColor kFieldFont{188, 188, 188, 255};
constexpr CColor kFieldBack{35, 35, 35, 255};

// One of the dialog's text buttons: a rounded box with a caption; a left click tells the
// listener.
class DialogTextButton : public CControl {
 public:
  DialogTextButton(const CRect& size, IControlListener* listener, int32_t tag, const std::string& caption,
                   CFontDesc* font)
      : CControl(size, listener, tag), m_caption(caption), m_font(font) {}

  void draw(CDrawContext* context) override {
    context->saveGlobalState();
    draw::drawButton(context, boxRect(), m_caption, m_font, m_font->getSize(), m_hover);
    context->restoreGlobalState();
    setDirty(false);
  }
  // The rounded box inside the row.
  CRect boxRect() const {
    CRect r = getViewSize();
    r.inset(2, std::max(1.0, r.getHeight() * 0.1));
    return r;
  }
  void setFont(CFontDesc* font) {
    m_font = font;
    setDirty();
  }
  CMouseEventResult onMouseDown(CPoint&, const CButtonState& buttons) override {
    if (!buttons.isLeftButton()) return kMouseEventNotHandled;
    SharedPointer<CView> keep(this);  // the listener may close the dialog
    beginEdit();
    valueChanged();
    endEdit();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  }
  CMouseEventResult onMouseEntered(CPoint&, const CButtonState&) override {
    m_hover = true;
    invalid();
    return kMouseEventHandled;
  }
  CMouseEventResult onMouseExited(CPoint&, const CButtonState&) override {
    m_hover = false;
    invalid();
    return kMouseEventHandled;
  }
  const std::string& caption() const { return m_caption; }

  CLASS_METHODS_NOCOPY(DialogTextButton, CControl)

 private:
  std::string m_caption;
  SharedPointer<CFontDesc> m_font;
  bool m_hover = false;
};

// The name field: Escape leaves the dialog at once, as it does anywhere else in it, instead of
// only ending the typing.
class DialogNameField : public CTextEdit {
 public:
  using CTextEdit::CTextEdit;
  int32_t onKeyDown(VstKeyCode& keyCode) override {
    const int32_t used = CTextEdit::onKeyDown(keyCode);
    return keyCode.virt == VKEY_ESCAPE ? -1 : used;  // -1: the dialog hears it too
  }
};

}  // namespace

MultiActionDialog::MultiActionDialog(const CRect& frameSize, CFontDesc* font, const std::string& firstCaption,
                                     const std::string& secondCaption)
    : CViewContainer(frameSize), m_font(font) {
  m_prompt = new CSimpleLabel(CRect(), nullptr, -1, font);
  m_prompt->setFontColor(draw::kText);
  m_prompt->setMouseEnabled(false);
  addView(m_prompt);

  m_textField = new DialogNameField(CRect(), this, kTextFieldTag, "", nullptr, kNoFrame);
  m_textField->setFont(font);
  m_textField->setFontColor(kFieldFont);
  m_textField->setBackColor(kFieldBack);
  m_textField->setHoriAlign(kLeftText);
  m_textField->setTextInset(CPoint(6, 0));
  addView(m_textField);

  const std::string captions[3] = {firstCaption, secondCaption, "Cancel"};
  const int32_t tags[3] = {kFirstAction, kSecondAction, kCancel};
  for (int i = 0; i < 3; ++i) {
    m_buttons[i] = new DialogTextButton(CRect(), this, tags[i], captions[i], font);
    addView(m_buttons[i]);
  }
  m_message = new cMessageDialogue(CRect(), font);
  m_message->addDependent(this);
  addView(m_message);
  layout();
}

MultiActionDialog::~MultiActionDialog() {
  if (m_message) m_message->removeDependent(this);
}

void MultiActionDialog::layout() {
  const CRect whole = getViewSize();
  const double width = whole.getWidth();
  const double height = whole.getHeight();
  // The panel: 0.38 of the frame's width and 0.39 of its height, in the middle.
  const double panelWidth = std::max(0.38 * width, std::min(width, 330.0));
  const double panelHeight = std::max(0.39 * height, std::min(height, 150.0));
  m_panel = CRect(0, 0, panelWidth, panelHeight);
  m_panel.centerInside(CRect(0, 0, width, height));
  const double row = panelHeight / 5;
  const double margin = panelWidth * 0.06;
  auto rowRect = [&](int index) {
    return CRect(m_panel.left + margin, m_panel.top + row * index, m_panel.right - margin,
                 m_panel.top + row * (index + 1));
  };
  m_prompt->setViewSize(rowRect(0));
  CRect field = rowRect(1);
  field.inset(0, row * 0.12);
  m_textField->setViewSize(field);
  for (int i = 0; i < 3; ++i) m_buttons[i]->setViewSize(rowRect(2 + i));
  // The questions are longer than the panel is wide: their box reaches out on both sides.
  CRect messageRect(0, 0, std::max(panelWidth, std::min(0.62 * width, width - 20)), panelHeight);
  messageRect.centerInside(m_panel);
  m_message->setViewSize(messageRect);
  for (CView* view : getChildren()) view->setMouseableArea(view->getViewSize());
  fitText();
}

void MultiActionDialog::fitText() {
  if (!m_font) return;
  // One size for all the dialog says: the dialog's font size, or smaller, together, when the
  // prompt or a button's caption would not fit its row or the name its field.
  const std::string& name = m_font->getName();
  double size = m_font->getSize();
  size = draw::fittingFontSize(name, {m_prompt->getText().c_str()}, size, m_prompt->getViewSize().getWidth() - 4);
  for (CControl* control : m_buttons) {
    auto* button = static_cast<DialogTextButton*>(control);
    size = draw::fittingFontSize(name, {button->caption().c_str()}, size, button->boxRect().getWidth() - 10);
  }
  size = std::min(size, m_textField->getViewSize().getHeight() * 0.8);
  m_textFont = makeOwned<CFontDesc>(name, std::max(1.0, size), m_font->getStyle());
  m_prompt->setFont(m_textFont);
  m_textField->setFont(m_textFont);
  for (CControl* control : m_buttons) static_cast<DialogTextButton*>(control)->setFont(m_textFont);
}

void MultiActionDialog::setViewSize(const CRect& rect, bool invalidate) {
  CViewContainer::setViewSize(rect, invalidate);
  setMouseableArea(rect);
  layout();
}

void MultiActionDialog::setPrompt(const std::string& prompt) {
  m_prompt->setText(prompt);
  fitText();
}
const std::string& MultiActionDialog::getPrompt() const { return m_prompt->getText(); }
void MultiActionDialog::setName(const std::string& name) { m_textField->setText(name); }
std::string MultiActionDialog::getName() const { return m_textField->getText(); }

void MultiActionDialog::setSecondButtonVisible(bool visible) {
  m_buttons[1]->setVisible(visible);
  m_buttons[1]->setMouseEnabled(visible);
}

bool MultiActionDialog::isSecondButtonVisible() const { return m_buttons[1]->isVisible(); }

CControl* MultiActionDialog::button(int32_t tag) const {
  switch (tag) {
    case kFirstAction: return m_buttons[0];
    case kSecondAction: return m_buttons[1];
    case kCancel: return m_buttons[2];
    default: return nullptr;
  }
}

void MultiActionDialog::showMessage(const std::string& message, const std::string& actionCaption) {
  m_message->show(message, actionCaption);
  invalid();
}

void MultiActionDialog::press(int32_t tag) {
  if (m_message->isVisible()) return;  // the question is answered first
  if (tag == kCancel) {
    endDialog();
    return;
  }
  if (tag == kSecondAction && !isSecondButtonVisible()) return;
  if (tag == kFirstAction || tag == kSecondAction) action(tag);
}

void MultiActionDialog::endDialog() {
  if (CFrame* frame = getFrame()) frame->setFocusView(nullptr);
  if (m_resultHandler) m_resultHandler->endDialog();
}

void MultiActionDialog::valueChanged(CControl* control) {
  if (!control) return;
  SharedPointer<CView> keep(this);
  if (control == m_textField) {
    // Return in the name field saves at once, as Return elsewhere in the dialog does; leaving
    // the field by a click only keeps the name for the button pressed next.
    if (m_textField->isCommittingWithKey()) press(kFirstAction);
    return;
  }
  press(control->getTag());
}

int32_t MultiActionDialog::onKeyDown(VstKeyCode& keyCode) {
  if (m_message->isVisible()) return m_message->onKeyDown(keyCode);
  if (keyCode.virt == VKEY_ESCAPE) {
    press(kCancel);
    return 1;
  }
  if (keyCode.virt == VKEY_RETURN || keyCode.virt == VKEY_ENTER) {
    press(kFirstAction);
    return 1;
  }
  return -1;
}

void MultiActionDialog::drawBackgroundRect(CDrawContext* context, const CRect& rect) {
  context->saveGlobalState();
  context->setFillColor(draw::kBackdrop);
  context->drawRect(rect, kDrawFilled);
  context->setDrawMode(kAntiAliasing);
  draw::fillRoundRect(context, m_panel, 8, draw::kPanel);
  draw::strokeRoundRect(context, m_panel, 8, draw::kFrameLine, 1);
  context->restoreGlobalState();
}

}  // namespace skarvel
