#include "tools/skarvel-audition/Bounds.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numeric>

#include "tools/skarvel-audition/Loudness.h"

namespace audition {

namespace {

constexpr double kRates[] = {48000.0, 96000.0};

std::string format(const char* pattern, auto... values) {
  char text[256];
  std::snprintf(text, sizeof text, pattern, values...);
  return text;
}

double decibels(double x) { return x > 0.0 ? 20.0 * std::log10(x) : -200.0; }

// How long a released note takes to fade by 60 dB (s): the ADSR's release, or the gate
// envelope's 10 ms when the gate sets the level.
double releaseSeconds(const ParameterValues& values) {
  if (values[skarvel::kAdsr2Level] >= 0.5f) return 0.05;
  const double release = static_cast<double>(values[skarvel::kRelease1]) * values[skarvel::kRelease1] * 10.0;
  return std::max(0.05, release * std::log(1000.0) / std::log(11.0));
}

Loudness loudnessOf(const Render& r, double until) {
  const std::size_t frames = r.frame(until);
  return measureLoudness(r.left.data(), r.right.data(), frames, r.sampleRate);
}

float samplePeak(const Render& r, bool& finite) {
  float peak = 0.0f;
  for (std::size_t i = 0; i < std::min(r.left.size(), r.right.size()); ++i) {
    if (!std::isfinite(r.left[i]) || !std::isfinite(r.right[i])) {
      finite = false;
      continue;
    }
    peak = std::max({peak, std::fabs(r.left[i]), std::fabs(r.right[i])});
  }
  return peak;
}

// Millisecond RMS envelope of one channel over [from, to).
std::vector<double> envelope(const std::vector<float>& x, std::size_t from, std::size_t to, double sampleRate) {
  const auto hop = static_cast<std::size_t>(sampleRate * 0.001);
  std::vector<double> result;
  for (std::size_t start = from; start + hop <= std::min(to, x.size()); start += hop) {
    double sum = 0.0;
    for (std::size_t i = start; i < start + hop; ++i) sum += static_cast<double>(x[i]) * x[i];
    result.push_back(std::sqrt(sum / hop));
  }
  return result;
}

// How much later the right channel's envelope runs than the left's (s): the lag, within 60 ms
// either way, at which the two envelopes correlate best.
double channelLag(const Render& r, std::size_t to) {
  const std::vector<double> left = envelope(r.left, 0, to, r.sampleRate);
  const std::vector<double> right = envelope(r.right, 0, to, r.sampleRate);
  const int n = static_cast<int>(std::min(left.size(), right.size()));
  double best = -1.0;
  int bestLag = 0;
  for (int lag = -60; lag <= 60; ++lag) {
    double sum = 0.0;
    for (int i = 0; i < n; ++i)
      if (i + lag >= 0 && i + lag < n) sum += left[i] * right[i + lag];
    if (sum > best) {
      best = sum;
      bestLag = lag;
    }
  }
  return bestLag * 0.001;
}

// Time (s) the left channel's envelope takes to reach half its largest value within [0, to).
double riseTime(const Render& r, std::size_t to) {
  const std::vector<double> left = envelope(r.left, 0, to, r.sampleRate);
  if (left.empty()) return 0.0;
  const double top = *std::max_element(left.begin(), left.end());
  for (std::size_t i = 0; i < left.size(); ++i)
    if (left[i] >= 0.5 * top) return i * 0.001;
  return 0.0;
}

void assessPassage(const Draft& draft, const ParameterValues& values, Assessment& a) {
  Phrase passage = phraseFor(draft);
  passage.tail = draft.tail + 0.5;
  const Render r = render(values, passage);
  const double until = r.lastRelease + 1.0;
  const Loudness loudness = loudnessOf(r, until);
  a.loudness = loudness.integrated;
  a.monoLoss = loudness.integrated - loudness.monoFoldDown;
  a.peak = decibels(samplePeak(r, a.finite));
  double left = 0.0, right = 0.0;
  for (std::size_t i = 0; i < r.frame(until); ++i) {
    left += static_cast<double>(r.left[i]) * r.left[i];
    right += static_cast<double>(r.right[i]) * r.right[i];
  }
  a.balance = right > 0.0 && left > 0.0 ? 10.0 * std::log10(left / right) : 0.0;
  a.sleepTime = r.sleepTime;
  if (r.sleepTime >= 0.0)
    for (std::size_t i = r.sleepFrame; i < std::min(r.left.size(), r.right.size()); ++i)
      if (r.left[i] != 0.0f || r.right[i] != 0.0f) {
        a.soundAfterSleep = true;
        break;
      }

  passage.tail = 1.0;
  for (int i = 0; i < 2; ++i) {
    const Render other = render(values, passage, kRates[i]);
    a.rateLoudness[i] = loudnessOf(other, other.lastRelease + 1.0).integrated;
  }
}

void assessLoudPlaying(const Draft& draft, const ParameterValues& values, Assessment& a) {
  a.chordTruePeak = -HUGE_VAL;
  for (double rate : {44100.0, 96000.0}) {
    Phrase chord = Phrase::loudChord(draft.keys);
    chord.tail = 0.5;
    const Render r = render(values, chord, rate);
    a.chordTruePeak = std::max(a.chordTruePeak, loudnessOf(r, 1e9).truePeak);
    bool finite = true;
    samplePeak(r, finite);
    a.finite = a.finite && finite;

  }
  Phrase keyboard = Phrase::keyboard();
  keyboard.tail = 0.5;
  a.keyboardPeak = decibels(samplePeak(render(values, keyboard), a.finite));
}

void assessPolyphony(const Draft& draft, const ParameterValues& values, Assessment& a) {
  Phrase progression = Phrase::progression(draft.keys);
  progression.tail = 1.0;
  const Render r = render(values, progression);
  a.lostNotes = r.lostNotes;
  const double first = r.levelDb(0.0, 2.0);
  a.chordDrop = 0.0;
  for (int chord = 1; chord < 6; ++chord) {
    const double level = r.levelDb(2.0 * chord, 2.0 * chord + 2.0);
    if (std::fabs(first - level) > std::fabs(a.chordDrop)) a.chordDrop = first - level;
  }
}

// 24 identical notes on a freshly loaded engine; also the onsets of the first in each channel.
void assessRepeats(const Draft& draft, const ParameterValues& values, Assessment& a) {
  // Long notes are cut to 3 s: enough to hear a note's level, and the run stays short.
  const double length = std::min(draft.note, 3.0);
  const double period = std::max(0.6, length + releaseSeconds(values) + 0.3);
  // A note's level: its energy while held and through half its release.
  const double window = std::max(length + 0.5 * releaseSeconds(values), 0.25);
  Phrase strikes;
  strikes.tail = 0.5;
  for (int i = 0; i < 24; ++i) strikes.notes.push_back({i * period, length, draft.keys.centre(), 100});
  const Render r = render(values, strikes);
  std::vector<double> levels;
  for (int i = 0; i < 24; ++i) levels.push_back(r.levelDb(i * period, i * period + window));
  // The first note against the settled ones, the tenth and later (their mean: a single note of
  // noise has a level of its own).
  a.firstNote = levels[0] - std::accumulate(levels.begin() + 9, levels.end(), 0.0) / (levels.size() - 9);
  const double mean = std::accumulate(levels.begin(), levels.end(), 0.0) / levels.size();
  double variance = 0.0;
  for (double level : levels) variance += (level - mean) * (level - mean);
  a.strikeSpread = std::sqrt(variance / levels.size());

  const std::size_t to = r.frame(window + 0.1);
  a.flam = channelLag(r, to);
  a.flamAllowed = std::max(bounds::kFlam, bounds::kFlamShare * riseTime(r, to));
}

void assessVelocity(const Draft& draft, const ParameterValues& values, Assessment& a) {
  const double length = draft.note;
  double level[2];
  Measures spectrum[2];
  for (int i = 0; i < 2; ++i) {
    Phrase note = Phrase::single(draft.keys.centre(), length, i == 0 ? 40 : 127);
    note.tail = 0.3;
    const Render r = render(values, note);
    level[i] = r.levelDb(0.0, length + 0.2);
    spectrum[i] = measure(r);
  }
  a.velocityRange = level[1] - level[0];
  a.velocityTimbre = spectralDistance(spectrum[0], spectrum[1]);
}

// Every octave of the playable range from its bottom, and its top: at velocities 40 and 127 at
// 44.1 kHz and at velocity 80 at 48 and 96 kHz, without reverb and enhancer. Keys two octaves
// apart sound together (each is read within half its fundamental of where it should be, so the
// others stay out of its reading), the rest follow once those have died away.
void assessPitch(const Draft& draft, const ParameterValues& stored, Assessment& a) {
  ParameterValues values = stored;
  values[skarvel::kReverbOn] = 0.0f;
  values[skarvel::kStrEnh] = 0.0f;
  std::vector<int> keys;
  for (int key = draft.keys.low; key < draft.keys.high; key += 12) keys.push_back(key);
  if (keys.empty() || keys.back() != draft.keys.high) keys.push_back(draft.keys.high);
  const double spacing = draft.pitchTo + releaseSeconds(values) + 0.15;
  const auto startOf = [&](std::size_t i) { return (i % 2) * spacing; };

  const std::pair<double, int> runs[] = {{44100.0, 40}, {44100.0, 127}, {48000.0, 80}, {96000.0, 80}};
  for (const auto& [rate, velocity] : runs) {
    Phrase notes;
    notes.tail = 0.1;
    for (std::size_t i = 0; i < keys.size(); ++i) notes.notes.push_back({startOf(i), draft.pitchTo + 0.02, keys[i],
        velocity});
    const Render r = render(values, notes, rate);
    for (std::size_t i = 0; i < keys.size(); ++i) {
      const std::vector<float> mid = r.mid(r.frame(startOf(i) + draft.pitchFrom), r.frame(startOf(i) +
          draft.pitchTo));
      PitchPoint point{keys[i], velocity, rate,
                       estimatePitch(mid.data(), mid.size(), rate, keyFrequency(keys[i], *draft.transpose))};
      a.pitches.push_back(point);
    }
  }
  a.lowestCents = a.highestCents = 0.0;
  bool first = true;
  for (const PitchPoint& p : a.pitches) {
    if (!p.estimate.found) continue;
    a.lowestCents = first ? p.estimate.cents : std::min(a.lowestCents, p.estimate.cents);
    a.highestCents = first ? p.estimate.cents : std::max(a.highestCents, p.estimate.cents);
    a.worstCents = std::max(a.worstCents, std::fabs(p.estimate.cents));
    first = false;
  }
}

}  // namespace

Assessment assess(const Draft& draft, const ParameterValues& values) {
  Assessment a;
  assessPassage(draft, values, a);
  assessLoudPlaying(draft, values, a);
  assessPolyphony(draft, values, a);
  if (!draft.wanders) assessRepeats(draft, values, a);  // notes of a wandering sound differ by design
  assessVelocity(draft, values, a);
  if (draft.pitched()) assessPitch(draft, values, a);
  return a;
}

std::vector<std::string> violations(const Draft& draft, const Assessment& a) {
  using namespace bounds;
  std::vector<std::string> found;
  if (!a.finite) found.push_back("the output is not finite");
  if (draft.level == LevelKind::Loudness) {
    if (std::fabs(a.loudness - kTargetLufs) > kLevelTolerance)
      found.push_back(format("typical passage at %.1f LUFS, not within %.0f LU of %.0f", a.loudness, kLevelTolerance,
                             kTargetLufs));
  } else if (std::fabs(a.peak - kTargetPeakDb) > kLevelTolerance) {
    found.push_back(format("typical passage peaks at %.1f dBFS, not within %.0f dB of %.0f", a.peak, kLevelTolerance,
                           kTargetPeakDb));
  }
  for (int i = 0; i < 2; ++i)
    if (!(std::fabs(a.rateLoudness[i] - a.loudness) <= kRateLoudness))
      found.push_back(format("at %.0f Hz the passage is %.1f LUFS against %.1f at 44100 Hz", kRates[i],
                             a.rateLoudness[i], a.loudness));
  if (a.chordTruePeak > kChordTruePeak)
    found.push_back(format("the fortissimo chord reaches %.1f dBTP", a.chordTruePeak));
  if (a.keyboardPeak > kKeyboardPeak)
    found.push_back(format("a full-velocity note between C1 and C8 reaches %.1f dBFS", a.keyboardPeak));
  if (a.lostNotes > 0) found.push_back(format("%d notes of six four-note chords lost their voice", a.lostNotes));
  if (std::fabs(a.chordDrop) > kChordLevels && !draft.wanders)
    found.push_back(format("a chord of the progression is %.1f dB below the first", a.chordDrop));
  if (std::fabs(a.firstNote) > kFirstNote && !draft.wanders)
    found.push_back(format("the first note after loading is %+.1f dB against the tenth and later", a.firstNote));
  if (a.strikeSpread > kStrikeSpread && !draft.wanders)
    found.push_back(format("24 identical notes vary by %.1f dB (standard deviation)", a.strikeSpread));
  if (a.monoLoss > kMonoLoss) found.push_back(format("folding down to mono loses %.1f LU", a.monoLoss));
  if (std::fabs(a.balance) > kBalance) found.push_back(format("left and right differ by %.1f dB", a.balance));
  if (std::fabs(a.flam) > a.flamAllowed)
    found.push_back(format("the right channel starts %.1f ms after the left", a.flam * 1000.0));
  if (a.sleepTime < 0.0 || a.sleepTime > draft.tail)
    found.push_back(a.sleepTime < 0.0 ? std::string("the engine never fell silent after the passage")
                                      : format("silent only %.1f s after the last release", a.sleepTime));
  if (a.soundAfterSleep) found.push_back("sound after the engine fell asleep");
  if (draft.velocity.empty()) {
    if (std::fabs(a.velocityRange) > 1.5)
      found.push_back(format("velocity changes the level by %.1f dB, but the guide says it does nothing",
          a.velocityRange));
  } else if (a.velocityRange < kVelocityRange && a.velocityTimbre < kVelocityTimbre) {
    found.push_back(format("velocity 40 to 127 changes the level by only %.1f dB and the spectrum by %.1f dB",
                           a.velocityRange, a.velocityTimbre));
  }
  for (const PitchPoint& p : a.pitches) {
    const std::string where =
        format("%s at velocity %d, %.0f Hz", keyName(p.key).c_str(), p.velocity, p.sampleRate);
    if (!p.estimate.found || p.estimate.contrast < kPitchContrast)
      found.push_back("no clear pitch at " + where);
    else if (std::fabs(p.estimate.cents) > kCents)
      found.push_back(format("%+.1f cents at ", p.estimate.cents) + where);
  }
  return found;
}

}  // namespace audition
