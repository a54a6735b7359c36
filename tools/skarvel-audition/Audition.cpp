#include "tools/skarvel-audition/Audition.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <cstring>
#include <memory>
#include <numbers>

#include "Frameworks/Core/DspEvents.h"
#include "Frameworks/Core/ScopePeakExchange.h"
#include "source/VstSynth.h"
#include "tools/skarvel-audition/Spectrum.h"

namespace audition {

namespace {

constexpr int kBlock = 256;
constexpr int kFftSize = 4096;

struct TimedMidi {
  long long frame;
  unsigned char status, data1, data2;
};

std::vector<TimedMidi> midiFor(const Phrase& phrase, double sampleRate) {
  std::vector<TimedMidi> events;
  for (const PhraseNote& note : phrase.notes) {
    const auto on = static_cast<long long>(std::llround(note.start * sampleRate));
    const auto off = static_cast<long long>(std::llround((note.start + note.length) * sampleRate));
    events.push_back({on, 0x90, static_cast<unsigned char>(note.key), static_cast<unsigned char>(note.velocity)});
    events.push_back({off, 0x80, static_cast<unsigned char>(note.key), 0});
  }
  // Offs before ons at the same frame, so a repeated key is released before it is struck again.
  std::stable_sort(events.begin(), events.end(), [](const TimedMidi& a, const TimedMidi& b) {
    if (a.frame != b.frame) return a.frame < b.frame;
    return a.status < b.status;
  });
  return events;
}

// Average power spectrum (bins 0..kFftSize/2) of the mid signal between two frames.
std::vector<double> powerSpectrum(const Render& r, std::size_t from, std::size_t to) {
  std::vector<double> power(kFftSize / 2 + 1, 0.0);
  std::vector<std::complex<double>> frame(kFftSize);
  int frames = 0;
  for (std::size_t start = from; start + kFftSize <= to; start += kFftSize / 2) {
    for (int i = 0; i < kFftSize; ++i) {
      const double window = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * i / (kFftSize - 1));
      frame[i] = window * 0.5 * (static_cast<double>(r.left[start + i]) + r.right[start + i]);
    }
    fft(frame);
    for (int k = 0; k <= kFftSize / 2; ++k) power[k] += std::norm(frame[k]);
    ++frames;
  }
  if (frames > 0)
    for (double& p : power) p /= frames;
  return power;
}

}  // namespace

ParameterValues defaultValues() {
  ParameterValues values{};
  for (int id = 0; id < skarvel::kParameterCount; ++id) values[id] = skarvel::kParameterTable[id].defaultValue;
  return values;
}

double Phrase::lastRelease() const {
  double last = 0.0;
  for (const PhraseNote& note : notes) last = std::max(last, note.start + note.length);
  return last;
}

namespace {

// Keys `offsets` semitones from the middle of the range, each moved into the range; keys the
// range folds onto one another are dropped, so every key of a chord is played once.
std::vector<int> keysAround(const KeyRange& range, std::initializer_list<int> offsets) {
  std::vector<int> keys;
  for (int offset : offsets) {
    int key = range.centre() + offset;
    while (key < range.low && key + 12 <= range.high) key += 12;
    while (key > range.high && key - 12 >= range.low) key -= 12;
    key = range.clamp(key);
    if (std::find(keys.begin(), keys.end(), key) == keys.end()) keys.push_back(key);
  }
  return keys;
}

}  // namespace

Phrase Phrase::melody(const KeyRange& range) {
  Phrase p;
  const int offsets[] = {-3, -1, 0, 2, 4, 2, 0, -1, -3};
  const double lengths[] = {0.5, 0.25, 0.25, 0.5, 1.0, 0.25, 0.25, 0.25, 1.0};
  double t = 0.0;
  for (int i = 0; i < 9; ++i) {
    p.notes.push_back({t, lengths[i] * 0.95, range.clamp(range.centre() + offsets[i]), 90 + (i % 3) * 10});
    t += lengths[i];
  }
  return p;
}

Phrase Phrase::held(const KeyRange& range) {
  Phrase p;
  p.tail = 12.0;
  int i = 0;
  for (int key : keysAround(range, {-5, 0, 4, 7})) {
    p.notes.push_back({0.05 * i, 4.0 - 0.05 * i, key, 90 - 4 * i});
    ++i;
  }
  return p;
}

Phrase Phrase::strikes(const KeyRange& range) {
  Phrase p;
  for (int i = 0; i < 8; ++i) {
    const int key = range.low + (range.high - range.low) * i / 7;
    p.notes.push_back({i * 0.25, 0.15, key, 127 - i * 6});
  }
  return p;
}

Phrase Phrase::bass(const KeyRange& range) {
  const int root = range.low + (range.centre() - range.low) / 2;
  return {{{0.0, 0.45, root, 110},
           {0.5, 0.45, root, 90},
           {1.0, 0.45, range.clamp(root + 7), 110},
           {1.5, 0.9, range.clamp(root + 5), 100}}};
}

Phrase Phrase::groove(const KeyRange& range) {
  Phrase p;
  const int accents[] = {127, 70, 100, 70};
  for (int i = 0; i < 16; ++i) p.notes.push_back({i * 0.25, 0.1, range.centre(), accents[i % 4]});
  return p;
}

Phrase Phrase::drone(const KeyRange& range, double seconds) {
  Phrase p;
  p.notes.push_back({0.0, seconds, range.centre(), 100});
  p.tail = 10.0;
  return p;
}

Phrase Phrase::standard(const KeyRange& range) {
  Phrase p;
  p.notes.push_back({0.0, 0.4, range.centre(), 100});
  p.notes.push_back({0.5, 0.4, range.clamp(range.centre() + 4), 90});
  int velocity = 100;
  for (int key : keysAround(range, {-12, -5, 4, 7})) p.notes.push_back({1.0, 1.0, key, velocity -= 3});
  return p;
}

Phrase Phrase::loudChord(const KeyRange& range) {
  Phrase p;
  std::vector<int> keys = keysAround(range, {-12, -5, 0, 4, 7, 12, 16, 19});
  // A narrow range folds some keys together: fill up with the other keys nearest the middle.
  for (int step = 1; keys.size() < 8 && step <= 24; ++step)
    for (int key : {range.centre() - step, range.centre() + step})
      if (keys.size() < 8 && key >= range.low && key <= range.high &&
          std::find(keys.begin(), keys.end(), key) == keys.end())
        keys.push_back(key);
  for (int key : keys) p.notes.push_back({0.0, 1.5, key, 127});
  return p;
}

Phrase Phrase::progression(const KeyRange& range) {
  Phrase p;
  // C, Am, F, G, Em, Dm in close position around the middle of the range.
  const std::initializer_list<int> chords[] = {{0, 4, 7, 12},   {-3, 0, 4, 9},   {-7, -3, 0, 5},
                                               {-5, -1, 2, 7}, {-8, -5, -1, 4}, {-10, -7, -3, 2}};
  double t = 0.0;
  for (const auto& chord : chords) {
    for (int key : keysAround(range, chord)) p.notes.push_back({t, 2.0, key, 100});
    t += 2.0;
  }
  return p;
}

Phrase Phrase::keyboard() {
  Phrase p;
  for (int i = 0; i < 8; ++i) p.notes.push_back({i * 0.5, 0.4, 24 + 12 * i, 127});
  return p;
}

Phrase Phrase::single(int key, double length, int velocity) { return {{{0.0, length, key, velocity}}}; }

std::size_t Render::frame(double seconds) const {
  const auto n = std::min(left.size(), right.size());
  if (!(seconds > 0.0)) return 0;
  return std::min(n, static_cast<std::size_t>(std::llround(seconds * sampleRate)));
}

std::vector<float> Render::mid(std::size_t from, std::size_t to) const {
  to = std::min({to, left.size(), right.size()});
  std::vector<float> m;
  if (from >= to) return m;
  m.reserve(to - from);
  for (std::size_t i = from; i < to; ++i) m.push_back(0.5f * (left[i] + right[i]));
  return m;
}

double Render::levelDb(double from, double to) const {
  const std::size_t a = frame(from), b = frame(to);
  double sum = 0.0;
  for (std::size_t i = a; i < b; ++i)
    sum += static_cast<double>(left[i]) * left[i] + static_cast<double>(right[i]) * right[i];
  if (b <= a || !(sum > 0.0)) return -200.0;
  return 10.0 * std::log10(sum / (2.0 * static_cast<double>(b - a)));
}

Render render(const ParameterValues& values, const Phrase& phrase, double sampleRate) {
  core::ScopePeakExchange scope;
  auto engine = std::make_unique<skarvel::VstSynth>(scope);
  engine->open();
  engine->setSampleRate(sampleRate);
  for (int id = 0; id < skarvel::kParameterCount; ++id) engine->setParameter(id, values[id]);
  engine->resume();

  Render r;
  r.sampleRate = engine->sampleRate();
  r.lastRelease = phrase.lastRelease();
  const std::vector<TimedMidi> events = midiFor(phrase, r.sampleRate);
  const auto releaseFrame = static_cast<long long>(std::llround(r.lastRelease * r.sampleRate));
  const auto total = static_cast<long long>((r.lastRelease + phrase.tail) * r.sampleRate);
  const auto afterSleep = static_cast<long long>(0.25 * r.sampleRate);
  r.left.reserve(static_cast<std::size_t>(total));
  r.right.reserve(static_cast<std::size_t>(total));

  std::vector<core::DspMidiEvent> midi(events.size());
  std::vector<unsigned char> storage(sizeof(core::DspEvents) + sizeof(core::DspEvent*) * (events.size() + 2));
  auto* list = reinterpret_cast<core::DspEvents*>(storage.data());
  // Each note's key frames, to see whether it has a voice of its own while it is held.
  struct HeldNote {
    long long on, off;
    int key;
    bool lost = false;
  };
  std::vector<HeldNote> held;
  for (const PhraseNote& note : phrase.notes)
    held.push_back({std::llround(note.start * r.sampleRate), std::llround((note.start + note.length) * r.sampleRate),
                    note.key});

  float left[kBlock], right[kBlock];
  std::size_t next = 0;
  long long sleptAt = -1;
  for (long long start = 0; start < total; start += kBlock) {
    const int frames = static_cast<int>(std::min<long long>(kBlock, total - start));
    int count = 0;
    while (next < events.size() && events[next].frame < start + frames) {
      const TimedMidi& e = events[next++];
      core::DspMidiEvent& event = midi[count];
      event = {};
      event.type = core::kDspMidiEventType;
      event.byteSize = sizeof(core::DspMidiEvent);
      event.deltaFrames = static_cast<int>(e.frame - start);
      event.midiData[0] = static_cast<char>(e.status);
      event.midiData[1] = static_cast<char>(e.data1);
      event.midiData[2] = static_cast<char>(e.data2);
      core::setEventAt(*list, static_cast<std::size_t>(count++), reinterpret_cast<core::DspEvent*>(&event));
    }
    list->numEvents = count;
    engine->processEvents(list);
    float* outputs[2] = {left, right};
    engine->process(nullptr, outputs, frames);
    r.left.insert(r.left.end(), left, left + frames);
    r.right.insert(r.right.end(), right, right + frames);

    const long long end = start + frames;
    // A note held across the end of the block must sound on a voice of its own: with every
    // voice busy the engine re-triggers voice 0, cutting the note it held.
    for (HeldNote& note : held) {
      if (note.lost || note.on >= end || note.off <= end) continue;
      bool sounding = false;
      for (int j = 0; j < skarvel::VstSynth::kSoundingVoices && !sounding; ++j)
        sounding = engine->voiceNote(j) == note.key &&
                   (!engine->adsrEnvelope(j).isIdle() || !engine->gateEnvelope(j).isIdle());
      if (!sounding) {
        note.lost = true;
        ++r.lostNotes;
      }
    }
    if (sleptAt < 0 && end > releaseFrame && next == events.size() && !engine->isActive()) {
      sleptAt = end;
      r.sleepFrame = static_cast<std::size_t>(end);
      r.sleepTime = static_cast<double>(end - releaseFrame) / r.sampleRate;
    }
    if (sleptAt >= 0 && end >= sleptAt + afterSleep) break;
  }
  return r;
}

const std::vector<double>& bandCentres() {
  static const std::vector<double> centres = [] {
    std::vector<double> c;
    for (double f = 31.5; f < 17000.0; f *= std::pow(2.0, 1.0 / 3.0)) c.push_back(f);
    return c;
  }();
  return centres;
}

Measures measure(const Render& r) {
  Measures m;
  const std::size_t n = std::min(r.left.size(), r.right.size());
  for (std::size_t i = 0; i < n; ++i) {
    if (!std::isfinite(r.left[i]) || !std::isfinite(r.right[i])) {
      m.finite = false;
      continue;
    }
    m.peak = std::max({m.peak, std::fabs(r.left[i]), std::fabs(r.right[i])});
  }
  if (!m.finite) return m;

  const std::size_t release = std::min(n, static_cast<std::size_t>(r.lastRelease * r.sampleRate));
  double sum = 0.0;
  for (std::size_t i = 0; i < release; ++i)
    sum += static_cast<double>(r.left[i]) * r.left[i] + static_cast<double>(r.right[i]) * r.right[i];
  m.heldRms = release > 0 ? std::sqrt(sum / (2.0 * release)) : 0.0;

  // Spectrum over the held part (at least one frame, reaching into the tail for short phrases).
  const std::size_t to = std::min(n, std::max(release, static_cast<std::size_t>(kFftSize)));
  const std::vector<double> power = powerSpectrum(r, 0, to);
  const double binHz = r.sampleRate / kFftSize;
  double total = 0.0, weighted = 0.0, best = 0.0;
  for (std::size_t k = 1; k < power.size(); ++k) {
    total += power[k];
    weighted += power[k] * k * binHz;
    if (power[k] > best) {
      best = power[k];
      m.strongest = k * binHz;
    }
  }
  m.centroid = total > 0.0 ? weighted / total : 0.0;
  const std::vector<double>& centres = bandCentres();
  m.bands.assign(centres.size(), 0.0);
  const double edge = std::pow(2.0, 1.0 / 6.0);
  for (std::size_t k = 1; k < power.size(); ++k) {
    const double f = k * binHz;
    for (std::size_t b = 0; b < centres.size(); ++b)
      if (f >= centres[b] / edge && f < centres[b] * edge) m.bands[b] += power[k];
  }
  double bandTotal = 0.0;
  for (double p : m.bands) bandTotal += p;
  if (bandTotal > 0.0)
    for (double& p : m.bands) p /= bandTotal;

  // Decay: 50 ms windows after the release, until one falls 60 dB below the held level.
  const std::size_t window = static_cast<std::size_t>(0.05 * r.sampleRate);
  const double threshold = m.heldRms * 1e-3;
  for (std::size_t start = release; start + window <= n; start += window) {
    double s = 0.0;
    for (std::size_t i = start; i < start + window; ++i)
      s += static_cast<double>(r.left[i]) * r.left[i] + static_cast<double>(r.right[i]) * r.right[i];
    if (std::sqrt(s / (2.0 * window)) <= threshold) {
      m.decayTime = static_cast<double>(start - release) / r.sampleRate;
      break;
    }
  }
  return m;
}

double spectralDistance(const Measures& a, const Measures& b) {
  if (a.bands.size() != b.bands.size() || a.bands.empty()) return 0.0;
  double sum = 0.0;
  for (std::size_t i = 0; i < a.bands.size(); ++i) {
    const double da = 10.0 * std::log10(std::max(a.bands[i], 1e-6));
    const double db = 10.0 * std::log10(std::max(b.bands[i], 1e-6));
    sum += (da - db) * (da - db);
  }
  return std::sqrt(sum / a.bands.size());
}

namespace {

std::vector<double> contour(const Render& r) {
  std::vector<double> levels;
  const double step = 0.02;
  const double length = static_cast<double>(std::min(r.left.size(), r.right.size())) / r.sampleRate;
  for (double t = 0.0; t + step <= length; t += step) levels.push_back(r.levelDb(t, t + step));
  const double top = levels.empty() ? 0.0 : *std::max_element(levels.begin(), levels.end());
  for (double& level : levels) level = std::max(level - top, -40.0);
  return levels;
}

}  // namespace

double contourDistance(const Render& a, const Render& b) {
  std::vector<double> ca = contour(a), cb = contour(b);
  const std::size_t n = std::max(ca.size(), cb.size());
  if (n == 0) return 0.0;
  ca.resize(n, -40.0);
  cb.resize(n, -40.0);
  double sum = 0.0;
  for (std::size_t i = 0; i < n; ++i) sum += (ca[i] - cb[i]) * (ca[i] - cb[i]);
  return std::sqrt(sum / static_cast<double>(n));
}

std::string keyName(int key) {
  static const char* const names[] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
  const int octave = key >= 0 ? key / 12 - 1 : (key - 11) / 12 - 1;
  return names[((key % 12) + 12) % 12] + std::to_string(octave);
}

double keyFrequency(int key, double semitones) { return 440.0 * std::pow(2.0, (key + semitones - 69.0) / 12.0); }

bool writeWav(const std::string& path, const Render& r) {
  SF_INFO info{};
  info.samplerate = static_cast<int>(r.sampleRate);
  info.channels = 2;
  info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!file) {
    std::fprintf(stderr, "cannot write '%s': %s\n", path.c_str(), sf_strerror(nullptr));
    return false;
  }
  const std::size_t n = std::min(r.left.size(), r.right.size());
  std::vector<float> interleaved(2 * n);
  for (std::size_t i = 0; i < n; ++i) {
    interleaved[2 * i] = r.left[i];
    interleaved[2 * i + 1] = r.right[i];
  }
  const bool written = sf_writef_float(file, interleaved.data(),
      static_cast<sf_count_t>(n)) == static_cast<sf_count_t>(n);
  if (!written) std::fprintf(stderr, "writing '%s' failed: %s\n", path.c_str(), sf_strerror(file));
  return sf_close(file) == 0 && written;
}

}  // namespace audition
