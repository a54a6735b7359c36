// The engine's sound, pinned down: a fixed phrase with every feature on (chords, a melody, the
// sustain pedal, parameter moves mid-phrase, envelope modulation of the osc1 rate, every effect),
// rendered once with the comb and once with the band-pass melody, must match the samples stored
// in ReferencePhrase.inc to well within float rounding. Speed work on the voices and the output
// chain may reorder arithmetic, but must not change what is heard.
//
// To capture a new reference on purpose (a deliberate change of the sound), run the test with
// SKARVEL_WRITE_REFERENCE=<file> and replace ReferencePhrase.inc with that file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/EngineHarness.h"

namespace {

using enginetest::EventList;
using enginetest::Rig;
using namespace skarvel;

// Every kReferenceStride-th sample of each channel is stored.
constexpr int kReferenceStride = 32;
constexpr int kBlock = 256;
constexpr int kPhraseBlocks = 345;  // about 2 s at 44100 Hz

const std::uint32_t kReferenceBits[] = {
#include "engine/ReferencePhrase.inc"
};

// Parameters with every feature on: both oscillators, the resonator with feedback filtering, the
// second envelope modulating rate, balance and AM, key tracking, and every output effect.
void setPhraseParameters(Rig& rig, bool bandPassMelody) {
  const std::pair<int, float> values[] = {
      {kRate1, 0.45f},     {kLpHp1, 0.4f},       {kAm, 0.6f},         {kLevel, 0.7f},
      {kSmooth, 0.5f},     {kRate2, 0.35f},      {kLpHp2, 0.3f},      {kOsc1, 1.0f},
      {kOsc2, 1.0f},       {kResoAmnt, 0.9f},    {kCombFilter, 0.6f}, {kLpHp3, 0.3f},
      {kFm, 0.3f},         {kDryWet, 0.7f},      {kAttack1, 0.1f},    {kDecay1, 0.4f},
      {kSustain1, 0.6f},   {kRelease1, 0.3f},    {kVelosens, 0.7f},   {kAdsr2Level, 0.0f},
      {kAdsr2Rate1, 0.7f}, {kAdsr2LpHp1, 0.65f}, {kAdsr2Am, 0.3f},    {kEqLpFreq, 0.7f},
      {kEqHpFreq, 0.2f},   {kQFilters, 1.0f},    {kReverbSize, 0.6f}, {kReverbMix, 0.5f},
      {kReverbOn, 1.0f},   {kGainOut, 0.5f},     {kStrEnh, 0.5f},     {kKt2Rate1, 0.7f},
      {kKt2LpHp1, 0.6f},   {kKt2Rate2, 0.6f},    {kBpMelody, bandPassMelody ? 1.0f : 0.0f},
      {kRateScaleUp, 1.0f},
  };
  for (const auto& [id, value] : values) rig.engine->setParameter(id, value);
}

// The phrase: events at offsets inside blocks, parameter moves between blocks. Returns the
// stored subset, left and right interleaved.
std::vector<float> renderPhrase(bool bandPassMelody) {
  Rig rig;
  setPhraseParameters(rig, bandPassMelody);
  std::vector<float> kept;
  for (int block = 0; block < kPhraseBlocks; ++block) {
    EventList events;
    switch (block) {
      case 0: events.noteOn(0, 48, 100).noteOn(0, 55, 90).noteOn(17, 60, 80).noteOn(100, 64, 70); break;
      case 20: events.midi(5, 0xB0, 64, 127).noteOn(30, 72, 110); break;  // pedal down
      case 40: events.noteOff(3, 48).noteOff(3, 55).noteOff(200, 72); break;  // held by the pedal
      case 60: events.noteOn(11, 67, 127).noteOn(12, 71, 40).noteOn(13, 74, 64); break;
      case 80: events.midi(0, 0xB0, 64, 0); break;  // pedal up: the released keys fade
      case 100: events.noteOn(50, 76, 100).noteOff(60, 60).noteOff(61, 64); break;
      case 130: events.noteOn(0, 79, 90).noteOn(128, 81, 90).noteOn(255, 83, 90); break;
      case 150: events.noteOn(1, 84, 100).noteOn(2, 86, 100).noteOn(3, 88, 100); break;  // steal
      case 180: events.noteOn(7, 79, 50); break;  // re-trigger while held
      case 220: events.noteOff(0, 67).noteOff(0, 71).noteOff(0, 74).noteOff(0, 76); break;
      case 240: events.noteOff(9, 79).noteOff(9, 81).noteOff(9, 83).noteOff(9, 84); break;
      case 260: events.noteOn(0, 36, 127).noteOff(120, 86).noteOff(120, 88); break;
      default: break;
    }
    if (block == 90) rig.engine->setParameter(kRate1, 0.55f);
    if (block == 110) rig.engine->setParameter(kCombFilter, 0.4f);
    if (block == 120) rig.engine->setParameter(kSmooth, 0.9f);
    if (block == 140) rig.engine->setParameter(kRateScaleUp, 0.0f);
    if (block == 170) rig.engine->setParameter(kRate2, 0.6f);
    if (block == 200) rig.engine->setParameter(kAdsr2Rate1, 0.2f);
    if (block == 230) rig.engine->setParameter(kReverbMix, 0.8f);
    rig.render(kBlock, &events);
    for (int i = (block * kBlock) % kReferenceStride; i < kBlock; i += kReferenceStride) {
      kept.push_back(rig.left[i]);
      kept.push_back(rig.right[i]);
    }
  }
  return kept;
}

std::vector<float> renderBothPhrases() {
  std::vector<float> all = renderPhrase(false);
  const std::vector<float> bandPass = renderPhrase(true);
  all.insert(all.end(), bandPass.begin(), bandPass.end());
  return all;
}

void writeReference(const char* path, const std::vector<float>& samples) {
  std::FILE* file = std::fopen(path, "w");
  ASSERT_NE(file, nullptr) << path;
  for (std::size_t i = 0; i < samples.size(); ++i) {
    std::uint32_t bits;
    std::memcpy(&bits, &samples[i], sizeof bits);
    std::fprintf(file, "0x%08x,%s", static_cast<unsigned>(bits), i % 8 == 7 ? "\n" : " ");
  }
  std::fprintf(file, "\n");
  std::fclose(file);
}

// Difference energy relative to signal energy, in dB, over [from, to).
double differenceDb(const std::vector<float>& actual, std::size_t from, std::size_t to) {
  double signal = 0.0, difference = 0.0;
  for (std::size_t i = from; i < to; ++i) {
    float expected;
    std::memcpy(&expected, &kReferenceBits[i], sizeof expected);
    signal += double(expected) * expected;
    const double d = double(actual[i]) - expected;
    difference += d * d;
  }
  if (difference == 0.0) return -400.0;
  return 10.0 * std::log10(difference / signal);
}

TEST(ReferencePhrase, SoundsAsCapturedWithCombAndWithBandPassMelody) {
  const std::vector<float> actual = renderBothPhrases();
  if (const char* path = std::getenv("SKARVEL_WRITE_REFERENCE")) {
    writeReference(path, actual);
    GTEST_SKIP() << "reference written to " << path;
  }
  ASSERT_EQ(actual.size(), std::size(kReferenceBits));
  for (float x : actual) ASSERT_TRUE(std::isfinite(x));

  // Each half (comb, band-pass) on its own, and each quarter of a half, so a fault confined to
  // a short stretch (a release, the pedal) is not averaged away by the loud rest.
  const std::size_t half = actual.size() / 2;
  for (std::size_t start = 0; start < actual.size(); start += half) {
    EXPECT_LT(differenceDb(actual, start, start + half), -100.0) << "half at " << start;
    const std::size_t quarter = half / 4;
    for (std::size_t q = 0; q < 4; ++q)
      EXPECT_LT(differenceDb(actual, start + q * quarter, start + (q + 1) * quarter), -100.0)
          << "quarter " << q << " of half at " << start;
  }
}

// The captured phrase is loud enough throughout for the comparison to mean something.
TEST(ReferencePhrase, ReferenceIsAudibleInEveryQuarter) {
  const std::size_t half = std::size(kReferenceBits) / 2, quarter = half / 4;
  for (std::size_t q = 0; q < 8; ++q) {
    double energy = 0.0;
    for (std::size_t i = q * quarter; i < (q + 1) * quarter; ++i) {
      float x;
      std::memcpy(&x, &kReferenceBits[i], sizeof x);
      energy += double(x) * x;
    }
    EXPECT_GT(std::sqrt(energy / quarter), 1e-3) << "quarter " << q;
  }
}

// The block loop splits each block at events and at the sleep detector's decisions; where the
// host cuts its blocks must not change a single sample. Notes, the pedal and a sleep (the
// release ends well before the phrase does) at fixed times, rendered in several block sizes.
std::vector<float> renderInBlocks(int block) {
  Rig rig;
  setPhraseParameters(rig, false);
  rig.engine->setParameter(kRelease1, 0.05f);
  struct Timed {
    int at, status, data1, data2;
  };
  const Timed timeline[] = {{0, 0x90, 60, 100},    {0, 0x90, 64, 90},   {700, 0xB0, 64, 127},
                            {1500, 0x80, 60, 0},   {2222, 0x90, 67, 80}, {5000, 0xB0, 64, 0},
                            {5001, 0x80, 64, 0},   {9000, 0x80, 67, 0},  {20000, 0x90, 72, 70},
                            {20000, 0x80, 72, 0}};
  const int total = 2 * 44100;
  std::vector<float> all;
  for (int start = 0; start < total; start += block) {
    const int n = std::min(block, total - start);
    EventList events;
    for (const Timed& event : timeline)
      if (event.at >= start && event.at < start + n) events.midi(event.at - start, event.status, event.data1, event.data2);
    rig.render(n, &events);
    for (int i = 0; i < n; ++i) {
      all.push_back(rig.left[i]);
      all.push_back(rig.right[i]);
    }
  }
  EXPECT_FALSE(rig.engine->isActive()) << "the phrase should end asleep, block " << block;
  return all;
}

TEST(ReferencePhrase, HostBlockSizeChangesNoSample) {
  const std::vector<float> reference = renderInBlocks(512);
  for (int block : {1, 33, 100, 1024, 4096}) {
    const std::vector<float> other = renderInBlocks(block);
    ASSERT_EQ(other.size(), reference.size());
    std::size_t first = 0;
    while (first < other.size() && std::memcmp(&other[first], &reference[first], sizeof(float)) == 0) ++first;
    EXPECT_EQ(first, other.size()) << "block " << block << " differs from sample " << first / 2;
  }
}

}  // namespace
