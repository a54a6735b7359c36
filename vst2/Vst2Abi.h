#pragma once

// The binary interface between a VST 2.4 host and an instrument, declared from its documented C
// layout: the effect record the entry point returns, the dispatcher and host-callback signatures,
// the event list and MIDI event records, the editor rectangle, the output-pin properties, and the
// request numbers this plug-in answers or sends. Only the adapter in this folder includes it.

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace vst2 {

struct EffectRecord;

// Every call between host and plug-in goes through one of these plain C functions.
using HostCallback = std::intptr_t (*)(EffectRecord* effect, std::int32_t opcode, std::int32_t index,
                                       std::intptr_t value, void* ptr, float opt);
using DispatcherProc = std::intptr_t (*)(EffectRecord* effect, std::int32_t opcode, std::int32_t index,
                                         std::intptr_t value, void* ptr, float opt);
using ProcessProc = void (*)(EffectRecord* effect, float** inputs, float** outputs, std::int32_t frames);
using ProcessDoubleProc = void (*)(EffectRecord* effect, double** inputs, double** outputs, std::int32_t frames);
using SetParameterProc = void (*)(EffectRecord* effect, std::int32_t index, float value);
using GetParameterProc = float (*)(EffectRecord* effect, std::int32_t index);

// Four characters packed most significant first, as the interface writes its codes.
constexpr std::int32_t fourCharCode(char a, char b, char c, char d) {
  return static_cast<std::int32_t>((static_cast<std::uint32_t>(static_cast<unsigned char>(a)) << 24) |
                                   (static_cast<std::uint32_t>(static_cast<unsigned char>(b)) << 16) |
                                   (static_cast<std::uint32_t>(static_cast<unsigned char>(c)) << 8) |
                                   static_cast<std::uint32_t>(static_cast<unsigned char>(d)));
}

inline constexpr std::int32_t kEffectMagic = fourCharCode('V', 's', 't', 'P');

// The record the host keeps for one plug-in instance (the host reads it and calls through it).
struct EffectRecord {
  std::int32_t magic;  // kEffectMagic
  DispatcherProc dispatcher;
  ProcessProc process;  // deprecated accumulating process
  SetParameterProc setParameter;
  GetParameterProc getParameter;
  std::int32_t numPrograms;
  std::int32_t numParams;
  std::int32_t numInputs;
  std::int32_t numOutputs;
  std::int32_t flags;  // EffectFlags
  std::intptr_t reserved1;
  std::intptr_t reserved2;
  std::int32_t initialDelay;  // samples
  std::int32_t realQualities;  // unused
  std::int32_t offQualities;   // unused
  float ioRatio;
  void* object;  // the plug-in's own object behind this record
  void* user;    // the host's own pointer
  std::int32_t uniqueID;
  std::int32_t version;
  ProcessProc processReplacing;
  ProcessDoubleProc processDoubleReplacing;
  char future[56];
};

namespace flags {
inline constexpr std::int32_t hasEditor = 1 << 0;
inline constexpr std::int32_t canMono = 1 << 3;  // deprecated, still set by many instruments
inline constexpr std::int32_t canReplacing = 1 << 4;
inline constexpr std::int32_t programChunks = 1 << 5;
inline constexpr std::int32_t isSynth = 1 << 8;
inline constexpr std::int32_t noSoundInStop = 1 << 9;
inline constexpr std::int32_t canDoubleReplacing = 1 << 12;
}  // namespace flags

// Generic event header and the MIDI event; the list is a count followed by that many pointers
// (hosts allocate as many as they need; two is only the declared minimum).
struct Event {
  std::int32_t type;
  std::int32_t byteSize;
  std::int32_t deltaFrames;
  std::int32_t flags;
  char data[16];
};

inline constexpr std::int32_t kMidiEventType = 1;

struct MidiEvent {
  std::int32_t type;  // kMidiEventType
  std::int32_t byteSize;
  std::int32_t deltaFrames;
  std::int32_t flags;
  std::int32_t noteLength;
  std::int32_t noteOffset;
  char midiData[4];
  char detune;
  char noteOffVelocity;
  char reserved1;
  char reserved2;
};

// The declared two entries are the record's minimum; hosts allocate numEvents of them. Entries
// beyond the second are reached with setEventAt and eventAt, which go through the array's
// address (indexing the two-element member past its end is undefined behaviour).
struct EventList {
  std::int32_t numEvents;
  std::intptr_t reserved;
  Event* events[2];
};

inline void setEventAt(EventList& list, std::size_t index, Event* event) {
  unsigned char* entry = reinterpret_cast<unsigned char*>(&list) + offsetof(EventList, events);
  std::memcpy(entry + index * sizeof event, &event, sizeof event);
}

inline Event* eventAt(const EventList& list, std::size_t index) {
  Event* event;
  const unsigned char* entry = reinterpret_cast<const unsigned char*>(&list) + offsetof(EventList, events);
  std::memcpy(&event, entry + index * sizeof event, sizeof event);
  return event;
}

// Bytes a list with `count` entries occupies (never less than the declared record).
inline constexpr std::size_t eventListBytes(std::size_t count) {
  const std::size_t bytes = offsetof(EventList, events) + count * sizeof(Event*);
  return bytes < sizeof(EventList) ? sizeof(EventList) : bytes;
}

// The editor's rectangle in pixels.
struct EditorRect {
  std::int16_t top;
  std::int16_t left;
  std::int16_t bottom;
  std::int16_t right;
};

// A key press handed to the editor.
struct KeyCode {
  std::int32_t character;
  std::uint8_t virtualKey;
  std::uint8_t modifier;
};

// Output (or input) pin description.
struct PinProperties {
  char label[64];
  std::int32_t flags;  // pinFlags
  std::int32_t arrangementType;
  char shortLabel[8];
  char future[48];
};

namespace pinFlags {
inline constexpr std::int32_t isActive = 1 << 0;
inline constexpr std::int32_t isStereo = 1 << 1;
}  // namespace pinFlags

// Text limits of the answers, each including the terminating zero where the host expects one.
inline constexpr std::size_t kMaxProgramNameLength = 24;
inline constexpr std::size_t kMaxParameterStringLength = 8;
inline constexpr std::size_t kMaxParameterNameLength = 24;  // what hosts in practice reserve
inline constexpr std::size_t kMaxEffectNameLength = 32;
inline constexpr std::size_t kMaxVendorStringLength = 64;
inline constexpr std::size_t kMaxProductStringLength = 64;

// Requests from the host to the plug-in (the dispatcher's opcode).
namespace effect {
inline constexpr std::int32_t open = 0;
inline constexpr std::int32_t close = 1;
inline constexpr std::int32_t setProgram = 2;
inline constexpr std::int32_t getProgram = 3;
inline constexpr std::int32_t setProgramName = 4;
inline constexpr std::int32_t getProgramName = 5;
inline constexpr std::int32_t getParamLabel = 6;
inline constexpr std::int32_t getParamDisplay = 7;
inline constexpr std::int32_t getParamName = 8;
inline constexpr std::int32_t setSampleRate = 10;
inline constexpr std::int32_t setBlockSize = 11;
inline constexpr std::int32_t mainsChanged = 12;
inline constexpr std::int32_t editGetRect = 13;
inline constexpr std::int32_t editOpen = 14;
inline constexpr std::int32_t editClose = 15;
inline constexpr std::int32_t editIdle = 19;
inline constexpr std::int32_t identify = 22;
inline constexpr std::int32_t getChunk = 23;
inline constexpr std::int32_t setChunk = 24;
inline constexpr std::int32_t processEvents = 25;
inline constexpr std::int32_t canBeAutomated = 26;
inline constexpr std::int32_t stringToParameter = 27;
inline constexpr std::int32_t getNumProgramCategories = 28;
inline constexpr std::int32_t getProgramNameIndexed = 29;
inline constexpr std::int32_t connectInput = 31;
inline constexpr std::int32_t connectOutput = 32;
inline constexpr std::int32_t getInputProperties = 33;
inline constexpr std::int32_t getOutputProperties = 34;
inline constexpr std::int32_t getPlugCategory = 35;
inline constexpr std::int32_t getEffectName = 45;
inline constexpr std::int32_t getVendorString = 47;
inline constexpr std::int32_t getProductString = 48;
inline constexpr std::int32_t getVendorVersion = 49;
inline constexpr std::int32_t canDo = 51;
inline constexpr std::int32_t getTailSize = 52;
inline constexpr std::int32_t keysRequired = 57;
inline constexpr std::int32_t getVstVersion = 58;
inline constexpr std::int32_t editKeyDown = 59;
inline constexpr std::int32_t editKeyUp = 60;
inline constexpr std::int32_t setEditKnobMode = 61;
inline constexpr std::int32_t getCurrentMidiProgram = 63;
inline constexpr std::int32_t startProcess = 71;
inline constexpr std::int32_t stopProcess = 72;
inline constexpr std::int32_t getNumMidiInputChannels = 78;
inline constexpr std::int32_t getNumMidiOutputChannels = 79;
}  // namespace effect

// Requests from the plug-in to the host (the host callback's opcode).
namespace host {
inline constexpr std::int32_t automate = 0;
inline constexpr std::int32_t version = 1;
inline constexpr std::int32_t currentId = 2;
inline constexpr std::int32_t idle = 3;
inline constexpr std::int32_t wantMidi = 6;
inline constexpr std::int32_t getTime = 7;
inline constexpr std::int32_t processEvents = 8;
inline constexpr std::int32_t sizeWindow = 15;
inline constexpr std::int32_t getSampleRate = 16;
inline constexpr std::int32_t getBlockSize = 17;
inline constexpr std::int32_t getCurrentProcessLevel = 23;
inline constexpr std::int32_t getVendorString = 32;
inline constexpr std::int32_t getProductString = 33;
inline constexpr std::int32_t getVendorVersion = 34;
inline constexpr std::int32_t canDo = 37;
inline constexpr std::int32_t getLanguage = 38;
inline constexpr std::int32_t updateDisplay = 42;
inline constexpr std::int32_t beginEdit = 43;
inline constexpr std::int32_t endEdit = 44;
}  // namespace host

// Plug-in categories (answer to effect::getPlugCategory).
inline constexpr std::int32_t kCategorySynth = 2;

static_assert(sizeof(void*) == 8, "the plug-in is built for 64-bit hosts only");
static_assert(sizeof(EffectRecord) == 192, "effect record layout");
static_assert(offsetof(EffectRecord, flags) == 56, "effect record layout");
static_assert(offsetof(EffectRecord, object) == 96, "effect record layout");
static_assert(offsetof(EffectRecord, uniqueID) == 112, "effect record layout");
static_assert(offsetof(EffectRecord, processReplacing) == 120, "effect record layout");
static_assert(sizeof(Event) == 32 && sizeof(MidiEvent) == 32, "event layout");
static_assert(offsetof(MidiEvent, midiData) == 24, "MIDI bytes at their offset");
static_assert(offsetof(EventList, events) == 16, "event pointers at their offset");
static_assert(sizeof(EditorRect) == 8, "editor rectangle layout");
static_assert(sizeof(PinProperties) == 128, "pin properties layout");

}  // namespace vst2
