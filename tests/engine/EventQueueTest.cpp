// The engine's own event queue: what a host hands over is kept across blocks that render nothing,
// appended when several lists arrive before one block, emptied on suspend, and every event plays
// inside the block it is rendered in. (That the host's list is not read after the hand-over is
// proved through the module, in tests/plugin/HostEventsTest.cpp.)
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <memory>
#include <vector>

#include "engine/EngineHarness.h"

namespace {

using enginetest::EventList;
using enginetest::Rig;
using namespace skarvel;

// A rig whose notes start at full level on the first sample they are played (no attack ramp), so
// the first non-zero output sample shows when a note began.
struct InstantRig : Rig {
  InstantRig() {
    engine->setParameter(kAttack1, 0.0f);
    engine->setParameter(kAdsr2Level, 0.0f);
    engine->setParameter(kReverbOn, 0.0f);
  }
  // Renders without handing over a list (the queue alone).
  void renderQueued(int frames) {
    left.assign(frames, 123.0f);
    right.assign(frames, 123.0f);
    float* outputs[2] = {left.data(), right.data()};
    engine->process(nullptr, outputs, frames);
  }
  int firstSound() const {
    for (std::size_t i = 0; i < left.size(); ++i)
      if (left[i] != 0.0f) return static_cast<int>(i);
    return -1;
  }
};

TEST(EventQueue, SecondListBeforeTheSameBlockIsAppended) {
  InstantRig rig;
  EventList first, second;
  first.noteOn(3, 60);
  second.noteOn(7, 64).noteOff(30, 60);
  rig.engine->processEvents(first.list());
  rig.engine->processEvents(second.list());
  rig.engine->processEvents(nullptr);  // an empty hand-over adds nothing and takes nothing away
  rig.renderQueued(64);
  EXPECT_EQ(rig.firstSound(), 3);
  EXPECT_EQ(rig.engine->voiceNote(0), 60);
  EXPECT_FALSE(rig.engine->adsrEnvelope(0).gate);
  EXPECT_EQ(rig.engine->voiceNote(1), 64);
  EXPECT_EQ(rig.engine->pendingEventCount(), 0) << "a rendered block empties the queue";

  // The next block starts afresh: nothing of the previous lists is played again.
  rig.renderQueued(64);
  EXPECT_TRUE(rig.engine->adsrEnvelope(0).state == Envelope::Release || rig.engine->adsrEnvelope(0).isIdle());
}

TEST(EventQueue, BlocksThatRenderNothingKeepTheirEventsForTheNextBlocksStart) {
  InstantRig rig;
  EventList events;
  events.noteOn(40, 60);
  rig.engine->processEvents(events.list());
  std::vector<float> left(64), right(64);
  float* outputs[2] = {left.data(), right.data()};
  float* noRight[2] = {left.data(), nullptr};
  rig.engine->process(nullptr, outputs, 0);
  rig.engine->process(nullptr, outputs, -5);
  rig.engine->process(nullptr, nullptr, 64);
  rig.engine->process(nullptr, noRight, 64);
  EXPECT_EQ(rig.engine->pendingEventCount(), 1);
  EXPECT_TRUE(rig.engine->adsrEnvelope(0).isIdle());

  // A list for the next block joins the kept event, which now plays at its first sample.
  EventList next;
  next.noteOn(10, 64);
  rig.render(64, &next);
  EXPECT_EQ(rig.firstSound(), 0);
  EXPECT_EQ(rig.engine->voiceNote(0), 60);
  EXPECT_EQ(rig.engine->voiceNote(1), 64);
}

TEST(EventQueue, DiscardEmptiesTheQueueBeforeTheNextBlock) {
  InstantRig rig;
  EventList events;
  events.noteOn(0, 60);
  rig.engine->processEvents(events.list());
  rig.engine->discardPendingEvents();  // the host suspends
  rig.renderQueued(64);
  EXPECT_EQ(rig.firstSound(), -1);
  EXPECT_TRUE(rig.engine->adsrEnvelope(0).isIdle());

  // A discard asked for before a new list does not take that list.
  rig.engine->discardPendingEvents();
  rig.engine->processEvents(events.list());
  rig.renderQueued(64);
  EXPECT_EQ(rig.firstSound(), 0);
}

TEST(EventQueue, EveryOffsetPlaysInsideTheBlock) {
  InstantRig rig;
  // At the block's end and far past it: the last sample, in list order (the note-off of the
  // first note after both note-ons). A negative offset: the first sample.
  EventList events;
  events.noteOn(-7, 48).noteOn(64, 60).noteOn(1000, 62).noteOff(INT_MAX, 60);
  rig.render(64, &events);
  EXPECT_EQ(rig.firstSound(), 0);
  EXPECT_EQ(rig.engine->voiceNote(0), 48);
  EXPECT_EQ(rig.engine->voiceNote(1), 60);
  EXPECT_FALSE(rig.engine->adsrEnvelope(1).gate) << "a late note-off must not be dropped";
  EXPECT_EQ(rig.engine->voiceNote(2), 62);
  EXPECT_TRUE(rig.engine->adsrEnvelope(2).gate);

  // Alone in a block, a late note-on sounds on the block's last sample and not before.
  InstantRig late;
  EventList one;
  one.noteOn(500, 60);
  late.render(32, &one);
  EXPECT_EQ(late.firstSound(), 31);
}

// Events built one by one on the heap, each exactly the size of a MIDI event, so that a read past
// a record (or a read of a freed one) is caught by AddressSanitizer.
struct HeapList {
  std::vector<std::unique_ptr<core::DspMidiEvent>> events;
  std::vector<unsigned char> storage;
  core::DspEvents* list = nullptr;
  void add(int type, int byteSize, int delta, int status, int data1, int data2) {
    auto event = std::make_unique<core::DspMidiEvent>();
    event->type = type;
    event->byteSize = byteSize;
    event->deltaFrames = delta;
    event->midiData[0] = static_cast<char>(status);
    event->midiData[1] = static_cast<char>(data1);
    event->midiData[2] = static_cast<char>(data2);
    events.push_back(std::move(event));
  }
  core::DspEvents* build(int declaredCount, bool withNullEntry = false) {
    const std::size_t entries = events.size() + (withNullEntry ? 1 : 0);
    storage.assign(core::eventListBytes(entries), 0);
    list = reinterpret_cast<core::DspEvents*>(storage.data());
    list->numEvents = declaredCount;
    std::size_t at = 0;
    for (std::size_t i = 0; i < events.size(); ++i) {
      if (withNullEntry && i == 1) core::setEventAt(*list, at++, nullptr);
      core::setEventAt(*list, at++, reinterpret_cast<core::DspEvent*>(events[i].get()));
    }
    return list;
  }
};

TEST(EventQueue, MalformedListsAreReadSafely) {
  InstantRig rig;
  // Null list, a negative count, a count of zero with entries behind it.
  rig.engine->processEvents(nullptr);
  HeapList negative;
  negative.add(1, 32, 0, 0x90, 60, 100);
  rig.engine->processEvents(negative.build(-3));
  rig.engine->processEvents(negative.build(0));
  EXPECT_EQ(rig.engine->pendingEventCount(), 0);

  // A null entry, an event of another type, and absurd byte sizes on MIDI events: the MIDI
  // events still play and nothing beyond a MIDI record is read.
  HeapList odd;
  odd.add(1, 0, 1, 0x90, 60, 100);
  odd.add(6, 1 << 30, 2, 0x90, 70, 100);  // not MIDI: skipped, its bytes never read as a note
  odd.add(1, -8, 3, 0x90, 64, 100);
  odd.add(1, 1 << 30, 4, 0x90, 67, 100);
  rig.engine->processEvents(odd.build(5, true));
  rig.renderQueued(16);
  EXPECT_EQ(rig.engine->voiceNote(0), 60);
  EXPECT_EQ(rig.engine->voiceNote(1), 64);
  EXPECT_EQ(rig.engine->voiceNote(2), 67);
  EXPECT_EQ(rig.engine->voiceNote(3), -1);
}

TEST(EventQueue, ListLongerThanTheReadLimitIsCut) {
  InstantRig rig;
  core::DspMidiEvent on{};
  on.type = core::kDspMidiEventType;
  on.midiData[0] = static_cast<char>(0x90);
  on.midiData[1] = 60;
  on.midiData[2] = 100;
  core::DspMidiEvent beyond = on;
  beyond.midiData[1] = 72;
  const int count = core::DspEngine::kMaxEventsPerList + 1;
  std::vector<unsigned char> storage(core::eventListBytes(count), 0);
  auto* list = reinterpret_cast<core::DspEvents*>(storage.data());
  list->numEvents = count;
  core::setEventAt(*list, 0, reinterpret_cast<core::DspEvent*>(&on));
  core::setEventAt(*list, count - 1, reinterpret_cast<core::DspEvent*>(&beyond));
  rig.engine->processEvents(list);
  rig.renderQueued(8);
  EXPECT_EQ(rig.engine->voiceNote(0), 60);
  EXPECT_EQ(rig.engine->voiceNote(1), -1) << "the entry past the limit was read";
}

TEST(EventQueue, FullQueueDropsNoteOnsButNeverWhatEndsASound) {
  InstantRig rig;
  constexpr int kCapacity = core::DspEngine::kEventQueueCapacity;
  // Two held notes with the pedal down, then the queue filled with channel pressure.
  EventList events;
  events.noteOn(0, 60).noteOn(0, 64).midi(0, 0xB0, 64, 127);
  for (int i = 3; i < kCapacity; ++i) events.midi(1, 0xD0, 40, 0);
  // Past the capacity: a note-on (dropped), both note-offs, the pedal released.
  events.noteOn(2, 67).noteOff(2, 60).midi(2, 0x90, 64, 0).midi(2, 0xB0, 64, 0);
  rig.engine->processEvents(events.list());
  EXPECT_EQ(rig.engine->pendingEventCount(), kCapacity);
  rig.renderQueued(64);
  EXPECT_EQ(rig.engine->droppedEventCount(), 1);
  EXPECT_EQ(rig.engine->voiceNote(2), -1) << "the note-on past the capacity was dropped";
  EXPECT_FALSE(rig.engine->pedalDown());
  for (int voice : {0, 1}) {
    EXPECT_FALSE(rig.engine->adsrEnvelope(voice).gate) << voice;
    EXPECT_EQ(rig.engine->adsrEnvelope(voice).state, Envelope::Release) << voice;
  }

  // All sound off past the capacity still silences.
  InstantRig other;
  EventList full;
  full.noteOn(0, 60);
  for (int i = 1; i < kCapacity; ++i) full.midi(0, 0xD0, 40, 0);
  full.midi(5, 0xB0, 120, 0);
  other.render(64, &full);
  EXPECT_TRUE(other.engine->adsrEnvelope(0).isIdle());
}

}  // namespace
