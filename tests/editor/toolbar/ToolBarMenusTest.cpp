// The toolbar's menus, steppers, compare label, size control and appearance menu, on a real
// plug-in core and real preset and theme files.

#include "ToolBarTestSupport.h"

#include "Frameworks/Gui/CBaseObject.h"
#include "source/editor/CDireDeridZoom.h"
#include "source/editor/CKickPreviousNext.h"
#include "source/editor/CSimpleLabel.h"

namespace toolbar_test {
namespace {

using skarvel::ToolBar;
using Strings = std::vector<std::string>;

const std::string kFactory = presets::kFactoryPresetsList;

TEST_F(ToolBarFixture, OptionsMenuListsItsItemsInOrderWithTheirTags) {
  open();
  VSTGUI::COptionMenu* options = toolbar->optionsMenu();
  EXPECT_EQ(titles(options), (Strings{"www.brenmoor.example", "about and help", "explore user presets",
                                      "explore user appearance themes", "reload appearance themes",
                                      "convert old preset / bank file", "drag knobs vertically"}));
  std::vector<int32_t> tags;
  for (int32_t i = 0; i < options->getNbEntries(); ++i) tags.push_back(options->getEntry(i)->getTag());
  EXPECT_EQ(tags, (std::vector<int32_t>{1, 2, 4, 8, 16, 32, 128})) << "no diagnostic log item while every file loaded";
}

TEST_F(ToolBarFixture, BankAndPresetMenusFollowTheManagersOrder) {
  open();
  EXPECT_EQ(titles(toolbar->bankMenu()), (Strings{kFactory, "Pads"}));
  EXPECT_EQ(titles(toolbar->presetMenu()), (Strings{"Alpha", "Beta", "Gamma"}));
  EXPECT_EQ(toolbar->bankStepper()->getMax(), 1.f);
  EXPECT_EQ(toolbar->presetStepper()->getMax(), 2.f);
  EXPECT_EQ(titles(toolbar->appearanceMenu()).size(), themes->count());
}

TEST_F(ToolBarFixture, MissingPresetFilesEndBothPresetMenusWithADisabledEntryAndOfferTheLog) {
  write("Presets/Factory/Broken.yaml", "---\nPreset: [this is not a preset\n");
  open();
  for (VSTGUI::COptionMenu* menu : {toolbar->bankMenu(), toolbar->presetMenu()}) {
    const Strings entries = titles(menu);
    ASSERT_GE(entries.size(), 2u);
    EXPECT_EQ(entries[entries.size() - 2], "--");
    EXPECT_EQ(entries.back(), "Some preset files are missing");
    EXPECT_FALSE(menu->getEntry(menu->getNbEntries() - 1)->isEnabled());
  }
  EXPECT_EQ(toolbar->presetStepper()->getMax(), 2.f) << "the stepper never reaches the disabled entry";
  EXPECT_EQ(titles(toolbar->optionsMenu())[6], "open diagnostic log");
  EXPECT_EQ(toolbar->optionsMenu()->getEntry(6)->getTag(), ToolBar::kDiagnosticLogItem);
  EXPECT_EQ(titles(toolbar->appearanceMenu()).size(), 2u) << "themes all loaded: no entry there";
}

TEST_F(ToolBarFixture, MissingThemeFilesEndTheAppearanceMenuAndOfferTheLog) {
  write("Appearance/Factory/Broken.yaml", "---\nTheme: {name: [\n");
  open();
  const Strings entries = titles(toolbar->appearanceMenu());
  ASSERT_GE(entries.size(), 3u);
  EXPECT_EQ(entries[entries.size() - 2], "--");
  EXPECT_EQ(entries.back(), "Some appearance files are missing");
  EXPECT_FALSE(toolbar->appearanceMenu()->getEntry(toolbar->appearanceMenu()->getNbEntries() - 1)->isEnabled());
  EXPECT_EQ(titles(toolbar->optionsMenu())[6], "open diagnostic log");
  EXPECT_EQ(titles(toolbar->presetMenu()).back(), "Gamma");
}

TEST_F(ToolBarFixture, ChoosingABankSelectsItsFirstPresetAtOnce) {
  open();
  choose(toolbar->bankMenu(), 1);
  EXPECT_EQ(currentName(), "Glass Pad") << "the bank's lists are sorted by name";
  EXPECT_FLOAT_EQ(level(), 0.7f) << "the preset's values reach the engine";
  EXPECT_EQ(titles(toolbar->presetMenu()), (Strings{"Glass Pad", "Warm Pad"}));
  EXPECT_EQ(toolbar->presetMenu()->getCurrentIndex(), 0);
  EXPECT_EQ(toolbar->bankStepper()->getValue(), 1.f);
  EXPECT_EQ(toolbar->presetStepper()->getValue(), 0.f);
}

TEST_F(ToolBarFixture, ChoosingAPresetSendsItsValues) {
  open();
  choose(toolbar->presetMenu(), 2);
  EXPECT_EQ(currentName(), "Gamma");
  EXPECT_FLOAT_EQ(level(), 0.6f);
  EXPECT_EQ(toolbar->presetStepper()->getValue(), 2.f);
}

TEST_F(ToolBarFixture, SteppersWalkThroughPresetsAndBanksAndStopAtTheEnds) {
  open();
  skarvel::CKickPreviousNext* presetsStepper = toolbar->presetStepper();
  const VSTGUI::CPoint next = presetsStepper->getArea(skarvel::CKickPreviousNext::kNextArea).getCenter();
  const VSTGUI::CPoint previous = presetsStepper->getArea(skarvel::CKickPreviousNext::kPreviousArea).getCenter();
  click(next);
  EXPECT_EQ(currentName(), "Beta");
  click(next);
  click(next);
  EXPECT_EQ(currentName(), "Gamma") << "no step beyond the last preset";
  click(previous);
  EXPECT_EQ(currentName(), "Beta");
  EXPECT_EQ(toolbar->presetMenu()->getCurrentIndex(), 1);

  click(toolbar->bankStepper()->getArea(skarvel::CKickPreviousNext::kNextArea).getCenter());
  EXPECT_EQ(currentName(), "Glass Pad") << "a bank step selects the bank's first preset";
  EXPECT_EQ(toolbar->bankMenu()->getCurrentIndex(), 1);
  click(toolbar->bankStepper()->getArea(skarvel::CKickPreviousNext::kPreviousArea).getCenter());
  EXPECT_EQ(currentName(), "Alpha");
}

TEST_F(ToolBarFixture, CompareTogglesBetweenEditedAndStoredValuesAndItsLabels) {
  open();
  EXPECT_EQ(toolbar->compareLabel()->getFontColor(), ToolBar::kUneditedColour);
  plugin->parameterChangedFromEditor(kLevel, 0.9f);
  toolbar->presetEdited();
  EXPECT_EQ(toolbar->compareLabel()->getFontColor(), ToolBar::kEditedColour);
  EXPECT_EQ(toolbar->currentLabel()->getText(), "current");

  clickCentre(toolbar->compareLabel());
  EXPECT_EQ(toolbar->currentLabel()->getText(), "original");
  EXPECT_FLOAT_EQ(level(), 0.2f) << "the stored values reach the engine";
  EXPECT_EQ(toolbar->compareLabel()->getFontColor(), ToolBar::kEditedColour) << "the preset is still edited";

  clickCentre(toolbar->compareLabel());
  EXPECT_EQ(toolbar->currentLabel()->getText(), "current");
  EXPECT_FLOAT_EQ(level(), 0.9f) << "the edits come back";
}

TEST_F(ToolBarFixture, EditedStateFollowsPresetChanges) {
  open();
  plugin->parameterChangedFromEditor(kLevel, 0.9f);
  toolbar->presetEdited();
  choose(toolbar->presetMenu(), 1);
  EXPECT_EQ(toolbar->compareLabel()->getFontColor(), ToolBar::kUneditedColour) << "Beta is not edited";
  choose(toolbar->presetMenu(), 0);
  EXPECT_EQ(toolbar->compareLabel()->getFontColor(), ToolBar::kEditedColour) << "Alpha keeps its edits";
  EXPECT_FLOAT_EQ(level(), 0.9f);
}

TEST_F(ToolBarFixture, ProgramChangeFromTheCoreShowsThatBankAndPreset) {
  open();
  toolbar->programChange(1, 1);
  EXPECT_EQ(toolbar->bankMenu()->getCurrentIndex(), 1);
  EXPECT_EQ(titles(toolbar->presetMenu()), (Strings{"Glass Pad", "Warm Pad"}));
  EXPECT_EQ(toolbar->presetMenu()->getCurrentIndex(), 1);
  EXPECT_EQ(toolbar->presetStepper()->getValue(), 1.f);
}

TEST_F(ToolBarFixture, SizeControlAsksTheEditorForTheNextSize) {
  open();
  toolbar->initialise(5.f, 0);
  skarvel::CDireDeridZoom* zoom = toolbar->sizeControl();
  const VSTGUI::CRect r = zoom->getViewSize();
  click(VSTGUI::CPoint(r.right - r.getWidth() / 4, r.getCenter().y));
  ASSERT_EQ(editor.sizes.size(), 1u);
  EXPECT_EQ(editor.sizes.back(), 6.f) << "6 shows the 1.0 size";
  toolbar->initialise(0.f, 0);
  click(VSTGUI::CPoint(r.left + r.getWidth() / 4, r.getCenter().y));
  EXPECT_EQ(editor.sizes.back(), 0.f) << "no size below the smallest";
}

TEST_F(ToolBarFixture, SizeControlSitsAtTheRightEdgeOfEverySize) {
  open(1206.8, 586.6);
  const VSTGUI::CRect r = toolbar->sizeControl()->getViewSize();
  EXPECT_NEAR(r.left, 1206.8 - 53 * 1.4, 1e-6);
  EXPECT_NEAR(r.getWidth(), 51 * 1.4, 1e-6);
  EXPECT_NEAR(toolbar->bankMenu()->getViewSize().left, 192 * 1.4, 1e-6);
}

TEST_F(ToolBarFixture, AppearanceMenuTellsTheEditorTheChosenTheme) {
  open();
  toolbar->initialise(1.f, 99);
  ASSERT_EQ(editor.appearances.size(), 1u);
  EXPECT_EQ(editor.appearances.back(), 0u) << "an index out of range selects the first theme";
  choose(toolbar->appearanceMenu(), 1);
  EXPECT_EQ(editor.appearances.back(), 1u);
}

TEST_F(ToolBarFixture, ReloadingThemesRefillsTheMenuAndReappliesTheCurrentTheme) {
  open();
  write("Appearance/User/Moss.yaml", themeText("Moss"));
  choose(toolbar->optionsMenu(), 4);  // "reload appearance themes"
  EXPECT_EQ(editor.reloads, 1);
  EXPECT_EQ(titles(toolbar->appearanceMenu()).size(), 3u);
  ASSERT_FALSE(editor.appearances.empty());
  EXPECT_EQ(editor.appearances.back(), themes->currentPosition());
}

TEST_F(ToolBarFixture, ExploreItemsOpenTheUserFolders) {
  open();
  choose(toolbar->optionsMenu(), 2);
  choose(toolbar->optionsMenu(), 3);
  choose(toolbar->optionsMenu(), 0);
  ASSERT_EQ(desktop.openedUrls.size(), 3u);
  EXPECT_EQ(desktop.openedUrls[0], presets().userPresetsFolder());
  EXPECT_EQ(desktop.openedUrls[1], themes->userFolder());
  EXPECT_EQ(desktop.openedUrls[2], ToolBar::kWebSiteUrl);
}

TEST_F(ToolBarFixture, TheVerticalKnobDragItemSwitchesTheSettingAndShowsItsState) {
  open();
  auto item = [&] { return toolbar->optionsMenu()->getEntry(toolbar->optionsMenu()->getNbEntries() - 1); };
  EXPECT_EQ(item()->getTag(), ToolBar::kVerticalKnobDragItem);
  EXPECT_FALSE(item()->isChecked());
  choose(toolbar->optionsMenu(), toolbar->optionsMenu()->getNbEntries() - 1);
  EXPECT_TRUE(editor.vertical);
  EXPECT_TRUE(item()->isChecked()) << "the menu shows the setting";
  choose(toolbar->optionsMenu(), toolbar->optionsMenu()->getNbEntries() - 1);
  EXPECT_FALSE(editor.vertical);
  EXPECT_FALSE(item()->isChecked());
}

TEST_F(ToolBarFixture, TheWheelStepsPresetsButNeverFiresAnOption) {
  open();
  const VSTGUI::CPoint options = toolbar->optionsMenu()->getViewSize().getCenter();
  for (int i = 0; i < 8; ++i) frame->platformOnMouseWheel(options, VSTGUI::kMouseWheelAxisY, -1.f, VSTGUI::CButtonState());
  EXPECT_TRUE(desktop.openedUrls.empty());
  EXPECT_EQ(frame->getModalView(), nullptr);
  EXPECT_TRUE(desktop.selectorConfigs.empty());

  frame->platformOnMouseWheel(toolbar->presetMenu()->getViewSize().getCenter(), VSTGUI::kMouseWheelAxisY, -1.f,
                              VSTGUI::CButtonState());
  EXPECT_EQ(currentName(), "Beta");
}

TEST_F(ToolBarFixture, ClosingAndReopeningTheControlsLeavesNothingBehind) {
  open();
  const int64_t before = VSTGUI::CBaseObject::liveObjectCount();
  const int timersBefore = VSTGUI::CVSTGUITimer::runningTimerCount();
  for (int i = 0; i < 5; ++i) {
    toolbar->closeControls();
    frame->removeAll();
    toolbar->createControls(frame);
    toolbar->showTimedNotice("x");
  }
  toolbar->closeControls();
  frame->removeAll();
  toolbar->createControls(frame);
  EXPECT_EQ(VSTGUI::CBaseObject::liveObjectCount(), before);
  EXPECT_EQ(VSTGUI::CVSTGUITimer::runningTimerCount(), timersBefore) << "a notice taken away stops its timer";
}

}  // namespace
}  // namespace toolbar_test
