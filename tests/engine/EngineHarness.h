#pragma once

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "Frameworks/Core/DspEvents.h"
#include "Frameworks/Core/DspToPluginCoreInterface.h"
#include "Frameworks/Core/ScopePeakExchange.h"
#include "source/SkarvelParameterTable.h"
#include "source/VstSynth.h"

namespace enginetest {

// Stands in for the plug-in core (a later subsystem): counts the engine's callbacks and, like
// the core, sends the stored values back on a resend.
class FakeCore : public core::DspToPluginCoreInterface {
 public:
  void programChange(int program) override { programs.push_back(program); }
  void resendParameters() override {
    ++resends;
    if (engine)
      for (int id = 0; id < skarvel::kParameterCount; ++id) engine->setParameter(id, engine->getParameter(id));
  }
  std::vector<int> programs;
  int resends = 0;
  skarvel::VstSynth* engine = nullptr;
};

// A host-style event list: MIDI events at sample offsets, plus any raw event.
class EventList {
 public:
  EventList& midi(int deltaFrames, int status, int data1, int data2) {
    core::DspMidiEvent event{};
    event.type = core::kDspMidiEventType;
    event.byteSize = sizeof(core::DspMidiEvent);
    event.deltaFrames = deltaFrames;
    event.midiData[0] = static_cast<char>(status);
    event.midiData[1] = static_cast<char>(data1);
    event.midiData[2] = static_cast<char>(data2);
    m_events.push_back(event);
    return *this;
  }
  EventList& noteOn(int deltaFrames, int note, int velocity = 100) { return midi(deltaFrames, 0x90, note, velocity); }
  EventList& noteOff(int deltaFrames, int note) { return midi(deltaFrames, 0x80, note, 0); }
  EventList& other(int deltaFrames, int type) {
    core::DspMidiEvent event{};
    event.type = type;
    event.byteSize = sizeof(core::DspMidiEvent);
    event.deltaFrames = deltaFrames;
    event.midiData[0] = static_cast<char>(0x90);  // would be a note if it were read as MIDI
    event.midiData[1] = 70;
    event.midiData[2] = 100;
    m_events.push_back(event);
    return *this;
  }

  // The list record; valid until this object changes.
  const core::DspEvents* list() {
    m_storage.assign(core::eventListBytes(m_events.size()), 0);
    auto* events = reinterpret_cast<core::DspEvents*>(m_storage.data());
    events->numEvents = static_cast<int>(m_events.size());
    for (std::size_t i = 0; i < m_events.size(); ++i)
      core::setEventAt(*events, i, reinterpret_cast<core::DspEvent*>(&m_events[i]));
    return events;
  }

 private:
  std::vector<core::DspMidiEvent> m_events;
  std::vector<unsigned char> m_storage;
};

// An opened engine with every parameter at its default, as the core leaves it.
struct Rig {
  core::ScopePeakExchange scope;
  std::unique_ptr<skarvel::VstSynth> engine = std::make_unique<skarvel::VstSynth>(scope);
  FakeCore core;

  Rig() {
    core.engine = engine.get();
    engine->setCallbacks(&core, nullptr);
    engine->open();
    for (int id = 0; id < skarvel::kParameterCount; ++id)
      engine->setParameter(id, skarvel::kParameterTable[id].defaultValue);
    engine->resume();
  }

  // Renders frames samples (events first, when given) and returns left then right.
  std::vector<float> left, right;
  void render(int frames, EventList* events = nullptr) {
    left.assign(frames, 123.0f);
    right.assign(frames, 123.0f);
    engine->processEvents(events ? events->list() : nullptr);
    float* outputs[2] = {left.data(), right.data()};
    engine->process(nullptr, outputs, frames);
  }
  // Renders in host-sized blocks, returning the left channel of everything.
  std::vector<float> renderSeconds(double seconds, int block = 512) {
    std::vector<float> all;
    int total = static_cast<int>(seconds * engine->sampleRate());
    while (total > 0) {
      const int n = std::min(block, total);
      render(n);
      all.insert(all.end(), left.begin(), left.end());
      total -= n;
    }
    return all;
  }
  void play(int note, int velocity = 100) {
    EventList events;
    events.noteOn(0, note, velocity);
    render(1, &events);
  }
  void release(int note) {
    EventList events;
    events.noteOff(0, note);
    render(1, &events);
  }
};

inline double peak(const std::vector<float>& samples, std::size_t from = 0) {
  double result = 0.0;
  for (std::size_t i = from; i < samples.size(); ++i) result = std::max(result, std::fabs(static_cast<double>(samples[i])));
  return result;
}

inline bool allFinite(const std::vector<float>& samples) {
  for (float x : samples)
    if (!std::isfinite(x)) return false;
  return true;
}

// Normalised value that maps to `hz` through a `low` x ratio^x law.
inline float normalisedFor(double hz, double low, double ratio) {
  return static_cast<float>(std::log(hz / low) / std::log(ratio));
}

}  // namespace enginetest
