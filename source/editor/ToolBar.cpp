#include "source/editor/ToolBar.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "Frameworks/AppearanceManager/AppearanceManager.h"
#include "Frameworks/Core/Assert.h"
#include "Frameworks/Core/EditorToPluginCoreInterface.h"
#include "Frameworks/Gui/CFrame.h"
#include "Frameworks/Gui/CNewFileSelector.h"
#include "Frameworks/Gui/COptionMenu.h"
#include "Frameworks/Gui/Platform.h"
#include "Frameworks/PresetManager/MessageList.h"
#include "platform/DataFolders.h"
#include "source/editor/CDireDeridZoom.h"
#include "source/editor/CKickPreviousNext.h"
#include "source/editor/CSimpleLabel.h"
#include "source/editor/MultiActionDialogButton.h"
#include "source/editor/SaveDialog.h"
#include "source/editor/StringsViewer.h"
#include "source/editor/ToolBarDrawing.h"
#include "source/editor/cCustomDialogue.h"
#include "source/editor/cTimedResponse.h"

using namespace VSTGUI;

namespace skarvel {

namespace {

constexpr double kBaseWidth = 862.0;
constexpr double kBaseHeight = 419.0;
constexpr double kFontSize = 16.0;

constexpr const char* kPresetFilesMissing = "Some preset files are missing";
constexpr const char* kThemeFilesMissing = "Some appearance files are missing";

// Menu styles of the top strip: kNoFrame, with the options and appearance menus drawing nothing
// (the background shows their buttons) and the preset menus putting a check on the current entry.
constexpr int32_t kOptionsMenuStyle = 0x5800;
constexpr int32_t kPresetMenuStyle = 0x4400;
constexpr int32_t kAppearanceMenuStyle = 0x5c00;

constexpr CColor kMenuFontColour{192, 192, 192, 255};
constexpr CColor kMenuBackColour{32, 32, 32, 0};
constexpr CColor kCurrentColour{162, 162, 162, 255};
constexpr CColor kZoomColour{129, 129, 129, 255};

// Appends the disabled "files are missing" entry after a separator.
void addMissingEntry(COptionMenu* menu, const char* text) {
  menu->addSeparator();
  menu->addEntry(text, -1, CMenuItem::kDisabled);
}

// The manual icon of the top strip: a press of the left button opens the manual at once, however
// short the click. The second press of a double click opens nothing more.
class ManualIcon : public CView {
 public:
  ManualIcon(const CRect& size, std::function<void()> open) : CView(size), m_open(std::move(open)) {}
  CMouseEventResult onMouseDown(CPoint&, const CButtonState& buttons) override {
    if (!buttons.isLeftButton()) return kMouseEventNotHandled;
    if (!buttons.isDoubleClick()) m_open();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  }

 private:
  std::function<void()> m_open;
};

// The options menu is a menu of actions: the mouse wheel must not fire them one after another
// the way it steps through presets or themes.
class ActionMenu : public COptionMenu {
 public:
  using COptionMenu::COptionMenu;
  bool onWheel(const CPoint&, const CMouseWheelAxis&, const float&, const CButtonState&) override { return false; }
};

}  // namespace

ToolBar::ToolBar(core::EditorToPluginCoreInterface& core, ToolBarToEditorInterface& editor,
                 appearance::AppearanceManager& appearance, presets::MessageList& messages)
    : m_core(core),
      m_editor(editor),
      m_appearance(appearance),
      m_messages(messages) {
  // The steppers sit on the dark strip: grey arrows, brighter under the mouse.
  m_stepperColours.controlActive = CColor(215, 215, 228, 255);
  m_stepperColours.controlBackground = CColor(60, 60, 66, 255);
  m_stepperColours.frame = CColor(80, 80, 84, 255);
  m_stepperColours.inactiveValueFont = CColor(122, 122, 122, 255);
  m_stepperColours.activeValueFont = CColor(215, 215, 228, 255);
}

ToolBar::~ToolBar() { closeControls(); }

CRect ToolBar::scaled(double x, double y, double width, double height) const {
  return CRect(x * m_sx, y * m_sy, (x + width) * m_sx, (y + height) * m_sy);
}

void ToolBar::createControls(CFrame* frame, const AboutBox* aboutBox, const Regions& regions) {
  CORE_CHECK(frame != nullptr);
  if (!frame) return;
  if (m_frame) closeControls();
  m_frame = frame;
  m_aboutBox = aboutBox;
  const CRect size = frame->getViewSize();
  m_sx = size.getWidth() / kBaseWidth;
  m_sy = size.getHeight() / kBaseHeight;
  m_font = makeOwned<CFontDesc>("Tahoma_Small", kFontSize * m_sy);
  m_captionFont = makeOwned<CFontDesc>("Tahoma_Small", captionFontSize());

  auto menu = [this](const CRect& r, int32_t tag, int32_t style) {
    COptionMenu* m = tag == kOptionsMenuTag ? new ActionMenu(r, this, tag, nullptr, nullptr, style)
                                            : new COptionMenu(r, this, tag, nullptr, nullptr, style);
    m->setFont(m_font);
    m->setFontColor(kMenuFontColour);
    m->setBackColor(kMenuBackColour);
    m->setHoriAlign(kCenterText);
    return m;
  };
  auto label = [this](const CRect& r, int32_t tag, const char* text, CColor colour, bool listens) {
    auto* l = new CSimpleLabel(r, listens ? this : nullptr, tag, m_captionFont);
    l->setText(text);
    l->setFontColor(colour);
    l->setHoriAlign(kCenterText);
    if (!listens) l->setMouseEnabled(false);
    return l;
  };

  m_optionsMenu = menu(scaled(5, 14, 39, 19), kOptionsMenuTag, kOptionsMenuStyle);
  m_compareLabel = label(scaled(54, 10, 59, 16), kCompareTag, "compare", kUneditedColour, true);
  m_currentLabel = label(scaled(54, 32, 59, 12), kCurrentTag, "current", kCurrentColour, false);

  m_saveDialog = new SaveDialog(size, m_font, m_core);
  m_saveButton =
      new MultiActionDialogButton(scaled(122, 10, 59, 16), this, kSaveButtonTag, m_saveDialog, m_captionFont, "save");
  // The button took over the dialog's creation reference.

  m_bankMenu = menu(scaled(192, 5, 220, 26), kBankMenuTag, kPresetMenuStyle);
  m_bankStepper = new CKickPreviousNext(scaled(192, 32, 220, 12), this, kBankStepperTag, &m_stepperColours);
  m_presetMenu = menu(scaled(414, 5, 257, 26), kPresetMenuTag, kPresetMenuStyle);
  m_presetStepper = new CKickPreviousNext(scaled(414, 32, 264, 12), this, kPresetStepperTag, &m_stepperColours);

  const CRect appearanceRect = regions.appearanceSelector.isEmpty() ? scaled(734, 5, 45, 26) : regions.appearanceSelector;
  m_appearanceMenu = menu(appearanceRect, kAppearanceMenuTag, kAppearanceMenuStyle);

  // The size control sits 53 base units from the right edge, whatever the window's width.
  const double sizeLeft = size.getWidth() - 53 * m_sx;
  m_sizeControl = new CDireDeridZoom(CRect(sizeLeft, 10 * m_sy, sizeLeft + 51 * m_sx, 26 * m_sy), this, kSizeTag);
  m_sizeControl->setMin(0.f);
  m_sizeControl->setMax(CDireDeridZoom::kMaximum);
  // "zoom" ends just left of the size control and never reaches into the appearance selector.
  const double zoomLeft = std::max(sizeLeft - 36 * m_sx, appearanceRect.right + 2 * m_sx);
  const CRect zoomRect(zoomLeft, 12 * m_sy, sizeLeft - 2 * m_sx, 24 * m_sy);
  m_zoomLabel = label(zoomRect, -1, "zoom", kZoomColour, false);
  m_zoomLabel->setHoriAlign(kRightText);
  m_zoomFont = makeOwned<CFontDesc>("Tahoma_Small", zoomFontSize(zoomRect.getWidth()));
  m_zoomLabel->setFont(m_zoomFont);

  if (!regions.manualIcon.isEmpty()) m_manualArea = new ManualIcon(regions.manualIcon, [this] { openManual(); });

  for (CView* view : std::initializer_list<CView*>{m_optionsMenu, m_compareLabel, m_currentLabel, m_saveButton,
                                                   m_bankMenu, m_bankStepper, m_presetMenu, m_presetStepper,
                                                   m_appearanceMenu, m_zoomLabel, m_sizeControl, m_manualArea}) {
    if (view) frame->addView(view);
  }

  rebuildOptionsMenu();
  rebuildAppearanceMenu();
  rebuildBankMenu();
  showCurrentProgram();
}

double ToolBar::zoomFontSize(double width) const {
  return toolbar_drawing::fittingFontSize("Tahoma_Small", {"zoom"}, captionFontSize(), width - 1);
}

double ToolBar::captionFontSize() const {
  // The label font's face may be wider than the captions' boxes allow at 16: shrink to fit.
  return toolbar_drawing::fittingFontSize("Tahoma_Small", {"compare", "original", "current", "save"},
                                          kFontSize * m_sy, 57 * m_sx);
}

void ToolBar::closeControls() {
  if (m_fileSelector) {
    m_fileSelector->cancel();
    m_fileSelector = nullptr;
  }
  m_optionsMenu = m_bankMenu = m_presetMenu = m_appearanceMenu = nullptr;
  m_bankStepper = m_presetStepper = nullptr;
  m_sizeControl = nullptr;
  m_compareLabel = m_currentLabel = m_zoomLabel = nullptr;
  m_saveButton = nullptr;
  m_saveDialog = nullptr;
  m_manualArea = nullptr;
  m_frame = nullptr;
}

void ToolBar::frameResized() {
  if (!m_frame) return;
  const CRect size = m_frame->getViewSize();
  m_sx = size.getWidth() / kBaseWidth;
  m_sy = size.getHeight() / kBaseHeight;
  // The controls share the font, so one size change reaches all of them.
  m_font->setSize(kFontSize * m_sy);
  m_captionFont->setSize(captionFontSize());
  if (m_zoomLabel) m_zoomFont->setSize(zoomFontSize(m_zoomLabel->getViewSize().getWidth()));
  m_frame->invalid();
}

void ToolBar::initialise(float sizeIndex, std::size_t appearanceIndex) {
  if (!m_frame) return;
  const std::size_t count = m_appearance.count();
  const std::size_t position = appearanceIndex < count ? appearanceIndex : 0;
  m_appearanceMenu->setCurrent(static_cast<int32_t>(position));
  m_editor.appearanceSelected(position);
  m_sizeControl->setValue(std::clamp(sizeIndex, 0.f, CDireDeridZoom::kMaximum));
  showCurrentProgram();
}

// --- menus ----------------------------------------------------------------------------------

bool ToolBar::missingPresetFiles() const { return !m_core.presetStatus().allFilesLoaded; }
bool ToolBar::missingThemeFiles() const { return !m_appearance.allFilesLoaded(); }

void ToolBar::rebuildOptionsMenu() {
  if (!m_optionsMenu) return;
  m_optionsMenu->removeAllEntry();
  m_optionsMenu->addEntry(CMenuItem::makeWithTag(kWebSiteName, kWebSiteItem));
  m_optionsMenu->addEntry(CMenuItem::makeWithTag("about and help", kAboutItem));
  m_optionsMenu->addEntry(CMenuItem::makeWithTag("explore user presets", kExploreUserPresetsItem));
  m_optionsMenu->addEntry(CMenuItem::makeWithTag("explore user appearance themes", kExploreUserThemesItem));
  m_optionsMenu->addEntry(CMenuItem::makeWithTag("reload appearance themes", kReloadThemesItem));
  m_optionsMenu->addEntry(CMenuItem::makeWithTag("convert old preset / bank file", kConvertOldBankItem));
  if (missingPresetFiles() || missingThemeFiles())
    m_optionsMenu->addEntry(CMenuItem::makeWithTag("open diagnostic log", kDiagnosticLogItem));
  // A setting rather than an action: checked while it is on.
  CMenuItem* vertical = m_optionsMenu->addEntry(CMenuItem::makeWithTag("drag knobs vertically", kVerticalKnobDragItem));
  vertical->setChecked(m_editor.verticalKnobDrag());
}

void ToolBar::rebuildBankMenu() {
  if (!m_bankMenu) return;
  m_bankMenu->removeAllEntry();
  m_bankLists.clear();
  for (const core::PresetListSnapshot& list : m_core.presetLists()) {
    m_bankLists.push_back(list.listPosition);
    m_bankMenu->addEntry(list.name);
  }
  m_bankStepper->setMin(0.f);
  m_bankStepper->setMax(static_cast<float>(m_bankLists.empty() ? 0 : m_bankLists.size() - 1));
  if (missingPresetFiles()) addMissingEntry(m_bankMenu, kPresetFilesMissing);
}

void ToolBar::rebuildPresetMenu(std::size_t bankIndex) {
  if (!m_presetMenu) return;
  m_presetMenu->removeAllEntry();
  std::size_t count = 0;
  if (bankIndex < m_bankLists.size()) {
    for (const core::PresetListSnapshot& list : m_core.presetLists()) {
      if (list.listPosition != m_bankLists[bankIndex]) continue;
      for (const std::string& name : list.programNames) m_presetMenu->addEntry(name);
      count = list.programNames.size();
    }
  }
  m_presetStepper->setMin(0.f);
  m_presetStepper->setMax(static_cast<float>(count == 0 ? 0 : count - 1));
  if (missingPresetFiles()) addMissingEntry(m_presetMenu, kPresetFilesMissing);
}

void ToolBar::rebuildAppearanceMenu() {
  if (!m_appearanceMenu) return;
  m_appearanceMenu->removeAllEntry();
  for (std::size_t position = 0; position < m_appearance.count(); ++position)
    m_appearanceMenu->addEntry(m_appearance.themeName(position));
  if (missingThemeFiles()) addMissingEntry(m_appearanceMenu, kThemeFilesMissing);
}

std::size_t ToolBar::bankIndexOfList(std::size_t listPosition) const {
  const auto found = std::find(m_bankLists.begin(), m_bankLists.end(), listPosition);
  return found == m_bankLists.end() ? 0 : static_cast<std::size_t>(found - m_bankLists.begin());
}

std::size_t ToolBar::listPositionOfBank(std::size_t bankIndex) const {
  return bankIndex < m_bankLists.size() ? m_bankLists[bankIndex] : 0;
}

// --- what the editor tells the toolbar ----------------------------------------------------

void ToolBar::programChange(int bankIndex, int presetIndex) {
  if (!m_frame) return;
  rebuildBankMenu();
  const std::size_t bank = bankIndexOfList(static_cast<std::size_t>(std::max(bankIndex, 0)));
  m_bankMenu->setCurrent(static_cast<int32_t>(bank));
  rebuildPresetMenu(bank);
  m_presetMenu->setCurrent(std::max(presetIndex, 0));
  updateLabels();
}

void ToolBar::showCurrentProgram() {
  const core::PresetStatus status = m_core.presetStatus();
  programChange(static_cast<int>(status.listPosition), static_cast<int>(status.programPosition));
}

void ToolBar::presetEdited() {
  if (!m_frame) return;
  if (m_core.presetStatus().edited != m_editedShown) updateLabels();
}

void ToolBar::updateLabels() {
  if (!m_frame) return;
  const core::PresetStatus status = m_core.presetStatus();
  m_editedShown = status.edited;
  m_currentLabel->setText(status.comparing ? "original" : "current");
  m_compareLabel->setFontColor(status.edited ? kEditedColour : kUneditedColour);
  m_bankStepper->setValue(static_cast<float>(std::max(m_bankMenu->getCurrentIndex(true), 0)));
  m_presetStepper->setValue(static_cast<float>(std::max(m_presetMenu->getCurrentIndex(true), 0)));
  m_bankStepper->setOldValue(m_bankStepper->getValue());
  m_presetStepper->setOldValue(m_presetStepper->getValue());
}

// --- the controls' changes ----------------------------------------------------------------

void ToolBar::valueChanged(CControl* control) {
  if (!m_frame || !control) return;
  if (control == m_bankStepper) {
    m_bankMenu->setCurrent(static_cast<int32_t>(std::lround(m_bankStepper->getValue())));
    bankChosen();
  } else if (control == m_presetStepper) {
    m_presetMenu->setCurrent(static_cast<int32_t>(std::lround(m_presetStepper->getValue())));
    presetChosen();
  } else if (control == m_bankMenu) {
    bankChosen();
  } else if (control == m_presetMenu) {
    presetChosen();
  } else if (control == m_compareLabel) {
    compareClicked();
  } else if (control == m_optionsMenu) {
    const CMenuItem* item = m_optionsMenu->getCurrent();
    if (item) optionChosen(item->getTag());
  } else if (control == m_saveButton) {
    saveButtonChanged();
  } else if (control == m_appearanceMenu) {
    appearanceChosen();
  } else if (control == m_sizeControl) {
    m_editor.guiSizeSelected(m_sizeControl->getValue());
  }
  // A dialog or a size change may have closed the toolbar's controls meanwhile.
  presetEdited();
}

void ToolBar::bankChosen() {
  const int32_t bank = std::max(m_bankMenu->getCurrentIndex(true), 0);
  rebuildPresetMenu(static_cast<std::size_t>(bank));
  m_presetMenu->setCurrent(0);
  presetChosen();
}

void ToolBar::presetChosen() {
  const std::size_t bank = static_cast<std::size_t>(std::max(m_bankMenu->getCurrentIndex(true), 0));
  const std::size_t preset = static_cast<std::size_t>(std::max(m_presetMenu->getCurrentIndex(true), 0));
  m_core.selectProgram(listPositionOfBank(bank), preset);
  updateLabels();
  if (m_frame) m_frame->invalid();
}

void ToolBar::compareClicked() {
  m_core.toggleCompare();
  updateLabels();
}

void ToolBar::appearanceChosen() {
  const int32_t index = m_appearanceMenu->getCurrentIndex(true);
  if (index < 0 || static_cast<std::size_t>(index) >= m_appearance.count()) return;
  m_editor.appearanceSelected(static_cast<std::size_t>(index));
}

void ToolBar::optionChosen(int32_t tag) {
  switch (tag) {
    case kWebSiteItem:
      openOnDesktop(kWebSiteUrl, "the web site");
      break;
    case kAboutItem:
      showCredits();
      break;
    case kExploreUserPresetsItem:
      openOnDesktop(m_core.userPresetsFolder(), "the user presets folder");
      break;
    case kExploreUserThemesItem:
      openOnDesktop(m_appearance.userFolder(), "the user appearance themes folder");
      break;
    case kReloadThemesItem: {
      m_editor.reloadThemes();
      rebuildAppearanceMenu();
      rebuildOptionsMenu();
      const std::size_t position = m_appearance.currentPosition();
      m_appearanceMenu->setCurrent(static_cast<int32_t>(position));
      m_editor.appearanceSelected(position);
      break;
    }
    case kConvertOldBankItem:
      startOldBankConversion();
      break;
    case kDiagnosticLogItem:
      showDiagnosticLog();
      break;
    case kVerticalKnobDragItem:
      m_editor.verticalKnobDragSelected(!m_editor.verticalKnobDrag());
      rebuildOptionsMenu();
      break;
    default:
      break;
  }
}

void ToolBar::saveButtonChanged() {
  if (m_saveButton->getValue() >= 1.f) {
    // The window may have changed size since the dialog was last shown.
    m_saveDialog->setViewSize(m_frame->getViewSize());
    m_saveDialog->prepare();
    return;
  }
  // The dialog has ended; its result says what happened.
  const presets::SaveResult result = m_saveDialog->result();
  switch (result.outcome) {
    case presets::SaveOutcome::Saved:
      showCurrentProgram();
      presetChosen();
      showTimedNotice(result.message);
      break;
    case presets::SaveOutcome::Overwritten:
      updateLabels();
      showTimedNotice(result.message);
      break;
    case presets::SaveOutcome::Failed:
      showTimedNotice(result.message);
      break;
    default:
      break;
  }
}

// --- dialogs and the desktop ----------------------------------------------------------------

void ToolBar::showTimedNotice(const std::string& message) {
  if (!m_frame) return;
  auto notice = owned(new cTimedResponse(m_frame->getViewSize(), message, m_font));
  m_frame->setModalView(notice);
}

void ToolBar::showCredits() {
  if (!m_frame) return;
  static const AboutBox kEmpty;
  const AboutBox& about = m_aboutBox ? *m_aboutBox : kEmpty;
  auto dialog = owned(new cCustomDialogue(m_frame->getViewSize(), "Credits", about.lines, about.manualFileName,
                                          [this](const std::string&) { openManual(); }, m_font));
  m_frame->setModalView(dialog);
}

void ToolBar::showDiagnosticLog() {
  if (!m_frame) return;
  auto viewer = owned(new StringsViewer(m_frame->getViewSize(), "[ Diagnostic log ]", m_messages.lines(), m_font));
  m_frame->setModalView(viewer);
}

void ToolBar::startOldBankConversion() {
  if (!m_frame) return;
  if (m_fileSelector) m_fileSelector->cancel();
  m_fileSelector = owned(CNewFileSelector::create(m_frame, CNewFileSelector::kSelectFile));
  m_fileSelector->setTitle("Load bank file : BNK or FXB or FXP of old Ludra");
  m_fileSelector->setInitialDirectory(m_core.userPresetsFolder());
  m_fileSelector->addFileExtension(CFileExtension("Pre 2007 Ludra custom banks", "bnk"));
  const CFileExtension vstBanks("Pre 2007 Ludra VST banks", "fxb");
  m_fileSelector->addFileExtension(vstBanks);
  m_fileSelector->addFileExtension(CFileExtension("Pre 2007 Ludra VST programs", "fxp"));
  m_fileSelector->setDefaultExtension(vstBanks);
  const bool started = m_fileSelector->run([this](CNewFileSelector* selector) {
    std::string path;
    if (selector->getNumSelectedFiles() > 0 && selector->getSelectedFile(0)) path = selector->getSelectedFile(0);
    if (!path.empty()) convertOldBank(path);
  });
  if (!started) {
    // No desktop file chooser: say so instead of doing nothing.
    const std::string reason = m_fileSelector->getLastError();
    m_fileSelector = nullptr;
    auto dialog = owned(new cCustomDialogue(m_frame->getViewSize(), "Error",
                                            {"Could not open a file selector.", reason}, "", nullptr, m_font));
    m_frame->setModalView(dialog);
  }
}

void ToolBar::convertOldBank(const std::string& path) {
  std::vector<std::string> report;
  m_core.convertOldBanks(path, report);
  if (!m_frame) {
    for (const std::string& line : report) m_messages.append(line);
    return;
  }
  showCurrentProgram();
  auto viewer = owned(new StringsViewer(m_frame->getViewSize(), "[ Preset conversion ]", report, m_font));
  if (!m_frame->setModalView(viewer)) {
    // Another dialog is up: keep the report where the user can still read it.
    for (const std::string& line : report) m_messages.append(line);
  }
}

bool ToolBar::openManual() {
  ++m_manualOpens;
  const std::string file = m_aboutBox && !m_aboutBox->manualFileName.empty() ? m_aboutBox->manualFileName
                                                                             : std::string("Skarvel.html");
  // The manual lives in the data folder beside the plug-in, not in the host's working folder.
  return openOnDesktop(platform::dataFilePath(file), "the HTML manual");
}

bool ToolBar::openOnDesktop(const std::string& target, const std::string& what) {
  std::string reason;
  if (VSTGUI::openUrl(target, reason)) return true;
  if (!m_frame) return false;
  // Say why nothing opens. A dialog already shown (the credits, whose link opens the manual)
  // gives way to the message.
  std::vector<std::string> lines{"Could not open " + what + "."};
  if (!reason.empty()) lines.push_back(reason);
  m_frame->setModalView(nullptr);
  auto dialog = owned(new cCustomDialogue(m_frame->getViewSize(), "Error", lines, "", nullptr, m_font));
  m_frame->setModalView(dialog);
  return false;
}

// --- the credits ----------------------------------------------------------------------------

const AboutBox& skarvelAboutBox() {
  static const AboutBox about{
      {
          "Skarvel 1.0, a polyphonic noise-driven synthesiser by Brenmoor.",
          " ",
          "Sound design and engine: Ilse Varga and Tomas Renko.",
          "Editor, themes and presets: Mirela Holst.",
          "Factory presets: Ander Quist, Mirela Holst and Sunniva Brekke.",
          " ",
          "Uses libyaml (MIT licence), cairo and FreeType.",
          "Thanks to every musician who tested early builds.",
          " ",
      },
      "Skarvel.html",
  };
  return about;
}

}  // namespace skarvel
