#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "Frameworks/AppearanceManager/AppearanceFactory.h"
#include "Frameworks/AppearanceManager/AppearanceManager.h"
#include "Frameworks/Core/ScopePeakExchange.h"
#include "Frameworks/Gui/CControl.h"
#include "Frameworks/Gui/CFontDesc.h"
#include "platform/Settings.h"
#include "source/editor/ColourGroups.h"
#include "source/editor/EditorCore.h"
#include "source/editor/EditorLayout.h"
#include "source/editor/EditorSize.h"
#include "source/editor/HelpTexts.h"
#include "source/editor/ParameterReadout.h"
#include "source/editor/ThemeColours.h"
#include "source/editor/ToolBar.h"
#include "source/editor/ToolBarToEditorInterface.h"

namespace skarvel {

class BackgroundBitmap;
class CEnvDisplay;
class CLabelViews;
class CLabelViewsADSR;
class CLabelViewsChange;
class CMultiSwitch;
class CStereoPeaksView;
class CStereoWavsView;
class CToolTip;
class CValueEntry;
class CValueReadout;

// Skarvel's editor window: the panel picture, the parameter controls at their places, the
// envelope drawing, oscilloscope, peak meters, help box and the two switching labels, scaled to
// one of six sizes and painted in the chosen colour theme.
//
// Values flow both ways: a control the user moves goes to the plug-in core (which tells the host
// and the engine), and a value the host or a program change sets moves the control without
// coming back. The idle pass, at most every 99 ms, updates the help box for whatever is under
// the mouse and feeds the meters and the oscilloscope from the engine.
//
// Beyond dragging, a knob or slider shows its name and value with its unit beside it while the
// mouse is over it or it is being adjusted; the mouse wheel steps it (finer with Shift); a double
// click sets the parameter's default from the parameter table; a right click opens a field to
// type the value in its unit.
class myEditor : public EditorCore, public VSTGUI::IControlListener, public ToolBarToEditorInterface {
 public:
  static constexpr const char* kLabelFontName = "Tahoma_Small";
  static constexpr const char* kLabelFontFile = "Fonts/Tahoma_Small.ttf";
  static constexpr const char* kManualFile = "Skarvel.html";
  static constexpr std::uint32_t kIdleInterval = 99;  // ms between help, meter and scope updates
  static constexpr int32_t kSizeControlTag = 19001;
  static constexpr float kOutputGainDefault = 0.27027026f;  // nearest float to 10/37
  static constexpr float kVelosensDefault = 1.0f;
  // Normalised change per wheel notch on knobs and sliders; Shift makes it ten times finer.
  static constexpr float kWheelStep = 0.02f;
  // The settings value that remembers vertical knob dragging ("vertical" or "circular").
  static constexpr const char* kKnobDragValue = "knobDrag";

  myEditor(core::PluginToHostInterface& effect, core::EditorToPluginCoreInterface& core,
           appearance::AppearanceFactory& appearances, core::ScopePeakExchange& scopeFeed);
  ~myEditor() override;

  // The rectangle follows the stored size, so a host that sizes its window before opening the
  // editor gets the right size.
  bool getRect(core::EditorRect** rect) override;
  bool open(void* parent) override;
  // Opens the window without a parent window (drawing into the frame's picture only), for
  // tests and tools.
  bool openOffscreen();
  void close() override;
  void idle() override;

  // --- from the plug-in core ---
  // Moves the control without telling the core back; ignored while closed.
  void setParameterFromHost(int id, float value) override;
  void programChanged(int listIndex, int programIndex) override;
  void editorHook() override {}

  // --- from the controls ---
  void valueChanged(VSTGUI::CControl* control) override;
  // A right click (typed entry) or a double click (the table default) on a knob or slider.
  int32_t controlModifierClicked(VSTGUI::CControl* control, VSTGUI::CButtonState buttons) override;
  // A gesture on a knob or slider shows its readout until the gesture ends.
  void controlBeginEdit(VSTGUI::CControl* control) override;
  void controlEndEdit(VSTGUI::CControl* control) override;

  // --- from the toolbar ---
  // The theme at `position` of the appearance manager is shown. It is remembered as the
  // user's choice only when it differs from the current theme: the toolbar also calls this when
  // it opens and after a reload, and a remembered theme whose file is missing for now must not
  // be overwritten by the fallback.
  void appearanceSelected(std::size_t position) override;
  // The size control chose `sizeIndex` (0..7; 6 and 7 are the normal size).
  void guiSizeSelected(float sizeIndex) override;
  // Reads the theme files again and applies the remembered theme.
  void reloadThemes() override;
  bool verticalKnobDrag() const override { return m_verticalKnobDrag; }
  void verticalKnobDragSelected(bool vertical) override;

  // Sets parameter `id` to its default from the parameter table, as one gesture.
  void resetToTableDefault(int id);
  // Opens the field to type parameter `id`'s value in (false for a switch or while closed).
  bool openValueEntry(int id);
  // Offers typed text for the open field, as Return does: true when it was applied.
  bool submitValueEntry(const std::string& text);
  // Closes the open field without changing anything, as Escape does.
  void cancelValueEntry();

  // --- state, for the toolbar and for tests ---
  const EditorSize& size() const { return m_size; }
  const ThemeColourTable& themeColours() const { return m_theme; }
  const ColourGroups& colourGroups() const { return m_colours; }
  appearance::AppearanceManager& appearanceManager();
  platform::Settings& settings();
  ToolBar& toolBar();
  VSTGUI::CControl* control(int id) const;
  const VSTGUI::CRect& controlRect(int id) const { return m_controlRects.at(static_cast<std::size_t>(id)); }
  CToolTip* helpBox() const { return m_helpBox; }
  CEnvDisplay* envelopeDisplay() const { return m_envDisplay; }
  CStereoWavsView* oscilloscope() const { return m_scope; }
  CStereoPeaksView* peakMeters() const { return m_peaks; }
  CLabelViewsChange* keytrackLabel() const { return m_labelChange; }
  CLabelViewsADSR* adsrTargetLabel() const { return m_labelADSR; }
  CValueReadout* readout() const { return m_readout; }
  // The parameter the readout shows (-1: none).
  int readoutId() const { return m_readoutId; }
  CValueEntry* valueEntry() const { return m_entry; }
  int valueEntryId() const { return m_entryId; }
  const VSTGUI::CRect& appearanceRegion() const { return m_appearanceRegion; }
  const VSTGUI::CRect& manualIconRegion() const { return m_manualIconRegion; }
  // How often the manual was opened from the manual icon (each press opens it once).
  int manualOpenCount() const { return m_toolbar ? m_toolbar->manualOpenCount() : 0; }
  // The size index the size control started from at open.
  static float sizeControlIndex(float stored);
  // Runs the throttled part of idle now (tests drive time themselves).
  void idleNow();

 private:
  bool openFrame(void* parent, VSTGUI::PlatformType type);
  void applySize(const EditorSize& size);
  void renderBackground();
  void createControls();
  void createDisplays();
  VSTGUI::CControl* createControl(const ControlPlacement& placement, const VSTGUI::CRect& rect);
  void applyTheme();
  void recolourViews();
  void refreshValueText(int id);
  void updateDisplays(int id, float value);
  // The two labels that follow the band-pass melody switch (null while the editor is closed).
  std::array<CLabelViews*, 2> switchedLabels() const;
  void updateHelp(bool mouseKnown, const VSTGUI::CPoint& where, bool buttonsHeld);
  void updateReadout(bool mouseKnown, const VSTGUI::CPoint& where, bool buttonsHeld);
  // Shows parameter `id`'s readout beside its control (-1 hides it).
  void showReadout(int id);
  ParameterReadout::Context readoutContext() const;
  std::string displayText(int id);
  // Sets the value the user chose for `id` as one gesture: begin, value, end.
  void applyUserValue(int id, float value);
  // The control when it is a knob or slider of a parameter (the ones with a readout).
  VSTGUI::CControl* readoutControl(VSTGUI::CControl* control) const;
  void removeClosedEntries();
  void showHelp(const HelpText& text, bool envelopeVisible);
  const HelpText& helpForControl(VSTGUI::CControl* control);
  void feedMeters();

  core::ScopePeakExchange& m_scopeFeed;
  appearance::AppearanceFactory& m_appearanceFactory;
  std::unique_ptr<platform::Settings> m_settings;
  std::unique_ptr<appearance::AppearanceManager> m_appearances;
  ThemeColourTable m_theme;
  ColourGroups m_colours;
  std::unique_ptr<ToolBar> m_toolbar;

  EditorSize m_size;
  EditorSize m_previousSize;
  VSTGUI::CRect m_frameExtent;

  // Guards the view pointers below against close.
  mutable std::mutex m_viewsLock;
  std::array<VSTGUI::CControl*, kParameterCount> m_controls{};
  std::array<VSTGUI::CRect, kParameterCount> m_controlRects{};
  CEnvDisplay* m_envDisplay = nullptr;
  CStereoWavsView* m_scope = nullptr;
  CStereoPeaksView* m_peaks = nullptr;
  CToolTip* m_helpBox = nullptr;
  CMultiSwitch* m_adsr2Target = nullptr;
  CLabelViewsChange* m_labelChange = nullptr;
  CLabelViewsADSR* m_labelADSR = nullptr;
  CValueReadout* m_readout = nullptr;
  CValueEntry* m_entry = nullptr;
  int m_entryId = -1;
  // Fields closed during their own event handling; removed at the next idle.
  std::vector<CValueEntry*> m_closedEntries;
  int m_readoutId = -1;
  int m_gestureId = -1;  // the knob or slider being adjusted (-1: none)
  double m_combBase = ParameterReadout::kCombBaseAt44100;
  bool m_verticalKnobDrag = false;
  VSTGUI::CRect m_envRect;
  VSTGUI::CRect m_appearanceRegion;
  VSTGUI::CRect m_manualIconRegion;

  VSTGUI::SharedPointer<VSTGUI::CFontDesc> m_labelFont;
  // A copy of the engine's scope ring, made while the window is open.
  std::unique_ptr<std::array<float, core::ScopePeakExchange::kRingSize>> m_scopeRing;
  int m_lastScopeIndex = -1;
  std::uint32_t m_lastIdleTicks = 0;
};

}  // namespace skarvel
