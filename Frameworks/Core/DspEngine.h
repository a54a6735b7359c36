#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

#include "DspInterface.h"
#include "DspToEditorInterface.h"
#include "DspToPluginCoreInterface.h"
#include "ScopePeakExchange.h"

namespace core {

// The engine frame shared by instruments: sample rate, the queue of MIDI events copied from the
// host's lists and their dispatch at the events' sample positions, the stored parameter values,
// the callbacks to the core and the editor feeds. An instrument derives from it and supplies the
// sound.
//
// Events. processEvents copies every MIDI event of the host's list into the engine's own queue
// (allocated once, kEventQueueCapacity records); no pointer into the host's list is kept past the
// call. Further lists before the next rendered block are appended. process renders the queue:
// each event at its delta-frames offset, offsets below 0 at the first sample, offsets at or past
// the block's end at its last sample, events that arrive out of order at once; then the queue is
// empty. A block that renders nothing (no frames, no outputs) keeps the queue: its events play at
// the start of the next rendered block. discardPendingEvents (suspend) empties it.
//
// A full queue takes no more note-ons or other messages (they are dropped and counted), but never
// loses what ends a sound: note-offs, the sustain pedal and all-sound-off / all-notes-off that
// find it full are kept aside (a bit per note, the last pedal value, one flag) and applied right
// after the queued events, in that order.
class DspEngine : public DspInterface {
 public:
  static constexpr int kMaxParameters = 64;
  static constexpr double kDefaultSampleRate = 44100.0;
  // MIDI events held for one block; hosts send a few hundred at most.
  static constexpr int kEventQueueCapacity = 4096;
  // Entries read from one host list at most: a count beyond it is a faulty host's, and reading
  // billions of entries would stall the audio thread.
  static constexpr int kMaxEventsPerList = 65536;

  // The record the engine feeds for the editor; owned by the caller and outliving the engine.
  explicit DspEngine(ScopePeakExchange& scopePeaks);
  ~DspEngine() override;

  DspEngine(const DspEngine&) = delete;
  DspEngine& operator=(const DspEngine&) = delete;

  int processEvents(const DspEvents* events) override;
  void process(float** inputs, float** outputs, int frames) override;
  void dispatchEventsAt(int sampleIndex) override;

  // Asks the audio thread to empty the event queue before it next takes or renders events; safe
  // from any thread (a host may suspend from its user-interface thread).
  void discardPendingEvents() { m_discardRequested.store(true, std::memory_order_release); }
  // Events waiting in the queue (for tests and diagnostics; audio thread).
  int pendingEventCount() const { return m_queueCount; }
  // Messages refused by a full queue since construction (note-ons and messages that end no sound).
  int droppedEventCount() const { return m_droppedEvents; }

  // Stores the rate and calls sampleRateChanged when it differs from the current one (compared
  // as double); the same rate again recomputes nothing.
  void setSampleRate(double rate);
  double sampleRate() const { return m_sampleRate; }

  // The core's callbacks; either may be null (then nothing is called).
  void setCallbacks(DspToPluginCoreInterface* dspToPlugin, DspToEditorInterface* dspToEditor);

  // Back to the base defaults: all MIDI channels, no pending events. The sample rate is kept
  // (it is 44100 until a host sets another).
  void resetBaseState();

  // Whether the engine is computing (false while the sleep detector has stopped it).
  bool isActive() const { return m_active; }
  ScopePeakExchange& scopePeaks() { return m_scopePeaks; }

 protected:
  // The number of parameters the instrument stores; set by the derived class's constructor.
  void setParameterCount(int count) { m_parameterCount = count; }
  int parameterCount() const { return m_parameterCount; }
  // The stored value, read once per sample by the loop for the per-sample switches.
  float storedValue(int id) const { return m_parameterValues[id].load(std::memory_order_relaxed); }
  // Stores a value when id is a parameter id; returns false for other ids.
  bool storeValue(int id, float value);
  // Offset of the next event still to dispatch in the current block, int max when none is left.
  int nextEventOffset() const;

  int m_channelFilter = -1;  // -1: all MIDI channels (the engine is omni)
  bool m_active = false;     // false while asleep
  double m_sampleRate = kDefaultSampleRate;
  int m_voiceCount = 10;     // voice slots the loop visits

  int m_eventIndex = -1;  // next queued event to dispatch, -1 when there is none
  const DspMidiEvent* m_currentEvent = nullptr;  // the event being handled (the engine's copy)
  const char* m_currentMidiData = nullptr;       // its status and data bytes

  DspToPluginCoreInterface* m_dspToPlugin = nullptr;
  DspToEditorInterface* m_dspToEditor = nullptr;
  ScopePeakExchange& m_scopePeaks;

  // Output cursors into the host's buffers, advanced once per sample by the loop.
  float* m_outLeft = nullptr;
  float* m_outRight = nullptr;

 private:
  void honourDiscardRequest();
  void clearQueue();
  void enqueue(const DspEvent& event);
  // Keeps a message that ends sound when the queue is full; false for any other message.
  bool keepAsideWhenFull(const char* midi);
  // Hands the kept-aside messages to processMidiEvent and forgets them.
  void dispatchKeptAside();
  void handle(const DspMidiEvent& event);

  int m_parameterCount = 0;
  // Written by setParameter from any thread, read by the audio thread: single floats, no lock.
  std::array<std::atomic<float>, kMaxParameters> m_parameterValues{};

  // The event queue (audio thread only, apart from construction and resetBaseState).
  std::unique_ptr<DspMidiEvent[]> m_queue;
  int m_queueCount = 0;
  std::atomic<bool> m_discardRequested{false};
  // Kept aside by a full queue: a bit per released note, the last pedal message (controller and
  // value, controller -1 when none) and the last all-sound-off / all-notes-off controller (-1).
  std::array<std::uint64_t, 2> m_keptNoteOffs{};
  int m_keptPedalController = -1;
  int m_keptPedalValue = 0;
  int m_keptAllOffController = -1;
  bool m_anyKeptAside = false;
  int m_droppedEvents = 0;
};

}  // namespace core
