#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "Frameworks/Core/DspEvents.h"

namespace lv2 {

// MIDI events laid out as the engine takes a host's event list. Its storage is fixed, so filling
// it on the audio thread never allocates; the engine copies a list into its own queue, so a run
// with more events than the block holds hands them over in several lists.
class EventBlock {
 public:
  static constexpr int kCapacity = 128;

  void clear() { m_list.numEvents = 0; }
  bool full() const { return m_list.numEvents >= kCapacity; }
  bool empty() const { return m_list.numEvents == 0; }
  int size() const { return m_list.numEvents; }
  // A short MIDI message (status byte and up to two data bytes) at `frame` of the run.
  // False when full.
  bool add(std::int32_t frame, const std::uint8_t* bytes, std::uint32_t size);
  const core::DspEvents* list() const { return reinterpret_cast<const core::DspEvents*>(&m_list); }

 private:
  // The event list's layout: a count, a reserved word, then the event pointers.
  struct List {
    std::int32_t numEvents = 0;
    std::intptr_t reserved = 0;
    core::DspEvent* events[kCapacity] = {};
  };
  static_assert(offsetof(List, events) == offsetof(core::DspEvents, events), "event list layouts agree");

  List m_list;
  std::array<core::DspMidiEvent, kCapacity> m_events{};
};

}  // namespace lv2
