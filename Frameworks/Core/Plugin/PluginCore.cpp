#include "Frameworks/Core/Plugin/PluginCore.h"

#include <bit>
#include <cstring>

#include "Frameworks/Core/Assert.h"
#include "Frameworks/PresetManager/MessageList.h"
#include "Frameworks/PresetManager/OldBankConverter.h"
#include "Frameworks/PresetManager/PresetManager.h"
#include "Frameworks/PresetManager/Program.h"
#include "Frameworks/PresetManager/ProgramFactory.h"

namespace core {

namespace {

std::uint64_t bit(int id) { return std::uint64_t{1} << id; }

// Values compare bit for bit, so a value that is not a number equals itself.
bool sameValue(float a, float b) { return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b); }

const std::string kNoProgramName = "Init";

// The description's parameter count, limited to what the registry defines and the core's
// per-parameter tables hold (a larger count is a programming error, never an overrun).
unsigned usableParameterCount(const PluginDescription& description, const Parameters& registry) {
  std::size_t count = description.parameterCount > 0 ? static_cast<std::size_t>(description.parameterCount) : 0;
  if (!CORE_CHECK(count <= registry.count())) count = registry.count();
  if (!CORE_CHECK(count <= static_cast<std::size_t>(PluginCore::kMaxParameters))) count = PluginCore::kMaxParameters;
  return static_cast<unsigned>(count);
}

}  // namespace

PluginCore::PluginCore(const PluginDescription& description, const Parameters& registry, DspEngine& engine,
                       PluginFactory& factory)
    : m_description(description),
      m_registry(registry),
      m_parameterCount(usableParameterCount(description, registry)),
      m_messages(std::make_unique<presets::MessageList>()),
      m_programFactory(std::make_unique<presets::ProgramFactory>(registry, description.productName,
                                                                 description.versionText, *m_messages)),
      m_presetManager(std::make_unique<presets::PresetManager>(*m_programFactory)),
      m_dspToPlugin(*this),
      m_dspToEditor(*this),
      m_engine(engine),
      m_factory(factory) {
  m_engine.setCallbacks(&m_dspToPlugin, &m_dspToEditor);
  m_engine.resetBaseState();
  m_engine.open();
  m_presetManager->loadAll();
  std::lock_guard lock(m_presetLock);
  m_presetManager->select(0, 0);
  // Until attachHost sends them, the host reads the selected program's values.
  presets::Program& program = currentProgram();
  m_programName.store(&program.name(), std::memory_order_release);
  for (unsigned id = 0; id < m_parameterCount; ++id) {
    m_engineValues[id].store(program.value(id), std::memory_order_relaxed);
    m_hostValues[id].store(program.value(id), std::memory_order_relaxed);
  }
}

PluginCore::~PluginCore() {
  // The engine outlives the core: it must not call back into it any more.
  m_engine.setCallbacks(nullptr, nullptr);
}

PluginCore::PresetLockHolder::PresetLockHolder(PluginCore& core) : m_core(core), m_lock(core.m_presetLock) {
  m_core.applyPendingLocked();
}

PluginCore::PresetLockHolder::PresetLockHolder(PluginCore& core, std::try_to_lock_t)
    : m_core(core), m_lock(core.m_presetLock, std::try_to_lock) {
  if (held()) m_core.applyPendingLocked();
}

PluginCore::PresetLockHolder::~PresetLockHolder() {
  if (held()) m_core.applyPendingLocked();
}

presets::Program& PluginCore::currentProgram() { return m_presetManager->currentProgram(); }

// --- editor requests ------------------------------------------------------------------------

float PluginCore::parameterValue(int id) const {
  if (!isParameter(id)) return 0.0f;
  return m_hostValues[id].load(std::memory_order_relaxed);
}

void PluginCore::parameterChangedFromEditor(int id, float value) {
  // The host records the automation; this does not come back into the core or the editor.
  if (m_host) m_host->setParameterAutomated(id, value);
  if (!isParameter(id)) return;
  setHostValue(id, value);  // the host knows this one already
  PresetLockHolder lock(*this);
  recordEditLocked(id, value, false);
  // The editor shows this value already; an older host value waiting for it must not win.
  m_editorValueMask.fetch_and(~bit(id), std::memory_order_acq_rel);
}

std::vector<PresetListSnapshot> PluginCore::presetLists() {
  std::vector<PresetListSnapshot> lists;
  PresetLockHolder lock(*this);
  const std::vector<std::string> names = m_presetManager->listNames();
  for (std::size_t position = 0; position < names.size(); ++position) {
    const std::vector<presets::Program*> programs = m_presetManager->programsInList(names[position]);
    if (programs.empty()) continue;
    PresetListSnapshot list;
    list.listPosition = position;
    list.name = names[position];
    list.programNames.reserve(programs.size());
    for (const presets::Program* program : programs) list.programNames.push_back(program->name());
    lists.push_back(std::move(list));
  }
  return lists;
}

PresetStatus PluginCore::presetStatus() {
  PresetLockHolder lock(*this);
  const presets::Program& program = currentProgram();
  PresetStatus status;
  status.listPosition = m_presetManager->currentListPosition();
  status.programPosition = m_presetManager->currentProgramPosition();
  status.edited = program.edited();
  status.comparing = program.selectedValueType() == presets::VALUE_INITIAL;
  status.allFilesLoaded = m_presetManager->allFilesLoaded();
  return status;
}

std::string PluginCore::userPresetsFolder() { return m_presetManager->userPresetsFolder(); }

void PluginCore::selectProgram(std::size_t listPosition, std::size_t programPosition) {
  {
    PresetLockHolder lock(*this);
    m_presetManager->select(listPosition, programPosition);
    // The host shows the program's name: it refreshes even when the same program was chosen.
    applyCurrentProgramLocked(HostNotice::ValuesAndDisplay);
  }
  deliverUpdates();
}

void PluginCore::toggleCompare() {
  {
    PresetLockHolder lock(*this);
    m_presetManager->toggleCompare();
    applyCurrentProgramLocked(HostNotice::Values);
  }
  deliverUpdates();
}

void PluginCore::revertCurrentProgram() {
  {
    PresetLockHolder lock(*this);
    m_presetManager->revert(currentProgram());
    applyCurrentProgramLocked(HostNotice::Values);
  }
  deliverUpdates();
}

presets::SaveDialogSetup PluginCore::saveDialogSetup() {
  PresetLockHolder lock(*this);
  return m_presetManager->saveDialogSetup();
}

presets::SaveResult PluginCore::saveNewUserPreset(const std::string& name) {
  presets::SaveResult result;
  {
    PresetLockHolder lock(*this);
    result = m_presetManager->saveNewUserPreset(name);
    if (result.outcome != presets::SaveOutcome::Saved) return result;
    // The new preset is current and presents what was written.
    applyCurrentProgramLocked(HostNotice::ValuesAndDisplay);
  }
  deliverUpdates();
  return result;
}

presets::SaveResult PluginCore::overwriteCurrentPreset() {
  presets::SaveResult result;
  {
    PresetLockHolder lock(*this);
    result = m_presetManager->overwriteCurrentPreset();
    if (result.outcome != presets::SaveOutcome::Overwritten) return result;
    // A preset saved while the user compared now presents the values that were written.
    applyCurrentProgramLocked(HostNotice::Values);
  }
  deliverUpdates();
  return result;
}

void PluginCore::convertOldBanks(const std::string& path, std::vector<std::string>& report) {
  PresetLockHolder lock(*this);
  const presets::OldBankLayout layout{m_description.oldProgramsPerBank, m_description.oldParameterCount,
                                      m_description.oldBankHeaderBytesPerParam, m_description.oldProgramExtraBytes};
  presets::MessageList lines;
  presets::OldBankConverter(*m_programFactory, *m_presetManager, layout, m_oldSlotMap).convert(path, lines);
  const std::vector<std::string> converted = lines.lines();
  report.insert(report.end(), converted.begin(), converted.end());
}

void PluginCore::getParameterDisplayText(int id, char* text, std::size_t size) {
  if (!text || size == 0) return;
  text[0] = '\0';
  if (!isParameter(id)) return;
  m_engine.getParameterDisplay(id, text, size);
  const ParameterDefinition& definition = m_registry.definition(static_cast<std::uint64_t>(id));
  if (!definition.labelFromEngine && definition.label.empty()) return;
  const std::size_t length = std::strlen(text);
  if (length + 2 >= size) return;
  std::string label;
  if (definition.labelFromEngine) {
    char engineLabel[64] = {};
    m_engine.getParameterLabel(id, engineLabel, sizeof engineLabel);
    label = engineLabel;
  } else if (definition.label.size() < size - length - 2) {
    label = definition.label;
  }
  text[length] = ' ';
  const std::size_t room = size - length - 2;
  const std::size_t copied = label.size() < room ? label.size() : room;
  std::memcpy(text + length + 1, label.data(), copied);
  text[length + 1 + copied] = '\0';
}

// --- host adapter requests ------------------------------------------------------------------

void PluginCore::attachHost(PluginToHostInterface& host) {
  m_editor = createEditor(host);
  host.setEditor(m_editor);
  {
    PresetLockHolder lock(*this);
    applyCurrentProgramLocked(HostNotice::None);
  }
  deliverUpdates();
  m_host = &host;
}

void PluginCore::setParameterFromHost(int id, float value) {
  if (!isParameter(id)) return;
  // The sound and the host's reads follow at once, whoever holds the preset lock.
  sendToEngine(id, value);
  setHostValue(id, value);
  postEditorValue(id, value);
  PresetLockHolder lock(*this, std::try_to_lock);
  if (lock.held()) recordEditLocked(id, value, true);
  else m_pending.addEdit(id, value);
}

std::size_t PluginCore::getChunk(const char** data) {
  std::string text;
  {
    PresetLockHolder lock(*this);
    text = m_programFactory->toYamlText(&currentProgram());
  }
  std::lock_guard lock(m_chunkLock);
  // A host asking from two threads may still be copying an earlier text: the last few stay.
  if (!m_chunks[m_newestChunk] || *m_chunks[m_newestChunk] != text) {
    m_newestChunk = (m_newestChunk + 1) % kKeptChunks;
    m_chunks[m_newestChunk] = std::make_unique<const std::string>(std::move(text));
  }
  const std::string& handed = *m_chunks[m_newestChunk];
  if (data) *data = handed.empty() ? nullptr : handed.data();
  return handed.size();
}

int PluginCore::setChunk(const void* data, std::size_t size) {
  // Anything shorter than the document marker is refused before a byte beyond it is read.
  if (!data || size < 3 || std::memcmp(data, "---", 3) != 0) return 0;
  PresetLockHolder lock(*this);
  if (!m_presetManager->addProjectPreset(static_cast<const unsigned char*>(data), size)) return 0;
  // The host set these values itself; it is not told them back.
  applyCurrentProgramLocked(HostNotice::None);
  postEditorPositionsLocked();
  return 1;
}

const std::string& PluginCore::currentProgramName() const {
  const std::string* name = m_programName.load(std::memory_order_acquire);
  return name ? *name : kNoProgramName;
}

void PluginCore::beginAudioBlock() {
  if (!m_pending.any()) return;
  PresetLockHolder lock(*this, std::try_to_lock);  // records what waited, if the lock is free
}

void PluginCore::deliverUpdates() {
  if (m_pending.any()) {
    PresetLockHolder lock(*this, std::try_to_lock);  // records what waited, if the lock is free
  }
  if (m_editor) {
    std::uint64_t mask = m_editorValueMask.exchange(0, std::memory_order_acq_rel);
    for (int id = 0; mask != 0; ++id, mask >>= 1)
      if (mask & 1) m_editor->setParameterFromHost(id, m_editorValues[id].load(std::memory_order_relaxed));
    if (m_editorPositionsPending.exchange(false, std::memory_order_acq_rel)) {
      const std::uint64_t positions = m_editorPositions.load(std::memory_order_acquire);
      m_editor->programChanged(static_cast<int>(positions >> 32), static_cast<int>(positions & 0xFFFFFFFFu));
    }
    if (m_editorHookPending.exchange(false, std::memory_order_acq_rel)) m_editor->editorHook();
  }
  if (m_host) {
    // Hosts re-read a parameter when told it changed (update display alone leaves their
    // controls and automation lanes showing the previous program's values).
    std::uint64_t mask = m_hostValueMask.exchange(0, std::memory_order_acq_rel);
    for (int id = 0; mask != 0; ++id, mask >>= 1)
      if (mask & 1) m_host->setParameterAutomated(id, m_hostValues[id].load(std::memory_order_relaxed));
    if (m_hostDisplayPending.exchange(false, std::memory_order_acq_rel)) m_host->updateDisplay();
  }
}

void PluginCore::detachEditor() { m_editor = nullptr; }

// --- engine callbacks -----------------------------------------------------------------------

void PluginCore::programChange(int program) {
  PresetLockHolder lock(*this, std::try_to_lock);
  if (lock.held()) programChangeLocked(program);
  else m_pending.addProgramChange(program);  // recorded by the lock's next holder, in order
}

void PluginCore::resendParameters() {
  for (unsigned id = 0; id < m_parameterCount; ++id)
    m_engine.setParameter(static_cast<int>(id), m_engineValues[id].load(std::memory_order_relaxed));
}

void PluginCore::postEditorHook() { m_editorHookPending.store(true, std::memory_order_release); }

// --- helpers --------------------------------------------------------------------------------

void PluginCore::applyCurrentProgramLocked(HostNotice notice) {
  presets::Program& program = currentProgram();
  m_programName.store(&program.name(), std::memory_order_release);
  std::uint64_t changed = 0;
  for (unsigned id = 0; id < m_parameterCount; ++id) {
    const float value = program.value(id);
    sendToEngine(static_cast<int>(id), value);
    postEditorValue(static_cast<int>(id), value);
    if (setHostValue(static_cast<int>(id), value)) changed |= bit(static_cast<int>(id));
  }
  if (notice == HostNotice::None) return;
  if (changed != 0) m_hostValueMask.fetch_or(changed, std::memory_order_release);
  if (notice == HostNotice::ValuesAndDisplay || changed != 0) m_hostDisplayPending.store(true, std::memory_order_release);
}

void PluginCore::applyPendingLocked() {
  m_pending.drain([this](const PendingChanges::Change& change) {
    if (change.kind == PendingChanges::Change::ProgramChange) programChangeLocked(change.index);
    else if (isParameter(change.index)) recordEditLocked(change.index, change.value, true);
  });
}

void PluginCore::recordEditLocked(int id, float value, bool fromHost) {
  presets::Program& program = currentProgram();
  const auto index = static_cast<std::size_t>(id);
  if (!sameValue(program.value(index), value) && program.selectedValueType() == presets::VALUE_INITIAL) {
    // An edit ends a comparison: the edited values come back, this edit among them.
    program.select(presets::VALUE_CURRENT);
    program.edit(index, value);
    applyCurrentProgramLocked(HostNotice::Values);
    postEditorPositionsLocked();  // the toolbar shows "current" again
    return;
  }
  // A value the program already presents is not stored: a host writing back what it read
  // neither ends a comparison nor overwrites an edit.
  if (!sameValue(program.value(index), value)) program.edit(index, value);
  // What the engine, the host and the editor hold may have been overtaken meanwhile (a program
  // change recorded just before this edit): the edit is the newest word.
  sendToEngine(id, value);
  setHostValue(id, value);
  if (fromHost) postEditorValue(id, value);
}

void PluginCore::programChangeLocked(int program) {
  const presets::Program* before = &currentProgram();
  // A number beyond the current list changes nothing, but the values are still sent again.
  if (program >= 0) m_presetManager->select(m_presetManager->currentListPosition(), static_cast<std::size_t>(program));
  applyCurrentProgramLocked(before != &currentProgram() ? HostNotice::ValuesAndDisplay : HostNotice::Values);
  postEditorPositionsLocked();
}

void PluginCore::sendToEngine(int id, float value) {
  m_engineValues[id].store(value, std::memory_order_relaxed);
  m_engine.setParameter(id, value);
}

bool PluginCore::setHostValue(int id, float value) {
  return !sameValue(m_hostValues[id].exchange(value, std::memory_order_relaxed), value);
}

void PluginCore::postEditorValue(int id, float value) {
  m_editorValues[id].store(value, std::memory_order_relaxed);
  m_editorValueMask.fetch_or(bit(id), std::memory_order_release);
}

void PluginCore::postEditorPositionsLocked() {
  const auto list = static_cast<std::uint64_t>(m_presetManager->currentListPosition()) & 0xFFFFFFFFu;
  const auto program = static_cast<std::uint64_t>(m_presetManager->currentProgramPosition()) & 0xFFFFFFFFu;
  m_editorPositions.store(list << 32 | program, std::memory_order_release);
  m_editorPositionsPending.store(true, std::memory_order_release);
}

}  // namespace core
