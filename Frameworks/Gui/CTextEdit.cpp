#include "Frameworks/Gui/CTextEdit.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "Frameworks/Gui/CDrawContext.h"
#include "Frameworks/Gui/CFrame.h"

namespace VSTGUI {

std::string encodeUtf8(uint32_t cp) {
  std::string out;
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    if (cp >= 0xD800 && cp <= 0xDFFF) return {};  // surrogates are not characters
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x110000) {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
  return out;
}

namespace {
bool isContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

size_t nextBoundary(const std::string& text, size_t offset) {
  if (offset >= text.size()) return text.size();
  ++offset;
  while (offset < text.size() && isContinuation(text[offset])) ++offset;
  return offset;
}

size_t previousBoundary(const std::string& text, size_t offset) {
  if (offset == 0) return 0;
  --offset;
  while (offset > 0 && isContinuation(text[offset])) --offset;
  return offset;
}

const CColor kSelectionColor{70, 110, 180, 200};
}  // namespace

CTextEdit::CTextEdit(const CRect& size, IControlListener* listener, int32_t tag, UTF8StringPtr txt,
                     CBitmap* background, const int32_t style)
    : CTextLabel(size, txt, background, style) {
  setListener(listener);
  setTag(tag);
  setWantsFocus(true);
  m_caret = m_anchor = m_text.size();
}

CTextEdit::CTextEdit(const CTextEdit& other)
    : CTextLabel(other),
      m_placeholder(other.m_placeholder),
      m_stringToValue(other.m_stringToValue),
      m_maxLength(other.m_maxLength),
      m_immediateTextChange(other.m_immediateTextChange) {
  m_caret = m_anchor = m_text.size();
}

CTextEdit::~CTextEdit() = default;

void CTextEdit::setText(const UTF8String& text) {
  CTextLabel::setText(text);
  m_caret = std::min(m_caret, m_text.size());
  m_anchor = std::min(m_anchor, m_text.size());
  while (m_caret > 0 && m_caret < m_text.size() && isContinuation(m_text[m_caret])) --m_caret;
  while (m_anchor > 0 && m_anchor < m_text.size() && isContinuation(m_text[m_anchor])) --m_anchor;
}

void CTextEdit::selectAll() {
  m_anchor = 0;
  m_caret = m_text.size();
  setDirty();
}

void CTextEdit::startEditing() {
  if (m_textEditing) return;
  m_textEditing = true;
  m_textBeforeEdit = m_text;
  setDirty();
}

void CTextEdit::takeFocus() {
  if (m_textEditing) return;
  startEditing();
  selectAll();
}

void CTextEdit::looseFocus() {
  // Leaving the field (a click elsewhere, another window) keeps what was typed.
  if (m_textEditing && !m_ending) commit();
}

void CTextEdit::endEditing() {
  m_ending = true;
  m_textEditing = false;
  m_selecting = false;
  m_scroll = 0;
  m_anchor = m_caret;
  if (CFrame* frame = getFrame(); frame && frame->getFocusView() == this) frame->setFocusView(nullptr);
  m_ending = false;
  setDirty();
}

void CTextEdit::commit() {
  if (!m_textEditing) return;
  SharedPointer<CTextEdit> keep(this);
  endEditing();
  if (m_stringToValue) {
    float value = getValue();
    if (m_stringToValue(m_text.c_str(), value, this)) setValue(value);
  }
  valueChanged();
}

void CTextEdit::cancel() {
  if (!m_textEditing) return;
  CTextLabel::setText(m_textBeforeEdit);
  m_caret = m_anchor = m_text.size();
  endEditing();
}

void CTextEdit::replaceSelection(const std::string& text) {
  const size_t start = getSelectionStart(), end = getSelectionEnd();
  std::string inserted = text;
  if (m_maxLength > 0) {
    const size_t room = m_maxLength - std::min(m_maxLength, m_text.size() - (end - start));
    if (inserted.size() > room) {
      // Cut at a character boundary.
      size_t cut = room;
      while (cut > 0 && cut < inserted.size() && isContinuation(inserted[cut])) --cut;
      inserted.resize(cut);
    }
  }
  m_text.replace(start, end - start, inserted);
  m_caret = m_anchor = start + inserted.size();
  setDirty();
  if (m_immediateTextChange) valueChanged();
}

CCoord CTextEdit::textStartX(CDrawContext*) const {
  IPlatformFont* font = m_font->getPlatformFont();
  const CCoord width = font ? font->getStringWidth(m_text.c_str()) : 0;
  CRect r = getViewSize();
  r.inset(m_textInset.x + 2, m_textInset.y);
  if (m_textEditing && width > r.getWidth()) return r.left - m_scroll;
  switch (m_horiAlign) {
    case kLeftText: return r.left;
    case kRightText: return r.right - width;
    default: return r.left + (r.getWidth() - width) / 2;
  }
}

size_t CTextEdit::offsetAt(CCoord x) {
  IPlatformFont* font = m_font->getPlatformFont();
  if (!font) return m_text.size();
  const CCoord start = textStartX(nullptr);
  size_t best = 0;
  CCoord bestDistance = std::abs(x - start);
  for (size_t offset = nextBoundary(m_text, 0); offset <= m_text.size();) {
    const CCoord position = start + font->getStringWidth(m_text.substr(0, offset).c_str());
    const CCoord distance = std::abs(x - position);
    if (distance < bestDistance) {
      best = offset;
      bestDistance = distance;
    }
    if (offset == m_text.size()) break;
    offset = nextBoundary(m_text, offset);
  }
  return best;
}

void CTextEdit::draw(CDrawContext* context) {
  drawBack(context);
  IPlatformFont* font = m_font->getPlatformFont();
  CRect inner = getViewSize();
  inner.inset(m_textInset.x + 2, m_textInset.y);
  context->saveGlobalState();
  CRect clip;
  context->getClipRect(clip);
  CRect textClip = getViewSize();
  textClip.bound(clip);
  context->setClipRect(textClip);
  context->setFont(m_font);

  if (m_textEditing && font) {
    // Keep the caret visible inside the field.
    const CCoord full = font->getStringWidth(m_text.c_str());
    const CCoord caretWidth = font->getStringWidth(m_text.substr(0, m_caret).c_str());
    if (full > inner.getWidth()) {
      if (caretWidth - m_scroll > inner.getWidth()) m_scroll = caretWidth - inner.getWidth();
      if (caretWidth - m_scroll < 0) m_scroll = caretWidth;
      m_scroll = std::clamp(m_scroll, 0.0, full - inner.getWidth());
    } else {
      m_scroll = 0;
    }
  }
  const CCoord x = textStartX(context);
  const CRect line(x, inner.top, x + 100000, inner.bottom);

  if (m_textEditing && font && getSelectionStart() != getSelectionEnd()) {
    const CCoord a = x + font->getStringWidth(m_text.substr(0, getSelectionStart()).c_str());
    const CCoord b = x + font->getStringWidth(m_text.substr(0, getSelectionEnd()).c_str());
    context->setFillColor(kSelectionColor);
    context->setDrawMode(kAliasing);
    context->drawRect(CRect(a, inner.top + 1, b, inner.bottom - 1), kDrawFilled);
  }
  if (!m_text.empty()) {
    context->setFontColor(m_fontColor);
    context->drawString(m_text, line, kLeftText, m_antialias);
  } else if (!m_placeholder.empty() && !m_textEditing) {
    CColor faded = m_fontColor;
    faded.alpha = static_cast<uint8_t>(faded.alpha / 2);
    context->setFontColor(faded);
    context->drawString(m_placeholder, inner, m_horiAlign, m_antialias);
  }
  if (m_textEditing && font) {
    const CCoord caretX = std::floor(x + font->getStringWidth(m_text.substr(0, m_caret).c_str()));
    context->setDrawMode(kAliasing);
    context->setLineWidth(1);
    context->setFrameColor(m_fontColor);
    const CCoord h = font->getAscent() + font->getDescent();
    const CCoord top = std::floor(inner.top + (inner.getHeight() - h) / 2);
    context->drawLine(CPoint(caretX, top), CPoint(caretX, top + std::ceil(h)));
  }
  context->restoreGlobalState();
  setDirty(false);
}

CMouseEventResult CTextEdit::onMouseDown(CPoint& where, const CButtonState& buttons) {
  if (!(buttons & kLButton)) return kMouseEventNotHandled;
  if (!getViewSize().pointInside(where)) return kMouseEventNotHandled;
  const bool wasEditing = m_textEditing;
  if (!wasEditing) {
    startEditing();
    if (CFrame* frame = getFrame()) frame->setFocusView(this);
  }
  if (buttons.isDoubleClick()) {
    selectAll();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  }
  const size_t offset = offsetAt(where.x);
  m_caret = offset;
  if (!(buttons & kShift)) m_anchor = offset;
  m_selecting = true;
  setDirty();
  return kMouseEventHandled;
}

CMouseEventResult CTextEdit::onMouseMoved(CPoint& where, const CButtonState& buttons) {
  if (!m_selecting || !(buttons & kLButton)) return kMouseEventNotHandled;
  const size_t offset = offsetAt(where.x);
  if (offset != m_caret) {
    m_caret = offset;
    setDirty();
  }
  return kMouseEventHandled;
}

CMouseEventResult CTextEdit::onMouseUp(CPoint&, const CButtonState&) {
  m_selecting = false;
  return kMouseEventHandled;
}

int32_t CTextEdit::onKeyDown(VstKeyCode& keyCode) {
  if (!m_textEditing) return -1;
  SharedPointer<CTextEdit> keep(this);
  const bool shift = keyCode.modifier & MODIFIER_SHIFT;
  const bool command = keyCode.modifier & (MODIFIER_CONTROL | MODIFIER_COMMAND);
  auto moveCaret = [&](size_t offset) {
    m_caret = offset;
    if (!shift) m_anchor = offset;
    setDirty();
  };
  switch (keyCode.virt) {
    case VKEY_RETURN:
    case VKEY_ENTER:
    case VKEY_TAB:
      m_committingWithKey = true;
      commit();
      m_committingWithKey = false;
      return 1;
    case VKEY_ESCAPE: cancel(); return 1;
    case VKEY_BACK:
      if (getSelectionStart() == getSelectionEnd()) m_anchor = previousBoundary(m_text, m_caret);
      replaceSelection({});
      return 1;
    case VKEY_DELETE:
      if (getSelectionStart() == getSelectionEnd()) m_anchor = nextBoundary(m_text, m_caret);
      replaceSelection({});
      return 1;
    case VKEY_LEFT:
      if (!shift && getSelectionStart() != getSelectionEnd())
        moveCaret(getSelectionStart());
      else
        moveCaret(previousBoundary(m_text, m_caret));
      return 1;
    case VKEY_RIGHT:
      if (!shift && getSelectionStart() != getSelectionEnd())
        moveCaret(getSelectionEnd());
      else
        moveCaret(nextBoundary(m_text, m_caret));
      return 1;
    case VKEY_HOME:
    case VKEY_UP: moveCaret(0); return 1;
    case VKEY_END:
    case VKEY_DOWN: moveCaret(m_text.size()); return 1;
    default: break;
  }
  if (command && (keyCode.character == 'a' || keyCode.character == 'A')) {
    selectAll();
    return 1;
  }
  if (keyCode.character >= 32 && keyCode.character != 127 && !command) {
    const std::string text = encodeUtf8(static_cast<uint32_t>(keyCode.character));
    if (!text.empty()) replaceSelection(text);
    return 1;
  }
  if (keyCode.virt == VKEY_SPACE) {
    replaceSelection(" ");
    return 1;
  }
  return -1;
}

bool CTextEdit::removed(CView* parent) {
  // Taken out of the window while editing: stop quietly (the listener may be going away too).
  if (m_textEditing) {
    m_ending = true;
    m_textEditing = false;
    m_selecting = false;
    m_ending = false;
  }
  return CTextLabel::removed(parent);
}

bool CTextEdit::isTypeOf(const char* s) const { return std::strcmp(s, "CTextEdit") == 0 || CTextLabel::isTypeOf(s); }

}  // namespace VSTGUI
