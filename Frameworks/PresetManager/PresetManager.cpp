#include "PresetManager.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdio>

#include "Frameworks/Core/Assert.h"
#include "YamlFileCallback.h"
#include "platform/DataFolders.h"
#include "platform/FileSystem.h"
#include "platform/FolderWalk.h"
#include "platform/TextCollation.h"

namespace presets {

namespace {
const std::string kGuillemet = "\u00AB";

bool bracketed(const std::string& name) { return name.compare(0, kGuillemet.size(), kGuillemet) == 0; }
}  // namespace

PresetManager::PresetManager(ProgramFactory& factory)
    : PresetManager(factory, PresetFolders{platform::factoryPresetsFolder(), platform::userPresetsFolder()}) {}

PresetManager::PresetManager(ProgramFactory& factory, PresetFolders folders)
    : m_factory(factory), m_folders(std::move(folders)) {}

PresetManager::~PresetManager() {
  // Programs go in reverse order of creation.
  while (!m_allPrograms.empty()) m_allPrograms.pop_back();
}

void PresetManager::loadAll() {
  m_factory.setLoadingReadOnly(true);
  {
    YamlFileCallback callback(*this, kFactoryPresetsList);
    platform::walkFolderTree(m_folders.factory, ".yaml", callback);
  }
  m_factory.setLoadingReadOnly(false);
  {
    YamlFileCallback callback(*this, kUserPresetsList);
    platform::walkFolderTree(m_folders.user, ".yaml", callback);
  }
  if (!m_allPrograms.empty()) {
    std::stable_sort(m_listNames.begin(), m_listNames.end(), listNameBefore);
    for (const std::string& listName : m_listNames) sortList(listName);
    return;
  }
  std::unique_ptr<Program> init = m_factory.createProgram();
  if (!init) {
    std::fputs("Failed to load any presets or even create a default program. This is likely to be terminal.\n",
               stderr);
    return;
  }
  init->setName("Init");
  init->setListName(kInitList);
  init->setEdited(true);
  m_defaultProgram = addProgram(std::move(init), true);
}

Program& PresetManager::currentProgram() {
  if (!CORE_CHECK(m_currentProgram || m_defaultProgram)) {
    if (!m_fallbackProgram) {
      m_fallbackProgram = m_factory.createProgram();
      m_fallbackProgram->setName("Init");
    }
    return *m_fallbackProgram;
  }
  return m_currentProgram ? *m_currentProgram : *m_defaultProgram;
}

std::string PresetManager::currentProgramName() const {
  return m_currentProgram ? m_currentProgram->name() : std::string("Init");
}

std::vector<Program*> PresetManager::programsInList(const std::string& listName) const {
  const auto found = m_lists.find(listName);
  return found == m_lists.end() ? std::vector<Program*>() : found->second;
}

void PresetManager::select(std::size_t listPosition, std::size_t programPosition) {
  if (listPosition >= m_listNames.size()) return;
  m_currentListPosition = listPosition;
  const std::vector<Program*>& list = m_lists[m_listNames[listPosition]];
  if (programPosition >= list.size()) return;
  m_currentProgramPosition = programPosition;
  m_currentProgram = list[programPosition];
}

Program* PresetManager::addProgram(std::unique_ptr<Program> program, bool makeCurrent) {
  if (!CORE_CHECK(program)) return nullptr;
  Program* added = program.get();
  m_allPrograms.push_back(std::move(program));
  std::vector<Program*>& list = m_lists[added->listName()];
  if (list.empty()) {
    m_listNames.push_back(added->listName());
    m_listSorted[added->listName()] = true;
  } else if (!makeCurrent) {
    m_listSorted[added->listName()] = false;
  }
  list.push_back(added);
  if (makeCurrent) {
    placeInSortedList(added);
    this->makeCurrent(added);
  }
  return added;
}

void PresetManager::placeInSortedList(Program* program) {
  std::vector<Program*>& list = m_lists[program->listName()];
  if (!m_listSorted[program->listName()]) {
    sortList(program->listName());
    return;
  }
  // After every program of an equal name, as a stable sort of the appended list would place it.
  const auto place = std::upper_bound(list.begin(), list.end() - 1, program, programNameBefore);
  std::rotate(place, list.end() - 1, list.end());
}

void PresetManager::makeCurrent(Program* program) {
  const std::vector<Program*>& list = m_lists[program->listName()];
  m_currentProgram = program;
  m_currentListPosition = static_cast<std::size_t>(
      std::find(m_listNames.begin(), m_listNames.end(), program->listName()) - m_listNames.begin());
  m_currentProgramPosition = static_cast<std::size_t>(std::find(list.begin(), list.end(), program) - list.begin());
}

bool PresetManager::addFileProgram(const std::string& path, const std::string& listName) {
  std::unique_ptr<Program> program = m_factory.readPresetFile(path);
  if (!program) {
    m_allFilesLoaded = false;
    return false;
  }
  program->setListName(listName);
  addProgram(std::move(program), false);
  return true;
}

Program* PresetManager::addProjectPreset(const unsigned char* data, std::size_t length) {
  // Only a preset document is taken; checking the length first keeps the test inside the data.
  if (!data || length < 3 || data[0] != '-' || data[1] != '-' || data[2] != '-') return nullptr;
  std::unique_ptr<Program> program = m_factory.readPresetChunk(data, length);
  if (!program) return nullptr;
  program->setListName(kProjectPresetsList);
  for (Program* known : programsInList(kProjectPresetsList)) {
    if (known->name() != program->name() || known->parameterCount() != program->parameterCount()) continue;
    bool same = true;
    // Bit for bit, so a value that is not a number matches itself too.
    for (std::size_t id = 0; same && id < known->parameterCount(); ++id)
      same = std::bit_cast<std::uint32_t>(known->value(id)) == std::bit_cast<std::uint32_t>(program->value(id));
    if (!same) continue;
    makeCurrent(known);
    return known;
  }
  return addProgram(std::move(program), true);
}

Program* PresetManager::addConvertedUserPreset(std::unique_ptr<Program> program) {
  if (!CORE_CHECK(program)) return nullptr;
  program->setListName(kUserPresetsList);
  return addProgram(std::move(program), false);
}

bool PresetManager::isUserPresetName(const std::string& name) const {
  const auto found = m_lists.find(kUserPresetsList);
  if (found == m_lists.end()) return false;
  return std::any_of(found->second.begin(), found->second.end(),
                     [&](const Program* program) { return program->name() == name; });
}

std::unique_ptr<Program> PresetManager::newUserCopy(const std::string& name) {
  std::unique_ptr<Program> copy = currentProgram().copy();
  copy->setName(name);
  copy->setReadOnly(false);
  copy->setListName(kUserPresetsList);
  copy->setEdited(true);
  copy->setFilePath(std::string());
  return copy;
}

bool PresetManager::saveInPlace(Program& program) {
  program.select(VALUE_CURRENT);
  if (!m_factory.savePresetFile(program, program.filePath())) return false;
  program.setEdited(false);
  program.commit();
  return true;
}

bool PresetManager::saveToUserFolder(Program& program, const std::string& folder) {
  const std::string fileName = chooseUserFileName(folder.empty() ? m_folders.user : folder, program.name());
  program.select(VALUE_CURRENT);
  if (!m_factory.savePresetFile(program, fileName)) return false;
  program.setEdited(false);
  program.commit();
  program.setFilePath(fileName);
  return true;
}

void PresetManager::revert(Program& program) { program.revert(); }

void PresetManager::toggleCompare() {
  Program& program = currentProgram();
  program.select(program.selectedValueType() == VALUE_CURRENT ? VALUE_INITIAL : VALUE_CURRENT);
}

std::string PresetManager::compareLabel() {
  return currentProgram().selectedValueType() == VALUE_CURRENT ? "current" : "original";
}

SaveDialogSetup PresetManager::saveDialogSetup() {
  const Program& program = currentProgram();
  SaveDialogSetup setup;
  setup.prompt = std::string("Save ") + (program.edited() ? "edited " : "") +
                 (program.readOnly() ? "factory preset as user preset named:" : "user preset as preset named:");
  setup.proposedName = program.readOnly() ? program.name() + " user edit" : program.name();
  setup.overwriteEnabled = !program.readOnly() && !program.filePath().empty();
  return setup;
}

SaveResult PresetManager::saveNewUserPreset(const std::string& name) {
  // The reader refuses a preset without a name, so such a file would be lost at the next start.
  if (name.empty()) return {SaveOutcome::NameMissing, "Please enter a name for the preset."};
  Program& current = currentProgram();
  if (!current.readOnly() && !current.filePath().empty() && name == current.name())
    return {SaveOutcome::ConfirmOverwrite, "Name hasn't changed, overwrite current preset?"};
  if (isUserPresetName(name))
    return {SaveOutcome::NameAlreadyUsed, "Name already used for different user preset. Please choose another name."};
  std::unique_ptr<Program> copy = newUserCopy(name);
  if (!saveToUserFolder(*copy, m_folders.user)) return {SaveOutcome::Failed, "Failed to copy preset " + name};
  addProgram(std::move(copy), true);
  // The edits now live in the copy; the program they were made on goes back to its file.
  current.revert();
  return {SaveOutcome::Saved, "New preset was saved with the name \"" + name + "\""};
}

SaveResult PresetManager::overwriteCurrentPreset() {
  Program& current = currentProgram();
  if (current.readOnly()) {
    std::fprintf(stderr, "Expecting a user preset here, not factory / project preset %s\n", current.name().c_str());
    return {SaveOutcome::Refused, std::string()};
  }
  if (!saveInPlace(current)) return {SaveOutcome::Failed, "Failed to save preset " + current.name()};
  return {SaveOutcome::Overwritten, "Preset \"" + current.name() + "\" has been overwritten"};
}

std::string PresetManager::translateFileName(const std::string& name) {
  std::string translated = name;
  for (char& c : translated) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (byte < 32 || byte == 127) c = '^';
    else if (byte >= 128) c = '@';
    else switch (c) {
        case '"': c = '\''; break;
        case '*': c = 'x'; break;
        case '/': case '\\': c = '%'; break;
        case ':': c = ';'; break;
        case '<': c = '['; break;
        case '>': c = ']'; break;
        case '?': case '|': c = '!'; break;
        default: break;
      }
  }
  return translated;
}

std::string PresetManager::chooseUserFileName(const std::string& folder, const std::string& name) {
  // The user folder already ends in the system's separator ("/", or a backslash on Windows).
  const bool endsInSeparator = !folder.empty() && (folder.back() == '/' || folder.back() == '\\');
  const std::string separator = endsInSeparator ? "" : "/";
  const std::string base = folder + separator + translateFileName(name);
  std::string candidate = base + ".yaml";
  // Any entry takes the name, a dangling symbolic link too: saving through it would fail.
  for (unsigned number = 1; platform::nameTaken(candidate); ++number)
    candidate = base + std::to_string(number) + ".yaml";
  return candidate;
}

bool PresetManager::listNameBefore(const std::string& a, const std::string& b) {
  const bool aBracketed = bracketed(a);
  if (aBracketed != bracketed(b)) return aBracketed;
  return platform::compareIgnoringCase(a, b) < 0;
}

bool PresetManager::programNameBefore(const Program* a, const Program* b) {
  return platform::compareIgnoringCase(a->name(), b->name()) < 0;
}

void PresetManager::sortList(const std::string& listName) {
  std::vector<Program*>& list = m_lists[listName];
  std::stable_sort(list.begin(), list.end(), programNameBefore);
  m_listSorted[listName] = true;
}

}  // namespace presets
