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

void fft(std::vector<std::complex<double>>& x) {
  const std::size_t n = x.size();
  for (std::size_t i = 1, j = 0; i < n; ++i) {
    std::size_t bit = n >> 1;
    for (; j & bit; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) std::swap(x[i], x[j]);
  }
  for (std::size_t length = 2; length <= n; length <<= 1) {
    const double angle = -2.0 * std::numbers::pi / static_cast<double>(length);
    const std::complex<double> step(std::cos(angle), std::sin(angle));
    for (std::size_t i = 0; i < n; i += length) {
      std::complex<double> w(1.0, 0.0);
      for (std::size_t k = 0; k < length / 2; ++k) {
        const auto u = x[i + k];
        const auto v = x[i + k + length / 2] * w;
        x[i + k] = u + v;
        x[i + k + length / 2] = u - v;
        w *= step;
      }
    }
  }
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

Phrase Phrase::standard() {
  return {{{0.0, 0.4, 60, 100}, {0.5, 0.4, 64, 90}, {1.0, 1.0, 48, 100}, {1.0, 1.0, 55, 96},
           {1.0, 1.0, 64, 92}, {1.0, 1.0, 67, 100}}};
}

Phrase Phrase::held() {
  return {{{0.0, 4.0, 48, 90}, {0.0, 4.0, 55, 85}, {0.05, 3.95, 60, 85}, {0.1, 3.9, 64, 80}}, 12.0};
}

Phrase Phrase::strikes() {
  Phrase p;
  const int keys[] = {48, 55, 60, 64, 67, 72, 79, 84};
  for (int i = 0; i < 8; ++i) p.notes.push_back({i * 0.25, 0.15, keys[i], 127 - i * 6});
  return p;
}

Phrase Phrase::melody() {
  Phrase p;
  const int keys[] = {62, 64, 65, 67, 69, 67, 65, 64, 62};
  const double lengths[] = {0.5, 0.25, 0.25, 0.5, 1.0, 0.25, 0.25, 0.25, 1.0};
  double t = 0.0;
  for (int i = 0; i < 9; ++i) {
    p.notes.push_back({t, lengths[i] * 0.95, keys[i], 90 + (i % 3) * 10});
    t += lengths[i];
  }
  return p;
}

Phrase Phrase::bass() {
  return {{{0.0, 0.45, 36, 110}, {0.5, 0.45, 36, 90}, {1.0, 0.45, 43, 110}, {1.5, 0.9, 41, 100}}};
}

Phrase Phrase::loudChord() {
  Phrase p;
  for (int key : {36, 48, 55, 60, 64, 67}) p.notes.push_back({0.0, 1.5, key, 127});
  return p;
}

Phrase Phrase::range() {
  Phrase p;
  for (int i = 0; i < 8; ++i) p.notes.push_back({i * 0.5, 0.4, 24 + 12 * i, 127});
  return p;
}

Phrase Phrase::single(int key, double length) { return {{{0.0, length, key, 100}}}; }

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
  m.power = powerSpectrum(r, 0, to);
  m.binHz = r.sampleRate / kFftSize;
  const std::vector<double>& power = m.power;
  const double binHz = m.binHz;
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

Measures::Pitch Measures::pitchNear(double hz) const {
  Pitch pitch;
  if (power.size() < 3 || binHz <= 0.0 || !(hz > 0.0)) return pitch;
  // Mean power of the bin at f and its neighbours; 0 beyond the spectrum.
  const auto around = [&](double f) {
    const auto bin = static_cast<std::size_t>(std::lround(f / binHz));
    if (bin < 1 || bin + 1 >= power.size()) return 0.0;
    return (power[bin - 1] + power[bin] + power[bin + 1]) / 3.0;
  };
  double best = -1e300;
  for (double f = hz * 0.92; f <= hz * 1.08; f += 0.25 * binHz) {
    double sum = 0.0;
    for (int k = 1; k <= 6; ++k) sum += std::log(around(k * f) + 1e-30);
    if (sum > best) {
      best = sum;
      pitch.fundamental = f;
    }
  }
  for (int k = 1; k <= 6; ++k)
    pitch.contrast += 10.0 * std::log10((around(k * pitch.fundamental) + 1e-30) /
                                        (around((k + 0.5) * pitch.fundamental) + 1e-30)) / 6.0;
  return pitch;
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
  const bool written = sf_writef_float(file, interleaved.data(), static_cast<sf_count_t>(n)) == static_cast<sf_count_t>(n);
  if (!written) std::fprintf(stderr, "writing '%s' failed: %s\n", path.c_str(), sf_strerror(file));
  return sf_close(file) == 0 && written;
}

}  // namespace audition
