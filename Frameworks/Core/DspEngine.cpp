#include "DspEngine.h"

namespace core {

DspEngine::DspEngine(ScopePeakExchange& scopePeaks) : m_scopePeaks(scopePeaks) {}

DspEngine::~DspEngine() = default;

int DspEngine::processEvents(const DspEvents* events) {
  if (events && events->numEvents > 0) {
    m_events = events;
    m_eventIndex = 0;
  } else {
    m_events = nullptr;
    m_eventIndex = -1;
  }
  eventsReceived();
  return 1;
}

void DspEngine::process(float** inputs, float** outputs, int frames) {
  processReplacing(inputs, outputs, frames);
  // The list belongs to the host and is only valid for this block.
  m_events = nullptr;
  m_eventIndex = -1;
}

void DspEngine::dispatchEventsAt(int sampleIndex) {
  if (m_eventIndex < 0 || !m_events) return;
  const int count = m_events->numEvents;
  while (m_eventIndex < count) {
    const DspEvent* event = m_events->events[m_eventIndex];
    if (!event) {
      ++m_eventIndex;
      continue;
    }
    // An event due later stops the dispatch for this sample. One whose offset already lies
    // behind the current sample arrived out of order: it is handled at once instead of waiting
    // for a sample that will not come again.
    if (event->deltaFrames > sampleIndex) return;
    if (event->type == kDspMidiEventType) {
      m_currentEvent = event;
      m_currentMidiData = reinterpret_cast<const DspMidiEvent*>(event)->midiData;
      processMidiEvent();
    }
    ++m_eventIndex;
  }
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
  m_events = nullptr;
  m_eventIndex = -1;
  m_currentEvent = nullptr;
  m_currentMidiData = nullptr;
}

bool DspEngine::storeValue(int id, float value) {
  if (id < 0 || id >= m_parameterCount) return false;
  m_parameterValues[id].store(value, std::memory_order_relaxed);
  return true;
}

}  // namespace core
