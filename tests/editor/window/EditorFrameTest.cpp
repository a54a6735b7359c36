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
  EXPECT_EQ(helpLine(0), "Selects the target.") << "menus with tags below 4";
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
  for (int pass = 0; pass < 5; ++pass) hover(icon, VSTGUI::CButtonState(VSTGUI::kLButton));
  EXPECT_EQ(editor->manualOpenCount(), 1) << "holding the button does not open it again";
  hover(icon);
  hover(icon, VSTGUI::CButtonState(VSTGUI::kLButton));
  EXPECT_EQ(editor->manualOpenCount(), 2);
  hover(CPoint(300, 300), VSTGUI::CButtonState(VSTGUI::kLButton));
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
