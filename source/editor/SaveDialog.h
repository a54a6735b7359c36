#pragma once

#include <string>

#include "Frameworks/Core/EditorToPluginCoreInterface.h"
#include "source/editor/MultiActionDialog.h"

namespace skarvel {

// The save dialog: "Save new user preset" (tag 0), "Overwrite current preset with same name"
// (tag 1, only for a user preset stored in a file) and "Cancel". The decisions and texts come
// from the plug-in core's presets; the dialog asks the questions it returns and ends with a result the
// toolbar shows.
class SaveDialog : public MultiActionDialog {
 public:
  SaveDialog(const VSTGUI::CRect& frameSize, VSTGUI::CFontDesc* font, core::EditorToPluginCoreInterface& core);

  // Called when the dialog is shown: prompt, proposed name and the overwrite button from the
  // core; the result of an earlier run is forgotten.
  void prepare();

  bool overwriteFlag() const { return m_overwrite; }
  // What the run ended with (Refused when it was cancelled).
  const presets::SaveResult& result() const { return m_result; }

  // Answers of the message dialogue: "Overwrite" overwrites and ends, "DuplicateName" ends
  // without overwriting, "No" keeps the dialog open.
  VSTGUI::CMessageResult notify(VSTGUI::CBaseObject* sender, VSTGUI::IdStringPtr message) override;

 protected:
  void action(int32_t tag) override;

 private:
  void overwrite();

  core::EditorToPluginCoreInterface& m_core;
  presets::SaveResult m_result;
  bool m_overwrite = false;
};

}  // namespace skarvel
