#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "DspInterface.h"
#include "DspToEditorInterface.h"
#include "DspToPluginCoreInterface.h"
#include "ScopePeakExchange.h"

namespace core {

// The engine frame shared by instruments: sample rate, the host's event list and its dispatch at
// the events' sample positions, the stored parameter values, the callbacks to the core and the
// editor feeds. An instrument derives from it and supplies the sound.
class DspEngine : public DspInterface {
 public:
  static constexpr int kMaxParameters = 64;
  static constexpr double kDefaultSampleRate = 44100.0;

  // The record the engine feeds for the editor; owned by the caller and outliving the engine.
  explicit DspEngine(ScopePeakExchange& scopePeaks);
  ~DspEngine() override;

  DspEngine(const DspEngine&) = delete;
  DspEngine& operator=(const DspEngine&) = delete;

  int processEvents(const DspEvents* events) override;
  void process(float** inputs, float** outputs, int frames) override;
  void dispatchEventsAt(int sampleIndex) override;

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

  int m_channelFilter = -1;  // -1: all MIDI channels (the engine is omni)
  bool m_active = false;     // false while asleep
  double m_sampleRate = kDefaultSampleRate;
  int m_voiceCount = 10;     // voice slots the loop visits

  const DspEvents* m_events = nullptr;
  int m_eventIndex = -1;  // next event to dispatch, -1 when there is none
  const DspEvent* m_currentEvent = nullptr;
  const char* m_currentMidiData = nullptr;

  DspToPluginCoreInterface* m_dspToPlugin = nullptr;
  DspToEditorInterface* m_dspToEditor = nullptr;
  ScopePeakExchange& m_scopePeaks;

  // Output cursors into the host's buffers, advanced once per sample by the loop.
  float* m_outLeft = nullptr;
  float* m_outRight = nullptr;

 private:
  int m_parameterCount = 0;
  // Written by setParameter from any thread, read by the audio thread: single floats, no lock.
  std::array<std::atomic<float>, kMaxParameters> m_parameterValues{};
};

}  // namespace core
