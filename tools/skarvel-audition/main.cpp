// skarvel-audition: renders phrases for sets of parameter values straight through the engine,
// prints figures to judge them by (peak, RMS, spectral centroid, strongest frequency, decay and
// sleep times) and optionally writes WAV files. The factory presets are designed with it.
//
//   skarvel-audition --list
//   skarvel-audition [--all | --bank BANK | --draft NAME]... [--set PARAM=VALUE]...
//                    [--phrase standard|held|strikes|melody|bass | --note KEY]
//                    [--wav FILE_OR_FOLDER] [--sample-rate HZ]

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
               "       skarvel-audition [--all | --bank BANK | --draft NAME]... [--set PARAM=VALUE]...\n"
               "                        [--phrase standard|held|strikes|melody|bass | --note KEY]\n"
               "                        [--wav FILE_OR_FOLDER] [--sample-rate HZ]\n");
  return 2;
}

struct Job {
  std::string label;
  ParameterValues values;
  PhraseKind phrase;
};

}  // namespace

int main(int argc, char** argv) {
  std::vector<const Draft*> drafts;
  std::vector<std::pair<int, float>> overrides;
  std::optional<PhraseKind> phrase;
  int singleKey = -1;
  std::string wavPath;
  double sampleRate = 44100.0;

  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--list") {
      for (const Draft& d : factoryDrafts())
        std::printf("%-18s %-24s %s\n", std::string(d.bank).c_str(), std::string(d.name).c_str(),
                    std::string(d.sound).c_str());
      return 0;
    } else if (arg == "--all") {
      for (const Draft& d : factoryDrafts()) drafts.push_back(&d);
    } else if (arg == "--bank" && hasValue) {
      const std::string bank = argv[++i];
      for (const Draft& d : factoryDrafts())
        if (d.bank == bank) drafts.push_back(&d);
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
                              PhraseKind::Bass})
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
    } else if (arg == "--sample-rate" && hasValue) {
      if (!parseNumber(argv[++i], sampleRate) || !(sampleRate > 0)) return usage();
    } else {
      return usage();
    }
  }

  std::vector<Job> jobs;
  if (drafts.empty()) {
    jobs.push_back({"(defaults)", defaultValues(), PhraseKind::Standard});
  } else {
    for (const Draft* d : drafts) jobs.push_back({std::string(d->name), d->values(), d->phrase});
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
    if (!wavPath.empty()) {
      std::string path = wavPath;
      if (jobs.size() > 1 || std::filesystem::is_directory(wavPath))
        path = (std::filesystem::path(wavPath) / (presetFileName(job.label) + ".wav")).string();
      ok = writeWav(path, r) && ok;
    }
  }
  return ok ? 0 : 1;
}
