#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace render {

// One channel message of a Standard MIDI File, placed in time.
struct TimedMidi {
  double seconds = 0.0;
  unsigned char bytes[3] = {0, 0, 0};  // status, data1, data2 (0 when the message has one data byte)
};

// The channel messages of a Standard MIDI File (formats 0 and 1) in playing order, with the
// tempo map applied: note on and off, controllers, program changes, aftertouch and pitch bend.
// System-exclusive and meta events other than tempo are skipped.
struct MidiSequence {
  std::vector<TimedMidi> events;  // sorted by time; equal times keep file and track order
  double lengthSeconds = 0.0;     // time of the last event of any kind (end of track included)
};

// Reads `data` as a Standard MIDI File. On failure returns false and sets `error` to one line
// saying what is wrong; never reads beyond the data.
bool parseMidiFile(const std::vector<unsigned char>& data, MidiSequence& sequence, std::string& error);
bool readMidiFile(const std::string& path, MidiSequence& sequence, std::string& error);

}  // namespace render
