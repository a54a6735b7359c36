#include "lv2/Lv2Plugin.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include <lv2/atom/util.h>
#include <lv2/midi/midi.h>

#include "lv2/Lv2UiSession.h"
#include "lv2/Lv2Uris.h"

namespace lv2 {

namespace {

// The text of a string property, without the terminating zero an atom:String carries.
std::string stringValue(const void* data, std::size_t size) {
  const char* text = static_cast<const char*>(data);
  std::size_t length = 0;
  while (length < size && text[length] != '\0') ++length;
  return std::string(text, length);
}

}  // namespace

Lv2Plugin::Lv2Plugin(std::unique_ptr<core::PluginFactory> factory, core::PluginCore& core, core::DspEngine& engine,
                     const LV2_URID_Map& map)
    : m_core(core),
      m_engine(engine),
      m_factory(std::move(factory)),
      m_ports{core.parameterCount()},
      m_controls(core.parameterCount(), nullptr) {
  m_record.bridge = this;
  m_uris.midiEvent = map.map(map.handle, LV2_MIDI__MidiEvent);
  m_uris.atomString = map.map(map.handle, LV2_ATOM__String);
  m_uris.atomInt = map.map(map.handle, LV2_ATOM__Int);
  m_uris.atomLong = map.map(map.handle, LV2_ATOM__Long);
  m_uris.stateProgram = map.map(map.handle, kStateProgramUri);
  m_uris.stateList = map.map(map.handle, kStateListUri);
  m_uris.statePosition = map.map(map.handle, kStatePositionUri);
  for (auto& seen : m_seen) seen.store(std::numeric_limits<float>::quiet_NaN(), std::memory_order_relaxed);
}

Lv2Plugin::~Lv2Plugin() {
  // A host that frees the plug-in before its editor leaves the window to us.
  if (m_ui) closeUi(m_ui.get());
  m_editor = nullptr;
  m_core.detachEditor();
  m_factory.reset();
}

Lv2Plugin* Lv2Plugin::fromHandle(LV2_Handle handle) {
  auto* record = static_cast<InstanceRecord*>(handle);
  return record ? static_cast<Lv2Plugin*>(record->bridge) : nullptr;
}

void Lv2Plugin::setSampleRate(double rate) {
  if (rate > 0.0) m_engine.setSampleRate(rate);
}

void Lv2Plugin::connectPort(std::uint32_t port, void* data) {
  if (m_ports.isParameter(port)) m_controls[port] = static_cast<const float*>(data);
  else if (port == m_ports.midiIn()) m_midiIn = static_cast<const LV2_Atom_Sequence*>(data);
  else if (port == m_ports.leftOut()) m_left = static_cast<float*>(data);
  else if (port == m_ports.rightOut()) m_right = static_cast<float*>(data);
}

// As the VST 2.4 build resumes and suspends: activation silences every voice and clears the
// peaks; deactivation clears the peaks and forgets events handed over and not yet played.
void Lv2Plugin::activate() { m_engine.resume(); }

void Lv2Plugin::deactivate() {
  m_engine.resetPeaks();
  m_engine.discardPendingEvents();
}

void Lv2Plugin::readControlPorts() {
  for (std::uint32_t id = 0; id < m_ports.parameterCount; ++id) {
    const float* port = m_controls[id];
    if (!port) continue;
    const float value = *port;
    // NaN is no value; comparing with it would count as a change at every run.
    if (std::isnan(value) || value == m_seen[id].load(std::memory_order_relaxed)) continue;
    m_seen[id].store(value, std::memory_order_relaxed);
    if (m_touching[id].load(std::memory_order_relaxed)) continue;
    if (value == m_core.parameterValue(static_cast<int>(id))) continue;
    m_core.setParameterFromHost(static_cast<int>(id), value);
  }
}

void Lv2Plugin::run(std::uint32_t frames) {
  readControlPorts();
  float* outputs[2] = {m_left, m_right};
  const bool renders = frames > 0 && m_left && m_right;
  if (renders) m_core.beginAudioBlock();
  if (m_midiIn && m_midiIn->atom.size > sizeof(LV2_Atom_Sequence_Body)) queueMidi();
  // A run that renders nothing leaves the queued events to the next one, at its start.
  m_engine.process(nullptr, outputs, static_cast<int>(frames));
}

// The engine copies each list into its own queue, so the block is refilled as often as the
// sequence needs; offsets outside the run are the engine's to bring inside it.
void Lv2Plugin::queueMidi() {
  m_events.clear();
  LV2_ATOM_SEQUENCE_FOREACH(m_midiIn, event) {
    if (event->body.type != m_uris.midiEvent || event->body.size == 0) continue;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(event + 1);
    // Channel messages only; system messages (and stray data bytes) have no effect here.
    if (bytes[0] < 0x80 || bytes[0] >= 0xF0) continue;
    if (m_events.full()) {
      m_engine.processEvents(m_events.list());
      m_events.clear();
    }
    const std::int64_t frame = event->time.frames;
    const std::int32_t offset = frame < 0 ? 0 : (frame > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<std::int32_t>(frame));
    m_events.add(offset, bytes, event->body.size);
  }
  if (!m_events.empty()) m_engine.processEvents(m_events.list());
}

// --- state ----------------------------------------------------------------------------------

LV2_State_Status Lv2Plugin::save(LV2_State_Store_Function store, LV2_State_Handle state) {
  const core::PluginCore::ProgramState program = m_core.programState();
  if (program.document.empty()) return LV2_STATE_ERR_UNKNOWN;
  const std::uint32_t flags = LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE;
  LV2_State_Status status = store(state, m_uris.stateProgram, program.document.c_str(), program.document.size() + 1,
                                  m_uris.atomString, flags);
  if (status != LV2_STATE_SUCCESS) return status;
  status = store(state, m_uris.stateList, program.listName.c_str(), program.listName.size() + 1, m_uris.atomString,
                 flags);
  if (status != LV2_STATE_SUCCESS) return status;
  const std::int32_t position = program.position <= 0x7FFFFFFF ? static_cast<std::int32_t>(program.position) : -1;
  return store(state, m_uris.statePosition, &position, sizeof position, m_uris.atomInt, flags);
}

LV2_State_Status Lv2Plugin::restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle state) {
  std::size_t size = 0;
  std::uint32_t type = 0;
  std::uint32_t flags = 0;
  const void* data = retrieve(state, m_uris.stateProgram, &size, &type, &flags);
  if (!data) return LV2_STATE_ERR_NO_PROPERTY;
  if (type != m_uris.atomString) return LV2_STATE_ERR_BAD_TYPE;
  core::PluginCore::ProgramState program;
  program.document = stringValue(data, size);
  // The list and position only help to find the program again; without them the document
  // becomes a project preset.
  data = retrieve(state, m_uris.stateList, &size, &type, &flags);
  if (data && type == m_uris.atomString) program.listName = stringValue(data, size);
  data = retrieve(state, m_uris.statePosition, &size, &type, &flags);
  std::int64_t position = -1;
  if (data && type == m_uris.atomInt && size == sizeof(std::int32_t)) {
    std::int32_t value = 0;
    std::memcpy(&value, data, sizeof value);
    position = value;
  } else if (data && type == m_uris.atomLong && size == sizeof(std::int64_t)) {
    std::memcpy(&position, data, sizeof position);
  }
  program.position = position >= 0 ? static_cast<std::size_t>(position) : static_cast<std::size_t>(-1);

  return m_core.restoreProgramState(program) ? LV2_STATE_SUCCESS : LV2_STATE_ERR_UNKNOWN;
}

// --- core::PluginToHostInterface ------------------------------------------------------------

void Lv2Plugin::setParameterAutomated(int id, float value) {
  if (m_ui && isParameter(id)) m_ui->writeParameter(id, value);
}

void Lv2Plugin::updateDisplay() {
  if (m_ui) m_ui->followCore();
}

void Lv2Plugin::setEditor(core::AEffGUIEditor* editor) { m_editor = editor; }

void Lv2Plugin::beginEdit(int id) {
  if (!isParameter(id)) return;
  m_touching[static_cast<std::size_t>(id)].store(true, std::memory_order_relaxed);
  if (m_ui) m_ui->touch(id, true);
}

void Lv2Plugin::endEdit(int id) {
  if (!isParameter(id)) return;
  m_touching[static_cast<std::size_t>(id)].store(false, std::memory_order_relaxed);
  if (m_ui) m_ui->touch(id, false);
}

bool Lv2Plugin::canHostDo(const char* text) {
  return text && std::strcmp(text, "sizeWindow") == 0 && m_ui && m_ui->canResize();
}

bool Lv2Plugin::sizeWindow(int width, int height) { return m_ui && m_ui->resize(width, height); }

// --- UiBridge -------------------------------------------------------------------------------

UiSession* Lv2Plugin::openUi(void* parent, const UiHostFunctions& host) {
  if (m_ui || !m_editor || !parent || !host.write) return nullptr;
  m_ui = std::make_unique<Lv2UiSession>(*this, *m_editor, host);
  // The session is reachable while the editor opens (it asks whether the host can resize); a
  // failed or aborted opening leaves no session behind, so a later attempt may open again.
  bool opened = false;
  try {
    opened = m_ui->open(parent);
  } catch (...) {
    m_ui.reset();
    throw;
  }
  if (!opened) {
    m_ui.reset();
    return nullptr;
  }
  return m_ui.get();
}

void Lv2Plugin::closeUi(UiSession* session) {
  if (!m_ui || session != m_ui.get()) return;
  m_ui->close();
  m_ui.reset();
  // A gesture the window took with it ends here.
  for (auto& touching : m_touching) touching.store(false, std::memory_order_relaxed);
}

}  // namespace lv2
