#include <gtest/gtest.h>

#include "EngineHarness.h"

namespace {

using namespace skarvel;
using enginetest::EventList;
using enginetest::Rig;

bool sounding(const VstSynth& engine, int voice) { return !engine.adsrEnvelope(voice).isIdle(); }

TEST(VoiceAllocation, TwelveOverlappingNotesUseEightVoicesThenRetriggerVoiceZero) {
  Rig rig;
  for (int n = 0; n < 8; ++n) {
    rig.play(60 + n, 100);
    EXPECT_EQ(rig.engine->voiceNote(n), 60 + n);
  }
  for (int n = 0; n < 8; ++n) EXPECT_TRUE(sounding(*rig.engine, n)) << n;

  // Notes 9..12 take slot 8 each and play on voice 0.
  for (int n = 8; n < 12; ++n) {
    rig.play(60 + n, 100);
    EXPECT_EQ(rig.engine->voiceNote(0), 60 + n);
    EXPECT_EQ(rig.engine->voiceFrequency(0), rig.engine->voiceFrequency(0));
  }
  EXPECT_FALSE(sounding(*rig.engine, 8));
  EXPECT_FALSE(sounding(*rig.engine, 9));
  EXPECT_EQ(rig.engine->lastNote(), 71);

  // Note 69's slot was overwritten by 70 and then 71: its note-off is ignored.
  rig.release(69);
  EXPECT_TRUE(rig.engine->adsrEnvelope(0).gate);
  // The last note on slot 8 releases voice 0.
  rig.release(71);
  EXPECT_FALSE(rig.engine->adsrEnvelope(0).gate);
  EXPECT_EQ(rig.engine->adsrEnvelope(0).state, Envelope::Release);
}

TEST(VoiceAllocation, HeldNoteRetriggersItsOwnVoice) {
  Rig rig;
  rig.play(60);
  rig.play(64);
  rig.play(60);
  EXPECT_EQ(rig.engine->voiceNote(0), 60);
  EXPECT_EQ(rig.engine->voiceNote(1), 64);
  EXPECT_FALSE(sounding(*rig.engine, 2));  // no further slot consumed
  rig.play(67);
  EXPECT_EQ(rig.engine->voiceNote(2), 67);
}

TEST(VoiceAllocation, NoteZeroStartsAndStopsLikeAnyOtherNote) {
  Rig rig;
  rig.engine->setParameter(kRelease1, 0.0f);
  rig.play(0);
  EXPECT_TRUE(sounding(*rig.engine, 0));
  EXPECT_EQ(rig.engine->voiceNote(0), 0);
  EXPECT_NEAR(rig.engine->voiceFrequency(0), 8.1758f, 1e-3);
  rig.release(0);
  rig.render(16);
  EXPECT_TRUE(rig.engine->adsrEnvelope(0).isIdle());
  EXPECT_TRUE(rig.engine->gateEnvelope(0).isIdle() || rig.engine->gateEnvelope(0).state == Envelope::Release);
  // The freed slot is reused by the next note.
  rig.render(2048);
  rig.play(5);
  EXPECT_EQ(rig.engine->voiceNote(0), 5);
}

TEST(VoiceAllocation, NoteFrequencyTableIsEqualTempered) {
  Rig rig;
  rig.play(69);
  EXPECT_NEAR(rig.engine->voiceFrequency(0), 440.0f, 0.001f);
  rig.play(81);
  EXPECT_NEAR(rig.engine->voiceFrequency(1), 880.0f, 0.002f);
}

TEST(SustainPedal, HoldsReleasedNotesUntilLifted) {
  Rig rig;
  rig.engine->setParameter(kAttack1, 0.1f);
  EventList events;
  events.midi(0, 0xB0, 64, 127).noteOn(0, 60).noteOn(0, 64);
  rig.render(512, &events);
  EXPECT_TRUE(rig.engine->pedalDown());
  rig.release(60);
  rig.release(64);
  rig.render(256);
  EXPECT_EQ(rig.engine->adsrEnvelope(0).state, Envelope::Attack);
  EXPECT_EQ(rig.engine->adsrEnvelope(1).state, Envelope::Attack);
  EXPECT_FALSE(rig.engine->adsrEnvelope(0).gate);

  EventList lift;
  lift.midi(0, 0xB1, 64, 10);  // any channel
  rig.render(1, &lift);
  EXPECT_FALSE(rig.engine->pedalDown());
  EXPECT_EQ(rig.engine->adsrEnvelope(0).state, Envelope::Release);
  EXPECT_EQ(rig.engine->adsrEnvelope(1).state, Envelope::Release);
  EXPECT_EQ(rig.engine->gateEnvelope(0).state, Envelope::Release);
}

TEST(SustainPedal, LiftingKeepsNotesWhoseKeysAreDown) {
  Rig rig;
  rig.engine->setParameter(kAttack1, 0.1f);
  EventList events;
  events.midi(0, 0xB0, 66, 100).noteOn(0, 60).noteOn(0, 62);
  rig.render(512, &events);
  rig.release(60);
  EventList lift;
  lift.midi(0, 0xB0, 66, 0);
  rig.render(1, &lift);
  EXPECT_EQ(rig.engine->adsrEnvelope(0).state, Envelope::Release);
  EXPECT_NE(rig.engine->adsrEnvelope(1).state, Envelope::Release);
  EXPECT_TRUE(rig.engine->adsrEnvelope(1).gate);
}

TEST(MidiIntake, AllSoundOffSilencesEveryVoice) {
  Rig rig;
  rig.engine->setParameter(kAttack1, 0.0f);
  rig.play(60);
  rig.play(64);
  rig.render(2048);
  EventList off;
  off.midi(0, 0xB0, 120, 0);
  rig.render(512, &off);
  for (int v = 0; v < VstSynth::kVoiceRecords; ++v) EXPECT_TRUE(rig.engine->adsrEnvelope(v).isIdle());
  // The resonators' delay lines were cleared, so no old note rings on.
  const float* line = rig.engine->voice(0).line();
  for (int i = 0; i < Voice::kLineLength; ++i) ASSERT_EQ(line[i], 0.0f) << i;
}

TEST(MidiIntake, ProgramChangeGoesToTheCore) {
  Rig rig;
  EventList events;
  events.midi(3, 0xC5, 7, 0);
  rig.render(8, &events);
  ASSERT_EQ(rig.core.programs.size(), 1u);
  EXPECT_EQ(rig.core.programs[0], 7);
}

TEST(EventDispatch, EventsAtOneOffsetAreHandledTogetherInListOrder) {
  Rig rig;
  // Two notes and the first one's note-off at one offset: in list order the first ends released.
  EventList events;
  events.noteOn(10, 60).noteOn(10, 62).noteOff(10, 60);
  rig.render(11, &events);
  EXPECT_EQ(rig.engine->voiceNote(0), 60);
  EXPECT_FALSE(rig.engine->adsrEnvelope(0).gate);
  EXPECT_EQ(rig.engine->voiceNote(1), 62);
  EXPECT_TRUE(rig.engine->adsrEnvelope(1).gate);
}

TEST(EventDispatch, OffsetZeroIsHandledBeforeTheFirstSample) {
  Rig rig;
  rig.engine->setParameter(kAttack1, 0.0f);
  rig.engine->setParameter(kAdsr2Level, 0.0f);
  EventList events;
  events.noteOn(0, 60, 127);
  rig.render(1, &events);
  EXPECT_TRUE(rig.engine->isActive());
  EXPECT_GT(rig.engine->adsrEnvelope(0).level, 0.0f);
}

TEST(EventDispatch, NonMidiEventBetweenNotesIsSkipped) {
  Rig rig;
  EventList events;
  events.noteOn(2, 60).other(3, 6).noteOn(4, 64);
  rig.render(16, &events);
  EXPECT_EQ(rig.engine->voiceNote(0), 60);
  EXPECT_EQ(rig.engine->voiceNote(1), 64);
  EXPECT_EQ(rig.engine->voiceNote(2), -1);  // the skipped event's bytes were not read as a note
}

TEST(EventDispatch, OutOfOrderEventsAreHandledAtOnceWithoutStalling) {
  Rig rig;
  EventList events;
  events.noteOn(20, 60).noteOn(5, 64).noteOn(30, 67);
  rig.render(64, &events);
  EXPECT_EQ(rig.engine->voiceNote(0), 60);
  EXPECT_EQ(rig.engine->voiceNote(1), 64);
  EXPECT_EQ(rig.engine->voiceNote(2), 67);
}

}  // namespace
