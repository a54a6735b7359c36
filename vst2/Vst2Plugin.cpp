#include "vst2/Vst2Plugin.h"

#include <cstddef>
#include <cstring>
#include <limits>
#include <string>

namespace vst2 {

namespace {

// Copies at most size - 1 bytes of text and a terminating zero into ptr. A cut never splits a
// UTF-8 character, so hosts are not handed a broken sequence at the end of a long name.
void copyText(void* ptr, const std::string& text, std::size_t size) {
  if (!ptr || size == 0) return;
  std::size_t length = text.size() < size - 1 ? text.size() : size - 1;
  if (length < text.size())
    while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) --length;
  std::memcpy(ptr, text.data(), length);
  static_cast<char*>(ptr)[length] = '\0';
}

// The features this instrument answers "yes" to; everything else is a definite "no".
constexpr const char* kCanDo[] = {"receiveVstEvents", "receiveVstMidiEvent", "receiveVstTimeInfo"};

// Display texts are at most 8 characters (the longest are 20000.00 and 24000.00).
constexpr std::size_t kDisplayBufferSize = kMaxParameterStringLength + 1;

// The host's opt and value arguments as an int for the editor's key requests. A value an int
// cannot hold (and NaN) becomes 0: converting it would be undefined, and it names no key,
// modifier or mode.
int keyArgument(float opt) {
  return opt > -2147483648.0f && opt < 2147483648.0f ? static_cast<int>(opt) : 0;
}
int keyArgument(std::intptr_t value) {
  return value >= std::numeric_limits<int>::min() && value <= std::numeric_limits<int>::max() ? static_cast<int>(value)
                                                                                              : 0;
}

}  // namespace

Vst2Plugin::Vst2Plugin(HostCallback host, std::unique_ptr<core::PluginFactory> factory,
                       const core::PluginDescription& description, const core::Parameters& registry,
                       core::PluginCore& core, core::DspEngine& engine)
    : AudioEffectX(host, description.programCount, description.parameterCount),
      m_description(description),
      m_registry(registry),
      m_core(core),
      m_engine(engine),
      m_factory(std::move(factory)) {
  setNumInputs(description.inputCount);
  setNumOutputs(description.outputCount);
  setUniqueID(description.uniqueId);
  setVersion(1);
  setFlag(flags::canMono, true);
  setFlag(flags::canReplacing, true);
  setFlag(flags::programChunks, true);
  setFlag(flags::isSynth, description.isSynth);
  m_effect.initialDelay = 0;
  m_effect.ioRatio = 1.0f;
}

Vst2Plugin::~Vst2Plugin() {
  setEditorObject(nullptr);
  m_core.detachEditor();
  m_factory.reset();
}

std::intptr_t Vst2Plugin::dispatcher(std::int32_t opcode, std::int32_t index, std::intptr_t value, void* ptr,
                                     float opt) {
  switch (opcode) {
    case effect::open:
    case effect::close:  // the record's close entry deletes the adapter afterwards
    case effect::setProgram:  // one program; presets are chosen in the editor or by MIDI
    case effect::setProgramName:
      return 0;
    case effect::getProgram:
      return 0;
    case effect::getProgramName:
      copyText(ptr, m_core.currentProgramName(), kMaxProgramNameLength);
      return 0;
    case effect::getParamLabel:
      copyText(ptr, "", kMaxParameterStringLength);
      return 0;
    case effect::getParamDisplay:
      if (ptr) {
        static_cast<char*>(ptr)[0] = '\0';
        if (index >= 0 && index < m_description.parameterCount)
          m_engine.getParameterDisplay(index, static_cast<char*>(ptr), kDisplayBufferSize);
      }
      return 0;
    case effect::getParamName:
      copyText(ptr,
               index >= 0 && static_cast<std::size_t>(index) < m_registry.count() &&
                       index < m_description.parameterCount
                   ? m_registry.definition(static_cast<std::uint64_t>(index)).name
                   : std::string(),
               kMaxParameterNameLength);
      return 0;
    case effect::setSampleRate:
      m_sampleRate = opt;
      m_engine.setSampleRate(static_cast<double>(opt));
      return 0;
    case effect::setBlockSize:
      m_blockSize = static_cast<std::int32_t>(value);
      return 0;
    case effect::mainsChanged:
      suspendOrResume(value != 0);
      return 0;
    case effect::editGetRect: {
      if (!m_editor || !ptr) return 0;
      core::EditorRect* rect = nullptr;
      const bool known = m_editor->getRect(&rect);
      *static_cast<EditorRect**>(ptr) = reinterpret_cast<EditorRect*>(rect);
      return known ? 1 : 0;
    }
    case effect::editOpen:
      if (!m_editor) return 0;
      m_core.deliverUpdates();
      return m_editor->open(ptr) ? 1 : 0;
    case effect::editClose:
      if (m_editor) m_editor->close();
      return 0;
    case effect::editIdle:
      if (m_editor) {
        m_core.deliverUpdates();
        m_editor->idle();
      }
      return 0;
    case effect::identify:
      return fourCharCode('N', 'v', 'E', 'f');
    case effect::getChunk: {
      const char* data = nullptr;
      const std::size_t size = m_core.getChunk(&data);
      if (ptr) *static_cast<void**>(ptr) = const_cast<char*>(data);
      return static_cast<std::intptr_t>(size);
    }
    case effect::setChunk:
      if (value < 0) return 0;
      return m_core.setChunk(ptr, static_cast<std::size_t>(value));
    case effect::processEvents:
      // The engine copies the events; the host's list is not read after this call.
      m_engine.processEvents(static_cast<const core::DspEvents*>(ptr));
      return 1;
    case effect::canBeAutomated:
      return 1;
    case effect::getNumProgramCategories:
      return 1;
    case effect::getProgramNameIndexed:
      copyText(ptr, m_core.currentProgramName(), kMaxProgramNameLength);
      return 1;
    case effect::connectInput:
    case effect::connectOutput:
      return 1;
    case effect::getOutputProperties:
      return getOutputProperties(index, ptr);
    case effect::getPlugCategory:
      return kCategorySynth;
    case effect::getEffectName:
      copyText(ptr, m_description.effectName, kMaxEffectNameLength);
      return 1;
    case effect::getVendorString:
      copyText(ptr, m_description.vendorUrl, kMaxVendorStringLength);
      return 1;
    case effect::getProductString:
      copyText(ptr, m_description.effectName, kMaxProductStringLength);
      return 1;
    case effect::getVendorVersion:
      return 1;
    case effect::canDo:
      if (!ptr) return -1;
      for (const char* feature : kCanDo)
        if (std::strcmp(static_cast<const char*>(ptr), feature) == 0) return 1;
      return -1;
    case effect::keysRequired:
      return 1;  // keys are not required
    case effect::getVstVersion:
      return 2400;
    case effect::editKeyDown:
    case effect::editKeyUp:
      if (!m_editor) return 0;
      return (opcode == effect::editKeyDown ? m_editor->onKeyDown(index, keyArgument(value), keyArgument(opt))
                                            : m_editor->onKeyUp(index, keyArgument(value), keyArgument(opt)))
                 ? 1
                 : 0;
    case effect::setEditKnobMode:
      if (!m_editor) return 0;
      return m_editor->setKnobMode(keyArgument(value)) ? 1 : 0;
    case effect::getCurrentMidiProgram:
      return -1;
    case effect::startProcess:
    case effect::stopProcess:
      return 0;
    case effect::getNumMidiInputChannels:
      return 1;
    case effect::getNumMidiOutputChannels:
      return 0;
    default:
      return 0;
  }
}

std::intptr_t Vst2Plugin::getOutputProperties(std::int32_t index, void* ptr) const {
  if (index < 0 || index > 5 || !ptr) return 0;
  auto* properties = static_cast<PinProperties*>(ptr);
  std::memset(properties, 0, sizeof *properties);
  properties->flags = index < 2 ? (pinFlags::isActive | pinFlags::isStereo) : pinFlags::isActive;
  copyText(properties->label, m_description.shortMakerCode, sizeof properties->label);
  return 1;
}

void Vst2Plugin::suspendOrResume(bool resume) {
  if (!resume) {
    m_engine.resetPeaks();
    // Events handed over and not yet played are forgotten (the audio thread empties its queue).
    m_engine.discardPendingEvents();
    return;
  }
  wantEvents(true);
  m_engine.resume();
}

void Vst2Plugin::setParameter(std::int32_t index, float value) { m_core.setParameterFromHost(index, value); }

float Vst2Plugin::getParameter(std::int32_t index) { return m_core.parameterValue(index); }

void Vst2Plugin::processReplacing(float** inputs, float** outputs, std::int32_t frames) {
  // A block without frames or outputs still goes to the engine, which keeps its events for the
  // next rendered block.
  if (outputs && outputs[0] && outputs[1] && frames > 0) m_core.beginAudioBlock();
  m_engine.process(inputs, outputs, frames);
}

// --- core::PluginToHostInterface ------------------------------------------------------------

void Vst2Plugin::setParameterAutomated(int id, float value) { notifyHostAutomation(id, value); }

void Vst2Plugin::updateDisplay() { requestDisplayUpdate(); }

void Vst2Plugin::setEditor(core::AEffGUIEditor* editor) { setEditorObject(editor); }

void Vst2Plugin::beginEdit(int id) { requestBeginEdit(id); }

void Vst2Plugin::endEdit(int id) { requestEndEdit(id); }

bool Vst2Plugin::canHostDo(const char* text) { return askHostCanDo(text) > 0; }

bool Vst2Plugin::sizeWindow(int width, int height) { return requestWindowSize(width, height); }

}  // namespace vst2

// The host's records are handed to the core's types unchanged.
static_assert(sizeof(vst2::EventList) == sizeof(core::DspEvents) &&
                  offsetof(vst2::EventList, events) == offsetof(core::DspEvents, events),
              "event list layouts agree");
static_assert(sizeof(vst2::MidiEvent) == sizeof(core::DspMidiEvent) &&
                  offsetof(vst2::MidiEvent, midiData) == offsetof(core::DspMidiEvent, midiData),
              "MIDI event layouts agree");
static_assert(sizeof(vst2::EditorRect) == sizeof(core::EditorRect) &&
                  offsetof(vst2::EditorRect, right) == offsetof(core::EditorRect, right),
              "editor rectangle layouts agree");
