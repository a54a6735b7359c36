#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace core {

// The host's event list for one block, declared here with the exact memory layout of the VST 2.4
// event records, so the adapter can hand the host's list to the engine unchanged.

// Event types the engine distinguishes; every other type is skipped.
inline constexpr std::int32_t kDspMidiEventType = 1;

// Generic event header (32 bytes): what the engine reads of any event.
struct DspEvent {
  std::int32_t type;         // kDspMidiEventType for MIDI, other values are skipped
  std::int32_t byteSize;     // size of the whole record in bytes
  std::int32_t deltaFrames;  // sample offset of the event inside the coming block
  std::int32_t flags;
  char data[16];             // type-specific content
};

// A MIDI event (32 bytes), the same record viewed with its MIDI fields.
struct DspMidiEvent {
  std::int32_t type;  // kDspMidiEventType
  std::int32_t byteSize;
  std::int32_t deltaFrames;
  std::int32_t flags;
  std::int32_t noteLength;  // in samples, 0 when unknown
  std::int32_t noteOffset;
  char midiData[4];  // status, data1, data2, unused
  char detune;
  char noteOffVelocity;
  char reserved1;
  char reserved2;
};

// The list: a count followed by that many pointers. Hosts allocate the pointer array with as many
// entries as they need; the declared two entries are only the minimum size of the record. Read
// and write the entries with eventAt and setEventAt: indexing the declared two-element member
// beyond its second entry is undefined behaviour, whatever the host allocated.
struct DspEvents {
  std::int32_t numEvents;
  std::intptr_t reserved;
  DspEvent* events[2];
};

// Entry `index` (0 .. numEvents - 1) of a list's pointer array, read through the array's address
// so that any count the host allocated is read in a defined way.
inline const DspEvent* eventAt(const DspEvents& list, std::size_t index) {
  const DspEvent* event;
  const unsigned char* entry = reinterpret_cast<const unsigned char*>(&list) + offsetof(DspEvents, events);
  std::memcpy(&event, entry + index * sizeof event, sizeof event);
  return event;
}

// Sets entry `index` of a list whose storage holds at least index + 1 entries.
inline void setEventAt(DspEvents& list, std::size_t index, DspEvent* event) {
  unsigned char* entry = reinterpret_cast<unsigned char*>(&list) + offsetof(DspEvents, events);
  std::memcpy(entry + index * sizeof event, &event, sizeof event);
}

// Bytes a list with `count` entries occupies (never less than the declared record).
inline constexpr std::size_t eventListBytes(std::size_t count) {
  const std::size_t bytes = offsetof(DspEvents, events) + count * sizeof(DspEvent*);
  return bytes < sizeof(DspEvents) ? sizeof(DspEvents) : bytes;
}

static_assert(sizeof(DspEvent) == 32, "DspEvent must match the host's event header");
static_assert(sizeof(DspMidiEvent) == 32, "DspMidiEvent must match the host's MIDI event");
static_assert(offsetof(DspMidiEvent, midiData) == 24, "MIDI bytes at the host's offset");
static_assert(offsetof(DspEvents, events) == 16, "event pointers at the host's offset");

}  // namespace core
