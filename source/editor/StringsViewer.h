#pragma once

#include <string>
#include <vector>

#include "Frameworks/Gui/CDataBrowser.h"
#include "Frameworks/Gui/CFontDesc.h"
#include "Frameworks/Gui/CNewFileSelector.h"
#include "Frameworks/Gui/CViewContainer.h"
#include "Frameworks/PresetManager/MessageList.h"

namespace skarvel {

class StringsViewer;

// The viewer's backdrop: the title, the "Save" button and the close area.
class StringsViewerBackgoundView : public VSTGUI::CView {
 public:
  StringsViewerBackgoundView(const VSTGUI::CRect& size, const std::string& title, VSTGUI::CFontDesc* font);

  const std::string& title() const { return m_title; }
  // Both in the viewer's coordinates.
  VSTGUI::CRect saveRect() const;
  VSTGUI::CRect closeRect() const;
  VSTGUI::CRect listRect() const;

  void draw(VSTGUI::CDrawContext* context) override;

  CLASS_METHODS_NOCOPY(StringsViewerBackgoundView, CView)

 private:
  std::string m_title;
  VSTGUI::SharedPointer<VSTGUI::CFontDesc> m_font;
};

// The rows of the viewer: one per line of text.
class StringsViewerDataSource : public VSTGUI::GenericStringListDataBrowserSource {
 public:
  explicit StringsViewerDataSource(const std::vector<std::string>* lines);
};

// A list of text lines over the whole frame (the diagnostic log, the conversion report): a
// title, the lines in a scrolling list, a "Save" button that appends them to a text file
// chosen in a save file selector, and a close area. Shown as the frame's modal view.
class StringsViewer : public VSTGUI::CViewContainer {
 public:
  StringsViewer(const VSTGUI::CRect& frameSize, const std::string& title, std::vector<std::string> lines,
                VSTGUI::CFontDesc* font);
  ~StringsViewer() override;

  const std::string& title() const;
  const std::vector<std::string>& lines() const { return m_lines; }
  VSTGUI::CDataBrowser* browser() const { return m_browser; }
  StringsViewerBackgoundView* background() const { return m_background; }
  VSTGUI::CNewFileSelector* fileSelector() const { return m_fileSelector.get(); }

  // Appends the lines to `path`; on failure shows the "Error" dialog. False on failure.
  bool saveTo(const std::string& path);
  // Opens the "Save Log" file selector (non-blocking; the choice arrives from idle).
  void startSave();
  void close();

  VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  int32_t onKeyDown(VSTGUI::VstKeyCode& keyCode) override;
  bool removed(VSTGUI::CView* parent) override;
  void setViewSize(const VSTGUI::CRect& rect, bool invalid = true) override;

 private:
  std::vector<std::string> m_lines;
  VSTGUI::SharedPointer<VSTGUI::CFontDesc> m_font;
  VSTGUI::SharedPointer<VSTGUI::CFontDesc> m_rowFont;
  StringsViewerBackgoundView* m_background = nullptr;
  VSTGUI::CDataBrowser* m_browser = nullptr;
  VSTGUI::SharedPointer<StringsViewerDataSource> m_source;
  VSTGUI::SharedPointer<VSTGUI::CNewFileSelector> m_fileSelector;
};

}  // namespace skarvel
