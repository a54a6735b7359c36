#pragma once

#include <functional>
#include <string>
#include <vector>

#include "Frameworks/Gui/CFontDesc.h"
#include "Frameworks/Gui/CView.h"

namespace skarvel {

// A text dialog (the credits, errors): a title, lines one under another and "OK"; with a
// link, "Click here to open the HTML manual in your browser." above "OK". A left click on the
// link opens the manual; any other left click closes the dialog (the frame's modal view).
class cCustomDialogue : public VSTGUI::CView {
 public:
  static constexpr const char* kLinkText = "Click here to open the HTML manual in your browser.";
  static constexpr std::size_t kMaxLineLength = 1023;
  using OpenLink = std::function<void(const std::string& link)>;

  cCustomDialogue(const VSTGUI::CRect& size, const std::string& title, const std::vector<std::string>& lines,
                  const std::string& link, OpenLink openLink, VSTGUI::CFontDesc* font);

  const std::string& title() const { return m_title; }
  const std::vector<std::string>& lines() const { return m_lines; }
  const std::string& link() const { return m_link; }
  // Where the link text was last drawn (empty before the first drawing or without a link).
  const VSTGUI::CRect& linkRect() const { return m_linkRect; }

  void draw(VSTGUI::CDrawContext* context) override;
  VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;

  CLASS_METHODS_NOCOPY(cCustomDialogue, CView)

 private:
  bool hasLink() const { return m_link.size() > 1; }
  VSTGUI::CRect computeLinkRect() const;

  std::string m_title;
  std::vector<std::string> m_lines;
  std::string m_link;
  OpenLink m_openLink;
  VSTGUI::SharedPointer<VSTGUI::CFontDesc> m_font;
  VSTGUI::CRect m_linkRect;
};

}  // namespace skarvel
