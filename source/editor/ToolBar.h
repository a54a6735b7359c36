#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "Frameworks/Gui/CControl.h"
#include "Frameworks/Gui/CFontDesc.h"
#include "Frameworks/Gui/CRect.h"
#include "source/MakerWebSite.h"
#include "source/editor/ColourGroups.h"
#include "source/editor/ToolBarAboutBox.h"
#include "source/editor/ToolBarToEditorInterface.h"

namespace VSTGUI {
class CFrame;
class CNewFileSelector;
class COptionMenu;
}  // namespace VSTGUI

namespace appearance {
class AppearanceManager;
}

namespace core {
class EditorToPluginCoreInterface;
}

namespace presets {
class MessageList;
}

namespace skarvel {

class CDireDeridZoom;
class CKickPreviousNext;
class CSimpleLabel;
class MultiActionDialogButton;
class SaveDialog;

// The strip along the top of the editor: options, bank, preset and appearance menus, the two
// steppers, "compare" / "current", the save button and the size control. It listens to its own
// controls and turns their changes into calls on the plug-in core (which keeps the presets), the
// editor (through ToolBarToEditorInterface) and the desktop (folders and the manual). It also
// opens the dialogs: save, notices, credits, the diagnostic log and the conversion report.
//
// The toolbar object lives as long as the editor; its controls only between createControls
// and closeControls (the editor's open and close). User-interface thread only.
class ToolBar : public VSTGUI::IControlListener {
 public:
  // Tags of the toolbar's controls. The size control keeps the tag the help box knows; the
  // others are negative so the help box shows its general text over them.
  enum Tag : int32_t {
    kSizeTag = 19001,
    kOptionsMenuTag = -2,
    kBankMenuTag = -3,
    kPresetMenuTag = -4,
    kBankStepperTag = -5,
    kPresetStepperTag = -6,
    kAppearanceMenuTag = -7,
    kCompareTag = -8,
    kCurrentTag = -9,
    kSaveButtonTag = -10,
  };

  // Tags of the options menu's items.
  enum OptionTag : int32_t {
    kWebSiteItem = 1,
    kAboutItem = 2,
    kExploreUserPresetsItem = 4,
    kExploreUserThemesItem = 8,
    kReloadThemesItem = 16,
    kConvertOldBankItem = 32,
    kDiagnosticLogItem = 64,
    kVerticalKnobDragItem = 128,
  };

  // The two places of the top strip that the background drawing decides, in frame pixels: the
  // appearance selector (the appearance menu covers it) and the manual icon (an empty view
  // covers it for the help box's hit test). Empty rectangles take the toolbar's defaults.
  struct Regions {
    VSTGUI::CRect appearanceSelector;
    VSTGUI::CRect manualIcon;
  };

  static constexpr const char* kWebSiteName = kMakerWebSiteName;
  static constexpr const char* kWebSiteUrl = kMakerWebSiteUrl;

  ToolBar(core::EditorToPluginCoreInterface& core, ToolBarToEditorInterface& editor,
          appearance::AppearanceManager& appearance, presets::MessageList& messages);
  ~ToolBar() override;

  ToolBar(const ToolBar&) = delete;
  ToolBar& operator=(const ToolBar&) = delete;

  // Builds the controls on `frame` for its current size (the base window is 862 x 419), fills
  // the menus and adds everything to the frame. Null `aboutBox`: an empty credits dialog.
  void createControls(VSTGUI::CFrame* frame, const AboutBox* aboutBox = &skarvelAboutBox(),
                      const Regions& regions = Regions());
  // Sets the appearance menu to `appearanceIndex` (0 when out of range) and tells the editor,
  // sets the size control to `sizeIndex`, then shows the current bank and preset.
  void initialise(float sizeIndex, std::size_t appearanceIndex);
  // The core reports another program: rebuilds and sets both preset menus and the labels.
  void programChange(int bankIndex, int presetIndex);
  // After every control change in the editor: refreshes the labels when the current preset's
  // edited state changed.
  void presetEdited();
  // After the editor has rescaled every view of the frame: the label font and the steppers'
  // areas follow the new size.
  void frameResized();
  // Before the editor releases the frame: stops timers and file selectors and forgets the
  // controls (the frame owns and removes them).
  void closeControls();
  bool hasControls() const { return m_frame != nullptr; }

  void valueChanged(VSTGUI::CControl* control) override;

  // Opens "Skarvel.html" from the data folder in the default browser (manual icon and the
  // credits link). False when the desktop could not be asked; a dialog then says why.
  bool openManual();
  // How often the manual was asked for (each press of the manual icon asks once).
  int manualOpenCount() const { return m_manualOpens; }

  // The dialogs the options menu opens; public for the editor's keyboard shortcuts and tests.
  void showCredits();
  void showDiagnosticLog();
  void startOldBankConversion();
  // Converts the old bank at `path` and shows the report titled "[ Preset conversion ]".
  void convertOldBank(const std::string& path);
  // Shows `message` for five seconds (or until the first click) as the frame's modal view.
  void showTimedNotice(const std::string& message);

  // The controls (null while closed).
  VSTGUI::COptionMenu* optionsMenu() const { return m_optionsMenu; }
  VSTGUI::COptionMenu* bankMenu() const { return m_bankMenu; }
  VSTGUI::COptionMenu* presetMenu() const { return m_presetMenu; }
  VSTGUI::COptionMenu* appearanceMenu() const { return m_appearanceMenu; }
  CKickPreviousNext* bankStepper() const { return m_bankStepper; }
  CKickPreviousNext* presetStepper() const { return m_presetStepper; }
  CDireDeridZoom* sizeControl() const { return m_sizeControl; }
  CSimpleLabel* compareLabel() const { return m_compareLabel; }
  CSimpleLabel* currentLabel() const { return m_currentLabel; }
  CSimpleLabel* zoomLabel() const { return m_zoomLabel; }
  MultiActionDialogButton* saveButton() const { return m_saveButton; }
  SaveDialog* saveDialog() const { return m_saveDialog; }
  VSTGUI::CView* manualArea() const { return m_manualArea; }
  VSTGUI::CFrame* frame() const { return m_frame; }
  // The old-bank file selector while it runs.
  VSTGUI::CNewFileSelector* fileSelector() const { return m_fileSelector.get(); }

  // Fills the menus from the plug-in core's preset lists and the appearance manager (also after
  // a save, a conversion or a theme reload).
  void rebuildOptionsMenu();
  void rebuildBankMenu();
  void rebuildPresetMenu(std::size_t bankIndex);
  void rebuildAppearanceMenu();

  // Colours of the "compare" label.
  static constexpr VSTGUI::CColor kEditedColour{255, 0, 0, 255};
  static constexpr VSTGUI::CColor kUneditedColour{102, 102, 104, 255};

 private:
  void bankChosen();
  void presetChosen();
  void compareClicked();
  void optionChosen(int32_t tag);
  void saveButtonChanged();
  void appearanceChosen();
  void updateLabels();
  // Shows the current list and program in the menus (program change).
  void showCurrentProgram();
  bool missingPresetFiles() const;
  bool missingThemeFiles() const;
  std::size_t bankIndexOfList(std::size_t listPosition) const;
  std::size_t listPositionOfBank(std::size_t bankIndex) const;
  VSTGUI::CRect scaled(double x, double y, double width, double height) const;
  // Opens a web address, file or folder with the desktop's opener; when that fails a dialog
  // names `what` and the reason.
  bool openOnDesktop(const std::string& target, const std::string& what);
  double captionFontSize() const;
  double zoomFontSize(double width) const;

  core::EditorToPluginCoreInterface& m_core;
  ToolBarToEditorInterface& m_editor;
  appearance::AppearanceManager& m_appearance;
  presets::MessageList& m_messages;

  VSTGUI::CFrame* m_frame = nullptr;
  VSTGUI::SharedPointer<VSTGUI::CFontDesc> m_font;         // menus and dialogs: 16 x scale
  VSTGUI::SharedPointer<VSTGUI::CFontDesc> m_captionFont;  // "compare", "current", "save"
  VSTGUI::SharedPointer<VSTGUI::CFontDesc> m_zoomFont;
  ColourGroupB m_stepperColours;
  const AboutBox* m_aboutBox = nullptr;
  double m_sx = 1.0;
  double m_sy = 1.0;

  VSTGUI::COptionMenu* m_optionsMenu = nullptr;
  VSTGUI::COptionMenu* m_bankMenu = nullptr;
  VSTGUI::COptionMenu* m_presetMenu = nullptr;
  VSTGUI::COptionMenu* m_appearanceMenu = nullptr;
  CKickPreviousNext* m_bankStepper = nullptr;
  CKickPreviousNext* m_presetStepper = nullptr;
  CDireDeridZoom* m_sizeControl = nullptr;
  CSimpleLabel* m_compareLabel = nullptr;
  CSimpleLabel* m_currentLabel = nullptr;
  CSimpleLabel* m_zoomLabel = nullptr;
  MultiActionDialogButton* m_saveButton = nullptr;
  SaveDialog* m_saveDialog = nullptr;
  VSTGUI::CView* m_manualArea = nullptr;
  VSTGUI::SharedPointer<VSTGUI::CNewFileSelector> m_fileSelector;

  // The bank menu's entries as preset list positions.
  std::vector<std::size_t> m_bankLists;
  // The edited state last shown by the "compare" label.
  bool m_editedShown = false;
  int m_manualOpens = 0;
};

}  // namespace skarvel
