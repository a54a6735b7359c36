// Saving from the toolbar: the save button, the save dialog and its questions, the notices.

#include "ToolBarTestSupport.h"

#include "Frameworks/Gui/CTextEdit.h"
#include "source/editor/CSimpleLabel.h"
#include "source/editor/MultiActionDialogButton.h"
#include "source/editor/SaveDialog.h"
#include "source/editor/cMessageDialogue.h"
#include "source/editor/cTimedResponse.h"

namespace toolbar_test {
namespace {

using skarvel::MultiActionDialog;

class SaveDialogTest : public ToolBarFixture {
 protected:
  skarvel::SaveDialog* openDialog() {
    clickCentre(toolbar->saveButton());
    EXPECT_EQ(frame->getModalView(), toolbar->saveDialog()) << "the save button shows the dialog";
    return toolbar->saveDialog();
  }
  // Puts `name` into the field.
  void type(skarvel::SaveDialog* dialog, const std::string& name) { dialog->textField()->setText(name); }
  // Types `name` as a user would: click into the field, select everything, type the keys.
  void typeKeys(skarvel::SaveDialog* dialog, const std::string& name) {
    clickCentre(dialog->textField());
    key(VSTGUI::VKEY_HOME, 0);
    key(VSTGUI::VKEY_END, VSTGUI::MODIFIER_SHIFT);
    for (char c : name) {
      VSTGUI::VstKeyCode code;
      code.character = c;
      frame->platformOnKeyDown(code);
    }
  }
  void key(uint8_t virt, uint8_t modifier) {
    VSTGUI::VstKeyCode code;
    code.virt = virt;
    code.modifier = modifier;
    frame->platformOnKeyDown(code);
  }
  void press(skarvel::SaveDialog* dialog, int32_t tag) { clickCentre(dialog->button(tag)); }
  std::string notice() {
    auto* shown = dynamic_cast<skarvel::cTimedResponse*>(frame->getModalView());
    return shown ? shown->message() : std::string("(no notice)");
  }
  void dismissNotice() {
    if (dynamic_cast<skarvel::cTimedResponse*>(frame->getModalView())) click(VSTGUI::CPoint(5, 5));
  }
  std::vector<std::string> userFiles() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(root / "Presets/User")) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  // Saves the current program as a new user preset named `name` through the dialog.
  void saveAs(const std::string& name) {
    skarvel::SaveDialog* dialog = openDialog();
    type(dialog, name);
    press(dialog, MultiActionDialog::kFirstAction);
    dismissNotice();
  }
};

TEST_F(SaveDialogTest, FactoryPresetProposesAUserEditAndHidesOverwrite) {
  open();
  plugin->parameterChangedFromEditor(kLevel, 0.9f);
  skarvel::SaveDialog* dialog = openDialog();
  EXPECT_EQ(dialog->getPrompt(), "Save edited factory preset as user preset named:");
  EXPECT_EQ(dialog->getName(), "Alpha user edit");
  EXPECT_FALSE(dialog->isSecondButtonVisible());
  press(dialog, MultiActionDialog::kSecondAction);
  EXPECT_EQ(frame->getModalView(), dialog) << "the hidden overwrite button does nothing";
  press(dialog, MultiActionDialog::kCancel);
  EXPECT_EQ(frame->getModalView(), nullptr);
  EXPECT_EQ(toolbar->saveButton()->getValue(), 0.f);
  EXPECT_TRUE(userFiles().empty());
}

TEST_F(SaveDialogTest, NewUserPresetWithATypedNameIsWrittenAndSelected) {
  open();
  plugin->parameterChangedFromEditor(kLevel, 0.9f);
  skarvel::SaveDialog* dialog = openDialog();
  typeKeys(dialog, "My Lead");
  press(dialog, MultiActionDialog::kFirstAction);

  EXPECT_EQ(notice(), "New preset was saved with the name \"My Lead\"");
  EXPECT_EQ(userFiles(), (std::vector<std::string>{"My Lead.yaml"}));
  EXPECT_EQ(currentName(), "My Lead");
  EXPECT_FLOAT_EQ(level(), 0.9f) << "the saved preset sounds as edited";
  EXPECT_EQ(titles(toolbar->bankMenu()).back(), presets::kUserPresetsList);
  EXPECT_EQ(toolbar->bankMenu()->getCurrentIndex(), 2);
  EXPECT_EQ(titles(toolbar->presetMenu()), (std::vector<std::string>{"My Lead"}));
  EXPECT_EQ(toolbar->compareLabel()->getFontColor(), skarvel::ToolBar::kUneditedColour);

  choose(toolbar->bankMenu(), 0);
  EXPECT_EQ(currentName(), "Alpha");
  EXPECT_FLOAT_EQ(level(), 0.2f) << "the factory preset dropped the edits that now live in the copy";
}

TEST_F(SaveDialogTest, ReturnInTheNameFieldSavesAtOnce) {
  open();
  skarvel::SaveDialog* dialog = openDialog();
  EXPECT_EQ(frame->getFocusView(), dialog->textField()) << "the name can be typed at once";
  EXPECT_EQ(dialog->textField()->getSelectionEnd() - dialog->textField()->getSelectionStart(),
            dialog->getName().size()) << "typing replaces the proposal";
  typeKeys(dialog, "Quick");
  ASSERT_TRUE(dialog->textField()->isTextEditing());
  key(VSTGUI::VKEY_RETURN, 0);
  EXPECT_EQ(notice(), "New preset was saved with the name \"Quick\"") << "one Return is enough";
  EXPECT_EQ(userFiles(), (std::vector<std::string>{"Quick.yaml"}));

  // Leaving the field by a click keeps the name but saves nothing yet.
  dismissNotice();
  dialog = openDialog();
  typeKeys(dialog, "Later");
  click(dialog->panelRect().getCenter() + VSTGUI::CPoint(0, -dialog->panelRect().getHeight() * 0.45));
  EXPECT_EQ(frame->getModalView(), dialog);
  EXPECT_EQ(dialog->getName(), "Later");
  EXPECT_EQ(userFiles().size(), 1u);
}

TEST_F(SaveDialogTest, PromptNameAndButtonsShareOneTextSizeThatShrinksTogether) {
  for (double width : {767.0, 862.0, 1706.0}) {
    SCOPED_TRACE(width);
    open(width, width * 419 / 862);
    skarvel::SaveDialog* dialog = openDialog();
    const double size = dialog->textSize();
    EXPECT_GT(size, 0.0);
    EXPECT_LE(size, 16.0 * width / 862 + 1e-9) << "never larger than the dialog's font";
    EXPECT_EQ(dialog->textField()->getFont()->getSize(), size);
    // A long prompt shrinks everything, not only itself.
    dialog->setPrompt("Save edited factory preset as user preset named, with a far longer prompt than usual:");
    EXPECT_LT(dialog->textSize(), size);
    EXPECT_EQ(dialog->textField()->getFont()->getSize(), dialog->textSize());
    tearDownToolBar();
  }
}

TEST_F(SaveDialogTest, UnchangedNameAsksBeforeOverwritingAndNoReturnsToTheDialog) {
  open();
  saveAs("My Lead");
  plugin->parameterChangedFromEditor(kLevel, 0.5f);
  toolbar->presetEdited();

  skarvel::SaveDialog* dialog = openDialog();
  EXPECT_EQ(dialog->getPrompt(), "Save edited user preset as preset named:");
  EXPECT_EQ(dialog->getName(), "My Lead");
  EXPECT_TRUE(dialog->isSecondButtonVisible());
  press(dialog, MultiActionDialog::kFirstAction);
  skarvel::cMessageDialogue* question = dialog->messageDialogue();
  ASSERT_TRUE(question->isVisible());
  EXPECT_EQ(question->message(), "Name hasn't changed, overwrite current preset?");
  EXPECT_EQ(question->actionCaption(), "Overwrite");

  click(question->noRect().getCenter());
  EXPECT_FALSE(question->isVisible());
  EXPECT_EQ(frame->getModalView(), dialog) << "NO goes back to the dialog";
  EXPECT_EQ(userFiles(), (std::vector<std::string>{"My Lead.yaml"}));

  press(dialog, MultiActionDialog::kFirstAction);
  click(question->yesRect().getCenter());
  EXPECT_TRUE(dialog->overwriteFlag());
  EXPECT_EQ(notice(), "Preset \"My Lead\" has been overwritten");
  EXPECT_EQ(userFiles(), (std::vector<std::string>{"My Lead.yaml"}));
  EXPECT_EQ(toolbar->compareLabel()->getFontColor(), skarvel::ToolBar::kUneditedColour);
  std::ifstream file(root / "Presets/User/My Lead.yaml");
  const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("Level: 0.5"), std::string::npos) << text;
}

TEST_F(SaveDialogTest, EscapeClosesTheDialogWithoutSaving) {
  open();
  skarvel::SaveDialog* dialog = openDialog();
  typeKeys(dialog, "Never");
  key(VSTGUI::VKEY_ESCAPE, 0);  // ends the typing
  key(VSTGUI::VKEY_ESCAPE, 0);  // closes the dialog
  EXPECT_EQ(frame->getModalView(), nullptr);
  EXPECT_TRUE(userFiles().empty());
}

TEST_F(SaveDialogTest, OverwriteButtonWritesTheCurrentUserPreset) {
  open();
  saveAs("Pluck");
  plugin->parameterChangedFromEditor(kLevel, 0.25f);
  skarvel::SaveDialog* dialog = openDialog();
  press(dialog, MultiActionDialog::kSecondAction);
  EXPECT_EQ(notice(), "Preset \"Pluck\" has been overwritten");
}

TEST_F(SaveDialogTest, AnExistingUserPresetNameIsRefusedWithItsMessage) {
  open();
  saveAs("A");
  saveAs("B");
  ASSERT_EQ(currentName(), "B");
  skarvel::SaveDialog* dialog = openDialog();
  type(dialog, "A");
  press(dialog, MultiActionDialog::kFirstAction);
  skarvel::cMessageDialogue* message = dialog->messageDialogue();
  ASSERT_TRUE(message->isVisible());
  EXPECT_EQ(message->message(), "Name already used for different user preset. Please choose another name.");
  EXPECT_TRUE(message->actionCaption().empty());
  click(VSTGUI::CPoint(message->getViewSize().left + 4, message->getViewSize().top + 4));
  EXPECT_FALSE(message->isVisible()) << "a click anywhere dismisses a message without action";
  EXPECT_EQ(frame->getModalView(), dialog);
  EXPECT_EQ(userFiles(), (std::vector<std::string>{"A.yaml", "B.yaml"}));
}

TEST_F(SaveDialogTest, AnEmptyNameAsksForOneAndKeepsTheDialogOpen) {
  open();
  skarvel::SaveDialog* dialog = openDialog();
  type(dialog, "");
  press(dialog, MultiActionDialog::kFirstAction);
  ASSERT_TRUE(dialog->messageDialogue()->isVisible());
  EXPECT_EQ(dialog->messageDialogue()->message(), "Please enter a name for the preset.");
  EXPECT_EQ(frame->getModalView(), dialog);
  EXPECT_TRUE(userFiles().empty());
}

TEST_F(SaveDialogTest, AFailedSaveSaysSoAndKeepsThePresetEdited) {
  open();
  plugin->parameterChangedFromEditor(kLevel, 0.9f);
  fs::remove_all(root / "Presets/User");
  write("Presets/User", "a file where the folder should be");
  skarvel::SaveDialog* dialog = openDialog();
  type(dialog, "Lost");
  press(dialog, MultiActionDialog::kFirstAction);
  EXPECT_EQ(notice(), "Failed to copy preset Lost");
  EXPECT_EQ(currentName(), "Alpha");
  EXPECT_EQ(toolbar->compareLabel()->getFontColor(), skarvel::ToolBar::kEditedColour);
}

TEST_F(SaveDialogTest, DialogCoversTheWindowAfterTheWindowGrew) {
  open();
  const VSTGUI::CRect larger(0, 0, 1206.8, 586.6);
  frame->setViewSize(larger);
  toolbar->frameResized();
  skarvel::SaveDialog* dialog = openDialog();
  EXPECT_EQ(dialog->getViewSize(), larger);
  EXPECT_TRUE(larger.rectInside(dialog->panelRect()));
  EXPECT_GT(dialog->panelRect().getWidth(), 0.38 * 862 + 1) << "the panel grows with the window";
}

TEST_F(SaveDialogTest, TheTimedNoticeDisappearsAfterFiveSeconds) {
  open();
  advanceTimers(0);
  toolbar->showTimedNotice("Preset \"X\" has been overwritten");
  auto* shown = dynamic_cast<skarvel::cTimedResponse*>(frame->getModalView());
  ASSERT_NE(shown, nullptr);
  advanceTimers(4900);
  EXPECT_EQ(frame->getModalView(), shown) << "still shown before five seconds";
  EXPECT_EQ(shown->countdown(), 1);
  advanceTimers(200);
  EXPECT_EQ(frame->getModalView(), nullptr) << "gone after five seconds";
  frame->idle();  // releases it
}

TEST_F(SaveDialogTest, TheTimedNoticeDisappearsAtTheFirstClick) {
  open();
  advanceTimers(0);
  const int timers = VSTGUI::CVSTGUITimer::runningTimerCount();
  toolbar->showTimedNotice("hello");
  EXPECT_EQ(VSTGUI::CVSTGUITimer::runningTimerCount(), timers + 1);
  click(VSTGUI::CPoint(800, 400));
  EXPECT_EQ(frame->getModalView(), nullptr);
  EXPECT_EQ(VSTGUI::CVSTGUITimer::runningTimerCount(), timers) << "the click stops the timer";
}

}  // namespace
}  // namespace toolbar_test
