// skarvel-demo: renders a short demo phrase (chords, a melody over them, the sustain pedal and a
// programme of parameter changes) through the Skarvel engine into a 32-bit float WAV file.
//
//   skarvel-demo OUTPUT.wav [--sample-rate HZ]

#include <sndfile.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "Frameworks/Core/DspEvents.h"
#include "Frameworks/Core/ScopePeakExchange.h"
#include "source/SkarvelParameterTable.h"
#include "source/VstSynth.h"

namespace {

using namespace skarvel;

constexpr int kBlockSize = 256;
constexpr double kBeat = 0.5;  // seconds (120 bpm)

// One thing that happens in the phrase: a MIDI message or a parameter change.
struct Cue {
  double time;  // seconds
  bool isParameter;
  unsigned char midi[3];
  int id;
  float value;
};

struct Phrase {
  std::vector<Cue> cues;
  void note(double beat, double beats, int key, int velocity) {
    cues.push_back({beat * kBeat, false, {0x90, static_cast<unsigned char>(key), static_cast<unsigned char>(velocity)}, 0, 0});
    cues.push_back({(beat + beats) * kBeat, false, {0x80, static_cast<unsigned char>(key), 0}, 0, 0});
  }
  void chord(double beat, double beats, std::initializer_list<int> keys, int velocity) {
    for (int key : keys) note(beat, beats, key, velocity);
  }
  void pedal(double beat, bool down) {
    cues.push_back({beat * kBeat, false, {0xB0, 64, static_cast<unsigned char>(down ? 127 : 0)}, 0, 0});
  }
  void parameter(double beat, int id, float value) { cues.push_back({beat * kBeat, true, {0, 0, 0}, id, value}); }
};

Phrase demoPhrase() {
  Phrase p;
  // A pitched, resonant start: band-pass off, resonator tuned to the note.
  p.parameter(0, kRateScaleUp, 1.0f);
  p.parameter(0, kResoAmnt, 0.9f);
  p.parameter(0, kKt2Rate1, 0.75f);  // osc1 rate follows the note
  p.parameter(0, kRate1, 0.0f);
  p.parameter(0, kAttack1, 0.08f);
  p.parameter(0, kRelease1, 0.35f);
  p.parameter(0, kReverbOn, 1.0f);
  p.parameter(0, kReverbMix, 0.4f);
  p.parameter(0, kGainOut, 0.45f);

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
  p.parameter(8, kStrEnh, 0.3f);
  for (int step = 0; step <= 16; ++step) p.parameter(8 + step * 0.5, kCombFilter, 0.3f + step * 0.03f);
  p.parameter(12, kQFilters, 1.0f);
  for (int step = 0; step <= 8; ++step) p.parameter(12 + step * 0.5, kEqLpFreq, 0.5f + step * 0.05f);

  // Bar 5: band-pass melody with the envelope sweeping its centre.
  p.parameter(16, kBpMelody, 1.0f);
  p.parameter(16, kAdsr2LpHp1, 0.8f);
  p.parameter(16, kKt2Rate1, 0.2f);
  p.parameter(16, kLevel, 0.3f);
  p.chord(16, 3.5, {60, 67}, 100);
  p.note(16, 1, 76, 110);
  p.note(17, 1, 79, 100);
  p.note(18, 1.5, 84, 105);

  // Bar 6: noisy texture with slow rates, then a long release into the reverb tail.
  p.parameter(20, kBpMelody, 0.0f);
  p.parameter(20, kRateScaleUp, 0.0f);
  p.parameter(20, kRate1, 0.35f);
  p.parameter(20, kSmooth, 0.7f);
  p.parameter(20, kFm, 0.8f);
  p.parameter(20, kReverbSize, 0.9f);
  p.pedal(20, true);
  p.chord(20, 1, {36, 43, 52, 59, 62}, 110);
  p.pedal(23, false);
  p.parameter(26, kReverbOn, 0.0f);

  std::stable_sort(p.cues.begin(), p.cues.end(), [](const Cue& a, const Cue& b) { return a.time < b.time; });
  return p;
}

bool parseRate(const char* text, double& rate) {
  const char* end = text + std::strlen(text);
  const auto result = std::from_chars(text, end, rate);
  return result.ec == std::errc() && result.ptr == end && rate > 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string outputPath;
  double sampleRate = 44100.0;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--sample-rate") == 0 && i + 1 < argc) {
      if (!parseRate(argv[++i], sampleRate)) {
        std::fprintf(stderr, "skarvel-demo: invalid sample rate '%s'\n", argv[i]);
        return 2;
      }
    } else if (outputPath.empty() && argv[i][0] != '-') {
      outputPath = argv[i];
    } else {
      std::fprintf(stderr, "usage: skarvel-demo OUTPUT.wav [--sample-rate HZ]\n");
      return 2;
    }
  }
  if (outputPath.empty()) {
    std::fprintf(stderr, "usage: skarvel-demo OUTPUT.wav [--sample-rate HZ]\n");
    return 2;
  }

  core::ScopePeakExchange scope;
  VstSynth engine(scope);
  engine.open();
  engine.setSampleRate(sampleRate);
  for (int id = 0; id < kParameterCount; ++id) engine.setParameter(id, kParameterTable[id].defaultValue);
  engine.resume();
  const int rate = static_cast<int>(engine.sampleRate());

  SF_INFO info{};
  info.samplerate = rate;
  info.channels = 2;
  info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  SNDFILE* file = sf_open(outputPath.c_str(), SFM_WRITE, &info);
  if (!file) {
    std::fprintf(stderr, "skarvel-demo: cannot write '%s': %s\n", outputPath.c_str(), sf_strerror(nullptr));
    return 1;
  }

  const Phrase phrase = demoPhrase();
  const double lengthSeconds = 15.0;
  const long long totalFrames = static_cast<long long>(lengthSeconds * rate);

  std::vector<float> left(kBlockSize), right(kBlockSize), interleaved(2 * kBlockSize);
  std::vector<core::DspMidiEvent> midi(phrase.cues.size());
  std::vector<core::DspEvent*> pointers(phrase.cues.size() + 2);
  // The list record with room for every pointer, laid out as hosts do.
  std::vector<unsigned char> listStorage(sizeof(core::DspEvents) + sizeof(core::DspEvent*) * phrase.cues.size());
  auto* list = reinterpret_cast<core::DspEvents*>(listStorage.data());

  std::size_t next = 0;
  for (long long start = 0; start < totalFrames; start += kBlockSize) {
    const int frames = static_cast<int>(std::min<long long>(kBlockSize, totalFrames - start));
    int count = 0;
    while (next < phrase.cues.size() && static_cast<long long>(phrase.cues[next].time * rate) < start + frames) {
      const Cue& cue = phrase.cues[next++];
      if (cue.isParameter) {
        engine.setParameter(cue.id, cue.value);  // at the block start, as hosts apply automation
        continue;
      }
      core::DspMidiEvent& event = midi[count];
      event = {};
      event.type = core::kDspMidiEventType;
      event.byteSize = sizeof(core::DspMidiEvent);
      event.deltaFrames = static_cast<int>(static_cast<long long>(cue.time * rate) - start);
      std::memcpy(event.midiData, cue.midi, 3);
      list->events[count] = reinterpret_cast<core::DspEvent*>(&event);
      ++count;
    }
    list->numEvents = count;
    engine.processEvents(list);
    float* outputs[2] = {left.data(), right.data()};
    engine.process(nullptr, outputs, frames);
    for (int i = 0; i < frames; ++i) {
      interleaved[2 * i] = left[i];
      interleaved[2 * i + 1] = right[i];
    }
    if (sf_writef_float(file, interleaved.data(), frames) != frames) {
      std::fprintf(stderr, "skarvel-demo: writing '%s' failed: %s\n", outputPath.c_str(), sf_strerror(file));
      sf_close(file);
      return 1;
    }
  }
  if (sf_close(file) != 0) {
    std::fprintf(stderr, "skarvel-demo: closing '%s' failed\n", outputPath.c_str());
    return 1;
  }
  std::fprintf(stderr, "skarvel-demo: wrote %.1f s at %d Hz to %s\n", lengthSeconds, rate, outputPath.c_str());
  return 0;
}
