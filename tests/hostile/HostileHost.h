#pragma once

// A host that loads the built plug-in module the way any VST 2.4 host does (the shared library,
// its VSTPluginMain entry point, the effect record) and then behaves badly on purpose: odd
// arguments, odd block sizes, malformed event lists, odd sample rates, several threads at once.
// The helpers here build what such a host hands over and judge what comes back.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "common/PresetDocument.h"
#include "vst2/Vst2Abi.h"

// HOSTILE_ASAN: this program is built with AddressSanitizer (gcc and clang say so differently).
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define HOSTILE_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define HOSTILE_ASAN 1
#endif

namespace hostile {

// One instance of the plug-in, created through the module's entry point and closed when the
// object goes. `effect()` is null when the entry point refused.
class Plugin {
 public:
  Plugin();
  ~Plugin();
  Plugin(const Plugin&) = delete;
  Plugin& operator=(const Plugin&) = delete;

  vst2::EffectRecord* effect() const { return m_effect; }
  std::intptr_t dispatch(std::int32_t opcode, std::int32_t index = 0, std::intptr_t value = 0, void* ptr = nullptr,
                         float opt = 0.0f);
  // Closes the effect now (the answer to the close request).
  std::intptr_t close();

  // Open, sample rate, block size and resume, as hosts start an instrument.
  void start(float sampleRate = 44100.0f, int blockSize = 256);
  void suspend() { dispatch(vst2::effect::mainsChanged, 0, 0); }
  void resume() { dispatch(vst2::effect::mainsChanged, 0, 1); }

  void setParameter(std::int32_t index, float value) { m_effect->setParameter(m_effect, index, value); }
  float getParameter(std::int32_t index) { return m_effect->getParameter(m_effect, index); }
  // A text request (names, display texts) into a roomy buffer.
  std::string text(std::int32_t opcode, std::int32_t index = 0);
  std::string programName() { return text(vst2::effect::getProgramName); }
  // The current chunk, copied at once; empty when the plug-in gives none.
  std::string chunk();
  bool setChunk(const std::string& data);

  // processReplacing with the host's own pointers (any of them may be odd).
  void process(float** outputs, std::int32_t frames) { m_effect->processReplacing(m_effect, nullptr, outputs, frames); }
  void processEvents(const vst2::EventList* list) { dispatch(vst2::effect::processEvents, 0, 0, const_cast<vst2::EventList*>(list)); }

 private:
  vst2::EffectRecord* m_effect = nullptr;
};

// Stereo audio as the host collects it.
struct Stereo {
  std::vector<float> left, right;
  std::size_t size() const { return left.size(); }
};

// Renders `frames` samples in one processReplacing call and appends them to `out`.
void renderBlock(Plugin& plugin, int frames, Stereo& out);
// Renders `total` samples in blocks of `blockSize` (the last one shorter) and appends them.
void renderFor(Plugin& plugin, int total, Stereo& out, int blockSize = 256);

bool allFinite(const Stereo& audio);
// Root mean square of both channels over [begin, end).
double rms(const Stereo& audio, std::size_t begin = 0, std::size_t end = SIZE_MAX);
// True when both channels hold the same samples, bit for bit.
bool identical(const Stereo& a, const Stereo& b);

// A MIDI event record as a host fills it.
vst2::MidiEvent midi(int deltaFrames, unsigned status, unsigned data1, unsigned data2);
inline vst2::MidiEvent noteOn(int deltaFrames, int key, int velocity = 100) {
  return midi(deltaFrames, 0x90, static_cast<unsigned>(key), static_cast<unsigned>(velocity));
}
inline vst2::MidiEvent noteOff(int deltaFrames, int key) { return midi(deltaFrames, 0x80, static_cast<unsigned>(key), 0); }

// An event list laid out the way hosts allocate it: the header and exactly as many pointers as
// events, in one heap block of that size (so a read past the last pointer is an overflow), with
// the events in heap records of their own. Entries may be made null or point to other records.
class EventList {
 public:
  explicit EventList(const std::vector<vst2::MidiEvent>& events);
  ~EventList();
  EventList(const EventList&) = delete;
  EventList& operator=(const EventList&) = delete;

  vst2::EventList* get() { return m_list; }
  vst2::MidiEvent& event(std::size_t i) { return *m_events[i]; }
  std::size_t size() const { return m_events.size(); }
  // Entry i points nowhere.
  void clearEntry(std::size_t i);
  // What a host does with its list once the call is over: overwrites every event with a loud
  // note-on of another key at delta 0, then frees the memory. A plug-in that still reads the
  // list afterwards plays the wrong note; under AddressSanitizer it is caught reading freed
  // memory. Without AddressSanitizer the scribbled memory is kept until the list object goes,
  // so what such a plug-in reads is the scribble and not whatever the allocator left there.
  void scribbleAndFree();

 private:
  std::vector<vst2::MidiEvent*> m_events;
  vst2::EventList* m_list = nullptr;
  bool m_released = false;  // scribbled; kept only for the destructor to free
};

// Fails the whole program when a part of it runs longer than its allowance: a hang is reported
// as such instead of waiting for the test driver's timeout.
class Watchdog {
 public:
  Watchdog(const char* what, std::chrono::seconds allowance);
  ~Watchdog();
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;

 private:
  std::atomic<bool> m_done{false};
  std::thread m_thread;
};

// How many times slower than a plain Release build this program runs (sanitizers); allowances
// and time limits scale by it.
int slowdown();
// True when time limits are meaningful (no sanitizer build).
bool timingIsMeaningful();

using testdocs::documentValue;
using testdocs::presetDocument;

}  // namespace hostile
