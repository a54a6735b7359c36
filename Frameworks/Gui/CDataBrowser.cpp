#include "Frameworks/Gui/CDataBrowser.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "Frameworks/Gui/CDrawContext.h"
#include "Frameworks/Gui/Platform.h"

namespace VSTGUI {

namespace {
constexpr CCoord kMinimumThumb = 16;
}

CCoord DataBrowserDelegateAdapter::dbGetCurrentColumnWidth(int32_t, CDataBrowser* browser) {
  const int32_t columns = std::max(1, dbGetNumColumns(browser));
  CRect area = browser->getViewSize();
  if (browser->isScrollbarVisible()) area.right -= browser->getScrollbarRect().getWidth();
  return area.getWidth() / columns;
}

CMouseEventResult DataBrowserDelegateAdapter::dbOnMouseDown(const CPoint&, const CButtonState& buttons, int32_t row,
                                                            int32_t, CDataBrowser* browser) {
  if (buttons.isLeftButton()) browser->setSelectedRow(row);
  return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

CDataBrowser::CDataBrowser(const CRect& size, IDataBrowserDelegate* delegate, int32_t style, CCoord scrollbarWidth,
                           CBitmap* background)
    : CViewContainer(size), m_delegate(delegate), m_style(style), m_scrollbarWidth(scrollbarWidth) {
  if (background) setBackground(background);
  if (auto* object = dynamic_cast<CBaseObject*>(m_delegate)) object->remember();
}

CDataBrowser::~CDataBrowser() {
  if (auto* object = dynamic_cast<CBaseObject*>(m_delegate)) object->forget();
}

CRect CDataBrowser::getRowsArea() const {
  CRect area = getViewSize();
  if ((m_style & kDrawHeader) && m_delegate) area.top += m_delegate->dbGetHeaderHeight(const_cast<CDataBrowser*>(this));
  if (isScrollbarVisible()) area.right -= m_scrollbarWidth;
  return area;
}

CCoord CDataBrowser::getMaxScrollOffset() const {
  if (!m_delegate) return 0;
  auto* self = const_cast<CDataBrowser*>(this);
  CRect area = getViewSize();
  if ((m_style & kDrawHeader)) area.top += m_delegate->dbGetHeaderHeight(self);
  const CCoord content = m_delegate->dbGetNumRows(self) * m_delegate->dbGetRowHeight(self);
  return std::max<CCoord>(0, content - area.getHeight());
}

bool CDataBrowser::isScrollbarVisible() const {
  if (!(m_style & kVerticalScrollbar) || !m_delegate) return false;
  return !(m_style & kAutoHideScrollbars) || getMaxScrollOffset() > 0;
}

CRect CDataBrowser::getScrollbarRect() const {
  if (!isScrollbarVisible()) return CRect();
  CRect track = getViewSize();
  track.left = track.right - m_scrollbarWidth;
  if ((m_style & kDrawHeader) && m_delegate) track.top += m_delegate->dbGetHeaderHeight(const_cast<CDataBrowser*>(this));
  return track;
}

CRect CDataBrowser::getScrollbarThumbRect() const {
  const CRect track = getScrollbarRect();
  if (track.isEmpty()) return CRect();
  const CCoord maxOffset = getMaxScrollOffset();
  const CCoord visible = track.getHeight();
  const CCoord content = visible + maxOffset;
  const CCoord thumb = std::min(visible, std::max(kMinimumThumb, visible * visible / content));
  const CCoord top = maxOffset > 0 ? track.top + (visible - thumb) * (m_scrollOffset / maxOffset) : track.top;
  return CRect(track.left + 2, top, track.right - 2, top + thumb);
}

void CDataBrowser::setScrollOffset(CCoord offset) {
  offset = std::clamp<CCoord>(offset, 0, getMaxScrollOffset());
  if (offset == m_scrollOffset) return;
  m_scrollOffset = offset;
  invalid();
}

void CDataBrowser::recalculateLayout(bool rememberSelection) {
  const int32_t rows = m_delegate ? m_delegate->dbGetNumRows(this) : 0;
  m_rowCount = rows;
  if (!rememberSelection || m_selectedRow >= rows) m_selectedRow = -1;
  m_scrollOffset = std::clamp<CCoord>(m_scrollOffset, 0, getMaxScrollOffset());
  invalid();
}

void CDataBrowser::setSelectedRow(int32_t row, bool makeVisible) {
  const int32_t rows = m_delegate ? m_delegate->dbGetNumRows(this) : 0;
  if (row < -1 || row >= rows) row = -1;
  if (makeVisible && row >= 0) makeRowVisible(row);
  if (row == m_selectedRow) return;
  m_selectedRow = row;
  invalid();
  if (m_delegate) m_delegate->dbSelectionChanged(this);
}

void CDataBrowser::makeRowVisible(int32_t row) {
  if (!m_delegate || row < 0) return;
  const CCoord rowHeight = m_delegate->dbGetRowHeight(this);
  const CRect area = getRowsArea();
  const CCoord top = row * rowHeight;
  if (top < m_scrollOffset)
    setScrollOffset(top);
  else if (top + rowHeight > m_scrollOffset + area.getHeight())
    setScrollOffset(top + rowHeight - area.getHeight());
}

void CDataBrowser::invalidateRow(int32_t row) {
  CRect r = getCellBounds(row, 0);
  r.left = getViewSize().left;
  r.right = getViewSize().right;
  r.offset(-getViewSize().left, -getViewSize().top);  // container coordinates
  invalidRect(r);
}

CRect CDataBrowser::getCellBounds(int32_t row, int32_t column) const {
  if (!m_delegate) return CRect();
  auto* self = const_cast<CDataBrowser*>(this);
  const CRect area = getRowsArea();
  const CCoord rowHeight = m_delegate->dbGetRowHeight(self);
  CCoord left = area.left;
  for (int32_t c = 0; c < column; ++c) left += m_delegate->dbGetCurrentColumnWidth(c, self);
  const CCoord top = area.top + row * rowHeight - m_scrollOffset;
  return CRect(left, top, left + m_delegate->dbGetCurrentColumnWidth(column, self), top + rowHeight);
}

int32_t CDataBrowser::getRowAt(const CPoint& where) const {
  if (!m_delegate) return -1;
  auto* self = const_cast<CDataBrowser*>(this);
  const CRect area = getRowsArea();
  if (!area.pointInside(where)) return -1;
  const CCoord rowHeight = m_delegate->dbGetRowHeight(self);
  if (rowHeight <= 0) return -1;
  const auto row = static_cast<int32_t>(std::floor((where.y - area.top + m_scrollOffset) / rowHeight));
  return row >= 0 && row < m_delegate->dbGetNumRows(self) ? row : -1;
}

void CDataBrowser::setScrollbarColors(const CColor& track, const CColor& thumb, const CColor& frame) {
  m_trackColor = track;
  m_thumbColor = thumb;
  m_scrollFrameColor = frame;
  invalid();
}

void CDataBrowser::drawRect(CDrawContext* context, const CRect& updateRect) {
  context->saveGlobalState();
  CRect clip;
  context->getClipRect(clip);
  CRect area = getViewSize();
  area.bound(updateRect);
  area.bound(clip);
  context->setClipRect(area);
  {
    CDrawContext::Transform t(*context, CGraphicsTransform().translate(m_size.left, m_size.top));
    CRect local = area;
    local.offset(-m_size.left, -m_size.top);
    drawBackgroundRect(context, local);
  }
  if (m_delegate) {
    const int32_t rows = m_delegate->dbGetNumRows(this);
    const int32_t columns = m_delegate->dbGetNumColumns(this);
    const CCoord rowHeight = m_delegate->dbGetRowHeight(this);
    const CRect rowsArea = getRowsArea();
    if ((m_style & kDrawHeader) && rowsArea.top > m_size.top) {
      CCoord left = rowsArea.left;
      for (int32_t c = 0; c < columns; ++c) {
        const CCoord width = m_delegate->dbGetCurrentColumnWidth(c, this);
        m_delegate->dbDrawHeader(context, CRect(left, m_size.top, left + width, rowsArea.top), c, 0, this);
        left += width;
      }
    }
    CRect rowsClip = rowsArea;
    rowsClip.bound(area);
    context->saveGlobalState();
    context->setClipRect(rowsClip);
    CCoord lineWidth = 1;
    CColor lineColor;
    const bool lines = (m_style & (kDrawRowLines | kDrawColumnLines)) &&
                       m_delegate->dbGetLineWidthAndColor(lineWidth, lineColor, this);
    if (rowHeight > 0) {
      const int32_t first = std::max(0, static_cast<int32_t>(std::floor(m_scrollOffset / rowHeight)));
      for (int32_t row = first; row < rows; ++row) {
        const CCoord top = rowsArea.top + row * rowHeight - m_scrollOffset;
        if (top >= rowsArea.bottom) break;
        CCoord left = rowsArea.left;
        for (int32_t c = 0; c < columns; ++c) {
          const CCoord width = m_delegate->dbGetCurrentColumnWidth(c, this);
          const int32_t flags = row == m_selectedRow ? IDataBrowserDelegate::kRowSelected : 0;
          m_delegate->dbDrawCell(context, CRect(left, top, left + width, top + rowHeight), row, c, flags, this);
          left += width;
        }
        if (lines && (m_style & kDrawRowLines)) {
          context->setDrawMode(kAliasing);
          context->setLineWidth(lineWidth);
          context->setFrameColor(lineColor);
          const CCoord y = top + rowHeight - 1;
          context->drawLine(CPoint(rowsArea.left, y), CPoint(rowsArea.right, y));
        }
      }
    }
    context->restoreGlobalState();
    if (isScrollbarVisible()) {
      context->setDrawMode(kAliasing);
      context->setLineWidth(1);
      context->setFillColor(m_trackColor);
      context->setFrameColor(m_scrollFrameColor);
      context->drawRect(getScrollbarRect(), kDrawFilledAndStroked);
      context->setFillColor(m_thumbColor);
      context->drawRect(getScrollbarThumbRect(), kDrawFilled);
    }
  }
  context->restoreGlobalState();
  setDirty(false);
}

CMouseEventResult CDataBrowser::onMouseDown(CPoint& where, const CButtonState& buttons) {
  if (!m_delegate || !getViewSize().pointInside(where)) return kMouseEventNotHandled;
  const CRect track = getScrollbarRect();
  if (track.pointInside(where)) {
    if (!buttons.isLeftButton()) return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    const CRect thumb = getScrollbarThumbRect();
    if (thumb.pointInside(where)) {
      m_draggingThumb = true;
      m_dragStartY = where.y;
      m_dragStartOffset = m_scrollOffset;
      return kMouseEventHandled;
    }
    // A click on the track moves one page towards it.
    const CCoord page = getRowsArea().getHeight();
    setScrollOffset(m_scrollOffset + (where.y < thumb.top ? -page : page));
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  }
  const int32_t row = getRowAt(where);
  if (row < 0) return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  int32_t column = 0;
  CCoord left = getRowsArea().left;
  for (int32_t c = 0; c < m_delegate->dbGetNumColumns(this); ++c) {
    left += m_delegate->dbGetCurrentColumnWidth(c, this);
    if (where.x < left) {
      column = c;
      break;
    }
  }
  SharedPointer<CDataBrowser> keep(this);
  const CMouseEventResult result = m_delegate->dbOnMouseDown(where, buttons, row, column, this);
  return result == kMouseEventHandled ? kMouseDownEventHandledButDontNeedMovedOrUpEvents : result;
}

CMouseEventResult CDataBrowser::onMouseMoved(CPoint& where, const CButtonState& buttons) {
  if (!m_draggingThumb) return kMouseEventNotHandled;
  if (!buttons.isLeftButton()) return kMouseEventHandled;
  const CRect track = getScrollbarRect();
  const CRect thumb = getScrollbarThumbRect();
  const CCoord travel = track.getHeight() - thumb.getHeight();
  if (travel > 0) setScrollOffset(m_dragStartOffset + (where.y - m_dragStartY) / travel * getMaxScrollOffset());
  return kMouseEventHandled;
}

CMouseEventResult CDataBrowser::onMouseUp(CPoint&, const CButtonState&) {
  m_draggingThumb = false;
  return kMouseEventHandled;
}

bool CDataBrowser::onWheel(const CPoint&, const CMouseWheelAxis& axis, const float& distance,
                           const CButtonState&) {
  if (axis != kMouseWheelAxisY || !m_delegate || getMaxScrollOffset() <= 0) return false;
  // One notch scrolls three rows; rolling up (positive) moves towards the first row.
  setScrollOffset(m_scrollOffset - distance * 3 * m_delegate->dbGetRowHeight(this));
  return true;
}

bool CDataBrowser::attached(CView* parent) {
  if (!CViewContainer::attached(parent)) return false;
  if (m_delegate) m_delegate->dbAttached(this);
  recalculateLayout(true);
  return true;
}

bool CDataBrowser::removed(CView* parent) {
  if (m_delegate) m_delegate->dbRemoved(this);
  return CViewContainer::removed(parent);
}

bool CDataBrowser::isTypeOf(const char* s) const {
  return std::strcmp(s, "CDataBrowser") == 0 || CViewContainer::isTypeOf(s);
}

// ---------------------------------------------------------------------------------------------

GenericStringListDataBrowserSource::GenericStringListDataBrowserSource(
    const StringVector* stringList, IGenericStringListDataBrowserSourceSelectionChanged* delegate)
    : m_strings(stringList), m_delegate(delegate), m_font(kNormalFontSmall) {}

GenericStringListDataBrowserSource::~GenericStringListDataBrowserSource() = default;

void GenericStringListDataBrowserSource::setStringList(const StringVector* stringList) {
  m_strings = stringList;
  if (m_browser) m_browser->recalculateLayout();
}

void GenericStringListDataBrowserSource::setupUI(const CColor& selectionColor, const CColor& fontColor,
                                                 const CColor& rowlineColor, const CColor& rowBackColor,
                                                 const CColor& rowAlternateBackColor, CFontRef font,
                                                 int32_t rowHeight, CCoord textInset) {
  m_selectionColor = selectionColor;
  m_fontColor = fontColor;
  m_rowlineColor = rowlineColor;
  m_rowBackColor = rowBackColor;
  m_rowAlternateBackColor = rowAlternateBackColor;
  if (font) m_font = font;
  m_rowHeight = rowHeight;
  m_textInset = textInset;
  if (m_browser) m_browser->invalid();
}

int32_t GenericStringListDataBrowserSource::dbGetNumRows(CDataBrowser*) {
  return m_strings ? static_cast<int32_t>(m_strings->size()) : 0;
}

CCoord GenericStringListDataBrowserSource::dbGetRowHeight(CDataBrowser*) {
  if (m_rowHeight > 0) return m_rowHeight;
  IPlatformFont* font = m_font->getPlatformFont();
  return font ? std::ceil(font->getAscent() + font->getDescent()) + 4 : 18;
}

bool GenericStringListDataBrowserSource::dbGetLineWidthAndColor(CCoord& width, CColor& color, CDataBrowser*) {
  width = 1;
  color = m_rowlineColor;
  return true;
}

void GenericStringListDataBrowserSource::dbDrawCell(CDrawContext* context, const CRect& size, int32_t row, int32_t,
                                                    int32_t flags, CDataBrowser*) {
  context->setDrawMode(kAliasing);
  const bool selected = (flags & kRowSelected) != 0;
  context->setFillColor(selected ? m_selectionColor : (row % 2 ? m_rowAlternateBackColor : m_rowBackColor));
  context->drawRect(size, kDrawFilled);
  if (!m_strings || row < 0 || row >= static_cast<int32_t>(m_strings->size())) return;
  CRect text = size;
  text.inset(m_textInset, 0);
  context->setFont(m_font);
  context->setFontColor(m_fontColor);
  context->drawString((*m_strings)[row], text, kLeftText);
}

void GenericStringListDataBrowserSource::dbSelectionChanged(CDataBrowser* browser) {
  if (m_delegate) m_delegate->dbSelectionChanged(browser->getSelectedRow(), this);
}

void GenericStringListDataBrowserSource::dbRemoved(CDataBrowser* browser) {
  if (m_browser == browser) m_browser = nullptr;
}

}  // namespace VSTGUI
