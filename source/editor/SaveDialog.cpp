#include "source/editor/SaveDialog.h"

#include <cstring>

#include "Frameworks/Gui/CFrame.h"
#include "Frameworks/Gui/CTextEdit.h"
#include "source/editor/cMessageDialogue.h"

using namespace VSTGUI;

namespace skarvel {

namespace {
constexpr const char* kOverwrite = "Overwrite";
constexpr const char* kDuplicateName = "DuplicateName";
}  // namespace

SaveDialog::SaveDialog(const CRect& frameSize, CFontDesc* font, core::EditorToPluginCoreInterface& core)
    : MultiActionDialog(frameSize, font, "Save new user preset", "Overwrite current preset with same name"),
      m_core(core) {}

void SaveDialog::prepare() {
  const presets::SaveDialogSetup setup = m_core.saveDialogSetup();
  m_overwrite = false;
  m_result = presets::SaveResult();
  setPrompt(setup.prompt);
  setName(setup.proposedName);
  setSecondButtonVisible(setup.overwriteEnabled);
  if (messageDialogue()->isVisible()) messageDialogue()->setVisible(false);
  // The name is ready to be typed over: the proposal selected, the keys here.
  if (VSTGUI::CFrame* frame = getFrame()) frame->setFocusView(textField());
  textField()->selectAll();
  invalid();
}

void SaveDialog::action(int32_t tag) {
  if (tag == kSecondAction) {
    overwrite();
    return;
  }
  m_result = m_core.saveNewUserPreset(getName());
  switch (m_result.outcome) {
    case presets::SaveOutcome::ConfirmOverwrite:
      showMessage(m_result.message, kOverwrite);
      break;
    case presets::SaveOutcome::NameAlreadyUsed:
    case presets::SaveOutcome::NameMissing:
      showMessage(m_result.message, "");
      break;
    case presets::SaveOutcome::Saved:
    case presets::SaveOutcome::Failed:
      endDialog();
      break;
    default:
      break;
  }
}

void SaveDialog::overwrite() {
  const presets::SaveResult result = m_core.overwriteCurrentPreset();
  // A factory or project preset is refused (the manager says why on stderr): stay open.
  if (result.outcome == presets::SaveOutcome::Refused) return;
  m_result = result;
  m_overwrite = true;
  endDialog();
}

CMessageResult SaveDialog::notify(CBaseObject* sender, IdStringPtr message) {
  if (sender != messageDialogue() || !message) return MultiActionDialog::notify(sender, message);
  if (std::strcmp(message, kOverwrite) == 0) {
    overwrite();
  } else if (std::strcmp(message, kDuplicateName) == 0) {
    m_overwrite = false;
    endDialog();
  } else {
    // "No": back to the dialog; nothing was saved.
    m_result = presets::SaveResult();
  }
  return kMessageNotified;
}

}  // namespace skarvel
