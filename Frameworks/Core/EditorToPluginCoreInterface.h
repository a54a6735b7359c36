#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace core {

// What the editor asks of the plug-in core. Called on the user-interface thread only.
class EditorToPluginCoreInterface {
 public:
  virtual ~EditorToPluginCoreInterface() = default;
  // The editor chose another program: its values go to the engine and the editor, and the
  // host is asked to refresh its display of the program name.
  virtual void currentProgramChanged() = 0;
  // Send the current program's presented values to the engine and the editor again (after a
  // compare toggle or a revert).
  virtual void reapplyCurrentProgram() = 0;
  // The user moved a control: tell the host, store the value in the current program, set it in
  // the engine. The editor is not told back.
  virtual void parameterChangedFromEditor(int id, float value) = 0;
  // A hook without effect in this instrument.
  virtual void editorHook() = 0;
  // Converts a bank of the maker's older instrument into user presets; every step is appended
  // to `report`.
  virtual void convertOldBanks(const std::string& path, std::vector<std::string>& report) = 0;
  // The engine's display text of the parameter (with its label when it has one).
  virtual void getParameterDisplayText(int id, char* text, std::size_t size) = 0;
};

}  // namespace core
