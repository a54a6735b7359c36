#pragma once

#include <string>
#include <vector>

#include "Frameworks/Gui/CViewContainer.h"

namespace VSTGUI {

class CDataBrowser;

// What a data browser asks of its source: the rows, their height and their drawing.
class IDataBrowserDelegate {
 public:
  enum { kRowSelected = 1 << 1 };

  virtual ~IDataBrowserDelegate() = default;
  virtual int32_t dbGetNumRows(CDataBrowser* browser) = 0;
  virtual int32_t dbGetNumColumns(CDataBrowser* browser) = 0;
  virtual CCoord dbGetCurrentColumnWidth(int32_t index, CDataBrowser* browser) = 0;
  virtual CCoord dbGetRowHeight(CDataBrowser* browser) = 0;
  virtual CCoord dbGetHeaderHeight(CDataBrowser* browser) = 0;
  virtual bool dbGetLineWidthAndColor(CCoord& width, CColor& color, CDataBrowser* browser) = 0;
  virtual void dbDrawHeader(CDrawContext* context, const CRect& size, int32_t column, int32_t flags,
                            CDataBrowser* browser) = 0;
  virtual void dbDrawCell(CDrawContext* context, const CRect& size, int32_t row, int32_t column, int32_t flags,
                          CDataBrowser* browser) = 0;
  virtual CMouseEventResult dbOnMouseDown(const CPoint& where, const CButtonState& buttons, int32_t row,
                                          int32_t column, CDataBrowser* browser) = 0;
  virtual void dbSelectionChanged(CDataBrowser* browser) = 0;
  virtual void dbAttached(CDataBrowser* browser) { (void)browser; }
  virtual void dbRemoved(CDataBrowser* browser) { (void)browser; }
};

// Defaults for a delegate: one column as wide as the browser, rows 20 high, no header, a click
// selects the row.
class DataBrowserDelegateAdapter : public IDataBrowserDelegate {
 public:
  int32_t dbGetNumColumns(CDataBrowser*) override { return 1; }
  CCoord dbGetCurrentColumnWidth(int32_t index, CDataBrowser* browser) override;
  CCoord dbGetRowHeight(CDataBrowser*) override { return 20; }
  CCoord dbGetHeaderHeight(CDataBrowser*) override { return 0; }
  bool dbGetLineWidthAndColor(CCoord&, CColor&, CDataBrowser*) override { return false; }
  void dbDrawHeader(CDrawContext*, const CRect&, int32_t, int32_t, CDataBrowser*) override {}
  CMouseEventResult dbOnMouseDown(const CPoint& where, const CButtonState& buttons, int32_t row, int32_t column,
                                  CDataBrowser* browser) override;
  void dbSelectionChanged(CDataBrowser*) override {}
};

// A scrolling list of rows drawn by a delegate, with a vertical scroll bar when the rows do
// not fit, mouse-wheel scrolling and single-row selection. A delegate that is a CBaseObject is
// remembered while the browser holds it.
class CDataBrowser : public CViewContainer {
 public:
  enum Style : int32_t {
    kHorizontalScrollbar = 1 << 1,
    kVerticalScrollbar = 1 << 2,
    kDontDrawFrame = 1 << 3,
    kAutoHideScrollbars = 1 << 5,
    kDrawRowLines = 1 << 15,
    kDrawColumnLines = 1 << 16,
    kDrawHeader = 1 << 17,
  };

  CDataBrowser(const CRect& size, IDataBrowserDelegate* delegate, int32_t style = 0, CCoord scrollbarWidth = 16,
               CBitmap* background = nullptr);
  ~CDataBrowser() override;

  IDataBrowserDelegate* getDelegate() const { return m_delegate; }
  // Re-reads the row count (after the source changed); keeps the scroll position when it can.
  void recalculateLayout(bool rememberSelection = false);
  int32_t getSelectedRow() const { return m_selectedRow; }
  void setSelectedRow(int32_t row, bool makeVisible = false);
  void makeRowVisible(int32_t row);
  void invalidateRow(int32_t row);
  // A cell's rectangle in the browser's parent coordinates (as drawn now, scroll included).
  CRect getCellBounds(int32_t row, int32_t column) const;
  // The row under a point (parent coordinates), -1 when none.
  int32_t getRowAt(const CPoint& where) const;

  // Scrolling, in pixels from the top of the first row.
  CCoord getScrollOffset() const { return m_scrollOffset; }
  void setScrollOffset(CCoord offset);
  CCoord getMaxScrollOffset() const;
  bool isScrollbarVisible() const;
  // The scroll bar's track and thumb (parent coordinates).
  CRect getScrollbarRect() const;
  CRect getScrollbarThumbRect() const;

  void setScrollbarColors(const CColor& track, const CColor& thumb, const CColor& frame);
  int32_t getStyle() const { return m_style; }

  void drawRect(CDrawContext* context, const CRect& updateRect) override;
  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
  bool onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
               const CButtonState& buttons) override;
  bool attached(CView* parent) override;
  bool removed(CView* parent) override;

  bool isTypeOf(const char* s) const override;
  CView* newCopy() const override { return nullptr; }

 private:
  CRect getRowsArea() const;  // parent coordinates, without header and scroll bar

  IDataBrowserDelegate* m_delegate;
  int32_t m_style;
  CCoord m_scrollbarWidth;
  CCoord m_scrollOffset = 0;
  int32_t m_selectedRow = -1;
  int32_t m_rowCount = 0;
  bool m_draggingThumb = false;
  CCoord m_dragStartY = 0;
  CCoord m_dragStartOffset = 0;
  CColor m_trackColor{40, 40, 40, 255};
  CColor m_thumbColor{140, 140, 140, 255};
  CColor m_scrollFrameColor{80, 80, 80, 255};
};

class IGenericStringListDataBrowserSourceSelectionChanged {
 public:
  virtual ~IGenericStringListDataBrowserSourceSelectionChanged() = default;
  virtual void dbSelectionChanged(int32_t selectedRow, class GenericStringListDataBrowserSource* source) = 0;
};

// A data-browser source over a list of strings: one row per string.
class GenericStringListDataBrowserSource : public CBaseObject, public DataBrowserDelegateAdapter {
 public:
  using StringVector = std::vector<std::string>;

  explicit GenericStringListDataBrowserSource(const StringVector* stringList,
                                              IGenericStringListDataBrowserSourceSelectionChanged* delegate = nullptr);
  ~GenericStringListDataBrowserSource() override;

  void setStringList(const StringVector* stringList);
  const StringVector* getStringList() const { return m_strings; }
  void setupUI(const CColor& selectionColor, const CColor& fontColor, const CColor& rowlineColor,
               const CColor& rowBackColor, const CColor& rowAlternateBackColor, CFontRef font = nullptr,
               int32_t rowHeight = -1, CCoord textInset = 2.);

  int32_t dbGetNumRows(CDataBrowser* browser) override;
  CCoord dbGetRowHeight(CDataBrowser* browser) override;
  bool dbGetLineWidthAndColor(CCoord& width, CColor& color, CDataBrowser* browser) override;
  void dbDrawCell(CDrawContext* context, const CRect& size, int32_t row, int32_t column, int32_t flags,
                  CDataBrowser* browser) override;
  void dbSelectionChanged(CDataBrowser* browser) override;
  void dbAttached(CDataBrowser* browser) override { m_browser = browser; }
  void dbRemoved(CDataBrowser* browser) override;

 private:
  const StringVector* m_strings;
  IGenericStringListDataBrowserSourceSelectionChanged* m_delegate;
  CDataBrowser* m_browser = nullptr;
  SharedPointer<CFontDesc> m_font;
  CColor m_selectionColor{164, 205, 255, 255};
  CColor m_fontColor = kBlackCColor;
  CColor m_rowlineColor{0, 0, 0, 60};
  CColor m_rowBackColor = kWhiteCColor;
  CColor m_rowAlternateBackColor{240, 240, 240, 255};
  int32_t m_rowHeight = -1;
  CCoord m_textInset = 2.;
};

}  // namespace VSTGUI
