#include "source/editor/myEditor.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "Frameworks/Gui/CFrame.h"
#include "Frameworks/Gui/COptionMenu.h"
#include "Frameworks/Gui/Platform.h"
#include "platform/DataFolders.h"
#include "source/editor/BackgroundBitmap.h"
#include "source/editor/CDireDeridZoom.h"
#include "source/editor/CEnvDisplay.h"
#include "source/editor/CKnobFlatOrvik.h"
#include "source/editor/CLabelViewsADSR.h"
#include "source/editor/CLabelViewsChange.h"
#include "source/editor/CMultiSwitch.h"
#include "source/editor/CSimpleOnOff.h"
#include "source/editor/CSliderFlat.h"
#include "source/editor/CSliderNano.h"
#include "source/editor/CStereoPeaksView.h"
#include "source/editor/CStereoWavsView.h"
#include "source/editor/CToolTip.h"
#include "source/editor/CValueEntry.h"
#include "source/editor/CValueReadout.h"
#include "source/SkarvelParameterTable.h"

namespace skarvel {

using VSTGUI::CRect;

namespace {
constexpr std::size_t kDisplayTextSize = 128;

ThemeColourTable toThemeTable(const std::array<appearance::RgbColour, appearance::kColourItemCount>& colours) {
  static_assert(static_cast<std::size_t>(appearance::kColourItemCount) == static_cast<std::size_t>(kThemeItemCount),
                "the editor paints with every theme colour");
  ThemeColourTable table;
  for (std::size_t i = 0; i < table.size(); ++i) table[i] = {colours[i].red, colours[i].green, colours[i].blue};
  return table;
}

// Knobs whose scaled width is exactly 52 or 41 grow by 1 or 3 on every side, so the output gain
// knob's ring clears the panel lines at the normal size.
CRect enlargedKnob(CRect rect) {
  const double width = rect.getWidth();
  if (std::abs(width - 52.0) < 1e-9)
    rect.extend(1, 1);
  else if (std::abs(width - 41.0) < 1e-9)
    rect.extend(3, 3);
  return rect;
}

VSTGUI::SharedPointer<VSTGUI::CFontDesc> labelFontAt(double size) {
  return VSTGUI::owned(new VSTGUI::CFontDesc(myEditor::kLabelFontName, size, VSTGUI::kBoldFace));
}
}  // namespace

myEditor::myEditor(core::PluginToHostInterface& effect, core::EditorToPluginCoreInterface& core,
                   appearance::AppearanceFactory& appearances, core::ScopePeakExchange& scopeFeed)
    : EditorCore(effect, core),
      m_scopeFeed(scopeFeed),
      m_appearanceFactory(appearances),
      m_theme(defaultThemeColours()) {
  applySize(editorSizeForIndex(platform::Settings::kDefaultSize));
  // The label font is registered once per process, by the first editor.
  static const bool registered = [] {
    const bool ok = VSTGUI::registerFontFile(platform::dataFilePath(kLabelFontFile), kLabelFontName);
    if (!ok) std::fprintf(stderr, "Failed to register font %s\n", kLabelFontName);
    return ok;
  }();
  (void)registered;
}

myEditor::~myEditor() {
  if (frame) myEditor::close();
}

// The settings, the themes and the toolbar are made when first needed: a host may create many
// instances whose editors are never opened.
platform::Settings& myEditor::settings() {
  if (!m_settings) m_settings = platform::Settings::forProduct(m_core.productName());
  return *m_settings;
}

appearance::AppearanceManager& myEditor::appearanceManager() {
  if (!m_appearances) m_appearances = std::make_unique<appearance::AppearanceManager>(m_appearanceFactory, settings());
  return *m_appearances;
}

ToolBar& myEditor::toolBar() {
  if (!m_toolbar)
    m_toolbar = std::make_unique<ToolBar>(m_core, *this, appearanceManager(), m_core.messages());
  return *m_toolbar;
}

VSTGUI::CControl* myEditor::control(int id) const {
  if (id < 0 || id >= kParameterCount) return nullptr;
  return m_controls[static_cast<std::size_t>(id)];
}

void myEditor::applySize(const EditorSize& size) {
  m_size = size;
  // Whole pixels: the window system sizes windows in pixels, and the host reads these.
  m_rect.left = 0;
  m_rect.top = 0;
  m_rect.right = static_cast<std::int16_t>(size.width);
  m_rect.bottom = static_cast<std::int16_t>(size.height);
  m_frameExtent = CRect(0, 0, m_rect.right, m_rect.bottom);
  if (m_labelFont) m_labelFont->setSize(14 * size.scale);
}

bool myEditor::getRect(core::EditorRect** rect) {
  // Hosts size their window from this before opening the editor, so it must already follow
  // the stored size; while the window is open it is the window's own size.
  if (!frame) applySize(editorSizeForIndex(settings().readSize()));
  return EditorCore::getRect(rect);
}

bool myEditor::open(void* parent) { return openFrame(parent, VSTGUI::PlatformType::kDefaultNative); }

bool myEditor::openOffscreen() {
  static int offscreenParent = 0;
  return openFrame(&offscreenParent, VSTGUI::PlatformType::kOffscreen);
}

bool myEditor::openFrame(void* parent, VSTGUI::PlatformType type) {
  if (frame) close();
  if (!m_labelFont) m_labelFont = labelFontAt(14);
  // The remembered theme, from freshly read theme files.
  appearanceManager().reload();
  m_theme = toThemeTable(appearanceManager().colourTable());
  m_colours.apply(m_theme);

  applySize(editorSizeForIndex(settings().readSize()));
  m_previousSize = m_size;

  auto* newFrame = new VSTGUI::CFrame(m_frameExtent, this);
  if (!newFrame->open(parent, type)) {
    newFrame->forget();
    return false;
  }
  frame = newFrame;
  EditorCore::open(parent);

  renderBackground();
  createControls();
  createDisplays();
  recolourViews();
  m_verticalKnobDrag = settings().readText(kKnobDragValue) == "vertical";
  m_preferredKnobMode = m_verticalKnobDrag ? VSTGUI::kLinearMode : -1;
  toolBar().createControls(frame, &skarvelAboutBox(), ToolBar::Regions{m_appearanceRegion, m_manualIconRegion});
  // Over everything else, the toolbar included.
  m_readout = new CValueReadout(m_labelFont, m_size.scale);
  frame->addView(m_readout);
  toolBar().initialise(sizeControlIndex(settings().readSize()), appearanceManager().currentPosition());

  // Every control, the envelope drawing and the label views show the current values.
  for (int id = 0; id < kParameterCount; ++id) setParameterFromHost(id, m_core.parameterValue(id));
  m_lastIdleTicks = 0;
  m_lastScopeIndex = -1;
  return true;
}

void myEditor::renderBackground() {
  if (!frame) return;
  auto background = VSTGUI::owned(new BackgroundBitmap(frame->getViewSize().getSize(), m_theme, kLabelFontName));
  background->renderInto(*frame);
  for (int id = 0; id < kParameterCount; ++id) {
    const CRect& rect = background->controlRects()[static_cast<std::size_t>(id)];
    if (rect.getWidth() != 0) m_controlRects[static_cast<std::size_t>(id)] = rect;
  }
  m_appearanceRegion = background->appearanceRegion();
  m_manualIconRegion = background->manualIconRegion();
}

VSTGUI::CControl* myEditor::createControl(const ControlPlacement& p, const CRect& rect) {
  switch (p.kind) {
    case ControlKind::kKnobUnipolar:
    case ControlKind::kKnobBipolar:
      return new CKnobFlatOrvik(enlargedKnob(rect), this, p.id, &m_colours.c,
                                p.kind == ControlKind::kKnobUnipolar ? 1 : -1);
    case ControlKind::kSwitch:
      return new CSimpleOnOff(rect, this, p.id, &m_colours.b2);
    case ControlKind::kNanoSlider:
      return new CSliderNano(rect, this, p.id, &m_colours.a);
    case ControlKind::kFlatSlider:
      return new CSliderFlat(rect, this, p.id, &m_colours.a, labelFontAt(12 * m_size.scale));
    case ControlKind::kMultiSwitch: {
      auto* multi = new CMultiSwitch(rect, this, p.id, &m_colours.b1, 2, labelFontAt(12 * m_size.scale));
      multi->setItemTexts({"ADSR", "gate"});
      return multi;
    }
  }
  return nullptr;
}

void myEditor::createControls() {
  std::lock_guard lock(m_viewsLock);
  for (int id : creationOrder()) {
    const ControlPlacement& placement = controlTable()[static_cast<std::size_t>(id)];
    const CRect& rect = m_controlRects[static_cast<std::size_t>(id)];
    if (rect.getWidth() == 0) continue;
    VSTGUI::CControl* control = createControl(placement, rect);
    if (!control) continue;
    if (id == kGainOut) control->setDefaultValue(kOutputGainDefault);
    if (id == kVelosens) control->setDefaultValue(kVelosensDefault);
    control->setWheelInc(kWheelStep);
    frame->addView(control);
    m_controls[static_cast<std::size_t>(id)] = control;
    if (id == kAdsr2Level) m_adsr2Target = static_cast<CMultiSwitch*>(control);
  }
}

void myEditor::createDisplays() {
  std::lock_guard lock(m_viewsLock);
  const double sx = m_frameExtent.getWidth() / kBaseWidth;
  const double sy = m_frameExtent.getHeight() / kBaseHeight;
  m_envRect = scaled(layout::kEnvDisplay, sx, sy);
  m_envDisplay = new CEnvDisplay(m_envRect, &m_colours.d);
  frame->addView(m_envDisplay);
  const VSTGUI::CColor labelColour = toColour(m_theme[appearance::kLabelFont]);
  m_labelChange = new CLabelViewsChange(scaled(layout::kLabelViewsChange, sx, sy),
                                        labelFontAt(14 * m_size.scale), labelColour);
  frame->addView(m_labelChange);
  m_labelADSR = new CLabelViewsADSR(scaled(layout::kLabelViewsADSR, sx, sy), labelFontAt(14 * m_size.scale),
                                    labelColour);
  frame->addView(m_labelADSR);
  m_helpBox = new CToolTip(scaled(layout::kHelpBox, sx, sy), m_labelFont);
  frame->addView(m_helpBox);
  m_peaks = new CStereoPeaksView(scaled(layout::kPeaks, sx, sy), &m_colours.d);
  frame->addView(m_peaks);
  m_scope = new CStereoWavsView(scaled(layout::kScope, sx, sy), &m_colours.d);
  frame->addView(m_scope);
  // The envelope drawing shows only while the mouse is over it.
  m_envDisplay->setVisible(false);
  m_helpBox->setLines(help::kGeneral);
}

float myEditor::sizeControlIndex(float stored) {
  if (!std::isfinite(stored)) return 1.0f;
  const float index = std::trunc(stored);
  return index >= 0.0f && index <= CDireDeridZoom::kMaximum ? index : 1.0f;
}

void myEditor::close() {
  if (m_toolbar) m_toolbar->closeControls();
  {
    std::lock_guard lock(m_viewsLock);
    m_systemWindow = nullptr;
    m_helpBox = nullptr;
    m_peaks = nullptr;
    m_scope = nullptr;
    m_labelChange = nullptr;
    m_labelADSR = nullptr;
    m_envDisplay = nullptr;
    m_adsr2Target = nullptr;
    m_controls.fill(nullptr);
    m_readout = nullptr;
    m_entry = nullptr;
    m_closedEntries.clear();
    m_entryId = m_readoutId = m_gestureId = -1;
  }
  EditorCore::close();
}

void myEditor::applyTheme() {
  m_theme = toThemeTable(appearanceManager().colourTable());
  m_colours.apply(m_theme);
  if (!frame) return;
  frame->invalid();
  renderBackground();
  recolourViews();
}

void myEditor::recolourViews() {
  if (m_helpBox) {
    m_helpBox->setFrameColor(toColour(m_theme[appearance::kHighlightFrame]));
    m_helpBox->setFontColor(toColour(m_theme[appearance::kTooltipFont]));
    m_helpBox->setDirty();
  }
  const VSTGUI::CColor labelColour = toColour(m_theme[appearance::kLabelFont]);
  for (CLabelViews* label : switchedLabels())
    if (label) label->setTextColour(labelColour);
}

void myEditor::appearanceSelected(std::size_t position) {
  const bool changed = position != appearanceManager().currentPosition();
  appearanceManager().select(position);
  if (changed) appearanceManager().rememberCurrent();
  applyTheme();
}

void myEditor::reloadThemes() {
  appearanceManager().reload();
  applyTheme();
}

void myEditor::guiSizeSelected(float sizeIndex) {
  const EditorSize next = editorSizeForIndex(sizeIndex);
  m_previousSize = m_size;
  settings().writeSize(sizeIndex);
  if (!frame) {
    applySize(next);
    return;
  }
  cancelValueEntry();
  removeClosedEntries();
  showReadout(-1);
  const CRect oldExtent = frame->getViewSize();
  const CRect newExtent(0, 0, static_cast<std::int16_t>(next.width), static_cast<std::int16_t>(next.height));
  if (newExtent != oldExtent && !frame->setSize(newExtent.getWidth(), newExtent.getHeight())) {
    // The control steps on from the size the window really has; the choice stays stored for the
    // next opening.
    if (CDireDeridZoom* zoom = toolBar().sizeControl()) zoom->setValue(static_cast<float>(m_size.index));
    toolBar().showTimedNotice("The host keeps the window's size: reopen the editor to see the new size.");
    return;
  }
  applySize(next);
  frame->setViewSize(m_frameExtent);
  frame->setMouseableArea(m_frameExtent);
  frame->setDirty();
  frame->invalid();
  renderBackground();

  const double rx = newExtent.getWidth() / oldExtent.getWidth();
  const double ry = newExtent.getHeight() / oldExtent.getHeight();
  std::lock_guard lock(m_viewsLock);
  for (VSTGUI::CView* view : frame->getChildren()) {
    CRect r = view->getViewSize();
    r = CRect(r.left * rx, r.top * ry, r.right * rx, r.bottom * ry);
    // Parameter controls are laid out afresh, so a knob is enlarged only at the sizes where
    // its width calls for it.
    if (auto* c = dynamic_cast<VSTGUI::CControl*>(view); c && isParameter(c->getTag()) &&
                                                        m_controls[static_cast<std::size_t>(c->getTag())] == c) {
      r = m_controlRects[static_cast<std::size_t>(c->getTag())];
      if (c->isTypeOf("CKnobFlatSwitch")) r = enlargedKnob(r);
    }
    view->setViewSize(r);
    view->setMouseableArea(r);
    if (view->isTypeOf("CToolTip")) view->setDirty();
  }
  if (m_envDisplay) m_envRect = m_envDisplay->getViewSize();
  for (CLabelViews* label : switchedLabels())
    if (label) label->setFont(labelFontAt(14 * m_size.scale));
  if (m_adsr2Target) m_adsr2Target->setFont(labelFontAt(12 * m_size.scale));
  if (m_readout) m_readout->setScale(m_size.scale);
  if (auto* velosens = dynamic_cast<CSliderFlat*>(control(kVelosens)))
    velosens->setLabelFont(labelFontAt(12 * m_size.scale));
  toolBar().frameResized();
}

void myEditor::valueChanged(VSTGUI::CControl* control) {
  if (!control) return;
  const int id = control->getTag();
  const float value = control->getValue();
  if (isParameter(id) && id < kParameterCount) {
    m_core.parameterChangedFromEditor(id, value);
    refreshValueText(id);
    updateDisplays(id, value);
    if (id == m_readoutId) showReadout(id);
  }
  if (m_toolbar) m_toolbar->presetEdited();
}

void myEditor::setParameterFromHost(int id, float value) {
  if (!frame || id < 0 || id >= kParameterCount) return;
  std::lock_guard lock(m_viewsLock);
  VSTGUI::CControl* c = m_controls[static_cast<std::size_t>(id)];
  if (!c) return;
  c->setValue(value);
  refreshValueText(id);
  updateDisplays(id, value);
  if (id == m_readoutId && !m_entry) showReadout(id);
}

void myEditor::programChanged(int listIndex, int programIndex) {
  if (isOpen()) toolBar().programChange(listIndex, programIndex);
}

void myEditor::refreshValueText(int id) {
  VSTGUI::CControl* c = m_controls[static_cast<std::size_t>(id)];
  if (!c) return;
  char text[kDisplayTextSize] = {};
  m_core.getParameterDisplayText(id, text, sizeof(text));
  text[kDisplayTextSize - 1] = 0;
  // The comb filter's display follows the engine's sample rate; typed values need its ratio.
  if (id == kCombFilter) m_combBase = ParameterReadout::combBaseFromDisplay(c->getValue(), text, m_combBase);
  if (auto* knob = dynamic_cast<CKnobFlatSwitch*>(c))
    knob->setValueText(text);
  else if (auto* slider = dynamic_cast<CSliderFlat*>(c))
    slider->setValueText(text);
}

std::array<CLabelViews*, 2> myEditor::switchedLabels() const { return {m_labelChange, m_labelADSR}; }

void myEditor::updateDisplays(int id, float v) {
  if (m_envDisplay) {
    switch (id) {
      case kAttack1:
        m_envDisplay->setAttack(2.0f * v * v + 0.001f);
        return;
      case kDecay1:
        m_envDisplay->setDecay(2.0f * v * v + 0.01f);
        return;
      case kSustain1:
        m_envDisplay->setSustain(0.999f * v + 0.001f);
        return;
      case kRelease1:
        m_envDisplay->setRelease(2.0f * v * v);
        return;
      default:
        break;
    }
  }
  if (id == kBpMelody) {
    for (CLabelViews* label : switchedLabels())
      if (label) label->setOff(v < 0.5f);
  }
}

void myEditor::idle() {
  EditorCore::idle();
  removeClosedEntries();
  const std::uint32_t now = tickCount();
  if (m_lastIdleTicks != 0 && now - m_lastIdleTicks < kIdleInterval) return;
  m_lastIdleTicks = now;
  idleNow();
}

void myEditor::idleNow() {
  if (!isOpen()) return;
  // One look at the pointer serves the help box and the readout.
  VSTGUI::CPoint where;
  const bool mouseKnown = frame->getCurrentMouseLocation(where);
  const bool buttonsHeld = frame->getCurrentMouseButtons().getButtonState() != 0;
  updateHelp(mouseKnown, where, buttonsHeld);
  updateReadout(mouseKnown, where, buttonsHeld);
  feedMeters();
}

// Setting the same text or visibility again changes nothing, so the help box is redrawn only
// when what it shows changes.
void myEditor::showHelp(const HelpText& text, bool envelopeVisible) {
  m_helpBox->setLines(text);
  if (m_envDisplay) m_envDisplay->setVisible(envelopeVisible);
  m_helpBox->setVisible(!envelopeVisible);
}

const HelpText& myEditor::helpForControl(VSTGUI::CControl* control) {
  const int32_t tag = control->getTag();
  if (control == toolBar().bankMenu()) return help::kBankMenu;
  if (control == toolBar().presetMenu()) return help::kPresetMenu;
  if (control->isTypeOf("COptionMenu") && tag < 4) return help::kTargetMenu;
  if (tag >= 0 && tag < kParameterCount) return parameterHelp(tag);
  if (tag == kSizeControlTag) return help::kSizeMenu;
  return help::kGeneral;
}

void myEditor::updateHelp(bool mouseKnown, const VSTGUI::CPoint& where, bool buttonsHeld) {
  if (!frame || !m_helpBox || frame->getModalView()) return;
  if (buttonsHeld) return;
  if (!mouseKnown) {
    m_helpBox->setLines(help::kGeneral);
    return;
  }
  if (m_appearanceRegion.pointInside(where)) return showHelp(help::kAppearanceRegion, false);
  if (m_manualIconRegion.pointInside(where)) return showHelp(help::kManualRegion, false);
  const bool overEnvelope = m_envRect.pointInside(where);
  // The readout takes no mouse input: what lies under it counts.
  VSTGUI::CView* view = frame->getViewAt(where, VSTGUI::GetViewOptions().deep().mouseEnabled());
  auto* control = dynamic_cast<VSTGUI::CControl*>(view);
  // Over the bare panel (or the envelope drawing itself) the general text stays; the envelope
  // drawing shows only while the mouse is over its area.
  if (!view || !control) return showHelp(help::kGeneral, overEnvelope);
  if (view == toolBar().optionsMenu()) return showHelp(help::kOptionsMenu, false);
  if (view->isTypeOf("CStereoPeaksView")) return showHelp(help::kPeakMeters, false);
  if (view->isTypeOf("CStereoWavsView")) return showHelp(help::kOscilloscope, false);
  showHelp(helpForControl(control), overEnvelope);
}

void myEditor::feedMeters() {
  std::lock_guard lock(m_viewsLock);
  float left = 0.0f;
  float right = 0.0f;
  if (m_peaks && m_scopeFeed.takePeaks(left, right)) {
    m_peaks->setPeaks(left, right);
    m_peaks->setDirty();
  }
  if (m_scope) {
    if (!m_scopeRing) m_scopeRing = std::make_unique<std::array<float, core::ScopePeakExchange::kRingSize>>();
    // Until the engine has written its first sample the scope keeps its own ramp.
    const int index = m_scopeFeed.copyRing(*m_scopeRing);
    if (index != 0 && index != m_lastScopeIndex) {
      m_lastScopeIndex = index;
      m_scope->handOver(m_scopeRing->data(), static_cast<std::uint32_t>(index) % core::ScopePeakExchange::kRingSize);
    }
  }
}

// --- readout, wheel, double click and typed entry ------------------------------------------

VSTGUI::CControl* myEditor::readoutControl(VSTGUI::CControl* control) const {
  if (!control) return nullptr;
  const int id = control->getTag();
  if (id < 0 || id >= kParameterCount || m_controls[static_cast<std::size_t>(id)] != control) return nullptr;
  return ParameterReadout::hasReadout(id) ? control : nullptr;
}

ParameterReadout::Context myEditor::readoutContext() const {
  ParameterReadout::Context context;
  const VSTGUI::CControl* bandPass = m_controls[static_cast<std::size_t>(kBpMelody)];
  context.bandPassOn = bandPass ? bandPass->getValue() >= 0.5f : m_core.parameterValue(kBpMelody) >= 0.5f;
  context.combBase = m_combBase;
  return context;
}

std::string myEditor::displayText(int id) {
  char text[kDisplayTextSize] = {};
  m_core.getParameterDisplayText(id, text, sizeof(text));
  text[kDisplayTextSize - 1] = 0;
  return text;
}

void myEditor::showReadout(int id) {
  if (!m_readout || !frame) return;
  VSTGUI::CControl* c = id >= 0 && id < kParameterCount ? m_controls[static_cast<std::size_t>(id)] : nullptr;
  if (!c) {
    m_readout->hide();
    m_readoutId = -1;
    return;
  }
  m_readoutId = id;
  m_readout->showBeside(c->getViewSize(), frame->getViewSize(),
                        ParameterReadout::text(id, c->getValue(), displayText(id), readoutContext()));
}

void myEditor::updateReadout(bool mouseKnown, const VSTGUI::CPoint& where, bool buttonsHeld) {
  if (!frame || !m_readout || m_entry) return;  // an open field keeps its caption
  int id = m_gestureId;
  if (id < 0 && mouseKnown && !buttonsHeld && !frame->getModalView() && !frame->getOpenPopup()) {
    VSTGUI::CView* view = frame->getViewAt(where, VSTGUI::GetViewOptions().deep().mouseEnabled());
    if (auto* control = readoutControl(dynamic_cast<VSTGUI::CControl*>(view))) id = control->getTag();
  }
  if (id != m_readoutId || id < 0) showReadout(id);
}

void myEditor::controlBeginEdit(VSTGUI::CControl* control) {
  if (!readoutControl(control)) return;
  m_gestureId = control->getTag();
  if (!m_entry) showReadout(m_gestureId);
}

void myEditor::controlEndEdit(VSTGUI::CControl* control) {
  if (control && control->getTag() == m_gestureId) m_gestureId = -1;
}

int32_t myEditor::controlModifierClicked(VSTGUI::CControl* control, VSTGUI::CButtonState buttons) {
  VSTGUI::CControl* c = readoutControl(control);
  if (!c) return 0;
  const int id = c->getTag();
  if (buttons.isRightButton() && buttons.getModifierState() == 0) return openValueEntry(id) ? 1 : 0;
  // Ctrl+click keeps restoring the control's own default; a plain double click takes the table's.
  if (buttons.isLeftButton() && buttons.isDoubleClick() && buttons.getModifierState() == 0) {
    resetToTableDefault(id);
    return 1;
  }
  return 0;
}

void myEditor::applyUserValue(int id, float value) {
  VSTGUI::CControl* c = control(id);
  if (!c) return;
  c->beginEdit();
  if (c->getValue() != value) {
    c->setValue(value);
    c->valueChanged();
  }
  c->endEdit();
  c->invalid();
}

void myEditor::resetToTableDefault(int id) {
  if (id < 0 || id >= kParameterCount) return;
  applyUserValue(id, kParameterTable[static_cast<std::size_t>(id)].defaultValue);
}

bool myEditor::openValueEntry(int id) {
  VSTGUI::CControl* c = control(id);
  if (!frame || !c || !ParameterReadout::hasReadout(id)) return false;
  cancelValueEntry();
  const double s = m_size.scale;
  const double fontSize = std::max(11.0, std::round(13.0 * s));
  const CRect& r = c->getViewSize();
  const double width = std::max(r.getWidth() + 8.0 * s, std::round(84.0 * s));
  const double height = std::ceil(fontSize * 1.6);
  const CRect bounds = frame->getViewSize();
  double left = std::round(r.getCenter().x - width / 2);
  double top = std::round(r.getCenter().y - height / 2);
  left = std::max(bounds.left, std::min(left, bounds.right - width));
  top = std::max(bounds.top, std::min(top, bounds.bottom - height));
  const CRect field(left, top, left + width, top + height);

  const std::string number = ParameterReadout::number(id, c->getValue(), displayText(id), readoutContext());
  m_entry = new CValueEntry(field, labelFontAt(fontSize), number,
                            [this](const std::string& text) { return submitValueEntry(text); },
                            [this] { cancelValueEntry(); });
  m_entryId = id;
  frame->addView(m_entry);
  m_entry->begin();
  // The readout becomes the field's caption: what is typed, in which unit, and how to finish.
  const std::string_view unit = ParameterReadout::unitText(ParameterReadout::unit(id));
  std::string caption(ParameterReadout::name(id));
  if (!unit.empty()) caption += " in " + std::string(unit);
  caption += ": Return applies, Esc cancels";
  m_readoutId = id;
  if (m_readout) m_readout->showBeside(field, bounds, caption);
  return true;
}

bool myEditor::submitValueEntry(const std::string& text) {
  if (!m_entry || m_entryId < 0) return false;
  const int id = m_entryId;
  VSTGUI::CControl* c = control(id);
  float value = 0.0f;
  if (!c || !ParameterReadout::parse(id, text, readoutContext(), value)) {
    // Refused: the field stays open and the caption says what is expected.
    if (m_readout && c)
      m_readout->showBeside(m_entry->getViewSize(), frame->getViewSize(),
                            ParameterReadout::hint(id, c->getValue(), displayText(id), readoutContext()), true);
    return false;
  }
  cancelValueEntry();
  applyUserValue(id, value);
  showReadout(id);
  return true;
}

void myEditor::cancelValueEntry() {
  if (!m_entry) return;
  CValueEntry* entry = m_entry;
  m_entry = nullptr;
  m_entryId = -1;
  // The field may be running its own key or focus handler: it leaves the frame at the next idle.
  entry->finish();
  entry->setVisible(false);
  entry->setMouseEnabled(false);
  m_closedEntries.push_back(entry);
  showReadout(-1);
}

void myEditor::removeClosedEntries() {
  if (m_closedEntries.empty()) return;
  std::vector<CValueEntry*> closed;
  closed.swap(m_closedEntries);
  if (!frame) return;
  for (CValueEntry* entry : closed) frame->removeView(entry);
}

void myEditor::verticalKnobDragSelected(bool vertical) {
  m_verticalKnobDrag = vertical;
  m_preferredKnobMode = vertical ? VSTGUI::kLinearMode : -1;
  settings().writeText(kKnobDragValue, vertical ? "vertical" : "circular");
}

}  // namespace skarvel
