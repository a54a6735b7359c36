#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Program.h"
#include "ProgramFactory.h"
#include "SaveDecision.h"

namespace presets {

// Names of the preset lists the system fills itself (UTF-8, with guillemets).
inline const std::string kFactoryPresetsList = "\u00ABFactory presets\u00BB";
inline const std::string kUserPresetsList = "\u00ABUser presets\u00BB";
inline const std::string kProjectPresetsList = "\u00ABProject presets\u00BB";
inline const std::string kInitList = "\u00ABInit\u00BB";

// Where the preset files live; both paths end in "/".
struct PresetFolders {
  std::string factory;
  std::string user;
};

// Owns every program of a plug-in instance, sorted into named preset lists: factory and user
// presets from the data folders (a subfolder at any depth makes a list named after itself),
// project presets from the host chunk, converted old banks, and the program "Init" when nothing
// could be loaded. Keeps the current program and carries out the save dialog's decisions.
// Used from the user-interface thread.
class PresetManager {
 public:
  // Preset folders from the plug-in's data root.
  explicit PresetManager(ProgramFactory& factory);
  PresetManager(ProgramFactory& factory, PresetFolders folders);
  ~PresetManager();

  PresetManager(const PresetManager&) = delete;
  PresetManager& operator=(const PresetManager&) = delete;

  // Start-up: reads the factory folder (read-only programs), then the user folder, sorts the
  // lists, or creates "Init" when nothing loaded.
  void loadAll();

  // The current program, or the default program; asking when neither exists is an internal
  // error (then the answer is a program of defaults that belongs to no list).
  Program& currentProgram();
  std::string currentProgramName() const;

  std::vector<std::string> listNames() const { return m_listNames; }
  std::vector<Program*> programsInList(const std::string& listName) const;
  std::size_t currentListPosition() const { return m_currentListPosition; }
  std::size_t currentProgramPosition() const { return m_currentProgramPosition; }

  // Chooses list `listPosition` (ignored when out of range) and in it program `programPosition`
  // (ignored when out of range, so only the list changes).
  void select(std::size_t listPosition, std::size_t programPosition);

  Program* addProgram(std::unique_ptr<Program> program, bool makeCurrent);
  // Reads one preset file into list `listName`; a failure clears allFilesLoaded.
  bool addFileProgram(const std::string& path, const std::string& listName);
  // A host chunk: refused (none, nothing changes) unless it starts with "---" and reads as a
  // preset; otherwise the program joins the project presets and becomes current. A project
  // preset with the same name that presents the very same values becomes current instead, so
  // a host that sets the same state again and again does not grow the list.
  Program* addProjectPreset(const unsigned char* data, std::size_t length);
  Program* addConvertedUserPreset(std::unique_ptr<Program> program);

  // True when the list of top-level user presets holds a program with exactly this name.
  bool isUserPresetName(const std::string& name) const;
  // An unsaved, editable copy of the current program for the user presets list.
  std::unique_ptr<Program> newUserCopy(const std::string& name);

  // Writes the program's edited values over its own file.
  bool saveInPlace(Program& program);
  // Writes the program's edited values to a new file in `folder` (the user presets folder when
  // empty), named after the program.
  bool saveToUserFolder(Program& program, const std::string& folder = std::string());
  void revert(Program& program);

  // Switches the current program between its edited and its original values.
  void toggleCompare();
  // "current" while edited values are presented, "original" while initial ones are.
  std::string compareLabel();

  bool allFilesLoaded() const { return m_allFilesLoaded; }
  const std::string& userPresetsFolder() const { return m_folders.user; }
  const std::string& factoryPresetsFolder() const { return m_folders.factory; }
  ProgramFactory& factory() { return m_factory; }

  // Save dialog.
  SaveDialogSetup saveDialogSetup();
  SaveResult saveNewUserPreset(const std::string& name);
  SaveResult overwriteCurrentPreset();

  // The program name as a file name: bytes that file systems or shells dislike are replaced.
  static std::string translateFileName(const std::string& name);
  // The first free file name for `name` in `folder`: <name>.yaml, <name>1.yaml, <name>2.yaml ...
  static std::string chooseUserFileName(const std::string& folder, const std::string& name);

  // List and program order: bracketed lists first, then case-insensitive in the user's locale.
  static bool listNameBefore(const std::string& a, const std::string& b);
  static bool programNameBefore(const Program* a, const Program* b);

 private:
  void sortList(const std::string& listName);
  // Puts `program` (the last of its list) at its place when the list is sorted, or sorts the
  // list: a sorted list takes a new program with a binary search, not a full sort.
  void placeInSortedList(Program* program);
  void makeCurrent(Program* program);

  ProgramFactory& m_factory;
  PresetFolders m_folders;
  std::vector<std::unique_ptr<Program>> m_allPrograms;
  std::vector<std::string> m_listNames;
  std::map<std::string, std::vector<Program*>> m_lists;
  std::map<std::string, bool> m_listSorted;  // false once a program was appended unsorted
  std::size_t m_currentListPosition = 0;
  std::size_t m_currentProgramPosition = 0;
  Program* m_currentProgram = nullptr;
  Program* m_defaultProgram = nullptr;
  bool m_allFilesLoaded = true;
  std::unique_ptr<Program> m_fallbackProgram;  // answers currentProgram() after an internal error
};

}  // namespace presets
