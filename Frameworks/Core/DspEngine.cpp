#include "DspEngine.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace core {

namespace {

// MIDI status nibbles and controllers the queue treats as ending sound when it is full.
constexpr int kNoteOff = 0x80;
constexpr int kNoteOn = 0x90;
constexpr int kController = 0xB0;
constexpr int kSustainPedal = 64;
constexpr int kSoftPedal = 66;
constexpr int kAllSoundOff = 120;
constexpr int kAllNotesOff = 123;

}  // namespace

DspEngine::DspEngine(ScopePeakExchange& scopePeaks)
    : m_scopePeaks(scopePeaks), m_queue(new DspMidiEvent[kEventQueueCapacity]()) {}

DspEngine::~DspEngine() = default;

int DspEngine::processEvents(const DspEvents* events) {
  honourDiscardRequest();
  if (events) {
    // A negative count reads nothing; an absurd one is cut (see kMaxEventsPerList).
    const int count = std::min(events->numEvents, kMaxEventsPerList);
    for (int i = 0; i < count; ++i) {
      // Null entries and events of other types (system exclusive, ...) are skipped.
      const DspEvent* event = eventAt(*events, static_cast<std::size_t>(i));
      if (event && event->type == kDspMidiEventType) enqueue(*event);
    }
  }
  if (m_queueCount > 0 && m_eventIndex < 0) m_eventIndex = 0;
  eventsReceived();
  return 1;
}

void DspEngine::enqueue(const DspEvent& event) {
  // The whole record is copied (a MIDI event has a fixed layout); its byteSize is not trusted
  // to say how much to read.
  DspMidiEvent copy;
  std::memcpy(&copy, &event, sizeof copy);
  if (m_queueCount < kEventQueueCapacity) {
    m_queue[m_queueCount++] = copy;
    return;
  }
  if (!keepAsideWhenFull(copy.midiData)) ++m_droppedEvents;
}

bool DspEngine::keepAsideWhenFull(const char* midi) {
  const int status = static_cast<unsigned char>(midi[0]) & 0xF0;
  const int data1 = static_cast<unsigned char>(midi[1]) & 0x7F;
  const int data2 = static_cast<unsigned char>(midi[2]) & 0x7F;
  if (status == kNoteOff || (status == kNoteOn && data2 == 0)) {
    m_keptNoteOffs[data1 >> 6] |= 1ull << (data1 & 63);
  } else if (status == kController && (data1 == kSustainPedal || data1 == kSoftPedal)) {
    m_keptPedalController = data1;
    m_keptPedalValue = data2;
  } else if (status == kController && (data1 == kAllSoundOff || data1 == kAllNotesOff)) {
    m_keptAllOffController = data1;
  } else {
    return false;
  }
  m_anyKeptAside = true;
  return true;
}

void DspEngine::process(float** inputs, float** outputs, int frames) {
  honourDiscardRequest();
  if (!outputs || !outputs[0] || !outputs[1] || frames <= 0) {
    // Nothing is rendered: the events wait for the next rendered block and play at its start.
    for (int i = 0; i < m_queueCount; ++i) m_queue[i].deltaFrames = 0;
    return;
  }
  // Every event inside the block: a late one (a dropped note-off would hang its note) plays at
  // the last sample, a negative offset at the first.
  const int last = frames - 1;
  for (int i = 0; i < m_queueCount; ++i) {
    std::int32_t& offset = m_queue[i].deltaFrames;
    offset = offset < 0 ? 0 : (offset > last ? last : offset);
  }
  processReplacing(inputs, outputs, frames);
  clearQueue();
}

void DspEngine::dispatchEventsAt(int sampleIndex) {
  if (m_eventIndex < 0) return;
  while (m_eventIndex < m_queueCount) {
    const DspMidiEvent& event = m_queue[m_eventIndex];
    // An event due later stops the dispatch for this sample. One whose offset already lies
    // behind the current sample arrived out of order: it is handled at once instead of waiting
    // for a sample that will not come again.
    if (event.deltaFrames > sampleIndex) return;
    handle(event);
    ++m_eventIndex;
  }
  if (m_anyKeptAside) dispatchKeptAside();
  m_eventIndex = -1;
}

int DspEngine::nextEventOffset() const {
  if (m_eventIndex < 0 || m_eventIndex >= m_queueCount) return std::numeric_limits<int>::max();
  return m_queue[m_eventIndex].deltaFrames;
}

void DspEngine::handle(const DspMidiEvent& event) {
  m_currentEvent = &event;
  m_currentMidiData = event.midiData;
  processMidiEvent();
  m_currentEvent = nullptr;
  m_currentMidiData = nullptr;
}

void DspEngine::dispatchKeptAside() {
  DspMidiEvent event{};
  event.type = kDspMidiEventType;
  event.byteSize = sizeof event;
  auto send = [&](int status, int data1, int data2) {
    event.midiData[0] = static_cast<char>(status);
    event.midiData[1] = static_cast<char>(data1);
    event.midiData[2] = static_cast<char>(data2);
    handle(event);
  };
  for (int note = 0; note < 128; ++note)
    if (m_keptNoteOffs[note >> 6] & (1ull << (note & 63))) send(kNoteOff, note, 0);
  if (m_keptPedalController >= 0) send(kController, m_keptPedalController, m_keptPedalValue);
  if (m_keptAllOffController >= 0) send(kController, m_keptAllOffController, 0);
  m_keptNoteOffs = {};
  m_keptPedalController = m_keptAllOffController = -1;
  m_anyKeptAside = false;
}

void DspEngine::honourDiscardRequest() {
  if (m_discardRequested.load(std::memory_order_relaxed) &&
      m_discardRequested.exchange(false, std::memory_order_acquire))
    clearQueue();
}

void DspEngine::clearQueue() {
  m_queueCount = 0;
  m_eventIndex = -1;
  m_keptNoteOffs = {};
  m_keptPedalController = m_keptAllOffController = -1;
  m_anyKeptAside = false;
}

void DspEngine::setSampleRate(double rate) {
  if (rate == m_sampleRate) return;
  m_sampleRate = rate;
  sampleRateChanged();
}

void DspEngine::setCallbacks(DspToPluginCoreInterface* dspToPlugin, DspToEditorInterface* dspToEditor) {
  m_dspToPlugin = dspToPlugin;
  m_dspToEditor = dspToEditor;
}

void DspEngine::resetBaseState() {
  m_channelFilter = -1;
  clearQueue();
  m_discardRequested.store(false, std::memory_order_relaxed);
  m_currentEvent = nullptr;
  m_currentMidiData = nullptr;
}

bool DspEngine::storeValue(int id, float value) {
  if (id < 0 || id >= m_parameterCount) return false;
  m_parameterValues[id].store(value, std::memory_order_relaxed);
  return true;
}

}  // namespace core
