#include "DemoPhrase.h"

#include <algorithm>
#include <initializer_list>

namespace render {

namespace {

constexpr double kBeat = 0.5;  // seconds (120 beats per minute)

class PhraseBuilder {
 public:
  PhraseBuilder(MidiSequence& midi, std::vector<ParameterCue>& cues) : m_midi(midi), m_cues(cues) {}

  void note(double beat, double beats, int key, int velocity) {
    message(beat, 0x90, key, velocity);
    message(beat + beats, 0x80, key, 0);
  }
  void chord(double beat, double beats, std::initializer_list<int> keys, int velocity) {
    for (int key : keys) note(beat, beats, key, velocity);
  }
  void pedal(double beat, bool down) { message(beat, 0xB0, 64, down ? 127 : 0); }
  void parameter(double beat, const char* name, float value) { m_cues.push_back({beat * kBeat, name, value}); }

 private:
  void message(double beat, int status, int data1, int data2) {
    TimedMidi event;
    event.seconds = beat * kBeat;
    event.bytes[0] = static_cast<unsigned char>(status);
    event.bytes[1] = static_cast<unsigned char>(data1);
    event.bytes[2] = static_cast<unsigned char>(data2);
    m_midi.events.push_back(event);
  }

  MidiSequence& m_midi;
  std::vector<ParameterCue>& m_cues;
};

}  // namespace

void demoPhrase(MidiSequence& midi, std::vector<ParameterCue>& cues) {
  midi = {};
  cues.clear();
  PhraseBuilder p(midi, cues);

  // A pitched, resonant start: band-pass off, resonator tuned to the note.
  p.parameter(0, "RateScaleUp", 1.0f);
  p.parameter(0, "ResoAmnt", 0.9f);
  p.parameter(0, "KT2Rate1", 0.75f);  // osc1 rate follows the note
  p.parameter(0, "Rate1", 0.0f);
  p.parameter(0, "Attack1", 0.08f);
  p.parameter(0, "Release1", 0.35f);
  p.parameter(0, "ReverbOn", 1.0f);
  p.parameter(0, "ReverbMix", 0.4f);
  p.parameter(0, "Gain_out", 0.3f);

  // Bars 1-2: chords with the pedal holding them across the changes.
  p.pedal(0, true);
  p.chord(0, 2, {48, 55, 60, 64}, 90);
  p.chord(2, 2, {45, 52, 57, 60}, 85);
  p.pedal(3.9, false);
  p.pedal(4, true);
  p.chord(4, 2, {41, 48, 53, 57}, 85);
  p.chord(6, 2, {43, 50, 55, 59}, 95);
  p.pedal(7.9, false);

  // Bars 3-4: a melody over held chords, while the sound opens up.
  p.chord(8, 8, {48, 55, 64}, 70);
  const int melody[] = {72, 74, 76, 79, 77, 76, 74, 72, 71, 72, 74, 67, 72};
  for (int i = 0; i < 13; ++i) p.note(8 + i * 0.5 + (i > 10 ? i - 10 : 0), 0.45, melody[i], 100 - (i % 3) * 12);
  p.parameter(8, "StrEnh", 0.3f);
  for (int step = 0; step <= 16; ++step) p.parameter(8 + step * 0.5, "CombFilter", 0.3f + step * 0.03f);
  p.parameter(12, "QFilters", 1.0f);
  for (int step = 0; step <= 8; ++step) p.parameter(12 + step * 0.5, "EQLP_Freq", 0.5f + step * 0.05f);

  // Bar 5: band-pass melody with the envelope sweeping its centre.
  p.parameter(16, "BPMelody", 1.0f);
  p.parameter(16, "ADSR2LP_HP1", 0.8f);
  p.parameter(16, "KT2Rate1", 0.2f);
  p.parameter(16, "Level", 0.3f);
  p.chord(16, 3.5, {60, 67}, 100);
  p.note(16, 1, 76, 110);
  p.note(17, 1, 79, 100);
  p.note(18, 1.5, 84, 105);

  // Bar 6: noisy texture with slow rates, then a long release into the reverb tail.
  p.parameter(20, "BPMelody", 0.0f);
  p.parameter(20, "RateScaleUp", 0.0f);
  p.parameter(20, "Rate1", 0.35f);
  p.parameter(20, "Smooth", 0.7f);
  p.parameter(20, "FM", 0.8f);
  p.parameter(20, "ReverbSize", 0.9f);
  p.pedal(20, true);
  p.chord(20, 1, {36, 43, 52, 59, 62}, 110);
  p.pedal(23, false);
  p.parameter(26, "ReverbOn", 0.0f);

  const auto byTime = [](const auto& a, const auto& b) { return a.seconds < b.seconds; };
  std::stable_sort(midi.events.begin(), midi.events.end(), byTime);
  std::stable_sort(cues.begin(), cues.end(), byTime);
  midi.lengthSeconds = std::max(midi.events.back().seconds, cues.back().seconds);
}

}  // namespace render
