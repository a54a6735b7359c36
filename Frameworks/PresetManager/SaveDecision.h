#pragma once

#include <string>

namespace presets {

// What the save dialog shows when it opens.
struct SaveDialogSetup {
  std::string prompt;        // "Save edited factory preset as user preset named:" ...
  std::string proposedName;  // the name the text field starts with
  bool overwriteEnabled = false;
};

// The result of a save-dialog decision. The editor displays `message` (in its timed popup, or
// as the question for ConfirmOverwrite) and rebuilds what the outcome asks for.
enum class SaveOutcome {
  Saved,             // a new user preset was written and is now current: rebuild the menus
  Overwritten,       // the current user preset was written over: refresh the edited indicator
  ConfirmOverwrite,  // the name is unchanged: ask, and on "Overwrite" call overwriteCurrentPreset
  NameAlreadyUsed,   // nothing saved
  NameMissing,       // nothing saved: a preset file without a name cannot be read back
  Failed,            // nothing saved; the reasons are in the message list
  Refused,           // not a user preset: nothing saved, nothing to show
};

struct SaveResult {
  SaveOutcome outcome = SaveOutcome::Refused;
  std::string message;
};

}  // namespace presets
