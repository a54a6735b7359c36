#pragma once

#include <cstddef>

#include "DspEvents.h"

namespace core {

class Parameters;

// The plug-in core's view of a synthesis engine. The operations are declared in a fixed order
// (the engine's dispatch table): hosts' adapters and the core call them through this interface
// only. Threads: processEvents, process and everything they call run on the host's audio
// thread; open, resume, resetPeaks, sampleRateChanged, registerParameters and the display
// requests come from the user-interface thread; setParameter may come from either while a
// block renders.
class DspInterface {
 public:
  // Declares the instrument's parameters, ids 0, 1, 2, ... with their names and defaults.
  virtual void registerParameters(Parameters& registry) = 0;
  // One-time initialisation after the callbacks are set.
  virtual void open() = 0;
  // The host resumes: clears the latched peaks and silences every voice.
  virtual void resume() = 0;
  // Sets the latched peak pair to 0 (the host suspends).
  virtual void resetPeaks() = 0;
  // Silences every voice.
  virtual void suspend() = 0;
  // Stores the normalised value (unclamped) when id is a parameter id; the audio thread applies
  // it before it renders the next sample or handles the next event. Other ids are ignored.
  virtual void setParameter(int id, float value) = 0;
  // Writes the unit label (at most size - 1 bytes and a terminating zero).
  virtual void getParameterLabel(int id, char* text, std::size_t size) = 0;
  // Writes the display text of the stored value (at most size - 1 bytes and a terminating zero).
  virtual void getParameterDisplay(int id, char* text, std::size_t size) = 0;
  // Renders frames samples into outputs[0] (left) and outputs[1] (right), replacing their
  // contents; inputs are not read.
  virtual void processReplacing(float** inputs, float** outputs, int frames) = 0;
  // Called after a new event list has been taken.
  virtual void eventsReceived() = 0;
  // Handles the event at the current event index.
  virtual void processMidiEvent() = 0;
  // Note on (on = true) or off for a MIDI note 0..127 with velocity 0..127.
  virtual void noteOnOff(int note, int velocity, bool on) = 0;
  // The stored value of a parameter exactly as last set.
  virtual float getParameter(int id) = 0;
  // Recomputes every rate-dependent value after the sample rate changed.
  virtual void sampleRateChanged() = 0;

  virtual ~DspInterface() = default;

  // Copies the MIDI events of the host's list for the coming block (appending to any list
  // already handed over for it); the list is not read after the call. Always returns 1.
  virtual int processEvents(const DspEvents* events) = 0;
  // Renders one block (see processReplacing) with the events handed over since the last
  // rendered block. A call with no frames or no outputs renders nothing and keeps the events.
  virtual void process(float** inputs, float** outputs, int frames) = 0;
  // Hands every event due at sampleIndex of the current block to processMidiEvent.
  virtual void dispatchEventsAt(int sampleIndex) = 0;
};

}  // namespace core
