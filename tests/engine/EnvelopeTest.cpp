#include <gtest/gtest.h>

#include <cmath>

#include "source/Envelope.h"

namespace {

using skarvel::Envelope;

Envelope makeEnvelope(float attack, float decay, float sustain, float release) {
  Envelope envelope;
  envelope.attackTime = attack;
  envelope.decayTime = decay;
  envelope.sustainLevel = sustain;
  envelope.releaseTime = release;
  envelope.velocitySensitivity = 0.001f;  // velocity gain practically 1
  envelope.retriggerCrossfade = true;
  return envelope;
}

int ticksUntil(Envelope& envelope, int state, int limit = 10000000) {
  int ticks = 0;
  while (envelope.state != state && ticks < limit) {
    envelope.tick();
    ++ticks;
  }
  return ticks;
}

TEST(Envelope, AttackRisesLinearlyOverTheAttackTime) {
  Envelope envelope = makeEnvelope(0.5f, 0.5f, 0.5f, 0.5f);
  envelope.trigger(127);
  const int ticks = ticksUntil(envelope, Envelope::Decay);
  EXPECT_NEAR(ticks, 22050, 2);
  EXPECT_EQ(envelope.level, 1.0f);
}

TEST(Envelope, DecayCoversTenEleventhsOfTheDistanceInTheDecayTime) {
  Envelope envelope = makeEnvelope(0.001f, 0.1f, 0.5f, 0.5f);
  envelope.trigger(127);
  ticksUntil(envelope, Envelope::Decay);
  for (int i = 0; i < 4410; ++i) envelope.tick();
  // Remaining distance to the decay's goal (sustain - 0.0001) is 1/11 of where it started.
  EXPECT_NEAR(envelope.level - (0.5f - 0.0001f), (1.0f - (0.5f - 0.0001f)) / 11.0f, 2e-4);
  ticksUntil(envelope, Envelope::Sustain);
  EXPECT_EQ(envelope.level, 0.5f);
}

TEST(Envelope, ShortestDecayReachesSustainWithinAboutTenMilliseconds) {
  Envelope envelope = makeEnvelope(0.001f, 0.01f, 0.5f, 0.5f);
  envelope.trigger(127);
  ticksUntil(envelope, Envelope::Decay);
  for (int i = 0; i < 441; ++i) envelope.tick();
  EXPECT_NEAR(envelope.level, 0.5f + 0.5f / 11.0f, 2e-3);
}

TEST(Envelope, ZeroSustainEndsTheDecayInIdle) {
  Envelope envelope = makeEnvelope(0.001f, 0.01f, 0.0f, 0.5f);
  envelope.trigger(100);
  ticksUntil(envelope, Envelope::Idle, 44100);
  EXPECT_EQ(envelope.state, Envelope::Idle);
  EXPECT_EQ(envelope.level, 0.0f);
  EXPECT_TRUE(envelope.gate);  // the key is still down
}

TEST(Envelope, ReleaseFallsToOneEleventhInTheReleaseTimeThenIdles) {
  Envelope envelope = makeEnvelope(0.001f, 0.01f, 0.8f, 0.2f);
  envelope.trigger(127);
  ticksUntil(envelope, Envelope::Sustain);
  envelope.noteOff();
  EXPECT_EQ(envelope.state, Envelope::Release);
  for (int i = 0; i < 8820; ++i) envelope.tick();
  EXPECT_NEAR(envelope.level, (0.8f + 0.0001f) / 11.0f - 0.0001f, 1e-3);
  ticksUntil(envelope, Envelope::Idle, 441000);
  EXPECT_EQ(envelope.level, 0.0f);
}

TEST(Envelope, ZeroReleaseEndsAtTheFirstTickAfterNoteOff) {
  Envelope envelope = makeEnvelope(0.001f, 0.01f, 0.8f, 0.0f);
  envelope.trigger(127);
  ticksUntil(envelope, Envelope::Sustain);
  envelope.noteOff();
  envelope.tick();
  EXPECT_EQ(envelope.state, Envelope::Idle);
  EXPECT_EQ(envelope.output, 0.0f);
}

TEST(Envelope, PedalHoldsAReleasedKeyUntilItIsLifted) {
  Envelope envelope = makeEnvelope(0.001f, 0.01f, 0.8f, 0.1f);
  envelope.trigger(127);
  ticksUntil(envelope, Envelope::Sustain);
  envelope.setPedal(true);
  envelope.noteOff();
  EXPECT_EQ(envelope.state, Envelope::Sustain);
  EXPECT_FALSE(envelope.gate);
  envelope.setPedal(false);
  EXPECT_EQ(envelope.state, Envelope::Release);
}

TEST(Envelope, RetriggerWhileReleasingCrossFadesToTheNewAttack) {
  Envelope envelope = makeEnvelope(0.1f, 0.01f, 0.8f, 1.0f);
  envelope.trigger(127);
  ticksUntil(envelope, Envelope::Sustain);
  envelope.noteOff();
  while (envelope.level > 0.3f) envelope.tick();
  const float held = envelope.output;

  envelope.trigger(127);
  EXPECT_EQ(envelope.state, Envelope::Retrigger);
  const float gain = envelope.velocityGain;
  float first = envelope.tick();
  EXPECT_NEAR(first, held, 0.01f);  // no jump at the re-strike
  int ticks = 1;
  float last = first;
  while (envelope.state == Envelope::Retrigger) {
    last = envelope.tick();
    ++ticks;
  }
  // 0.3 + 0.98 x 0.7 = 0.986 reached over about 0.98 x 0.7 x the attack time.
  EXPECT_NEAR(last, 0.986f * gain, 0.01f);
  EXPECT_NEAR(ticks, 0.98 * 0.7 * 0.1 * 44100, 0.05 * 0.98 * 0.7 * 0.1 * 44100);
  // Then Attack continues upwards to 1.
  ticksUntil(envelope, Envelope::Decay);
  EXPECT_EQ(envelope.level, 1.0f);
}

TEST(Envelope, VelocityCurve) {
  EXPECT_EQ(Envelope::velocityCurve(127, 0.001f), 1.0f);
  EXPECT_EQ(Envelope::velocityCurve(127, 0.999f), 1.0f);
  EXPECT_NEAR(Envelope::velocityCurve(1, 0.999f), 0.0010620f, 1e-7);
  EXPECT_EQ(Envelope::velocityCurve(0, 0.999f), 0.0f);  // 0.001 - tiny: below the floor
  EXPECT_NEAR(Envelope::velocityCurve(64, 0.5f), 0.5f * (64 / 127.0f) * (64 / 127.0f) + 0.5f, 1e-6);
}

}  // namespace
