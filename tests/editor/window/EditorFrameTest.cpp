// The editor window drawn offscreen, in the same process as the plug-in core: layout, sizes,
// value flows, help texts, label views and the remembered settings.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

#include "Frameworks/Core/PluginToHostInterface.h"
#include "Frameworks/Gui/CBitmap.h"
#include "Frameworks/Gui/CFrame.h"
#include "Frameworks/Gui/COptionMenu.h"
#include "Frameworks/PresetManager/PresetManager.h"
#include "Frameworks/PresetManager/Program.h"
#include "platform/DataFolders.h"
#include "platform/ProductNames.h"
#include "source/editor/CDireDeridZoom.h"
#include "source/editor/CEnvDisplay.h"
#include "source/editor/CKnobFlatOrvik.h"
#include "source/editor/CLabelViewsADSR.h"
#include "source/editor/CLabelViewsChange.h"
#include "source/editor/CMultiSwitch.h"
#include "source/editor/CSimpleLabel.h"
#include "source/editor/CSimpleOnOff.h"
#include "source/editor/CSliderFlat.h"
#include "source/editor/CSliderNano.h"
#include "source/editor/CStereoPeaksView.h"
#include "source/editor/CStereoWavsView.h"
#include "source/editor/CToolTip.h"
#include "source/editor/CValueEntry.h"
#include "source/editor/CValueReadout.h"
#include "source/editor/ColourContrast.h"
#include "source/editor/ParameterReadout.h"
#include "source/editor/cTimedResponse.h"
#include "source/editor/EditorLayout.h"
#include "source/editor/EditorSize.h"
#include "source/editor/HelpTexts.h"
#include "source/editor/myEditor.h"
#include "source/plugin/SkarvelPlugin.h"
#include "source/plugin/SkarvelPluginFactory.h"

namespace fs = std::filesystem;
using VSTGUI::CPoint;
using VSTGUI::CRect;

namespace {

struct RecordingHost : core::PluginToHostInterface {
  std::vector<std::pair<int, float>> automations;
  std::vector<std::string> gestures;
  std::vector<std::pair<int, int>> resizes;
  bool canResize = true;
  bool acceptResize = true;
  void setParameterAutomated(int id, float value) override { automations.emplace_back(id, value); }
  void updateDisplay() override {}
  void setEditor(core::AEffGUIEditor*) override {}
  void beginEdit(int id) override { gestures.push_back("begin " + std::to_string(id)); }
  void endEdit(int id) override { gestures.push_back("end " + std::to_string(id)); }
  bool canHostDo(const char* text) override { return canResize && std::string(text) == "sizeWindow"; }
  bool sizeWindow(int width, int height) override {
    resizes.emplace_back(width, height);
    return acceptResize;
  }
};

class EditorFrameTest : public testing::Test {
 protected:
  void SetUp() override {
    root = fs::temp_directory_path() / ("skarvel-editor-frame-" + std::to_string(::getpid()));
    fs::remove_all(root);
    fs::create_directories(root / "config");
    ::setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
    platform::setDataRootForTesting(EDITOR_TEST_BUNDLE);
    factory = std::make_unique<skarvel::SkarvelPluginFactory>();
    factory->getDspEngine().registerParameters(factory->registry());
    platform::publishProductNames(factory->description().effectName, factory->description().productName);
    plugin = static_cast<skarvel::SkarvelPlugin*>(&factory->createPlugin());
    plugin->attachHost(host);
    editor = static_cast<skarvel::myEditor*>(plugin->skarvelEditor());
  }
  void TearDown() override {
    factory.reset();
    platform::setDataRootForTesting("");
    std::error_code ignored;
    fs::remove_all(root, ignored);
  }

  fs::path settingsFolder() const { return root / "config" / "Brenmoor" / "Skarvel"; }
  void storeSize(float index) {
    fs::create_directories(settingsFolder());
    std::ofstream(settingsFolder() / "skin", std::ios::binary).write(reinterpret_cast<const char*>(&index), 4);
  }
  void storeText(const std::string& value, const std::string& text) {
    fs::create_directories(settingsFolder());
    std::ofstream(settingsFolder() / value, std::ios::binary).write(text.c_str(), text.size() + 1);
  }
  std::string storedText(const std::string& value) const {
    std::ifstream file(settingsFolder() / value, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    return text.empty() ? text : text.substr(0, text.find('\0'));
  }
  core::EditorRect rect() {
    core::EditorRect* r = nullptr;
    EXPECT_TRUE(editor->getRect(&r));
    return *r;
  }
  VSTGUI::CFrame* frame() const { return editor->getFrame(); }
  // The mouse rests at `where` (no button), then the throttled idle pass runs.
  void hover(CPoint where, VSTGUI::CButtonState buttons = {}) {
    frame()->platformOnMouseMoved(where, buttons);
    editor->idleNow();
  }
  void press(CPoint where, VSTGUI::CButtonState buttons = VSTGUI::CButtonState(VSTGUI::kLButton)) {
    frame()->platformOnMouseDown(where, buttons);
  }
  void release(CPoint where, VSTGUI::CButtonState buttons = VSTGUI::CButtonState(VSTGUI::kLButton)) {
    frame()->platformOnMouseUp(where, buttons);
  }
  std::string helpLine(int line) const { return editor->helpBox()->getLine(line); }
  bool edited() { return plugin->presetStatus().edited; }

  fs::path root;
  RecordingHost host;
  std::unique_ptr<skarvel::SkarvelPluginFactory> factory;
  skarvel::SkarvelPlugin* plugin = nullptr;
  skarvel::myEditor* editor = nullptr;
};

TEST(EditorSizeTest, StoredIndicesMapToTheSixScales) {
  const struct {
    float stored;
    int index;
    double scale;
  } cases[] = {{0, 0, 0.89f}, {1, 1, 1.0},   {2, 2, 1.22f},   {3, 3, 1.4f},      {4, 4, 1.7f},
               {5, 5, 1.98f}, {5.7f, 5, 1.98f}, {6, 1, 1.0},   {7, 1, 1.0},      {9, 1, 1.0},
               {-3, 1, 1.0},  {NAN, 1, 1.0},    {INFINITY, 1, 1.0}, {1e30f, 1, 1.0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stored);
    const skarvel::EditorSize size = skarvel::editorSizeForIndex(c.stored);
    EXPECT_EQ(size.index, c.index);
    EXPECT_EQ(size.scale, c.scale) << "single-precision scales widened to double";
    EXPECT_EQ(size.width, c.scale * 862);
    EXPECT_EQ(size.height, c.scale * 419);
  }
}

TEST_F(EditorFrameTest, TheRectangleFollowsTheStoredSizeBeforeTheWindowOpens) {
  EXPECT_EQ(rect().right, 862) << "no stored size";
  EXPECT_EQ(rect().bottom, 419);
  storeSize(5.7f);
  EXPECT_EQ(rect().right, 1706);
  EXPECT_EQ(rect().bottom, 829);
  storeSize(9);
  EXPECT_EQ(rect().right, 862);
  storeSize(0);
  ASSERT_TRUE(editor->openOffscreen());
  EXPECT_EQ(rect().right, 767);
  EXPECT_EQ(rect().bottom, 372);
  EXPECT_EQ(frame()->getViewSize(), CRect(0, 0, 767, 372));
}

TEST_F(EditorFrameTest, EveryParameterHasItsControlAtItsPlaceInCreationOrder) {
  ASSERT_TRUE(editor->openOffscreen());
  const auto& children = frame()->getChildren();
  ASSERT_GE(children.size(), 36u);
  for (std::size_t i = 0; i < 36; ++i) {
    const int id = skarvel::creationOrder()[i];
    SCOPED_TRACE(id);
    VSTGUI::CControl* control = editor->control(id);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(children[i], control) << "created in the order of the table";
    EXPECT_EQ(control->getTag(), id);
    const auto& placement = skarvel::controlTable()[static_cast<std::size_t>(id)];
    CRect expected = placement.rect;
    if (id == 29) expected.extend(1, 1);  // the output gain knob at the normal size
    EXPECT_EQ(control->getViewSize(), expected);
    switch (placement.kind) {
      case skarvel::ControlKind::kKnobUnipolar:
      case skarvel::ControlKind::kKnobBipolar: {
        auto* knob = dynamic_cast<skarvel::CKnobFlatOrvik*>(control);
        ASSERT_NE(knob, nullptr);
        EXPECT_EQ(knob->getPositions(), placement.kind == skarvel::ControlKind::kKnobUnipolar ? 1 : -1);
        break;
      }
      case skarvel::ControlKind::kSwitch:
        EXPECT_NE(dynamic_cast<skarvel::CSimpleOnOff*>(control), nullptr);
        break;
      case skarvel::ControlKind::kNanoSlider:
        EXPECT_NE(dynamic_cast<skarvel::CSliderNano*>(control), nullptr);
        break;
      case skarvel::ControlKind::kFlatSlider:
        EXPECT_NE(dynamic_cast<skarvel::CSliderFlat*>(control), nullptr);
        break;
      case skarvel::ControlKind::kMultiSwitch: {
        auto* multi = dynamic_cast<skarvel::CMultiSwitch*>(control);
        ASSERT_NE(multi, nullptr);
        EXPECT_EQ(multi->getPositions(), 2);
        EXPECT_EQ(multi->getItemText(0), "ADSR");
        EXPECT_EQ(multi->getItemText(1), "gate");
        break;
      }
    }
  }
  EXPECT_FLOAT_EQ(editor->control(29)->getDefaultValue(), 0.27027026f);
  EXPECT_FLOAT_EQ(editor->control(18)->getDefaultValue(), 1.0f);
  EXPECT_EQ(editor->envelopeDisplay()->getViewSize(), skarvel::baseRect(530, 327, 311, 83));
  EXPECT_EQ(editor->helpBox()->getViewSize(), skarvel::baseRect(526, 327, 319, 83));
  EXPECT_EQ(editor->peakMeters()->getViewSize(), skarvel::baseRect(795, 74, 20, 86));
  EXPECT_EQ(editor->oscilloscope()->getViewSize(), skarvel::baseRect(530, 73, 201, 86));
  EXPECT_EQ(editor->oscilloscope()->getTag(), 19002);
}

TEST_F(EditorFrameTest, KnobsAreEnlargedOnlyWhereTheirWidthCallsForIt) {
  storeSize(2);
  ASSERT_TRUE(editor->openOffscreen());
  const double sx = 1051 / 862.0;
  EXPECT_NEAR(editor->control(29)->getViewSize().getWidth(), 52 * sx, 1e-9) << "not enlarged at 1.22";
  editor->guiSizeSelected(1);
  EXPECT_EQ(editor->control(29)->getViewSize(), CRect(779, 188, 833, 242)) << "enlarged at 1.0";
  editor->guiSizeSelected(2);
  EXPECT_NEAR(editor->control(29)->getViewSize().getWidth(), 52 * sx, 1e-9) << "and not again after resizing";
}

TEST_F(EditorFrameTest, OpeningShowsTheCurrentValuesInControlsEnvelopeAndLabels) {
  plugin->setParameterFromHost(14, 0.5f);
  plugin->setParameterFromHost(17, 0.25f);
  plugin->setParameterFromHost(34, 1.0f);
  plugin->deliverUpdates();
  ASSERT_TRUE(editor->openOffscreen());
  for (int id = 0; id < 36; ++id) EXPECT_EQ(editor->control(id)->getValue(), plugin->parameterValue(id)) << id;
  const auto& envelope = editor->envelopeDisplay()->envelope();
  EXPECT_FLOAT_EQ(envelope.attack(), 2.0f * 0.5f * 0.5f + 0.001f + 0.05f);
  EXPECT_FLOAT_EQ(envelope.release(), 2.0f * 0.25f * 0.25f);
  EXPECT_FALSE(editor->keytrackLabel()->isOff()) << "BPMelody on";
  EXPECT_FALSE(editor->adsrTargetLabel()->isOff());
  auto* knob = dynamic_cast<skarvel::CKnobFlatOrvik*>(editor->control(3));
  char text[128] = {};
  plugin->getParameterDisplayText(3, text, sizeof(text));
  EXPECT_EQ(knob->getValueText(), text) << "knobs show the parameter's display text";
  EXPECT_TRUE(fs::is_empty(root / "config") || !fs::exists(settingsFolder() / "skin"))
      << "opening writes no settings";
}

TEST_F(EditorFrameTest, AUserChangeReachesHostAndSoundOnceAndMarksThePresetEdited) {
  ASSERT_TRUE(editor->openOffscreen());
  VSTGUI::CControl* level = editor->control(3);
  level->beginEdit();
  level->setValue(0.123f);
  level->valueChanged();
  level->endEdit();
  ASSERT_EQ(host.automations.size(), 1u);
  EXPECT_EQ(host.automations[0], std::make_pair(3, 0.123f));
  EXPECT_EQ(host.gestures, (std::vector<std::string>{"begin 3", "end 3"}));
  EXPECT_EQ(factory->engine().getParameter(3), 0.123f);
  EXPECT_TRUE(edited());

  // Gestures on the toolbar's controls never reach the host as parameter edits.
  editor->beginEdit(19001);
  editor->endEdit(19001);
  EXPECT_EQ(host.gestures.size(), 2u);
}

TEST_F(EditorFrameTest, HostChangesMoveControlsWithoutMarkingThePresetEdited) {
  ASSERT_TRUE(editor->openOffscreen());
  plugin->setParameterFromHost(16, 0.75f);
  plugin->setParameterFromHost(34, 0.5f);
  plugin->deliverUpdates();
  EXPECT_EQ(editor->control(16)->getValue(), 0.75f);
  EXPECT_FLOAT_EQ(editor->envelopeDisplay()->envelope().sustain(), 0.999f * 0.75f + 0.001f + 0.001f);
  EXPECT_FALSE(editor->keytrackLabel()->isOff()) << "0.5 switches the labels to the band-pass texts";
  EXPECT_STREQ(editor->adsrTargetLabel()->text(), "BP pitch");
  plugin->setParameterFromHost(34, 0.49f);
  plugin->deliverUpdates();
  EXPECT_TRUE(editor->keytrackLabel()->isOff());
  EXPECT_STREQ(editor->adsrTargetLabel()->text(), "LP-HP");
  EXPECT_TRUE(host.automations.empty());

  // Ids beyond the table, and changes while the window is closed, are ignored.
  editor->setParameterFromHost(36, 1.0f);
  editor->setParameterFromHost(-1, 1.0f);
  editor->close();
  editor->setParameterFromHost(3, 1.0f);
  EXPECT_EQ(editor->control(3), nullptr);
}

TEST_F(EditorFrameTest, TheHelpBoxExplainsWhatIsUnderTheMouse) {
  ASSERT_TRUE(editor->openOffscreen());
  auto centre = [](const CRect& r) { return r.getCenter(); };
  hover(centre(skarvel::controlTable()[0].rect));
  EXPECT_EQ(helpLine(0), "Adjusts noise rate in Hertz");
  EXPECT_EQ(helpLine(1), "and the resonator frequency.");
  EXPECT_TRUE(editor->helpBox()->isVisible());
  EXPECT_FALSE(editor->envelopeDisplay()->isVisible());

  hover(centre(skarvel::controlTable()[21].rect));
  EXPECT_EQ(helpLine(2), "to osc1 filters balance, when BPmelody is off.");
  EXPECT_EQ(helpLine(4), "when BPmelody is on. ");

  // A held button freezes the text.
  hover(centre(skarvel::controlTable()[9].rect), VSTGUI::CButtonState(VSTGUI::kLButton));
  EXPECT_EQ(helpLine(0), "Adjusts the amount of");

  hover(centre(editor->peakMeters()->getViewSize()));
  EXPECT_EQ(helpLine(0), "Click on bars");
  EXPECT_EQ(helpLine(1), "to reset the peak indicators.");
  hover(CPoint(540, 90));
  EXPECT_EQ(helpLine(1), "horizontally using the small slider in the middle.");
  hover(centre(editor->appearanceRegion()));
  EXPECT_EQ(helpLine(0), "Click here to select the appearance,");
  EXPECT_EQ(helpLine(1), "colour schemes.");
  hover(centre(editor->manualIconRegion()));
  EXPECT_EQ(helpLine(0), "Click here to open the HTML manual in your browser.");
  hover(centre(editor->toolBar().sizeControl()->getViewSize()));
  EXPECT_EQ(helpLine(0), "Changes the size of the GUI.");
  EXPECT_EQ(helpLine(2), "and reopen the GUI after that.");
  hover(centre(editor->toolBar().optionsMenu()->getViewSize()));
  EXPECT_EQ(helpLine(0), "Find here various options:");
  hover(centre(editor->toolBar().presetMenu()->getViewSize()));
  EXPECT_EQ(helpLine(0), "Selects a preset of the chosen bank.") << "the preset menu explains itself";
  hover(centre(editor->toolBar().bankMenu()->getViewSize()));
  EXPECT_EQ(helpLine(0), "Selects the bank: a list of factory or user presets.");
  hover(centre(editor->toolBar().compareLabel()->getViewSize()));
  EXPECT_EQ(helpLine(0), "Use Shift + Click") << "other controls with negative tags show the general text";
  EXPECT_EQ(helpLine(4), "Adjusting box sliders diagonally increases speed.");

  // Over the envelope's area the drawing replaces the help box.
  hover(centre(editor->envelopeDisplay()->getViewSize()));
  EXPECT_TRUE(editor->envelopeDisplay()->isVisible());
  EXPECT_FALSE(editor->helpBox()->isVisible());
  hover(CPoint(600, 375));
  EXPECT_TRUE(editor->envelopeDisplay()->isVisible()) << "anywhere in its area";
  hover(CPoint(520, 380));  // the bare panel between the envelope panel and the help box
  EXPECT_FALSE(editor->envelopeDisplay()->isVisible()) << "leaving the area hides it again";
  EXPECT_TRUE(editor->helpBox()->isVisible());
  EXPECT_EQ(helpLine(0), "Use Shift + Click");
  hover(centre(editor->envelopeDisplay()->getViewSize()));
  hover(centre(skarvel::controlTable()[13].rect));
  EXPECT_FALSE(editor->envelopeDisplay()->isVisible());
  EXPECT_TRUE(editor->helpBox()->isVisible());
  EXPECT_EQ(helpLine(0), "Mixes the comb filtered signal with the dry signal");
}

TEST_F(EditorFrameTest, EveryParameterHasItsHelpText) {
  const std::pair<int, const char*> firstLines[] = {
      {1, "Adjusts balance between"}, {4, "Reduces the high frequencies of both "},
      {5, "Adjusts modulator rate in Hertz"}, {9, "Adjusts the resonance gain."},
      {12, "Adjusts the amount of"}, {19, "Selects if the ADSR is used"}, {28, "Turns on the Chorusing Reverb."},
      {31, "Adjusts the amount of"}, {34, "Activates a bandpass filter"},
      {35, "Selects the way osc1 rate is applied to"}, {3, " "}, {23, ""}, {29, ""}};
  for (const auto& [id, line] : firstLines) EXPECT_EQ(skarvel::parameterHelp(id)[0], line) << id;
  EXPECT_EQ(skarvel::parameterHelp(31)[3], "Adjusts the bandpass width when BPmelody is on.");
  EXPECT_EQ(skarvel::parameterHelp(12)[3], "Modulates the comb filter.");
  EXPECT_EQ(skarvel::parameterHelp(36)[0], "Use Shift + Click");
}

TEST_F(EditorFrameTest, ThePressedManualIconOpensTheManualOncePerPress) {
  // A stand-in for the desktop's opener records what it is asked to open.
  const fs::path bin = root / "bin";
  fs::create_directories(bin);
  const fs::path log = root / "opened.txt";
  std::ofstream(bin / "xdg-open") << "#!/bin/sh\necho \"$1\" >> '" << log.string() << "'\n";
  fs::permissions(bin / "xdg-open", fs::perms::owner_all);
  const std::string path = std::getenv("PATH");
  ::setenv("PATH", (bin.string() + ":" + path).c_str(), 1);

  ASSERT_TRUE(editor->openOffscreen());
  const CPoint icon = editor->manualIconRegion().getCenter();
  // The press itself opens the manual, before any idle pass: a click however short counts.
  press(icon);
  EXPECT_EQ(editor->manualOpenCount(), 1);
  for (int pass = 0; pass < 5; ++pass) hover(icon, VSTGUI::CButtonState(VSTGUI::kLButton));
  release(icon);
  EXPECT_EQ(editor->manualOpenCount(), 1) << "holding the button does not open it again";
  press(icon);
  release(icon);
  EXPECT_EQ(editor->manualOpenCount(), 2);
  press(icon, VSTGUI::CButtonState(VSTGUI::kLButton | VSTGUI::kDoubleClick));
  release(icon);
  EXPECT_EQ(editor->manualOpenCount(), 2) << "the second press of a double click opens nothing more";
  press(icon, VSTGUI::CButtonState(VSTGUI::kRButton));
  release(icon);
  press(CPoint(300, 300));
  release(CPoint(300, 300));
  EXPECT_EQ(editor->manualOpenCount(), 2);
  ::setenv("PATH", path.c_str(), 1);

  // The opener runs in the background: wait for both requests to arrive.
  std::vector<std::string> opened;
  for (int wait = 0; wait < 300 && opened.size() < 2; ++wait) {
    usleep(10000);
    opened.clear();
    std::ifstream file(log);
    for (std::string line; std::getline(file, line);) opened.push_back(line);
  }
  ASSERT_EQ(opened.size(), 2u);
  EXPECT_EQ(opened[0], platform::dataFilePath("Skarvel.html")) << "the manual beside the plug-in, by its full path";
}

TEST_F(EditorFrameTest, ResizingRescalesEveryViewAndStoresTheIndex) {
  ASSERT_TRUE(editor->openOffscreen());
  const CRect helpBefore = editor->helpBox()->getViewSize();
  editor->guiSizeSelected(4);
  ASSERT_EQ(host.resizes.size(), 1u);
  EXPECT_EQ(host.resizes[0], std::make_pair(1465, 712));
  EXPECT_EQ(frame()->getViewSize(), CRect(0, 0, 1465, 712));
  EXPECT_EQ(rect().right, 1465);
  const double sx = 1465 / 862.0, sy = 712 / 419.0;
  EXPECT_NEAR(editor->control(0)->getViewSize().left, 91 * sx, 1e-6);
  EXPECT_NEAR(editor->control(0)->getViewSize().bottom, 133 * sy, 1e-6);
  EXPECT_NEAR(editor->helpBox()->getViewSize().right, helpBefore.right * sx, 1e-6);
  EXPECT_NEAR(editor->helpBox()->getMouseableArea().top, helpBefore.top * sy, 1e-6);
  EXPECT_NEAR(editor->toolBar().sizeControl()->getViewSize().right, 1465 - 2 * sx, 1e-6);
  float stored = 0;
  std::ifstream(settingsFolder() / "skin", std::ios::binary).read(reinterpret_cast<char*>(&stored), 4);
  EXPECT_EQ(stored, 4.0f);

  // A host that refuses keeps the window; the choice is stored for the next opening.
  host.acceptResize = false;
  editor->guiSizeSelected(0);
  EXPECT_EQ(frame()->getViewSize(), CRect(0, 0, 1465, 712));
  EXPECT_NEAR(editor->control(0)->getViewSize().left, 91 * sx, 1e-6);
  editor->close();
  EXPECT_EQ(rect().right, 767);
}

TEST_F(EditorFrameTest, ChoosingAThemeRecoloursAndIsRememberedButOpeningWritesNothing) {
  storeText("appearanceName", "A theme that is gone");
  ASSERT_TRUE(editor->openOffscreen());
  auto& themes = editor->appearanceManager();
  ASSERT_GE(themes.count(), 2u);
  EXPECT_EQ(themes.currentPosition(), 0u) << "a missing theme falls back to the first";
  EXPECT_EQ(storedText("appearanceName"), "A theme that is gone") << "the fallback does not overwrite the choice";

  editor->appearanceSelected(1);
  EXPECT_EQ(storedText("appearanceName"), themes.themeName(1));
  const auto colours = themes.colourTable();
  const auto& tooltip = colours[appearance::kTooltipFont];
  EXPECT_EQ(editor->helpBox()->getFontColor(), VSTGUI::CColor(tooltip.red, tooltip.green, tooltip.blue, 255));
  const auto& label = colours[appearance::kLabelFont];
  EXPECT_EQ(editor->keytrackLabel()->getTextColour(), VSTGUI::CColor(label.red, label.green, label.blue, 255));
  const auto& active = colours[appearance::kControlActive];
  EXPECT_EQ(editor->colourGroups().c.controlActive, VSTGUI::CColor(active.red, active.green, active.blue, 255));
  EXPECT_EQ(editor->colourGroups().c.rimDivisor, 19.0);

  // Reopened, the remembered theme comes back.
  editor->close();
  ASSERT_TRUE(editor->openOffscreen());
  EXPECT_EQ(themes.currentPosition(), 1u);
}

TEST_F(EditorFrameTest, ProgramChangesReachTheToolbarWhileOpen) {
  ASSERT_TRUE(editor->openOffscreen());
  auto* presetMenu = editor->toolBar().presetMenu();
  ASSERT_NE(presetMenu, nullptr);
  const auto lists = plugin->presetLists();
  ASSERT_FALSE(lists.empty());
  if (lists[0].programNames.size() < 2) GTEST_SKIP() << "the first list needs two presets";
  plugin->programChange(1);
  plugin->deliverUpdates();
  EXPECT_EQ(presetMenu->getCurrentIndex(true), 1);
}

}  // namespace

namespace {
TEST_F(EditorFrameTest, ReopeningOffscreenKeepsNothing) {
  for (int round = 0; round < 20; ++round) {
    ASSERT_TRUE(editor->openOffscreen());
    editor->idleNow();
    frame()->idle();
    editor->close();
  }
}
}  // namespace

namespace {
TEST_F(EditorFrameTest, MetersAndScopeTakeWhatTheEngineLatched) {
  ASSERT_TRUE(editor->openOffscreen());
  editor->idleNow();
  EXPECT_FLOAT_EQ(editor->oscilloscope()->trace().sample(0), -1.0f) << "the ramp stays until the engine plays";
  EXPECT_FLOAT_EQ(editor->oscilloscope()->trace().sample(4095), 1.0f);

  core::ScopePeakExchange& feed = plugin->scopeFeed();
  for (int i = 0; i < 1100; ++i) feed.feed(i == 500 ? 0.75f : 0.25f, i == 600 ? 0.5f : 0.125f);
  ASSERT_TRUE(feed.peaksReady());
  editor->idleNow();
  EXPECT_FALSE(feed.peaksReady()) << "the editor took the pair and cleared the flag";
  EXPECT_FLOAT_EQ(editor->peakMeters()->meters().peak(0), 0.75f);
  EXPECT_FLOAT_EQ(editor->peakMeters()->meters().peak(1), 0.5f);
  // The ring is shown oldest first: 1100 samples written, so the oldest shown is the silence
  // after them and the newest is the last one written.
  EXPECT_FLOAT_EQ(editor->oscilloscope()->trace().sample(4095), 0.25f);
  EXPECT_FLOAT_EQ(editor->oscilloscope()->trace().sample(0), 0.0f);

  // A pair handed over while the flag is clear is not taken again.
  editor->peakMeters()->setPeaks(0.1f, 0.1f);
  editor->idleNow();
  EXPECT_FLOAT_EQ(editor->peakMeters()->meters().peak(0), 0.1f);
}
}  // namespace

// --- readout, wheel, double click, typed entry, knob drag style, idle cost, fixed windows ----

namespace {

using VSTGUI::CButtonState;

class EditorGestureTest : public EditorFrameTest {
 protected:
  void SetUp() override {
    EditorFrameTest::SetUp();
    ASSERT_TRUE(editor->openOffscreen());
  }
  CPoint centreOf(int id) const { return editor->control(id)->getViewSize().getCenter(); }
  void key(uint8_t virt, int32_t character = 0) {
    VSTGUI::VstKeyCode code;
    code.virt = virt;
    code.character = character;
    frame()->platformOnKeyDown(code);
  }
  void type(const std::string& text) {
    for (char c : text) key(0, c);
  }
  // What the host heard since the last call: gestures and automation, in order, for one id.
  std::vector<std::string> heard(int id) {
    std::vector<std::string> events;
    for (const std::string& g : host.gestures)
      if (g == "begin " + std::to_string(id) || g == "end " + std::to_string(id)) events.push_back(g);
    return events;
  }
  std::string readoutText() const { return editor->readout()->isVisible() ? editor->readout()->text() : ""; }
};

TEST_F(EditorGestureTest, TheReadoutNamesTheControlUnderTheMouseWithValueAndUnit) {
  plugin->setParameterFromHost(0, 0.5f);
  plugin->setParameterFromHost(16, 0.5f);
  plugin->deliverUpdates();
  hover(centreOf(0));
  EXPECT_EQ(readoutText(), "Rate1  474.34 Hz");
  EXPECT_EQ(editor->readoutId(), 0);
  const CRect box = editor->readout()->getViewSize();
  EXPECT_FALSE(box.rectOverlap(editor->control(0)->getViewSize())) << "beside the knob, not over it";
  // The host automates the knob under the mouse: the readout follows.
  plugin->setParameterFromHost(0, 1.0f);
  plugin->deliverUpdates();
  EXPECT_EQ(readoutText(), "Rate1  9000.00 Hz");
  hover(centreOf(16));
  EXPECT_EQ(readoutText(), "Sustain1  50.0 %") << "sliders too";
  hover(centreOf(7));
  EXPECT_EQ(readoutText(), "") << "switches have none";
  hover(CPoint(300, 20));
  EXPECT_EQ(readoutText(), "") << "nor the toolbar";
  hover(centreOf(29));
  EXPECT_NE(readoutText().find(" dB"), std::string::npos);
}

TEST_F(EditorGestureTest, DuringADragTheReadoutStaysWithTheDraggedKnobAndFollowsItsValue) {
  editor->setKnobMode(VSTGUI::kLinearMode);
  plugin->setParameterFromHost(3, 0.2f);
  plugin->deliverUpdates();
  CPoint at = centreOf(3);
  frame()->platformOnMouseDown(at, CButtonState(VSTGUI::kLButton));
  EXPECT_EQ(readoutText(), "Level  20.0 %") << "shown as the gesture begins";
  CPoint away(at.x, at.y - 40);  // 40 pixels up: +0.2, and off the knob
  frame()->platformOnMouseMoved(away, CButtonState(VSTGUI::kLButton));
  editor->idleNow();
  EXPECT_EQ(readoutText(), "Level  40.0 %");
  EXPECT_EQ(editor->readoutId(), 3);
  frame()->platformOnMouseUp(away, CButtonState(VSTGUI::kLButton));
  frame()->platformOnMouseMoved(away, CButtonState());
  editor->idleNow();
  EXPECT_EQ(readoutText(), "") << "released away from the knob: gone";
}

TEST_F(EditorGestureTest, TheReadoutIsLegibleAndInsideTheWindowAtEverySizeAndInEveryTheme) {
  EXPECT_GE(skarvel::contrastRatio(skarvel::CValueReadout::kTextColour, skarvel::CValueReadout::kBoxColour), 7.0);
  EXPECT_GE(skarvel::contrastRatio(skarvel::CValueReadout::kHintColour, skarvel::CValueReadout::kBoxColour), 7.0);
  for (int size = 0; size <= 5; ++size) {
    editor->guiSizeSelected(static_cast<float>(size));
    const CRect window = frame()->getViewSize();
    EXPECT_GE(editor->readout()->fontSize(), 11.0) << size;
    for (int id = 0; id < 36; ++id) {
      if (!skarvel::ParameterReadout::hasReadout(id)) continue;
      SCOPED_TRACE(testing::Message() << "size " << size << ", id " << id);
      hover(centreOf(id));
      ASSERT_EQ(editor->readoutId(), id);
      const CRect box = editor->readout()->getViewSize();
      EXPECT_TRUE(box.left >= 0 && box.top >= 0 && box.right <= window.right && box.bottom <= window.bottom);
      EXPECT_FALSE(box.rectOverlap(editor->control(id)->getViewSize()));
    }
    // The typed-entry field and its caption stay inside the window too, at the edges as well.
    for (int id : {0, 17, 29, 31, 33}) {
      SCOPED_TRACE(testing::Message() << "size " << size << ", field for id " << id);
      ASSERT_TRUE(editor->openValueEntry(id));
      for (const CRect& r : {editor->valueEntry()->getViewSize(), editor->readout()->getViewSize()})
        EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= window.right && r.bottom <= window.bottom);
      EXPECT_GE(editor->valueEntry()->getFont()->getSize(), 11.0);
      editor->cancelValueEntry();
    }
  }
  // Whatever the theme, the box is drawn in its own dark colour over the panel.
  editor->guiSizeSelected(1);
  for (std::size_t theme = 0; theme < editor->appearanceManager().count(); ++theme) {
    editor->appearanceSelected(theme);
    hover(centreOf(12));
    frame()->idle();
    const CRect box = editor->readout()->getViewSize();
    VSTGUI::SharedPointer<VSTGUI::CBitmapPixelAccess> pixels =
        VSTGUI::CBitmapPixelAccess::create(frame()->getBackBuffer()->getBitmap(), false);
    pixels->setPosition(static_cast<uint32_t>(box.left + 2), static_cast<uint32_t>(box.top + 2));
    const VSTGUI::CColor drawn = pixels->getColor();
    EXPECT_EQ(drawn.red, skarvel::CValueReadout::kBoxColour.red) << editor->appearanceManager().themeName(theme);
  }
}

TEST_F(EditorGestureTest, DoubleClickSetsTheTableDefaultWhileCtrlClickKeepsTheControlsOwn) {
  plugin->setParameterFromHost(29, 0.9f);
  plugin->deliverUpdates();
  host.gestures.clear();
  host.automations.clear();
  CPoint at = centreOf(29);
  frame()->platformOnMouseDown(at, CButtonState(VSTGUI::kLButton | VSTGUI::kDoubleClick));
  frame()->platformOnMouseUp(at, CButtonState(VSTGUI::kLButton));
  EXPECT_FLOAT_EQ(plugin->parameterValue(29), 0.5f) << "Gain_out's default in the parameter table";
  EXPECT_EQ(heard(29), (std::vector<std::string>{"begin 29", "end 29"}));
  ASSERT_EQ(host.automations.size(), 1u);
  EXPECT_EQ(host.automations[0], std::make_pair(29, 0.5f));
  frame()->platformOnMouseDown(at, CButtonState(VSTGUI::kLButton | VSTGUI::kControl));
  EXPECT_FLOAT_EQ(plugin->parameterValue(29), 0.27027026f) << "Ctrl+click: the editor's own default";
  // Velosens, a slider: the table says 0.731, Ctrl+click 1.0.
  at = centreOf(18);
  frame()->platformOnMouseDown(at, CButtonState(VSTGUI::kLButton | VSTGUI::kDoubleClick));
  frame()->platformOnMouseUp(at, CButtonState(VSTGUI::kLButton));
  EXPECT_FLOAT_EQ(plugin->parameterValue(18), 0.731f);
}

TEST_F(EditorGestureTest, ATypedValueIsAppliedThroughTheInverseMappingAsOneGesture) {
  CPoint at = centreOf(0);
  frame()->platformOnMouseDown(at, CButtonState(VSTGUI::kRButton));
  ASSERT_NE(editor->valueEntry(), nullptr) << "a right click opens the field";
  EXPECT_EQ(editor->valueEntryId(), 0);
  EXPECT_EQ(frame()->getFocusView(), editor->valueEntry());
  EXPECT_EQ(readoutText(), "Rate1 in Hz: Return applies, Esc cancels");
  host.gestures.clear();
  host.automations.clear();
  type("1.5k");
  key(VSTGUI::VKEY_RETURN);
  EXPECT_EQ(editor->valueEntry(), nullptr);
  EXPECT_NEAR(plugin->parameterValue(0), std::log(60.0) / std::log(360.0), 1e-6);
  EXPECT_EQ(heard(0), (std::vector<std::string>{"begin 0", "end 0"}));
  ASSERT_EQ(host.automations.size(), 1u);
  char text[128] = {};
  plugin->getParameterDisplayText(0, text, sizeof text);
  EXPECT_STREQ(text, "1500.00");
  editor->idle();  // the closed field leaves the frame
  EXPECT_EQ(frame()->getFocusView(), nullptr);
}

TEST_F(EditorGestureTest, TextThatIsNoNumberIsRefusedWithAHintAndEscapeChangesNothing) {
  const float before = plugin->parameterValue(17);
  CPoint at = centreOf(17);
  frame()->platformOnMouseDown(at, CButtonState(VSTGUI::kRButton));
  ASSERT_NE(editor->valueEntry(), nullptr);
  type("soon");
  key(VSTGUI::VKEY_RETURN);
  ASSERT_NE(editor->valueEntry(), nullptr) << "the field stays open";
  EXPECT_TRUE(editor->readout()->isHint());
  EXPECT_EQ(readoutText().rfind("Type a number, like ", 0), 0u) << readoutText();
  EXPECT_NE(readoutText().find(" s"), std::string::npos) << "in the parameter's unit";
  key(VSTGUI::VKEY_ESCAPE);
  EXPECT_EQ(editor->valueEntry(), nullptr);
  EXPECT_EQ(plugin->parameterValue(17), before);
  EXPECT_TRUE(host.automations.empty());

  // Out of range: clamped to the end of the range.
  frame()->platformOnMouseDown(at, CButtonState(VSTGUI::kRButton));
  type("500");
  key(VSTGUI::VKEY_RETURN);
  EXPECT_EQ(plugin->parameterValue(17), 1.0f);
  // A click elsewhere cancels a field left open.
  frame()->platformOnMouseDown(at, CButtonState(VSTGUI::kRButton));
  type("0");
  CPoint elsewhere(600, 250);
  frame()->platformOnMouseDown(elsewhere, CButtonState(VSTGUI::kLButton));
  frame()->platformOnMouseUp(elsewhere, CButtonState(VSTGUI::kLButton));
  EXPECT_EQ(editor->valueEntry(), nullptr);
  EXPECT_EQ(plugin->parameterValue(17), 1.0f);
  // No field for a switch.
  EXPECT_FALSE(editor->openValueEntry(7));
}

TEST_F(EditorGestureTest, TheWheelOverAKnobStepsItAsOneGesturePerNotch) {
  plugin->setParameterFromHost(3, 0.5f);
  plugin->deliverUpdates();
  host.gestures.clear();
  const CPoint at = centreOf(3);
  EXPECT_TRUE(frame()->platformOnMouseWheel(at, VSTGUI::kMouseWheelAxisY, 1.0f, CButtonState()));
  EXPECT_NEAR(plugin->parameterValue(3), 0.52f, 1e-6);
  EXPECT_TRUE(frame()->platformOnMouseWheel(at, VSTGUI::kMouseWheelAxisY, -1.0f, CButtonState(VSTGUI::kShift)));
  EXPECT_NEAR(plugin->parameterValue(3), 0.518f, 1e-6);
  EXPECT_EQ(heard(3), (std::vector<std::string>{"begin 3", "end 3", "begin 3", "end 3"}));
  EXPECT_TRUE(edited());
  // Over a slider too.
  const float sustain = plugin->parameterValue(16);
  frame()->platformOnMouseWheel(centreOf(16), VSTGUI::kMouseWheelAxisY, 1.0f, CButtonState());
  EXPECT_NEAR(plugin->parameterValue(16), std::min(1.0f, sustain + 0.02f), 1e-6);
}

TEST_F(EditorGestureTest, VerticalKnobDraggingIsRememberedAndTheHostsKnobModeWins) {
  EXPECT_EQ(frame()->getKnobMode(), VSTGUI::kCircularMode) << "circular unless someone chooses";
  editor->verticalKnobDragSelected(true);
  EXPECT_EQ(frame()->getKnobMode(), VSTGUI::kLinearMode);
  EXPECT_EQ(storedText("knobDrag"), "vertical");
  editor->close();
  ASSERT_TRUE(editor->openOffscreen());
  EXPECT_TRUE(editor->verticalKnobDrag()) << "remembered like size and theme";
  EXPECT_EQ(frame()->getKnobMode(), VSTGUI::kLinearMode);
  editor->setKnobMode(VSTGUI::kCircularMode);
  EXPECT_EQ(frame()->getKnobMode(), VSTGUI::kCircularMode) << "a host's request wins";
  // Dragged straight up the knob follows the mouse vertically, not round its dial.
  editor->setKnobMode(-1);
  EXPECT_EQ(frame()->getKnobMode(), VSTGUI::kLinearMode);
  editor->verticalKnobDragSelected(false);
  EXPECT_EQ(storedText("knobDrag"), "circular");
}

TEST_F(EditorGestureTest, WhileNothingChangesTheIdlePassRedrawsNothing) {
  hover(centreOf(0));
  frame()->idle();
  for (int pass = 0; pass < 5; ++pass) {
    editor->idleNow();
    EXPECT_FALSE(editor->helpBox()->isDirty()) << pass;
    EXPECT_TRUE(frame()->getInvalidArea().isEmpty()) << pass;
    frame()->idle();
  }
  // A new text is drawn once.
  hover(centreOf(5));
  EXPECT_TRUE(editor->helpBox()->isDirty());
}

}  // namespace

namespace {
TEST_F(EditorFrameTest, AHostThatCannotResizeNeverGetsALargerFrame) {
  host.canResize = false;
  ASSERT_TRUE(editor->openOffscreen());
  editor->guiSizeSelected(5);
  EXPECT_EQ(frame()->getViewSize(), CRect(0, 0, 862, 419)) << "not beyond the host's window";
  EXPECT_NE(dynamic_cast<skarvel::cTimedResponse*>(frame()->getModalView()), nullptr) << "and it says why";
  EXPECT_EQ(editor->toolBar().sizeControl()->getValue(), 1.0f) << "the size control steps on from the real size";
  frame()->setModalView(nullptr);
  editor->guiSizeSelected(0);
  EXPECT_EQ(frame()->getViewSize(), CRect(0, 0, 767, 372)) << "smaller fits inside";
  const CRect sizeControl = editor->toolBar().sizeControl()->getViewSize();
  EXPECT_LE(sizeControl.right, 767) << "the size control stays within reach";
  editor->guiSizeSelected(1);
  EXPECT_EQ(frame()->getViewSize(), CRect(0, 0, 862, 419)) << "back up to the window's own size";
  editor->guiSizeSelected(2);
  EXPECT_EQ(frame()->getViewSize(), CRect(0, 0, 862, 419));
  EXPECT_TRUE(host.resizes.empty());
}
}  // namespace

namespace {
// The labels of the ADSR2 column ("level", "rate", "LP-HP", "AM") share one centre line.
TEST_F(EditorFrameTest, TheAdsr2LabelsShareOneCentre) {
  storeText("appearanceName", "Default");
  ASSERT_TRUE(editor->openOffscreen());
  frame()->idle();
  VSTGUI::SharedPointer<VSTGUI::CBitmapPixelAccess> pixels =
      VSTGUI::CBitmapPixelAccess::create(frame()->getBackBuffer()->getBitmap(), false);
  const auto& label = editor->themeColours()[appearance::kLabelFont];
  // The middle of the label-coloured pixels in a row band, left of the controls.
  auto centre = [&](int top) {
    int left = 10000, right = -1;
    for (int y = top; y < top + 14; ++y)
      for (int x = 380; x < 429; ++x) {
        pixels->setPosition(static_cast<uint32_t>(x), static_cast<uint32_t>(y));
        const VSTGUI::CColor c = pixels->getColor();
        if (std::abs(c.red - label.red) < 40 && std::abs(c.green - label.green) < 40 && std::abs(c.blue - label.blue) < 40) {
          left = std::min(left, x);
          right = std::max(right, x);
        }
      }
    EXPECT_GE(right, left) << "a label in the band at " << top;
    return (left + right) / 2.0;
  };
  const double rate = centre(300);
  EXPECT_NEAR(centre(268), rate, 2.5) << "level";
  EXPECT_NEAR(centre(382), rate, 2.5) << "AM";
}
}  // namespace
