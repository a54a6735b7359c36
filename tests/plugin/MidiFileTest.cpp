// The render tool's Standard MIDI File reader.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "MidiFile.h"

namespace {

using render::MidiSequence;
using Bytes = std::vector<unsigned char>;

Bytes header(int format, int tracks, int division) {
  return {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, static_cast<unsigned char>(format), 0, static_cast<unsigned char>(tracks),
          static_cast<unsigned char>(division >> 8), static_cast<unsigned char>(division & 0xFF)};
}

Bytes track(const Bytes& events) {
  Bytes chunk = {'M', 'T', 'r', 'k'};
  const std::size_t size = events.size();
  for (int shift : {24, 16, 8, 0}) chunk.push_back(static_cast<unsigned char>(size >> shift));
  chunk.insert(chunk.end(), events.begin(), events.end());
  return chunk;
}

Bytes join(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

TEST(MidiFile, TempoChangesAndRunningStatusAcrossTwoTracks) {
  // 96 ticks per quarter. Track 1: tempo 120 bpm, after one quarter tempo 60 bpm. Track 2: a note
  // at tick 0, a second note with running status at tick 96, both off at tick 192.
  const Bytes tempo = {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,   // 500000 us per quarter
                       0x60, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40,   // 1000000 us per quarter
                       0x00, 0xFF, 0x2F, 0x00};
  const Bytes notes = {0x00, 0x90, 60, 100,
                       0x60, 64, 90,                 // running status
                       0x60, 0x80, 60, 0, 0x00, 64, 0,
                       0x00, 0xC1, 5,                // program change: one data byte
                       0x00, 0xFF, 0x2F, 0x00};
  MidiSequence sequence;
  std::string error;
  ASSERT_TRUE(render::parseMidiFile(join({header(1, 2, 96), track(tempo), track(notes)}), sequence, error)) << error;
  ASSERT_EQ(sequence.events.size(), 5u);
  EXPECT_DOUBLE_EQ(sequence.events[0].seconds, 0.0);
  EXPECT_DOUBLE_EQ(sequence.events[1].seconds, 0.5) << "the first quarter at 120 bpm";
  EXPECT_EQ(sequence.events[1].bytes[0], 0x90);
  EXPECT_EQ(sequence.events[1].bytes[1], 64);
  EXPECT_DOUBLE_EQ(sequence.events[2].seconds, 1.5) << "the second quarter at 60 bpm";
  EXPECT_EQ(sequence.events[4].bytes[0], 0xC1);
  EXPECT_EQ(sequence.events[4].bytes[1], 5);
  EXPECT_DOUBLE_EQ(sequence.lengthSeconds, 1.5);
}

TEST(MidiFile, FormatZeroWithSystemExclusiveAndSmpteTime) {
  // 25 frames per second, 40 ticks per frame: 1000 ticks per second.
  const Bytes events = {0x00, 0xF0, 0x03, 0x7E, 0x7F, 0xF7,   // system exclusive, skipped
                        0x83, 0x74, 0x90, 48, 80,              // 500 ticks
                        0x00, 0xFF, 0x01, 0x02, 'h', 'i',      // a text meta event
                        0x87, 0x68, 0x80, 48, 0};              // 1000 ticks later
  MidiSequence sequence;
  std::string error;
  ASSERT_TRUE(render::parseMidiFile(join({header(0, 1, 0xE728), track(events)}), sequence, error)) << error;
  ASSERT_EQ(sequence.events.size(), 2u);
  EXPECT_DOUBLE_EQ(sequence.events[0].seconds, 0.5);
  EXPECT_DOUBLE_EQ(sequence.events[1].seconds, 1.5);
}

TEST(MidiFile, BrokenFilesAreRefusedWithAReason) {
  const Bytes goodTrack = track({0x00, 0x90, 60, 100, 0x00, 0xFF, 0x2F, 0x00});
  const Bytes fullHeader = header(1, 1, 96);
  const std::vector<std::pair<Bytes, std::string>> cases = {
      {{}, "not a Standard MIDI File"},
      {{'R', 'I', 'F', 'F', 0, 0, 0, 0}, "not a Standard MIDI File"},
      {Bytes(fullHeader.begin(), fullHeader.begin() + 10), "short header"},
      {join({header(2, 1, 96), goodTrack}), "format 2"},
      {join({header(1, 2, 96), goodTrack}), "2 tracks announced, 1 found"},
      {join({header(1, 1, 0), goodTrack}), "zero time division"},
      {join({header(0, 1, 96), Bytes(goodTrack.begin(), goodTrack.end() - 3)}), "cut short"},
      {join({header(0, 1, 96), track({0x00, 60, 100})}), "data byte without a status"},
      {join({header(0, 1, 96), track({0x00, 0x90, 60})}), "bad data byte"},
      {join({header(0, 1, 96), track({0xFF, 0xFF, 0xFF, 0xFF, 0xFF})}), "bad delta time"},
      {join({header(0, 1, 96), track({0x00, 0xFF, 0x51, 0x7F})}), "bad meta event"},
  };
  for (const auto& [bytes, reason] : cases) {
    MidiSequence sequence;
    std::string error;
    EXPECT_FALSE(render::parseMidiFile(bytes, sequence, error)) << reason;
    EXPECT_NE(error.find(reason), std::string::npos) << "'" << error << "' should mention '" << reason << "'";
    EXPECT_EQ(error.find('\n'), std::string::npos) << "one line";
  }
}

}  // namespace
