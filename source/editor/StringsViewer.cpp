#include "source/editor/StringsViewer.h"

#include <algorithm>

#include "Frameworks/Gui/CDrawContext.h"
#include "Frameworks/Gui/CFrame.h"
#include "source/editor/ToolBarDrawing.h"
#include "source/editor/cCustomDialogue.h"

using namespace VSTGUI;
namespace draw = skarvel::toolbar_drawing;

namespace skarvel {

namespace {
constexpr double kMargin = 10;  // around the list, as the scroll bar's width
constexpr double kTitleHeight = 34;
constexpr double kBaseFontSize = 14;
constexpr CColor kRowBack{38, 38, 40, 255};
constexpr CColor kRowAlternate{44, 44, 47, 255};
constexpr CColor kRowFont{205, 205, 214, 255};
constexpr CColor kRowLine{0, 0, 0, 50};
constexpr CColor kSelection{70, 90, 120, 255};
}  // namespace

// --- background ---------------------------------------------------------------------------

StringsViewerBackgoundView::StringsViewerBackgoundView(const CRect& size, const std::string& title, CFontDesc* font)
    : CView(size), m_title(title), m_font(font) {
  setMouseEnabled(false);
}

CRect StringsViewerBackgoundView::saveRect() const {
  const CRect r = getViewSize();
  const double k = draw::scaleOf(m_font);
  return CRect(r.right - kMargin - 150 * k, r.top + 6 * k, r.right - kMargin - 84 * k, r.top + (kTitleHeight - 6) * k);
}

CRect StringsViewerBackgoundView::closeRect() const {
  const CRect r = getViewSize();
  const double k = draw::scaleOf(m_font);
  return CRect(r.right - kMargin - 74 * k, r.top + 6 * k, r.right - kMargin, r.top + (kTitleHeight - 6) * k);
}

CRect StringsViewerBackgoundView::listRect() const {
  const CRect r = getViewSize();
  return CRect(r.left + kMargin, r.top + kTitleHeight * draw::scaleOf(m_font), r.right - kMargin, r.bottom - kMargin);
}

void StringsViewerBackgoundView::draw(CDrawContext* context) {
  const double fontSize = kBaseFontSize * draw::scaleOf(m_font);
  context->saveGlobalState();
  const CRect r = getViewSize();
  context->setFillColor(draw::kPanel);
  context->drawRect(r, kDrawFilled);
  context->setFont(m_font, fontSize * 1.2);
  context->setFontColor(draw::kText);
  context->drawString(m_title, CRect(r.left + kMargin, r.top, saveRect().left - kMargin, saveRect().bottom + 6),
                      kLeftText, true);
  draw::drawButton(context, saveRect(), "Save", m_font, fontSize, false);
  draw::drawButton(context, closeRect(), "Close", m_font, fontSize, false);
  context->setFrameColor(draw::kFrameLine);
  context->setLineWidth(1);
  context->drawRect(listRect(), kDrawStroked);
  context->restoreGlobalState();
  setDirty(false);
}

// --- rows ---------------------------------------------------------------------------------

StringsViewerDataSource::StringsViewerDataSource(const std::vector<std::string>* lines)
    : GenericStringListDataBrowserSource(lines) {}

// --- viewer -------------------------------------------------------------------------------

StringsViewer::StringsViewer(const CRect& frameSize, const std::string& title, std::vector<std::string> lines,
                             CFontDesc* font)
    : CViewContainer(frameSize), m_lines(std::move(lines)), m_font(font) {
  const CRect local(0, 0, frameSize.getWidth(), frameSize.getHeight());
  m_background = new StringsViewerBackgoundView(local, title, font);
  addView(m_background);
  m_source = makeOwned<StringsViewerDataSource>(&m_lines);
  // The rows use the toolbar's font at 14 x the window's scale, 1.5 lines high.
  const double fontSize = kBaseFontSize * draw::scaleOf(font);
  m_rowFont = makeOwned<CFontDesc>(font ? font->getName() : std::string(), fontSize);
  m_source->setupUI(kSelection, kRowFont, kRowLine, kRowBack, kRowAlternate, m_rowFont,
                    static_cast<int32_t>(fontSize * 1.5), 4);
  CRect list = m_background->listRect();
  list.inset(1, 1);
  m_browser = new CDataBrowser(list, m_source.get(),
                               CDataBrowser::kVerticalScrollbar | CDataBrowser::kAutoHideScrollbars |
                                   CDataBrowser::kDontDrawFrame,
                               kMargin);
  addView(m_browser);
}

StringsViewer::~StringsViewer() {
  if (m_fileSelector) m_fileSelector->cancel();
}

const std::string& StringsViewer::title() const { return m_background->title(); }

void StringsViewer::setViewSize(const CRect& rect, bool invalidate) {
  CViewContainer::setViewSize(rect, invalidate);
  setMouseableArea(rect);
  const CRect local(0, 0, rect.getWidth(), rect.getHeight());
  if (m_background) {
    m_background->setViewSize(local);
    m_background->setMouseableArea(local);
  }
  if (m_browser && m_background) {
    CRect list = m_background->listRect();
    list.inset(1, 1);
    m_browser->setViewSize(list);
    m_browser->setMouseableArea(list);
    m_browser->recalculateLayout(true);
  }
}

bool StringsViewer::saveTo(const std::string& path) {
  presets::MessageList list;
  for (const std::string& line : m_lines) list.append(line);
  if (list.saveTo(path)) return true;
  // The error sits over the viewer; a click closes it and leaves the viewer open.
  const CRect local(0, 0, getWidth(), getHeight());
  addView(new cCustomDialogue(local, "Error", {"Could not save to selected file name"}, "", nullptr, m_font));
  invalid();
  return false;
}

void StringsViewer::startSave() {
  if (m_fileSelector && m_fileSelector->isRunning()) return;
  m_fileSelector = owned(CNewFileSelector::create(getFrame(), CNewFileSelector::kSelectSaveFile));
  m_fileSelector->setTitle("Save Log");
  m_fileSelector->setDefaultSaveName(presets::MessageList::defaultFileName());
  const CFileExtension text("Text file", "txt");
  m_fileSelector->addFileExtension(text);
  m_fileSelector->setDefaultExtension(text);
  const bool started = m_fileSelector->run([this](CNewFileSelector* selector) {
    if (selector->getNumSelectedFiles() > 0 && selector->getSelectedFile(0)) saveTo(selector->getSelectedFile(0));
  });
  if (!started) {
    const CRect local(0, 0, getWidth(), getHeight());
    addView(new cCustomDialogue(local, "Error", {"Could not open a file selector.", m_fileSelector->getLastError()},
                                "", nullptr, m_font));
    m_fileSelector = nullptr;
    invalid();
  }
}

void StringsViewer::close() {
  if (m_fileSelector) m_fileSelector->cancel();
  SharedPointer<CView> keep(this);
  if (CFrame* frame = getFrame(); frame && frame->getModalView() == this) {
    frame->removeView(this);
    return;
  }
  if (auto* parent = dynamic_cast<CViewContainer*>(getParentView())) parent->removeView(this);
}

bool StringsViewer::removed(CView* parent) {
  if (m_fileSelector) m_fileSelector->cancel();
  return CViewContainer::removed(parent);
}

CMouseEventResult StringsViewer::onMouseDown(CPoint& where, const CButtonState& buttons) {
  SharedPointer<CView> keep(this);
  const CMouseEventResult result = CViewContainer::onMouseDown(where, buttons);
  if (result != kMouseEventNotHandled && result != kMouseEventNotImplemented) return result;
  if (!buttons.isLeftButton()) return kMouseEventNotHandled;
  const CPoint local = toLocal(where);
  if (m_background->saveRect().pointInside(local)) {
    startSave();
  } else if (m_background->closeRect().pointInside(local)) {
    close();
  }
  return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

int32_t StringsViewer::onKeyDown(VstKeyCode& keyCode) {
  if (keyCode.virt == VKEY_ESCAPE) {
    close();
    return 1;
  }
  return -1;
}

}  // namespace skarvel
