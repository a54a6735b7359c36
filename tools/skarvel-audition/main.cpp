// skarvel-audition: renders phrases for sets of parameter values straight through the engine,
// prints figures to judge them by (peak, RMS, spectral centroid, strongest frequency, pitch,
// decay and sleep times) and optionally writes WAV files. The factory presets are designed with it.
//
//   skarvel-audition --list
//   skarvel-audition --write-library FOLDER      (every draft as a preset file, one folder per bank)
//   skarvel-audition [--all | --bank BANK | --draft NAME | --preset FILE | --library FOLDER]...
//                    [--set PARAM=VALUE]...
//                    [--phrase standard|held|strikes|melody|bass|range|loud | --note KEY]
//                    [--wav FILE_OR_FOLDER] [--sample-rate HZ]
//                    [--spectrum] [--compare] [--fit-gain DBFS]
//
// --note plays one key and reports the pitch found near it; --spectrum prints third-octave band
// levels; --compare names each preset's nearest neighbour in its bank by spectral distance;
// --fit-gain proposes the Gain_out that brings ordinary playing to that peak level.

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
#include "tools/skarvel-audition/FactoryDrafts.h"
#include "tools/skarvel-audition/PresetFiles.h"

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
               "       skarvel-audition [--all | --bank BANK | --draft NAME | --preset FILE | --library FOLDER]...\n"
               "                        [--set PARAM=VALUE]...\n"
               "                        [--phrase standard|held|strikes|melody|bass|range|loud | --note KEY]\n"
               "                        [--wav FILE_OR_FOLDER] [--sample-rate HZ] [--spectrum] [--compare] [--fit-gain DBFS]\n");
  return 2;
}

struct Job {
  std::string bank;
  std::string label;
  ParameterValues values;
  PhraseKind phrase;
};

}  // namespace

int main(int argc, char** argv) {
  std::vector<const Draft*> drafts;
  std::vector<Job> files;  // presets read from disk
  std::vector<std::pair<int, float>> overrides;
  std::optional<PhraseKind> phrase;
  int singleKey = -1;
  std::string wavPath;
  double sampleRate = 44100.0;
  bool spectrum = false;
  bool compare = false;
  double fitPeak = 0.0;  // dBFS; 0 = off

  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--list") {
      for (const Draft& d : factoryDrafts())
        std::printf("%-18s %-24s %s\n", std::string(d.bank).c_str(), std::string(d.name).c_str(),
                    std::string(d.sound).c_str());
      return 0;
    } else if (arg == "--write-library" && hasValue) {
      const std::string folder = argv[++i];
      bool written = true;
      for (const Draft& d : factoryDrafts()) written = writeDraft(d, folder) && written;
      std::fprintf(stderr, "skarvel-audition: %zu presets written to %s\n", factoryDrafts().size(), folder.c_str());
      return written ? 0 : 1;
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
        const Draft* d = findDraft(preset->name);
        files.push_back({path.parent_path().filename().string(), preset->name, preset->values,
                         d ? d->phrase : PhraseKind::Standard});
      }
    } else if (arg == "--all") {
      for (const Draft& d : factoryDrafts()) drafts.push_back(&d);
    } else if (arg == "--bank" && hasValue) {
      const std::string bank = argv[++i];
      const std::size_t before = drafts.size();
      for (const Draft& d : factoryDrafts())
        if (d.bank == bank) drafts.push_back(&d);
      if (drafts.size() == before) {
        std::fprintf(stderr, "skarvel-audition: no bank named '%s'\n", bank.c_str());
        return 2;
      }
    } else if (arg == "--draft" && hasValue) {
      const Draft* d = findDraft(argv[++i]);
      if (!d) {
        std::fprintf(stderr, "skarvel-audition: no draft named '%s'\n", argv[i]);
        return 2;
      }
      drafts.push_back(d);
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
      const std::string name = argv[++i];
      bool found = false;
      for (PhraseKind kind : {PhraseKind::Standard, PhraseKind::Held, PhraseKind::Strikes, PhraseKind::Melody,
                              PhraseKind::Bass, PhraseKind::Range, PhraseKind::LoudChord})
        if (name == phraseName(kind)) {
          phrase = kind;
          found = true;
        }
      if (!found) return usage();
    } else if (arg == "--note" && hasValue) {
      double key = 0.0;
      if (!parseNumber(argv[++i], key) || key < 0 || key > 127) return usage();
      singleKey = static_cast<int>(key);
    } else if (arg == "--wav" && hasValue) {
      wavPath = argv[++i];
    } else if (arg == "--fit-gain" && hasValue) {
      if (!parseNumber(argv[++i], fitPeak) || fitPeak >= 0.0) return usage();
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

  std::vector<Job> jobs = files;
  if (drafts.empty() && files.empty()) {
    jobs.push_back({"", "(defaults)", defaultValues(), PhraseKind::Standard});
  } else {
    for (const Draft* d : drafts) jobs.push_back({std::string(d->bank), std::string(d->name), d->values(), d->phrase});
  }
  for (Job& job : jobs) {
    for (const auto& [id, value] : overrides) job.values[id] = value;
    if (phrase) job.phrase = *phrase;
  }

  std::printf("%-24s %-8s %8s %8s %9s %9s %7s %7s\n", "preset", "phrase", "peak dB", "rms dB", "centroid",
              "strongest", "decay s", "sleep s");
  bool ok = true;
  for (const Job& job : jobs) {
    const Phrase p = singleKey >= 0 ? Phrase::single(singleKey) : phraseFor(job.phrase);
    const Render r = render(job.values, p, sampleRate);
    const Measures m = measure(r);
    std::printf("%-24s %-8s %8.1f %8.1f %9.0f %9.1f %7.2f %7.2f%s\n", job.label.c_str(),
                singleKey >= 0 ? "single" : phraseName(job.phrase), decibels(m.peak), decibels(m.heldRms),
                m.centroid, m.strongest, m.decayTime, r.sleepTime, m.finite ? "" : "  NOT FINITE");
    if (singleKey >= 0) {
      // The pitch near the key, an octave below and an octave above: the comb presets may sound
      // at either octave, the band-pass ones sound an octave up.
      const double key = 440.0 * std::pow(2.0, (singleKey - 69) / 12.0);
      for (double octave : {0.5, 1.0, 2.0}) {
        const Measures::Pitch pitch = m.pitchNear(key * octave);
        std::printf("    near %7.1f Hz: %7.1f Hz (%+4.0f cents), harmonics %4.1f dB above the gaps\n", key * octave,
                    pitch.fundamental, 1200.0 * std::log2(pitch.fundamental / (key * octave)), pitch.contrast);
      }
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
  if (fitPeak < 0.0) {
    // The Gain_out that puts the louder of the own and the standard phrase's peaks at fitPeak
    // (and the loud chord's and the keyboard range's at most 3 dB above it).
    // The gain stage is linear and after every other stage, so one render per phrase suffices.
    std::printf("\nGain_out for a peak of %.1f dBFS:\n", fitPeak);
    for (const Job& job : jobs) {
      const float own = measure(render(job.values, phraseFor(job.phrase), sampleRate)).peak;
      const float standard = measure(render(job.values, Phrase::standard(), sampleRate)).peak;
      // Loud playing is also checked at 96 kHz, where the rate-bound resonances and filters move.
      float loud = 0.0f;
      for (double rate : {sampleRate, 96000.0})
        loud = std::max({loud, measure(render(job.values, Phrase::loudChord(), rate)).peak,
                         measure(render(job.values, Phrase::range(), rate)).peak});
      const double peak = std::max(own, standard);
      const double gain = job.values[skarvel::kGainOut];
      if (!(peak > 0.0) || !(loud > 0.0)) {
        std::printf("%-24s silent\n", job.label.c_str());
        continue;
      }
      // The loud chord may come 3 dB closer to full scale than ordinary playing.
      const double headroom = std::min(std::pow(10.0, fitPeak / 20.0) / peak, std::pow(10.0, (fitPeak + 3.0) / 20.0) / loud);
      const double wanted = gain * std::sqrt(headroom);
      std::printf("%-24s %5.3f -> %5.3f   (loud chord and range now %5.1f dBFS)\n", job.label.c_str(), gain, wanted,
                  20.0 * std::log10(loud));
    }
  }
  if (compare) {
    // Nearest neighbour in the same bank by spectral distance, all played with the standard phrase.
    std::vector<Measures> measures;
    for (const Job& job : jobs) measures.push_back(measure(render(job.values, Phrase::standard(), sampleRate)));
    std::printf("\nnearest preset in the same bank (standard phrase, dB):\n");
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
