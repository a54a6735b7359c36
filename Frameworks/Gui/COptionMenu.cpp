#include "Frameworks/Gui/COptionMenu.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "Frameworks/Gui/CBitmap.h"
#include "Frameworks/Gui/CDrawContext.h"
#include "Frameworks/Gui/CFrame.h"

namespace VSTGUI {

CMenuItem::CMenuItem(const UTF8String& title, int32_t flags) : m_title(title), m_flags(flags) {
  if (title == "-") m_flags |= kSeparator;
}

CMenuItem::CMenuItem(const UTF8String& title, int32_t tag, int32_t flags) : CMenuItem(title, flags) { m_tag = tag; }

CMenuItem* CMenuItem::makeWithTag(const UTF8String& title, int32_t tag) { return new CMenuItem(title, tag, kNoFlags); }

COptionMenu::COptionMenu(const CRect& size, IControlListener* listener, int32_t tag, CBitmap* background,
                         CBitmap* bgWhenClick, const int32_t style)
    : CParamDisplay(size, background, style), m_bgWhenClick(bgWhenClick) {
  setListener(listener);
  setTag(tag);
  setMin(0);
  setMax(0);
  setDefaultValue(0);
}

COptionMenu::COptionMenu() : COptionMenu(CRect(0, 0, 0, 0), nullptr, -1) {}

COptionMenu::COptionMenu(const COptionMenu& other)
    : CParamDisplay(other),
      m_items(other.m_items),
      m_bgWhenClick(other.m_bgWhenClick) {}

COptionMenu::~COptionMenu() = default;

CMenuItem* COptionMenu::addEntry(CMenuItem* item, int32_t index) {
  if (!item) return nullptr;
  auto shared = owned(item);
  if (index < 0 || index >= getNbEntries())
    m_items.push_back(shared);
  else {
    const int32_t current = currentItemIndex();
    m_items.insert(m_items.begin() + index, shared);
    if (current >= index) CParamDisplay::setValue(static_cast<float>(current + 1));
  }
  setMax(static_cast<float>(std::max(0, getNbEntries() - 1)));
  setDirty();
  return item;
}

CMenuItem* COptionMenu::addEntry(const UTF8String& title, int32_t index, int32_t itemFlags) {
  return addEntry(new CMenuItem(title, itemFlags), index);
}

CMenuItem* COptionMenu::addSeparator(int32_t index) {
  return addEntry(new CMenuItem("", CMenuItem::kSeparator), index);
}

bool COptionMenu::removeEntry(int32_t index) {
  if (index < 0 || index >= getNbEntries()) return false;
  const int32_t current = currentItemIndex();
  m_items.erase(m_items.begin() + index);
  if (current > index) CParamDisplay::setValue(static_cast<float>(current - 1));
  setMax(static_cast<float>(std::max(0, getNbEntries() - 1)));
  setDirty();
  return true;
}

bool COptionMenu::removeAllEntry() {
  m_items.clear();
  setMax(0);
  CParamDisplay::setValue(0);
  setDirty();
  return true;
}

CMenuItem* COptionMenu::getEntry(int32_t index) const {
  return index >= 0 && index < getNbEntries() ? m_items[index].get() : nullptr;
}

int32_t COptionMenu::currentItemIndex() const {
  const float value = getValue();
  if (!(value >= 0.f)) return -1;
  const auto index = static_cast<int32_t>(value + 0.5f);
  return index < getNbEntries() ? index : -1;
}

int32_t COptionMenu::getCurrentIndex(bool countSeparator) const {
  const int32_t current = currentItemIndex();
  if (countSeparator || current < 0) return current;
  int32_t index = 0;
  for (int32_t i = 0; i < current; ++i)
    if (!m_items[i]->isSeparator()) ++index;
  return index;
}

bool COptionMenu::setCurrent(int32_t index, bool countSeparator) {
  int32_t itemIndex = index;
  if (!countSeparator) {
    itemIndex = -1;
    for (int32_t i = 0, seen = 0; i < getNbEntries(); ++i) {
      if (m_items[i]->isSeparator()) continue;
      if (seen++ == index) {
        itemIndex = i;
        break;
      }
    }
  }
  if (itemIndex < 0 || itemIndex >= getNbEntries()) return false;
  setValue(static_cast<float>(itemIndex));
  return true;
}

bool COptionMenu::checkEntry(int32_t index, bool state) {
  CMenuItem* item = getEntry(index);
  if (!item || item->isSeparator()) return false;
  item->setChecked(state);
  return true;
}

bool COptionMenu::checkEntryAlone(int32_t index) {
  if (!getEntry(index)) return false;
  for (int32_t i = 0; i < getNbEntries(); ++i) m_items[i]->setChecked(i == index);
  return true;
}

bool COptionMenu::isCheckEntry(int32_t index) const {
  CMenuItem* item = getEntry(index);
  return item && item->isChecked();
}

void COptionMenu::setValue(float val) {
  if (!(val >= 0.f)) return;  // negative or NaN
  const auto index = static_cast<int32_t>(val + 0.5f);
  if (index >= getNbEntries()) return;
  CParamDisplay::setValue(static_cast<float>(index));
}

std::string COptionMenu::getDisplayText() const {
  CMenuItem* item = getCurrent();
  return item && !item->isSeparator() ? item->getTitle() : std::string();
}

void COptionMenu::draw(CDrawContext* context) {
  if (isPopupOpen() && m_bgWhenClick) {
    drawBack(context, m_bgWhenClick);
    if (!(m_style & kNoTextStyle)) drawPlatformText(context, getDisplayText().c_str());
    setDirty(false);
    return;
  }
  CParamDisplay::draw(context);
}

bool COptionMenu::isPopupOpen() const {
  CFrame* frame = getFrame();
  CMenuPopup* popup = frame ? frame->getOpenPopup() : nullptr;
  return popup && popup->getMenu() == this;
}

bool COptionMenu::popup() {
  CFrame* frame = getFrame();
  if (!frame || getNbEntries() == 0) return false;
  const CRect control = getVisibleViewSizeInFrame();
  CCoord width = control.getWidth();
  if (IPlatformFont* font = getFont()->getPlatformFont()) {
    for (const auto& item : m_items) width = std::max(width, font->getStringWidth(item->getTitle().c_str()) + 40);
  }
  CCoord height = 4;
  const CCoord rowHeight = CMenuPopup::rowHeightFor(getFont());
  for (const auto& item : m_items) height += item->isSeparator() ? 7 : rowHeight;
  CRect rect(control.left, control.bottom, control.left + std::ceil(width), control.bottom + std::ceil(height));
  m_lastResult = -1;
  beginEdit();
  auto popupView = makeOwned<CMenuPopup>(this, frame, rect);
  frame->setOpenPopup(popupView);
  popupView->openWindow();
  setDirty();
  return true;
}

void COptionMenu::popupClosed(int32_t index) {
  m_lastResult = index;
  CMenuItem* item = getEntry(index);
  if (item && item->isSelectable()) {
    setValue(static_cast<float>(index));
    // Told even when the same entry is chosen again: menus of actions rely on it.
    valueChanged();
  }
  setDirty();
  endEdit();
}

CMouseEventResult COptionMenu::onMouseDown(CPoint& where, const CButtonState& buttons) {
  if (!(buttons & (kLButton | kRButton))) return kMouseEventNotHandled;
  if (!getViewSize().pointInside(where)) return kMouseEventNotHandled;
  popup();
  return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

bool COptionMenu::onWheel(const CPoint&, const CMouseWheelAxis& axis, const float& distance, const CButtonState&) {
  if (axis != kMouseWheelAxisY || distance == 0 || getNbEntries() == 0) return false;
  const int32_t step = distance > 0 ? -1 : 1;
  for (int32_t i = currentItemIndex() + step; i >= 0 && i < getNbEntries(); i += step) {
    if (m_items[i]->isSelectable()) {
      beginEdit();
      setValue(static_cast<float>(i));
      valueChanged();
      endEdit();
      return true;
    }
  }
  return true;
}

bool COptionMenu::isTypeOf(const char* s) const {
  return std::strcmp(s, "COptionMenu") == 0 || CParamDisplay::isTypeOf(s);
}

// ---------------------------------------------------------------------------------------------

namespace {
const CColor kPopupBack{248, 248, 248, 255};
const CColor kPopupFrame{120, 120, 120, 255};
const CColor kPopupText{20, 20, 20, 255};
const CColor kPopupDisabledText{150, 150, 150, 255};
const CColor kPopupHighlight{52, 120, 200, 255};
const CColor kPopupHighlightText{255, 255, 255, 255};
const CColor kPopupSeparator{200, 200, 200, 255};
constexpr CCoord kTextLeft = 22;
}  // namespace

CCoord CMenuPopup::rowHeightFor(CFontRef font) {
  IPlatformFont* platformFont = (font ? font : kNormalFontSmall)->getPlatformFont();
  if (!platformFont) return 18;
  return std::ceil(platformFont->getAscent() + platformFont->getDescent()) + 6;
}

CMenuPopup::CMenuPopup(COptionMenu* menu, CFrame* frame, const CRect& frameRect)
    : m_menu(menu), m_frame(frame), m_frameRect(frameRect) {
  m_menu->remember();
  m_rowHeight = rowHeightFor(menu->getFont());
  CCoord y = 2;
  for (int32_t i = 0; i < menu->getNbEntries(); ++i) {
    const CCoord h = menu->getEntry(i)->isSeparator() ? m_separatorHeight : m_rowHeight;
    m_entryRects.emplace_back(1, y, frameRect.getWidth() - 1, y + h);
    y += h;
  }
  CMenuItem* current = menu->getCurrent();
  if (current && current->isSelectable()) m_highlight = menu->getCurrentIndex(true);
  m_buffer = COffscreenContext::create(frameRect.getSize());
}

CMenuPopup::~CMenuPopup() {
  m_window.reset();
  if (m_menu) m_menu->forget();
}

bool CMenuPopup::openWindow() {
  IPlatformFrame* platform = m_frame ? m_frame->getPlatformFrame() : nullptr;
  if (!platform) return false;
  CRect placed = m_frameRect;
  m_window = platform->createPopupWindow(placed, *this);
  m_frameRect = placed;
  m_needsDraw = true;
  idle();
  return m_window != nullptr;
}

void CMenuPopup::close(int32_t chosenIndex) {
  if (m_closed) return;
  m_closed = true;
  SharedPointer<CMenuPopup> keep(this);
  m_window.reset();
  m_menu->popupClosed(chosenIndex);
}

CRect CMenuPopup::getEntryRect(int32_t index) const {
  return index >= 0 && index < static_cast<int32_t>(m_entryRects.size()) ? m_entryRects[index] : CRect();
}

int32_t CMenuPopup::entryAt(const CPoint& where) const {
  for (size_t i = 0; i < m_entryRects.size(); ++i)
    if (m_entryRects[i].pointInside(where)) return static_cast<int32_t>(i);
  return -1;
}

void CMenuPopup::idle() {
  if (m_closed || !m_needsDraw || !m_buffer) return;
  m_needsDraw = false;
  m_buffer->beginDraw();
  draw(m_buffer);
  m_buffer->endDraw();
  if (m_window) m_window->present(CRect(CPoint(0, 0), m_frameRect.getSize()));
}

void CMenuPopup::draw(CDrawContext* context) {
  const CRect all(CPoint(0, 0), m_frameRect.getSize());
  context->setDrawMode(kAliasing);
  context->setLineWidth(1);
  context->setFillColor(kPopupBack);
  context->setFrameColor(kPopupFrame);
  context->drawRect(all, kDrawFilledAndStroked);
  context->setFont(m_menu->getFont());
  const bool markCurrent = (m_menu->getStyle() & kCheckStyle) != 0;
  for (int32_t i = 0; i < static_cast<int32_t>(m_entryRects.size()); ++i) {
    CMenuItem* item = m_menu->getEntry(i);
    const CRect& r = m_entryRects[i];
    if (item->isSeparator()) {
      context->setFrameColor(kPopupSeparator);
      const CCoord y = std::floor(r.top + r.getHeight() / 2);
      context->drawLine(CPoint(r.left + 4, y), CPoint(r.right - 4, y));
      continue;
    }
    const bool highlighted = i == m_highlight && item->isSelectable();
    if (highlighted) {
      context->setFillColor(kPopupHighlight);
      context->drawRect(r, kDrawFilled);
    }
    const CColor text = !item->isEnabled() ? kPopupDisabledText : (highlighted ? kPopupHighlightText : kPopupText);
    if (item->isChecked() || (markCurrent && i == m_menu->getCurrentIndex(true))) {
      // A check mark drawn as two strokes.
      context->setDrawMode(kAntiAliasing);
      context->setLineWidth(2);
      context->setFrameColor(text);
      const CCoord cy = r.top + r.getHeight() / 2;
      context->drawLine(CPoint(r.left + 6, cy), CPoint(r.left + 9, cy + 3));
      context->drawLine(CPoint(r.left + 9, cy + 3), CPoint(r.left + 15, cy - 4));
      context->setDrawMode(kAliasing);
      context->setLineWidth(1);
    }
    context->setFontColor(text);
    CRect textRect = r;
    textRect.left += kTextLeft;
    textRect.right -= 4;
    context->drawString(item->getTitle(), textRect, kLeftText);
  }
}

void CMenuPopup::moveHighlight(int32_t step) {
  const int32_t count = static_cast<int32_t>(m_entryRects.size());
  int32_t index = m_highlight;
  for (int32_t n = 0; n < count; ++n) {
    index = index < 0 ? (step > 0 ? 0 : count - 1) : (index + step + count) % count;
    if (m_menu->getEntry(index)->isSelectable()) {
      m_highlight = index;
      m_needsDraw = true;
      return;
    }
  }
}

CMouseEventResult CMenuPopup::platformOnMouseDown(CPoint& where, const CButtonState&) {
  if (m_closed) return kMouseEventNotHandled;
  const CRect all(CPoint(0, 0), m_frameRect.getSize());
  if (!all.pointInside(where)) {
    close(-1);
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  }
  m_pressInside = true;
  return kMouseEventHandled;
}

CMouseEventResult CMenuPopup::platformOnMouseMoved(CPoint& where, const CButtonState&) {
  if (m_closed) return kMouseEventNotHandled;
  const int32_t index = entryAt(where);
  const int32_t highlight = index >= 0 && m_menu->getEntry(index)->isSelectable() ? index : -1;
  if (highlight != m_highlight && (highlight >= 0 || CRect(CPoint(0, 0), m_frameRect.getSize()).pointInside(where))) {
    m_highlight = highlight;
    m_needsDraw = true;
  }
  return kMouseEventHandled;
}

CMouseEventResult CMenuPopup::platformOnMouseUp(CPoint& where, const CButtonState&) {
  if (m_closed) return kMouseEventNotHandled;
  // A release over an entry chooses it, whether the button was pressed in the pop-up or on
  // the menu control (press, drag, release).
  const int32_t index = entryAt(where);
  if (index >= 0 && m_menu->getEntry(index)->isSelectable()) close(index);
  m_pressInside = false;
  return kMouseEventHandled;
}

CMouseEventResult CMenuPopup::platformOnMouseExited(CPoint&, const CButtonState&) {
  if (m_highlight != -1) {
    m_highlight = -1;
    m_needsDraw = true;
  }
  return kMouseEventHandled;
}

bool CMenuPopup::platformOnMouseWheel(const CPoint&, const CMouseWheelAxis&, const float& distance,
                                      const CButtonState&) {
  moveHighlight(distance > 0 ? -1 : 1);
  return true;
}

int32_t CMenuPopup::platformOnKeyDown(VstKeyCode& keyCode) {
  if (m_closed) return -1;
  switch (keyCode.virt) {
    case VKEY_ESCAPE: close(-1); return 1;
    case VKEY_UP: moveHighlight(-1); return 1;
    case VKEY_DOWN: moveHighlight(1); return 1;
    case VKEY_RETURN:
    case VKEY_ENTER:
      if (m_highlight >= 0) close(m_highlight);
      return 1;
    default: return 1;  // a pop-up swallows the keys while it is open
  }
}

int32_t CMenuPopup::platformOnKeyUp(VstKeyCode&) { return 1; }

}  // namespace VSTGUI
