// Malformed event lists: null and empty lists, odd counts, null entries, foreign event types,
// odd deltas, several lists before one block, and lists the host frees after handing them over.
// Most checks compare an abused instance with a fresh one given the clean equivalent: the
// engine is deterministic, so the same notes at the same samples are the same sound.

#include <climits>
#include <random>

#include <gtest/gtest.h>

#include "HostileHost.h"

namespace hostile {
namespace {

constexpr int kBlock = 256;

// Two instances started alike: `abused` gets the odd input, `clean` its proper equivalent.
struct Pair {
  Plugin abused, clean;
  Pair() {
    abused.start(44100.0f, kBlock);
    clean.start(44100.0f, kBlock);
  }
};

Stereo play(Plugin& plugin, int frames) {
  Stereo audio;
  renderFor(plugin, frames, audio, kBlock);
  return audio;
}

TEST(HostileEvents, NullEmptyAndNegativeCountListsAreIgnored) {
  Pair pair;
  ASSERT_NE(pair.abused.effect(), nullptr);
  EventList empty({}), negative({noteOn(0, 60)}), minimum({noteOn(0, 60)});
  negative.get()->numEvents = -1;
  minimum.get()->numEvents = INT_MIN;
  Stereo abused, silence;
  for (int round = 0; round < 3; ++round) {
    pair.abused.processEvents(nullptr);
    pair.abused.processEvents(empty.get());
    pair.abused.processEvents(negative.get());
    pair.abused.processEvents(minimum.get());
    renderBlock(pair.abused, kBlock, abused);
    renderBlock(pair.clean, kBlock, silence);
  }
  EXPECT_EQ(rms(abused), 0.0) << "a list without events made sound";

  EventList note1({noteOn(0, 60)}), note2({noteOn(0, 60)});
  pair.abused.processEvents(note1.get());
  pair.clean.processEvents(note2.get());
  EXPECT_TRUE(identical(play(pair.abused, 8192), play(pair.clean, 8192)));
}

TEST(HostileEvents, NullEntriesAndForeignEventTypesAreSkipped) {
  Pair pair;
  ASSERT_NE(pair.abused.effect(), nullptr);
  // Sysex (6), an unknown type, type 0 and a negative type, each with odd sizes, between two
  // real notes and null entries.
  vst2::MidiEvent sysex = noteOn(0, 72), unknown = noteOn(5, 76), zero = noteOn(9, 79), negative = noteOn(2, 83);
  sysex.type = 6;
  sysex.byteSize = 0;
  unknown.type = 1234567;
  unknown.byteSize = -1;
  zero.type = 0;
  zero.byteSize = INT_MAX;
  negative.type = -1;
  EventList odd({noteOn(0, 60), sysex, unknown, zero, noteOn(10, 64), negative, noteOn(0, 1)});
  odd.clearEntry(6);
  odd.clearEntry(0);
  EventList clean({noteOn(10, 64)});
  pair.abused.processEvents(odd.get());
  pair.clean.processEvents(clean.get());
  const Stereo abused = play(pair.abused, 16384), expected = play(pair.clean, 16384);
  EXPECT_TRUE(allFinite(abused));
  EXPECT_GT(rms(expected), 1e-4);
  EXPECT_TRUE(identical(abused, expected)) << "a foreign event or a null entry changed the sound";
}

// What a MIDI record with a zero byte size means is the host's business; it must not break the
// instrument.
TEST(HostileEvents, ZeroByteSizeEventsAreHarmless) {
  Plugin plugin;
  ASSERT_NE(plugin.effect(), nullptr);
  plugin.start();
  EventList odd({noteOn(0, 60), noteOn(3, 64), noteOff(200, 60)});
  for (std::size_t i = 0; i < odd.size(); ++i) odd.event(i).byteSize = 0;
  plugin.processEvents(odd.get());
  Stereo audio;
  renderFor(plugin, 8192, audio);
  EXPECT_TRUE(allFinite(audio));
  EventList note({noteOn(0, 67)});
  plugin.processEvents(note.get());
  Stereo after;
  renderFor(plugin, 8192, after);
  EXPECT_TRUE(allFinite(after));
  EXPECT_GT(rms(after, 2048), 1e-4);
}

// Every status byte with every kind of data (program changes, controllers, system messages),
// thousands of events in one list: the output stays finite, and after "all sound off" a note
// plays again.
TEST(HostileEvents, HugeListsOfEveryStatusByteKeepTheInstrumentPlaying) {
  Watchdog watchdog("huge event lists", std::chrono::seconds(60));
  Plugin plugin;
  ASSERT_NE(plugin.effect(), nullptr);
  plugin.start();
  std::mt19937 random(7);
  Stereo audio;
  for (int round = 0; round < 4; ++round) {
    std::vector<vst2::MidiEvent> events;
    for (int i = 0; i < 20000; ++i)
      events.push_back(midi(static_cast<int>(random() % kBlock), random() % 256, random() % 256, random() % 256));
    EventList list(events);
    plugin.processEvents(list.get());
    renderBlock(plugin, kBlock, audio);
  }
  renderFor(plugin, 8192, audio);
  EXPECT_TRUE(allFinite(audio));

  EventList reset({midi(0, 0xB0, 120, 0), midi(0, 0xB0, 64, 0), noteOn(1, 60)});
  plugin.processEvents(reset.get());
  Stereo after;
  renderFor(plugin, 8192, after);
  EXPECT_TRUE(allFinite(after));
  EXPECT_GT(rms(after, 2048), 1e-4) << "no note after the event storm";
}

// Deltas before the block and out of order: every note still starts, and every note-off still
// ends its note (the instrument falls silent).
TEST(HostileEvents, NegativeAndUnsortedDeltasPlayAndReleaseEveryNote) {
  Plugin plugin;
  ASSERT_NE(plugin.effect(), nullptr);
  plugin.start();
  EventList on({noteOn(100, 64), noteOn(-5, 60), noteOn(50, 67), noteOn(INT_MIN, 71)});
  plugin.processEvents(on.get());
  Stereo audio;
  renderFor(plugin, 8192, audio);
  const double chord = rms(audio, 4096);
  EXPECT_GT(chord, 1e-4);
  EventList off({noteOff(200, 64), noteOff(-1, 60), noteOff(INT_MIN, 67), noteOff(0, 71)});
  plugin.processEvents(off.get());
  Stereo release;
  renderFor(plugin, 10 * 44100, release);
  EXPECT_TRUE(allFinite(release));
  EXPECT_LT(rms(release, release.size() - 4096), chord * 1e-3) << "a note hangs after its note-off";
}

// A note-off whose delta lies at or past the end of its block is played at the block's last
// sample, not dropped (a dropped note-off leaves the note hanging).
TEST(HostileEvents, AnEventAtOrPastTheBlockEndIsPlayedAtTheLastSample) {
  for (const int delta : {kBlock, kBlock + 1, 100000, INT_MAX}) {
    Pair pair;
    ASSERT_NE(pair.abused.effect(), nullptr);
    EventList on1({noteOn(0, 60)}), on2({noteOn(0, 60)});
    pair.abused.processEvents(on1.get());
    pair.clean.processEvents(on2.get());
    Stereo abused, expected;
    renderFor(pair.abused, 4096, abused);
    renderFor(pair.clean, 4096, expected);
    EventList late({noteOff(delta, 60)}), last({noteOff(kBlock - 1, 60)});
    pair.abused.processEvents(late.get());
    pair.clean.processEvents(last.get());
    renderFor(pair.abused, 5 * 44100, abused);
    renderFor(pair.clean, 5 * 44100, expected);
    EXPECT_TRUE(identical(abused, expected)) << "delta " << delta << " was not played at the block's last sample";
  }
}

// Several lists before one block all play, in the order they came.
TEST(HostileEvents, SeveralListsBeforeOneBlockAllPlay) {
  Pair pair;
  ASSERT_NE(pair.abused.effect(), nullptr);
  EventList a({noteOn(0, 60)}), b({noteOn(10, 64)}), c({noteOn(20, 67), noteOff(30, 60)});
  EventList all({noteOn(0, 60), noteOn(10, 64), noteOn(20, 67), noteOff(30, 60)});
  pair.abused.processEvents(a.get());
  pair.abused.processEvents(b.get());
  pair.abused.processEvents(c.get());
  pair.clean.processEvents(all.get());
  const Stereo abused = play(pair.abused, 16384), expected = play(pair.clean, 16384);
  EXPECT_GT(rms(expected), 1e-4);
  EXPECT_TRUE(identical(abused, expected)) << "only the last list before the block was played";
}

// The host's list is valid only during the call that hands it over. Each case hands a list over,
// lets something other than a rendered block follow, then scribbles over the list and frees it
// before the next block. What the list said must not be lost (it plays at the start of the next
// rendered block) unless the instance was suspended, and the freed memory is never read.
enum class Between { ZeroFrameBlock, NullOutputBlock, NegativeFrameBlock, SuspendAndResume };
const char* betweenName(Between between) {
  switch (between) {
    case Between::ZeroFrameBlock: return "AfterAZeroFrameBlock";
    case Between::NullOutputBlock: return "AfterANullOutputBlock";
    case Between::NegativeFrameBlock: return "AfterANegativeFrameBlock";
    case Between::SuspendAndResume: return "AfterSuspendAndResume";
  }
  return "";
}
void PrintTo(Between between, std::ostream* out) { *out << betweenName(between); }

class FreedList : public testing::TestWithParam<Between> {};

TEST_P(FreedList, IsNeverReadAndItsEventsAreNotLost) {
  Pair pair;
  ASSERT_NE(pair.abused.effect(), nullptr);
  EventList list({noteOn(3, 60), noteOn(5, 64)});
  pair.abused.processEvents(list.get());
  float* nothing[2] = {nullptr, nullptr};
  std::vector<float> unused(8);
  float* outputs[2] = {unused.data(), unused.data() + 4};
  switch (GetParam()) {
    case Between::ZeroFrameBlock: pair.abused.process(outputs, 0); break;
    case Between::NullOutputBlock: pair.abused.process(nothing, kBlock); break;
    case Between::NegativeFrameBlock: pair.abused.process(outputs, -kBlock); break;
    case Between::SuspendAndResume:
      pair.abused.suspend();
      pair.abused.resume();
      break;
  }
  list.scribbleAndFree();

  if (GetParam() != Between::SuspendAndResume) {
    // The events apply at the start of the next rendered block.
    EventList atStart({noteOn(0, 60), noteOn(0, 64)});
    pair.clean.processEvents(atStart.get());
  }
  const Stereo abused = play(pair.abused, 16384), expected = play(pair.clean, 16384);
  EXPECT_TRUE(allFinite(abused));
  EXPECT_TRUE(identical(abused, expected)) << "the next block did not play what the list said";
}

INSTANTIATE_TEST_SUITE_P(HostileEvents, FreedList,
                         testing::Values(Between::ZeroFrameBlock, Between::NullOutputBlock,
                                         Between::NegativeFrameBlock, Between::SuspendAndResume),
                         [](const testing::TestParamInfo<Between>& info) { return std::string(betweenName(info.param)); });

}  // namespace
}  // namespace hostile
