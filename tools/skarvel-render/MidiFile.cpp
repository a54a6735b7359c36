#include "MidiFile.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>

namespace render {

namespace {

// A bounds-checked reader over one chunk of the file.
class Cursor {
 public:
  Cursor(const unsigned char* data, std::size_t size) : m_data(data), m_size(size) {}
  bool atEnd() const { return m_pos >= m_size; }
  std::size_t remaining() const { return m_size - m_pos; }
  bool byte(unsigned& out) {
    if (atEnd()) return false;
    out = m_data[m_pos++];
    return true;
  }
  bool peek(unsigned& out) const {
    if (atEnd()) return false;
    out = m_data[m_pos];
    return true;
  }
  bool big(int bytes, std::uint32_t& out) {
    out = 0;
    for (int i = 0; i < bytes; ++i) {
      unsigned b;
      if (!byte(b)) return false;
      out = out << 8 | b;
    }
    return true;
  }
  // A variable-length quantity: at most four bytes of seven bits.
  bool vlq(std::uint32_t& out) {
    out = 0;
    for (int i = 0; i < 4; ++i) {
      unsigned b;
      if (!byte(b)) return false;
      out = out << 7 | (b & 0x7F);
      if (!(b & 0x80)) return true;
    }
    return false;
  }
  bool skip(std::uint32_t count) {
    if (count > remaining()) return false;
    m_pos += count;
    return true;
  }
  const unsigned char* here() const { return m_data + m_pos; }

 private:
  const unsigned char* m_data;
  std::size_t m_size;
  std::size_t m_pos = 0;
};

struct TickEvent {
  std::uint64_t tick;
  int track;
  std::size_t order;
  bool isTempo;
  std::uint32_t microsecondsPerQuarter;
  unsigned char bytes[3];
};

int dataBytesFor(unsigned status) {
  const unsigned kind = status & 0xF0;
  return kind == 0xC0 || kind == 0xD0 ? 1 : 2;
}

bool readTrack(Cursor& track, int trackIndex, std::vector<TickEvent>& out, std::uint64_t& endTick,
               std::string& error) {
  std::uint64_t tick = 0;
  unsigned runningStatus = 0;
  while (!track.atEnd()) {
    std::uint32_t delta;
    if (!track.vlq(delta)) {
      error = "broken MIDI file: bad delta time in track " + std::to_string(trackIndex + 1);
      return false;
    }
    tick += delta;
    unsigned first;
    if (!track.peek(first)) {
      error = "broken MIDI file: track " + std::to_string(trackIndex + 1) + " ends inside an event";
      return false;
    }
    if (first == 0xFF) {  // meta event
      unsigned type;
      std::uint32_t length;
      track.byte(first);
      if (!track.byte(type) || !track.vlq(length) || length > track.remaining()) {
        error = "broken MIDI file: bad meta event in track " + std::to_string(trackIndex + 1);
        return false;
      }
      if (type == 0x51 && length == 3) {
        const unsigned char* p = track.here();
        const std::uint32_t tempo = static_cast<std::uint32_t>(p[0]) << 16 | p[1] << 8 | p[2];
        out.push_back({tick, trackIndex, out.size(), true, tempo == 0 ? 1u : tempo, {0, 0, 0}});
      }
      track.skip(length);
      endTick = std::max(endTick, tick);
      if (type == 0x2F) return true;  // end of track
      continue;
    }
    if (first == 0xF0 || first == 0xF7) {  // system exclusive: skipped
      std::uint32_t length;
      track.byte(first);
      if (!track.vlq(length) || !track.skip(length)) {
        error = "broken MIDI file: bad system-exclusive event in track " + std::to_string(trackIndex + 1);
        return false;
      }
      runningStatus = 0;
      continue;
    }
    unsigned status = runningStatus;
    if (first & 0x80) {
      track.byte(status);
      if (status >= 0xF0) {
        error = "broken MIDI file: unexpected system message in track " + std::to_string(trackIndex + 1);
        return false;
      }
      runningStatus = status;
    } else if (status == 0) {
      error = "broken MIDI file: data byte without a status in track " + std::to_string(trackIndex + 1);
      return false;
    }
    TickEvent event{tick, trackIndex, out.size(), false, 0, {static_cast<unsigned char>(status), 0, 0}};
    for (int i = 0; i < dataBytesFor(status); ++i) {
      unsigned b;
      if (!track.byte(b) || (b & 0x80)) {
        error = "broken MIDI file: bad data byte in track " + std::to_string(trackIndex + 1);
        return false;
      }
      event.bytes[1 + i] = static_cast<unsigned char>(b);
    }
    out.push_back(event);
    endTick = std::max(endTick, tick);
  }
  return true;  // a track without an end-of-track event is accepted
}

}  // namespace

bool parseMidiFile(const std::vector<unsigned char>& data, MidiSequence& sequence, std::string& error) {
  sequence = {};
  Cursor file(data.data(), data.size());
  std::uint32_t magic = 0, headerLength = 0, format = 0, trackCount = 0, division = 0;
  if (!file.big(4, magic) || magic != 0x4D546864 /* MThd */) {
    error = "not a Standard MIDI File (no MThd header)";
    return false;
  }
  if (!file.big(4, headerLength) || headerLength < 6 || headerLength > file.remaining() ||
      !file.big(2, format) || !file.big(2, trackCount) || !file.big(2, division) || !file.skip(headerLength - 6)) {
    error = "broken MIDI file: short header";
    return false;
  }
  if (format > 1) {
    error = "MIDI file format " + std::to_string(format) + " is not supported (only 0 and 1)";
    return false;
  }
  if (division == 0) {
    error = "broken MIDI file: zero time division";
    return false;
  }

  std::vector<TickEvent> events;
  std::uint64_t endTick = 0;
  int tracksRead = 0;
  while (!file.atEnd() && tracksRead < static_cast<int>(trackCount)) {
    std::uint32_t chunkType, chunkLength;
    if (!file.big(4, chunkType) || !file.big(4, chunkLength) || chunkLength > file.remaining()) {
      error = "broken MIDI file: track " + std::to_string(tracksRead + 1) + " is cut short";
      return false;
    }
    Cursor chunk(file.here(), chunkLength);
    file.skip(chunkLength);
    if (chunkType != 0x4D54726B /* MTrk */) continue;  // unknown chunks are skipped
    if (!readTrack(chunk, tracksRead, events, endTick, error)) return false;
    ++tracksRead;
  }
  if (tracksRead < static_cast<int>(trackCount)) {
    error = "broken MIDI file: " + std::to_string(trackCount) + " tracks announced, " + std::to_string(tracksRead) +
            " found";
    return false;
  }

  // Tracks play together: merge by tick, a tempo change before other events at its tick.
  std::stable_sort(events.begin(), events.end(), [](const TickEvent& a, const TickEvent& b) {
    if (a.tick != b.tick) return a.tick < b.tick;
    if (a.isTempo != b.isTempo) return a.isTempo;
    if (a.track != b.track) return a.track < b.track;
    return a.order < b.order;
  });

  // Ticks to seconds: SMPTE divisions are absolute; quarter-note divisions follow the tempo map.
  const bool smpte = (division & 0x8000) != 0;
  double secondsPerTick;
  if (smpte) {
    const int framesPerSecond = 256 - static_cast<int>((division >> 8) & 0xFF);
    const int ticksPerFrame = static_cast<int>(division & 0xFF);
    if (framesPerSecond <= 0 || ticksPerFrame == 0) {
      error = "broken MIDI file: bad SMPTE time division";
      return false;
    }
    secondsPerTick = 1.0 / ((framesPerSecond == 29 ? 29.97 : framesPerSecond) * ticksPerFrame);
  } else {
    secondsPerTick = 0.5 / division;  // 120 beats per minute until a tempo event
  }
  std::uint64_t lastTick = 0;
  double seconds = 0.0;
  for (const TickEvent& event : events) {
    seconds += static_cast<double>(event.tick - lastTick) * secondsPerTick;
    lastTick = event.tick;
    if (event.isTempo) {
      if (!smpte) secondsPerTick = event.microsecondsPerQuarter * 1e-6 / division;
      continue;
    }
    TimedMidi timed;
    timed.seconds = seconds;
    std::copy(std::begin(event.bytes), std::end(event.bytes), timed.bytes);
    sequence.events.push_back(timed);
  }
  sequence.lengthSeconds = seconds + static_cast<double>(endTick - lastTick) * secondsPerTick;
  return true;
}

bool readMidiFile(const std::string& path, MidiSequence& sequence, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot open MIDI file '" + path + "'";
    return false;
  }
  std::vector<unsigned char> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) {
    error = "cannot read MIDI file '" + path + "'";
    return false;
  }
  if (!parseMidiFile(data, sequence, error)) {
    error = "'" + path + "': " + error;
    return false;
  }
  return true;
}

}  // namespace render
