// skarvel-audition: renders phrases for sets of parameter values straight through the engine,
// prints figures to judge them by (peak, RMS, spectral centroid, strongest frequency, pitch,
// decay and sleep times) and optionally writes WAV files. The factory presets are designed with it.
//
//   skarvel-audition --list
//   skarvel-audition --write-library FOLDER      (every draft as a preset file, one folder per bank)
//   skarvel-audition --write-guide MANUAL.html   (the preset guide section of the manual)
//   skarvel-audition [--all | --bank BANK | --draft NAME | --preset FILE | --library FOLDER]...
//                    [--set PARAM=VALUE]...
//                    [--phrase melody|held|strikes|bass|groove|drone|standard | --note KEY [--velocity V]]
//                    [--wav FILE_OR_FOLDER] [--sample-rate HZ]
//                    [--spectrum] [--compare] [--check] [--fit-level]
//                    [--keys LOW-HIGH] [--transpose SEMITONES] [--held SECONDS] [--by-peak]
//
// --note plays one key for 2 s and reports its pitch (searched an octave either way of the key,
// or of the draft's transposition); --spectrum prints third-octave band levels; --compare names
// each preset's nearest neighbour in its bank by spectral distance; --check measures each preset
// against the factory library's bounds; --fit-level proposes the Gain_out that puts the typical
// passage on the library's level target. --keys, --transpose, --held (the typical note's length)
// and --by-peak say how sounds without a draft (or drafts being changed) are played and judged.

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "tools/skarvel-audition/Audition.h"
#include "tools/skarvel-audition/Bounds.h"
#include "tools/skarvel-audition/FactoryDrafts.h"
#include "tools/skarvel-audition/PresetFiles.h"
#include "tools/skarvel-audition/PresetGuide.h"

namespace {

using namespace audition;

bool parseNumber(const char* text, double& value) {
  const char* end = text + std::strlen(text);
  const auto result = std::from_chars(text, end, value);
  return result.ec == std::errc() && result.ptr == end;
}

int parameterId(std::string_view name) {
  for (int id = 0; id < skarvel::kParameterCount; ++id)
    if (skarvel::kParameterTable[id].name == name) return id;
  return -1;
}

double decibels(double x) { return x > 0.0 ? 20.0 * std::log10(x) : -999.0; }

int usage() {
  std::fprintf(stderr,
               "usage: skarvel-audition --list\n"
               "       skarvel-audition --write-library FOLDER\n"
               "       skarvel-audition --write-guide MANUAL.html\n"
               "       skarvel-audition [--all | --bank BANK | --draft NAME | --preset FILE | --library FOLDER]...\n"
               "                        [--set PARAM=VALUE]...\n"
               "                        [--phrase melody|held|strikes|bass|groove|drone|standard | --note KEY [--velocity V]]\n"
               "                        [--wav FILE_OR_FOLDER] [--sample-rate HZ] [--spectrum] [--compare]\n"
               "                        [--check] [--fit-level]\n"
               "                        [--keys LOW-HIGH] [--transpose SEMITONES] [--held SECONDS] [--by-peak]\n");
  return 2;
}

// One set of values to play: a draft, a preset file, or the defaults. Files without a draft of
// their name are played like a melodic preset over C2..C6.
struct Job {
  std::string bank;
  std::string label;
  ParameterValues values;
  Draft draft;
};

Draft draftFor(const std::string& name) {
  if (const Draft* d = findDraft(name)) return *d;
  Draft d;
  d.keys = {36, 84};
  return d;
}

void printAssessmentHeader() {
  std::printf("%-22s %7s %6s %6s %6s %6s %5s %5s %5s %5s %6s %12s %s\n", "preset", "LUFS", "peak", "chord", "mono",
              "first", "sd", "vel", "flam", "sleep", "lost", "cents", "keys");
}

void printAssessment(const Job& job, const Assessment& a) {
  std::string cents = "-";
  if (job.draft.pitched()) {
    char text[32];
    std::snprintf(text, sizeof text, "%+.1f..%+.1f", a.lowestCents, a.highestCents);
    cents = text;
  }
  std::printf("%-22s %7.1f %6.1f %6.1f %6.1f %+6.1f %5.1f %5.1f %5.1f %5.1f %6d %12s %s-%s\n", job.label.c_str(),
              a.loudness, a.peak, a.chordTruePeak, a.monoLoss, a.firstNote, a.strikeSpread, a.velocityRange,
              a.flam * 1000.0, a.sleepTime, a.lostNotes, cents.c_str(), keyName(job.draft.keys.low).c_str(),
              keyName(job.draft.keys.high).c_str());
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<Job> jobs;
  std::vector<std::pair<int, float>> overrides;
  std::optional<PhraseKind> phrase;
  int singleKey = -1;
  int velocity = 100;
  std::string wavPath;
  double sampleRate = 44100.0;
  bool spectrum = false, compare = false, check = false, fitLevel = false;
  // Overrides of how the sounds are played and judged (for values that have no draft yet).
  std::optional<KeyRange> keys;
  std::optional<int> transpose;
  std::optional<double> note;
  bool byPeak = false;

  const auto addDraft = [&](const Draft& d) {
    jobs.push_back({std::string(d.bank), std::string(d.name), d.values(), d});
  };

  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--list") {
      for (const Draft& d : factoryDrafts())
        std::printf("%-20s %-24s %s\n", std::string(d.bank).c_str(), std::string(d.name).c_str(),
                    std::string(d.sound).c_str());
      return 0;
    } else if (arg == "--write-library" && hasValue) {
      const std::string folder = argv[++i];
      bool written = true;
      for (const Draft& d : factoryDrafts()) written = writeDraft(d, folder) && written;
      std::fprintf(stderr, "skarvel-audition: %zu presets written to %s\n", factoryDrafts().size(), folder.c_str());
      return written ? 0 : 1;
    } else if (arg == "--write-guide" && hasValue) {
      return writePresetGuide(argv[++i]) ? 0 : 1;
    } else if ((arg == "--preset" || arg == "--library") && hasValue) {
      std::vector<std::filesystem::path> paths;
      if (arg == "--preset") {
        paths.emplace_back(argv[++i]);
      } else {
        std::error_code error;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(argv[++i], error))
          if (entry.is_regular_file() && entry.path().extension() == ".yaml") paths.push_back(entry.path());
        std::sort(paths.begin(), paths.end());
      }
      for (const auto& path : paths) {
        std::vector<std::string> messages;
        const auto preset = readPresetFile(path.string(), &messages);
        if (!preset) {
          std::fprintf(stderr, "skarvel-audition: '%s' does not load\n", path.c_str());
          for (const std::string& line : messages) std::fprintf(stderr, "  %s\n", line.c_str());
          return 1;
        }
        jobs.push_back({path.parent_path().filename().string(), preset->name, preset->values, draftFor(preset->name)});
      }
    } else if (arg == "--all") {
      for (const Draft& d : factoryDrafts()) addDraft(d);
    } else if (arg == "--bank" && hasValue) {
      const std::string bank = argv[++i];
      const std::size_t before = jobs.size();
      for (const Draft& d : factoryDrafts())
        if (d.bank == bank) addDraft(d);
      if (jobs.size() == before) {
        std::fprintf(stderr, "skarvel-audition: no bank named '%s'\n", bank.c_str());
        return 2;
      }
    } else if (arg == "--draft" && hasValue) {
      const Draft* d = findDraft(argv[++i]);
      if (!d) {
        std::fprintf(stderr, "skarvel-audition: no draft named '%s'\n", argv[i]);
        return 2;
      }
      addDraft(*d);
    } else if (arg == "--set" && hasValue) {
      const std::string setting = argv[++i];
      const auto equals = setting.find('=');
      double value = 0.0;
      const int id = equals == std::string::npos ? -1 : parameterId(setting.substr(0, equals));
      if (id < 0 || !parseNumber(setting.c_str() + equals + 1, value)) {
        std::fprintf(stderr, "skarvel-audition: bad setting '%s' (PARAM=VALUE)\n", setting.c_str());
        return 2;
      }
      overrides.emplace_back(id, static_cast<float>(value));
    } else if (arg == "--phrase" && hasValue) {
      PhraseKind kind;
      if (!phraseKindNamed(argv[++i], kind)) return usage();
      phrase = kind;
    } else if (arg == "--note" && hasValue) {
      double key = 0.0;
      if (!parseNumber(argv[++i], key) || key < 0 || key > 127) return usage();
      singleKey = static_cast<int>(key);
    } else if (arg == "--velocity" && hasValue) {
      double v = 0.0;
      if (!parseNumber(argv[++i], v) || v < 1 || v > 127) return usage();
      velocity = static_cast<int>(v);
    } else if (arg == "--keys" && hasValue) {
      int low = 0, high = 0;
      if (std::sscanf(argv[++i], "%d-%d", &low, &high) != 2 || low < 0 || high > 127 || low > high) return usage();
      keys = KeyRange{low, high};
    } else if (arg == "--transpose" && hasValue) {
      double t = 0.0;
      if (!parseNumber(argv[++i], t)) return usage();
      transpose = static_cast<int>(t);
    } else if (arg == "--held" && hasValue) {
      double t = 0.0;
      if (!parseNumber(argv[++i], t) || !(t > 0.0)) return usage();
      note = t;
    } else if (arg == "--by-peak") {
      byPeak = true;
    } else if (arg == "--wav" && hasValue) {
      wavPath = argv[++i];
    } else if (arg == "--check") {
      check = true;
    } else if (arg == "--fit-level") {
      fitLevel = true;
    } else if (arg == "--compare") {
      compare = true;
    } else if (arg == "--spectrum") {
      spectrum = true;
    } else if (arg == "--sample-rate" && hasValue) {
      if (!parseNumber(argv[++i], sampleRate) || !(sampleRate > 0)) return usage();
    } else {
      return usage();
    }
  }

  if (jobs.empty()) jobs.push_back({"", "(defaults)", defaultValues(), draftFor("")});
  for (Job& job : jobs) {
    for (const auto& [id, value] : overrides) job.values[id] = value;
    if (phrase) job.draft.phrase = *phrase;
    if (keys) job.draft.keys = *keys;
    if (transpose) job.draft.transpose = *transpose;
    if (note) job.draft.note = *note;
    if (byPeak) job.draft.level = LevelKind::Peak;
  }

  std::printf("%-24s %-8s %8s %8s %9s %9s %7s %7s\n", "preset", "phrase", "peak dB", "rms dB", "centroid",
              "strongest", "decay s", "sleep s");
  bool ok = true;
  for (const Job& job : jobs) {
    const Phrase p = singleKey >= 0 ? Phrase::single(singleKey, 2.0, velocity) : phraseFor(job.draft);
    const Render r = render(job.values, p, sampleRate);
    const Measures m = measure(r);
    std::printf("%-24s %-8s %8.1f %8.1f %9.0f %9.1f %7.2f %7.2f%s\n", job.label.c_str(),
                singleKey >= 0 ? "single" : phraseName(job.draft.phrase), decibels(m.peak), decibels(m.heldRms),
                m.centroid, m.strongest, m.decayTime, r.sleepTime, m.finite ? "" : "  NOT FINITE");
    if (singleKey >= 0) {
      // The held part after the attack, against the key (moved by the draft's transposition).
      const double expected = keyFrequency(singleKey, job.draft.transpose.value_or(0));
      const std::vector<float> mid = r.mid(r.frame(0.3), r.frame(r.lastRelease));
      const PitchEstimate pitch = estimatePitch(mid.data(), mid.size(), r.sampleRate, expected);
      if (pitch.found)
        std::printf("    pitch %8.2f Hz, %+6.1f cents from %.2f Hz; clear by %.1f dB, %d of 4 harmonics\n", pitch.hz,
                    pitch.cents, expected, pitch.contrast, pitch.harmonics);
      else
        std::printf("    no pitch within an octave of %.2f Hz\n", expected);
    }
    if (spectrum) {
      // Third-octave bands relative to the total, one line per band.
      for (std::size_t b = 0; b < m.bands.size(); ++b)
        std::printf("    %7.0f Hz %6.1f dB\n", bandCentres()[b], 10.0 * std::log10(std::max(m.bands[b], 1e-9)));
    }
    if (!wavPath.empty()) {
      std::string path = wavPath;
      if (jobs.size() > 1 || std::filesystem::is_directory(wavPath))
        path = (std::filesystem::path(wavPath) / (presetFileName(job.label) + ".wav")).string();
      ok = writeWav(path, r) && ok;
    }
  }
  if (check || fitLevel) {
    std::printf("\n");
    printAssessmentHeader();
    for (const Job& job : jobs) {
      const Assessment a = assess(job.draft, job.values);
      printAssessment(job, a);
      if (check)
        for (const std::string& line : violations(job.draft, a)) {
          std::printf("    ! %s\n", line.c_str());
          ok = false;
        }
      if (fitLevel) {
        // The output gain is the last stage and linear (gain = 3.7 x Gain_out^2), so the level
        // moves by 40 log10 of the ratio of two settings; the fortissimo chord keeps 1 dB
        // margin below its own bound.
        const bool byPeak = job.draft.level == LevelKind::Peak;
        double change = byPeak ? bounds::kTargetPeakDb - a.peak : bounds::kTargetLufs - a.loudness;
        change = std::min(change, bounds::kChordTruePeak - 1.0 - a.chordTruePeak);
        const double gain = job.values[skarvel::kGainOut] * std::pow(10.0, change / 40.0);
        std::printf("    Gain_out %.3f -> %.3f (%+.1f dB)\n", job.values[skarvel::kGainOut], gain, change);
      }
    }
  }
  if (compare) {
    // Nearest neighbour in the same bank by spectral distance, each played with its own passage.
    std::vector<Measures> measures;
    for (const Job& job : jobs) measures.push_back(measure(render(job.values, phraseFor(job.draft))));
    std::printf("\nnearest preset in the same bank (dB):\n");
    for (std::size_t i = 0; i < jobs.size(); ++i) {
      double best = 1e9;
      std::size_t nearest = i;
      for (std::size_t j = 0; j < jobs.size(); ++j) {
        if (j == i || jobs[j].bank != jobs[i].bank) continue;
        const double d = spectralDistance(measures[i], measures[j]);
        if (d < best) {
          best = d;
          nearest = j;
        }
      }
      if (nearest != i) std::printf("%-24s %6.2f  %s\n", jobs[i].label.c_str(), best, jobs[nearest].label.c_str());
    }
  }
  return ok ? 0 : 1;
}
