#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "Frameworks/PresetManager/SaveDecision.h"

namespace presets {
class MessageList;
}

namespace core {

// One preset list as the editor's menus show it: a copy, so the editor never reads the preset
// manager while another thread changes it.
struct PresetListSnapshot {
  std::size_t listPosition = 0;  // the list's position among all preset lists
  std::string name;
  std::vector<std::string> programNames;  // in menu order
};

// The current program as the toolbar shows it.
struct PresetStatus {
  std::size_t listPosition = 0;
  std::size_t programPosition = 0;
  bool edited = false;
  bool comparing = false;  // the program presents its stored ("original") values
  bool allFilesLoaded = true;
};

// What the editor asks of the plug-in core. Called on the user-interface thread only. The core
// takes its own locks: nothing here hands the editor a lock or a preset the core owns.
class EditorToPluginCoreInterface {
 public:
  virtual ~EditorToPluginCoreInterface() = default;

  // --- parameters ---
  virtual unsigned parameterCount() const = 0;
  // The value the host reads and the engine plays; 0 for an id out of range.
  virtual float parameterValue(int id) const = 0;
  // The user moved a control: tell the host, store the value in the current program, set it in
  // the engine. The editor is not told back.
  virtual void parameterChangedFromEditor(int id, float value) = 0;
  // The engine's display text of the parameter (with its label when it has one).
  virtual void getParameterDisplayText(int id, char* text, std::size_t size) = 0;
  // A hook without effect in this instrument.
  virtual void editorHook() = 0;

  // --- presets ---
  // The preset lists that hold at least one program, in menu order.
  virtual std::vector<PresetListSnapshot> presetLists() = 0;
  virtual PresetStatus presetStatus() = 0;
  virtual std::string userPresetsFolder() = 0;
  // Makes program `programPosition` of list `listPosition` current (positions out of range
  // change nothing); its values go to the engine, the editor and the host.
  virtual void selectProgram(std::size_t listPosition, std::size_t programPosition) = 0;
  // Switches the current program between its edited and its stored values; the values the
  // program then presents go to the engine, the editor and the host.
  virtual void toggleCompare() = 0;
  // Drops the current program's edits.
  virtual void revertCurrentProgram() = 0;
  // The save dialog's questions and decisions. After a save the engine, the editor and the host
  // hold the values that were written.
  virtual presets::SaveDialogSetup saveDialogSetup() = 0;
  virtual presets::SaveResult saveNewUserPreset(const std::string& name) = 0;
  virtual presets::SaveResult overwriteCurrentPreset() = 0;
  // Converts a bank of the maker's older instrument into user presets; every step is appended
  // to `report`.
  virtual void convertOldBanks(const std::string& path, std::vector<std::string>& report) = 0;

  // --- settings and diagnostics ---
  // The short product name, which names the settings.
  virtual std::string productName() const = 0;
  // The diagnostic message log.
  virtual presets::MessageList& messages() = 0;
};

}  // namespace core
