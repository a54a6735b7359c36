#include "Frameworks/Core/Plugin/PluginCore.h"

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
  for (unsigned id = 0; id < m_parameterCount; ++id) {
    m_engineValues[id].store(program.value(id), std::memory_order_relaxed);
    setHostValue(static_cast<int>(id), program.currentValue(id));
  }
}

PluginCore::~PluginCore() {
  // The engine outlives the core: it must not call back into it any more.
  m_engine.setCallbacks(nullptr, nullptr);
}

presets::Program& PluginCore::currentProgram() { return m_presetManager->currentProgram(); }

// --- editor requests ------------------------------------------------------------------------

void PluginCore::currentProgramChanged() {
  {
    std::lock_guard lock(m_presetLock);
    applyPendingEditsLocked();
    applyCurrentProgramLocked();
  }
  deliverEditorUpdates();
  if (m_host) m_host->updateDisplay();
}

void PluginCore::reapplyCurrentProgram() {
  {
    std::lock_guard lock(m_presetLock);
    applyPendingEditsLocked();
    applyCurrentProgramLocked();
  }
  deliverEditorUpdates();
}

void PluginCore::parameterChangedFromEditor(int id, float value) {
  // The host records the automation; this does not come back into the core or the editor.
  if (m_host) m_host->setParameterAutomated(id, value);
  if (!isParameter(id)) return;
  {
    std::lock_guard lock(m_presetLock);
    applyPendingEditsLocked();
    currentProgram().edit(static_cast<std::size_t>(id), value);
  }
  setHostValue(id, value);
  sendToEngine(id, value);
  // The editor shows this value already; an older host value waiting for it must not win.
  m_editorValueMask.fetch_and(~bit(id), std::memory_order_acq_rel);
}

void PluginCore::convertOldBanks(const std::string& path, std::vector<std::string>& report) {
  std::lock_guard lock(m_presetLock);
  applyPendingEditsLocked();
  const presets::OldBankLayout layout{m_description.oldProgramsPerBank, m_description.oldParameterCount,
                                      m_description.oldBankHeaderBytesPerParam, m_description.oldProgramExtraBytes};
  presets::MessageList lines;
  presets::OldBankConverter(*m_programFactory, *m_presetManager, layout, m_oldSlotMap).convert(path, lines);
  report.insert(report.end(), lines.lines().begin(), lines.lines().end());
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
    std::lock_guard lock(m_presetLock);
    applyCurrentProgramLocked();
  }
  deliverEditorUpdates();
  m_host = &host;
}

void PluginCore::setParameterFromHost(int id, float value) {
  if (!isParameter(id)) return;
  setHostValue(id, value);
  sendToEngine(id, value);
  postEditorValue(id, value);
  std::unique_lock lock(m_presetLock, std::try_to_lock);
  if (lock.owns_lock()) {
    applyPendingEditsLocked();
    currentProgram().edit(static_cast<std::size_t>(id), value);
  } else {
    m_pendingEdits[id].store(value, std::memory_order_relaxed);
    m_pendingEditMask.fetch_or(bit(id), std::memory_order_release);
  }
}

float PluginCore::parameterValue(int id) const {
  if (!isParameter(id)) return 0.0f;
  return m_hostValues[id].load(std::memory_order_relaxed);
}

std::size_t PluginCore::getChunk(const char** data) {
  std::string text;
  {
    std::lock_guard lock(m_presetLock);
    applyPendingEditsLocked();
    text = m_programFactory->toYamlText(&currentProgram());
  }
  // A fresh buffer each time: the previous chunk is released, as the host expects.
  m_chunkText = std::move(text);
  if (data) *data = m_chunkText.empty() ? nullptr : m_chunkText.data();
  return m_chunkText.size();
}

int PluginCore::setChunk(const void* data, std::size_t size) {
  // Anything shorter than the document marker is refused before a byte beyond it is read.
  if (!data || size < 3 || std::memcmp(data, "---", 3) != 0) return 0;
  {
    std::lock_guard lock(m_presetLock);
    applyPendingEditsLocked();
    if (!m_presetManager->addProjectPreset(static_cast<const unsigned char*>(data), size)) return 0;
    applyCurrentProgramLocked();
    postEditorPositionsLocked();
  }
  deliverEditorUpdates();
  return 1;
}

std::string PluginCore::currentProgramName() {
  std::lock_guard lock(m_presetLock);
  return m_presetManager->currentProgramName();
}

PluginCore::ProgramState PluginCore::programState() {
  ProgramState state;
  std::lock_guard lock(m_presetLock);
  applyPendingEditsLocked();
  state.document = m_programFactory->toYamlText(&currentProgram());
  const std::vector<std::string> lists = m_presetManager->listNames();
  const std::size_t list = m_presetManager->currentListPosition();
  if (list < lists.size()) state.listName = lists[list];
  state.position = m_presetManager->currentProgramPosition();
  return state;
}

int PluginCore::restoreProgramState(const ProgramState& state) {
  const std::string& text = state.document;
  if (text.size() < 3 || text.compare(0, 3, "---") != 0) return 0;
  {
    std::lock_guard lock(m_presetLock);
    applyPendingEditsLocked();
    std::unique_ptr<presets::Program> saved =
        m_programFactory->readPresetChunk(reinterpret_cast<const unsigned char*>(text.data()), text.size());
    if (!saved) return 0;
    if (!selectSavedProgramLocked(state, *saved)) {
      // As a host chunk: the program joins the project presets.
      saved->setListName(presets::kProjectPresetsList);
      m_presetManager->addProgram(std::move(saved), true);
    }
    applyCurrentProgramLocked();
    postEditorPositionsLocked();
  }
  deliverEditorUpdates();
  return 1;
}

void PluginCore::selectInitProgram() {
  {
    std::lock_guard lock(m_presetLock);
    applyPendingEditsLocked();
    const std::vector<std::string> lists = m_presetManager->listNames();
    std::size_t list = 0;
    while (list < lists.size() && lists[list] != presets::kInitList) ++list;
    if (list < lists.size() && !m_presetManager->programsInList(presets::kInitList).empty()) {
      m_presetManager->select(list, 0);
    } else {
      std::unique_ptr<presets::Program> init = m_programFactory->createProgram();
      init->setName("Init");
      init->setListName(presets::kInitList);
      init->setEdited(true);
      m_presetManager->addProgram(std::move(init), true);
    }
    applyCurrentProgramLocked();
    postEditorPositionsLocked();
  }
  deliverEditorUpdates();
}

void PluginCore::beginAudioBlock() {
  const int program = m_pendingProgramChange.exchange(-1, std::memory_order_acq_rel);
  if (program >= 0) {
    programChange(program);
  } else if (m_pendingEditMask.load(std::memory_order_acquire) != 0) {
    std::unique_lock lock(m_presetLock, std::try_to_lock);
    if (lock.owns_lock()) applyPendingEditsLocked();
  }
}

void PluginCore::deliverEditorUpdates() {
  if (!m_editor) return;
  std::uint64_t mask = m_editorValueMask.exchange(0, std::memory_order_acq_rel);
  for (int id = 0; mask != 0; ++id, mask >>= 1)
    if (mask & 1) m_editor->setParameterFromHost(id, m_editorValues[id].load(std::memory_order_relaxed));
  if (m_editorPositionsPending.exchange(false, std::memory_order_acq_rel)) {
    const std::uint64_t positions = m_editorPositions.load(std::memory_order_acquire);
    m_editor->programChanged(static_cast<int>(positions >> 32), static_cast<int>(positions & 0xFFFFFFFFu));
  }
  if (m_editorHookPending.exchange(false, std::memory_order_acq_rel)) m_editor->editorHook();
}

void PluginCore::detachEditor() { m_editor = nullptr; }

// --- engine callbacks -----------------------------------------------------------------------

void PluginCore::programChange(int program) {
  std::unique_lock lock(m_presetLock, std::try_to_lock);
  if (!lock.owns_lock()) {
    // The lists are being changed on the user-interface thread: try again next block.
    m_pendingProgramChange.store(program, std::memory_order_release);
    return;
  }
  applyPendingEditsLocked();
  // A number beyond the current list changes nothing, but the values are still sent again.
  if (program >= 0) m_presetManager->select(m_presetManager->currentListPosition(), static_cast<std::size_t>(program));
  applyCurrentProgramLocked();
  postEditorPositionsLocked();
}

void PluginCore::resendParameters() {
  for (unsigned id = 0; id < m_parameterCount; ++id)
    m_engine.setParameter(static_cast<int>(id), m_engineValues[id].load(std::memory_order_relaxed));
}

void PluginCore::postEditorHook() { m_editorHookPending.store(true, std::memory_order_release); }

// --- helpers --------------------------------------------------------------------------------

void PluginCore::applyCurrentProgramLocked() {
  presets::Program& program = currentProgram();
  for (unsigned id = 0; id < m_parameterCount; ++id) {
    const float value = program.value(id);
    sendToEngine(static_cast<int>(id), value);
    postEditorValue(static_cast<int>(id), value);
    setHostValue(static_cast<int>(id), program.currentValue(id));
  }
}

void PluginCore::applyPendingEditsLocked() {
  std::uint64_t mask = m_pendingEditMask.exchange(0, std::memory_order_acq_rel);
  if (mask == 0) return;
  presets::Program& program = currentProgram();
  for (int id = 0; mask != 0; ++id, mask >>= 1)
    if (mask & 1) program.edit(static_cast<std::size_t>(id), m_pendingEdits[id].load(std::memory_order_relaxed));
}

void PluginCore::sendToEngine(int id, float value) {
  m_engineValues[id].store(value, std::memory_order_relaxed);
  m_engine.setParameter(id, value);
}

void PluginCore::postEditorValue(int id, float value) {
  m_editorValues[id].store(value, std::memory_order_relaxed);
  m_editorValueMask.fetch_or(bit(id), std::memory_order_release);
}

// The saved program is looked for in its list, at its position first: the program that writes
// exactly the saved document (unedited or edited alike) is selected as it is; failing that, the
// program of the same name is selected and edited to the saved values, so it comes back edited
// with its original at hand for a comparison.
bool PluginCore::selectSavedProgramLocked(const ProgramState& state, const presets::Program& saved) {
  const std::vector<std::string> lists = m_presetManager->listNames();
  std::size_t list = 0;
  while (list < lists.size() && lists[list] != state.listName) ++list;
  if (list >= lists.size()) return false;
  const std::vector<presets::Program*> programs = m_presetManager->programsInList(state.listName);
  std::vector<std::size_t> order;
  if (state.position < programs.size()) order.push_back(state.position);
  for (std::size_t position = 0; position < programs.size(); ++position)
    if (position != state.position) order.push_back(position);
  for (const std::size_t position : order) {
    if (m_programFactory->toYamlText(programs[position]) != state.document) continue;
    m_presetManager->select(list, position);
    return true;
  }
  for (const std::size_t position : order) {
    presets::Program& program = *programs[position];
    if (program.name() != saved.name()) continue;
    m_presetManager->select(list, position);
    program.select(presets::VALUE_CURRENT);
    for (std::size_t id = 0; id < program.parameterCount() && id < saved.parameterCount(); ++id)
      if (program.currentValue(id) != saved.value(id)) program.edit(id, saved.value(id));
    return true;
  }
  return false;
}

void PluginCore::postEditorPositionsLocked() {
  const auto list = static_cast<std::uint64_t>(m_presetManager->currentListPosition()) & 0xFFFFFFFFu;
  const auto program = static_cast<std::uint64_t>(m_presetManager->currentProgramPosition()) & 0xFFFFFFFFu;
  m_editorPositions.store(list << 32 | program, std::memory_order_release);
  m_editorPositionsPending.store(true, std::memory_order_release);
}

}  // namespace core
