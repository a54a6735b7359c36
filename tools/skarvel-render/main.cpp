// skarvel-render: an offline host for VST 2.4 instruments. Loads the plug-in module through its
// entry point, plays a Standard MIDI File (or the built-in demo phrase) through it and writes the
// audio with libsndfile; --bench measures how fast an instrument renders instead.

#include <sndfile.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "DemoPhrase.h"
#include "MidiFile.h"
#include "PluginHost.h"

namespace {

using namespace render;

const char* const kUsage =
    "usage: skarvel-render PLUGIN.so [MIDI.mid] -o OUTPUT.wav|OUTPUT.flac [options]\n"
    "       skarvel-render PLUGIN.so [PLUGIN.so ...] --bench SECONDS [options]\n"
    "options:\n"
    "  -o, --output FILE      where to write the audio (.wav or .flac)\n"
    "  --preset FILE          apply a preset file through the plug-in's set-chunk request\n"
    "  --param NAME=VALUE     set a parameter (host-visible name, value 0..1) before rendering; repeatable.\n"
    "                         With --bench it applies to the plug-in named before it (before any plug-in:\n"
    "                         to every plug-in that has a parameter of that name)\n"
    "  --sample-rate HZ       default 44100\n"
    "  --block-size FRAMES    default 512\n"
    "  --tail SECONDS         rendered after the last event, default 2\n"
    "  --bits 16|24|float     sample format, default float for WAV and 24 for FLAC\n"
    "  --bench SECONDS        render a fixed 8-voice pattern through each plug-in without writing and\n"
    "                         print its real-time factor (audio seconds per second of the process's CPU\n"
    "                         time, and per second of wall-clock time)\n"
    "With no MIDI file the built-in demo phrase is played.\n";

constexpr double kMaxRenderSeconds = 6 * 3600.0;

struct Parameter {
  std::string name;
  float value = 0.0f;
  int plugin = -1;  // index among the plug-ins named (--bench), -1 when given before any
};

struct Options {
  std::string pluginPath;
  std::vector<std::string> benchPlugins;  // --bench: every plug-in named, compared in one run
  std::string midiPath;
  std::string outputPath;
  std::string presetPath;
  std::vector<Parameter> parameters;
  double sampleRate = 44100.0;
  int blockSize = 512;
  double tailSeconds = 2.0;
  std::string bits;
  double benchSeconds = 0.0;
};

int fail(const std::string& message) {
  std::fprintf(stderr, "skarvel-render: %s\n", message.c_str());
  return 1;
}

int usageError(const std::string& message) {
  std::fprintf(stderr, "skarvel-render: %s\n%s", message.c_str(), kUsage);
  return 2;
}

template <typename T>
bool parseNumber(const std::string& text, T& value) {
  const char* end = text.data() + text.size();
  const auto result = std::from_chars(text.data(), end, value);
  return !text.empty() && result.ec == std::errc() && result.ptr == end;
}

// Returns 0 when the options are usable, otherwise the exit code (after printing the reason).
int parseOptions(int argc, char** argv, Options& options) {
  std::vector<std::string> positional;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= argc) return false;
      out = argv[++i];
      return true;
    };
    std::string text;
    if (arg == "-h" || arg == "--help") {
      std::fputs(kUsage, stdout);
      return -1;
    } else if (arg == "-o" || arg == "--output") {
      if (!value(options.outputPath)) return usageError(arg + " needs a file name");
    } else if (arg == "--preset") {
      if (!value(options.presetPath)) return usageError("--preset needs a file name");
    } else if (arg == "--param") {
      if (!value(text)) return usageError("--param needs NAME=VALUE");
      const std::size_t equals = text.rfind('=');
      float number = 0.0f;
      if (equals == std::string::npos || equals == 0 || !parseNumber(text.substr(equals + 1), number))
        return usageError("--param needs NAME=VALUE with a number, not '" + text + "'");
      options.parameters.push_back({text.substr(0, equals), number, static_cast<int>(positional.size()) - 1});
    } else if (arg == "--sample-rate") {
      if (!value(text) || !parseNumber(text, options.sampleRate) || !(options.sampleRate >= 8000.0) ||
          options.sampleRate > 768000.0)
        return usageError("--sample-rate needs a rate from 8000 to 768000 Hz");
    } else if (arg == "--block-size") {
      if (!value(text) || !parseNumber(text, options.blockSize) || options.blockSize < 1 || options.blockSize > 65536)
        return usageError("--block-size needs a number of frames from 1 to 65536");
    } else if (arg == "--tail") {
      if (!value(text) || !parseNumber(text, options.tailSeconds) || !(options.tailSeconds >= 0.0) ||
          options.tailSeconds > 3600.0)
        return usageError("--tail needs seconds from 0 to 3600");
    } else if (arg == "--bits") {
      if (!value(options.bits) || (options.bits != "16" && options.bits != "24" && options.bits != "float"))
        return usageError("--bits needs 16, 24 or float");
    } else if (arg == "--bench") {
      if (!value(text) || !parseNumber(text, options.benchSeconds) || !(options.benchSeconds > 0.0) ||
          options.benchSeconds > 3600.0)
        return usageError("--bench needs seconds from 0 to 3600");
    } else if (arg.size() > 1 && arg[0] == '-') {
      return usageError("unknown option '" + arg + "'");
    } else {
      positional.push_back(arg);
    }
  }
  if (positional.empty()) return usageError("no plug-in given");
  if (options.benchSeconds > 0.0) {
    options.benchPlugins = positional;
    return 0;
  }
  // Rendering plays one plug-in: every parameter is its, wherever it was given.
  for (Parameter& parameter : options.parameters) parameter.plugin = 0;
  if (positional.size() > 2) return usageError("unexpected argument '" + positional[2] + "'");
  options.pluginPath = positional[0];
  if (positional.size() == 2) options.midiPath = positional[1];
  if (options.benchSeconds == 0.0 && options.outputPath.empty()) return usageError("no output file given (-o FILE)");
  return 0;
}

// CPU time of the whole process (every thread, the plug-in's own included), in seconds: unlike
// the wall clock, it does not count the time other programs on the machine take.
double processCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

bool readFile(const std::string& path, std::vector<unsigned char>& data) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

bool endsWith(const std::string& text, const std::string& tail) {
  if (text.size() < tail.size()) return false;
  for (std::size_t i = 0; i < tail.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(text[text.size() - tail.size() + i])) != tail[i]) return false;
  return true;
}

// A growing event list laid out as hosts pass it: the count, then one pointer per event.
class BlockEvents {
 public:
  void clear() { m_events.clear(); }
  void add(const unsigned char bytes[3], int deltaFrames) {
    vst2::MidiEvent event{};
    event.type = vst2::kMidiEventType;
    event.byteSize = sizeof(vst2::MidiEvent);
    event.deltaFrames = deltaFrames;
    std::memcpy(event.midiData, bytes, 3);
    m_events.push_back(event);
  }
  bool empty() const { return m_events.empty(); }
  vst2::EventList* list() {
    m_storage.assign(sizeof(vst2::EventList) + sizeof(vst2::Event*) * m_events.size(), 0);
    auto* list = reinterpret_cast<vst2::EventList*>(m_storage.data());
    list->numEvents = static_cast<std::int32_t>(m_events.size());
    for (std::size_t i = 0; i < m_events.size(); ++i)
      vst2::setEventAt(*list, i, reinterpret_cast<vst2::Event*>(&m_events[i]));
    return list;
  }

 private:
  std::vector<vst2::MidiEvent> m_events;
  std::vector<unsigned char> m_storage;
};

// Plays `midi` and `cues` through the plug-in for `totalFrames`, handing each block to `sink`
// (false from the sink stops with an error).
template <typename Sink>
bool renderFrames(PluginHost& host, const MidiSequence& midi, const std::vector<ParameterCue>& cues,
                  const std::vector<int>& cueIds, double rate, int blockSize, long long totalFrames, Sink&& sink,
                  bool progress) {
  const int outputCount = std::max(2, host.effect()->numOutputs);
  std::vector<std::vector<float>> buffers(static_cast<std::size_t>(outputCount), std::vector<float>(blockSize));
  std::vector<float*> outputs(static_cast<std::size_t>(outputCount));
  for (int i = 0; i < outputCount; ++i) outputs[i] = buffers[i].data();
  BlockEvents events;
  std::size_t nextEvent = 0, nextCue = 0;
  int lastPercent = -1;
  for (long long start = 0; start < totalFrames; start += blockSize) {
    const int frames = static_cast<int>(std::min<long long>(blockSize, totalFrames - start));
    const long long end = start + frames;
    // Parameter changes take effect at the start of the block, as hosts apply automation.
    while (nextCue < cues.size() && std::llround(cues[nextCue].seconds * rate) < end) {
      if (cueIds[nextCue] >= 0) host.setParameter(cueIds[nextCue], cues[nextCue].value);
      ++nextCue;
    }
    events.clear();
    while (nextEvent < midi.events.size() && std::llround(midi.events[nextEvent].seconds * rate) < end) {
      const long long frame = std::llround(midi.events[nextEvent].seconds * rate);
      events.add(midi.events[nextEvent].bytes, static_cast<int>(std::max(0LL, frame - start)));
      ++nextEvent;
    }
    if (!events.empty()) host.processEvents(events.list());
    for (auto& buffer : buffers) std::fill(buffer.begin(), buffer.begin() + frames, 0.0f);
    host.process(outputs.data(), frames);
    if (!sink(outputs[0], host.effect()->numOutputs >= 2 ? outputs[1] : outputs[0], frames)) return false;
    if (progress) {
      const int percent = static_cast<int>(100 * end / totalFrames);
      if (percent != lastPercent) {
        lastPercent = percent;
        char bar[41];
        std::memset(bar, ' ', 40);
        std::memset(bar, '#', static_cast<std::size_t>(percent * 40 / 100));
        bar[40] = '\0';
        std::fprintf(stderr, "\r[%s] %3d%%", bar, percent);
        if (end >= totalFrames) std::fputc('\n', stderr);
      }
    }
  }
  return true;
}

// Eight voices: an eight-note chord struck every second, moving through four positions.
void benchPattern(double seconds, MidiSequence& midi) {
  midi = {};
  static const int chords[4][8] = {{36, 43, 48, 55, 60, 64, 67, 72},
                                   {38, 45, 50, 57, 62, 65, 69, 74},
                                   {41, 48, 53, 60, 65, 69, 72, 77},
                                   {43, 50, 55, 62, 67, 71, 74, 79}};
  for (int second = 0; second < static_cast<int>(std::ceil(seconds)); ++second) {
    for (int key : chords[second % 4]) {
      TimedMidi on{static_cast<double>(second), {0x90, static_cast<unsigned char>(key), 100}};
      TimedMidi off{second + 0.9, {0x80, static_cast<unsigned char>(key), 0}};
      midi.events.push_back(on);
      midi.events.push_back(off);
    }
  }
  std::stable_sort(midi.events.begin(), midi.events.end(),
                   [](const TimedMidi& a, const TimedMidi& b) { return a.seconds < b.seconds; });
  midi.lengthSeconds = seconds;
}

// Loads plug-in number `index` of those named and applies the preset, its parameters and the
// cues' names. A parameter given for every plug-in (before any was named) is left out where the
// plug-in has none of that name; one given for this plug-in must exist.
bool prepare(PluginHost& host, int index, const std::string& path, const Options& options,
             const std::vector<unsigned char>& preset, const std::vector<ParameterCue>& cues, std::vector<int>& cueIds,
             std::string& error) {
  if (!host.load(path, error)) return false;
  if (!options.presetPath.empty()) {
    if (!host.usesChunks()) {
      error = "the plug-in does not take presets as chunks";
      return false;
    }
    if (!host.setChunk(preset)) {
      error = "the plug-in refused the preset '" + options.presetPath + "'";
      return false;
    }
  }
  for (const Parameter& parameter : options.parameters) {
    if (parameter.plugin != index && parameter.plugin != -1) continue;
    const int id = host.findParameter(parameter.name);
    if (id < 0 && parameter.plugin == -1) continue;
    if (id < 0) {
      error = "the plug-in '" + path + "' has no parameter named '" + parameter.name + "'";
      return false;
    }
    host.setParameter(id, parameter.value);
  }
  cueIds.clear();
  for (const ParameterCue& cue : cues) cueIds.push_back(host.findParameter(cue.name));
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (const int code = parseOptions(argc, argv, options); code != 0) return code < 0 ? 0 : code;

  // Everything that can fail before the plug-in is loaded is checked first.
  MidiSequence midi;
  std::vector<ParameterCue> cues;
  std::string error;
  if (options.benchSeconds > 0.0) {
    benchPattern(options.benchSeconds, midi);
  } else if (!options.midiPath.empty()) {
    if (!readMidiFile(options.midiPath, midi, error)) return fail(error);
    // A bogus delta time can stretch a tiny file over days; that is a broken file, not a job.
    if (midi.lengthSeconds > kMaxRenderSeconds)
      return fail("MIDI file '" + options.midiPath + "' lasts " + std::to_string(std::llround(midi.lengthSeconds / 3600)) +
                  " hours; more than 6 hours is refused");
  } else {
    demoPhrase(midi, cues);
  }
  std::vector<unsigned char> preset;
  if (!options.presetPath.empty() && !readFile(options.presetPath, preset))
    return fail("cannot read preset file '" + options.presetPath + "'");

  int format = 0;
  if (options.benchSeconds == 0.0) {
    const bool flac = endsWith(options.outputPath, ".flac");
    if (!flac && !endsWith(options.outputPath, ".wav"))
      return fail("output file '" + options.outputPath + "' must end in .wav or .flac");
    const std::string bits = options.bits.empty() ? (flac ? "24" : "float") : options.bits;
    if (flac && bits == "float") return fail("FLAC holds 16 or 24 bit samples, not float");
    format = (flac ? SF_FORMAT_FLAC : SF_FORMAT_WAV) |
             (bits == "16" ? SF_FORMAT_PCM_16 : bits == "24" ? SF_FORMAT_PCM_24 : SF_FORMAT_FLOAT);
  }

  const double rate = options.sampleRate;
  if (options.benchSeconds > 0.0) {
    // Every parameter is checked before anything is measured: one meant for a plug-in must exist
    // in it, one meant for every plug-in in one of them at least (otherwise it is a typo).
    std::vector<bool> found(options.parameters.size(), false);
    for (std::size_t index = 0; index < options.benchPlugins.size(); ++index) {
      PluginHost probe;
      if (!probe.load(options.benchPlugins[index], error)) return fail(error);
      for (std::size_t p = 0; p < options.parameters.size(); ++p) {
        const Parameter& parameter = options.parameters[p];
        if (parameter.plugin != -1 && parameter.plugin != static_cast<int>(index)) continue;
        const bool has = probe.findParameter(parameter.name) >= 0;
        if (!has && parameter.plugin != -1)
          return fail("the plug-in '" + options.benchPlugins[index] + "' has no parameter named '" + parameter.name + "'");
        found[p] = found[p] || has;
      }
    }
    for (std::size_t p = 0; p < options.parameters.size(); ++p)
      if (!found[p]) return fail("no plug-in named has a parameter named '" + options.parameters[p].name + "'");
    for (std::size_t index = 0; index < options.benchPlugins.size(); ++index) {
      const std::string& plugin = options.benchPlugins[index];
      PluginHost host;
      std::vector<int> cueIds;
      if (!prepare(host, static_cast<int>(index), plugin, options, preset, cues, cueIds, error)) return fail(error);
      host.start(rate, options.blockSize);
      const long long totalFrames = std::llround(options.benchSeconds * rate);
      const double cpuBegin = processCpuSeconds();
      const auto begin = std::chrono::steady_clock::now();
      double checksum = 0.0;
      renderFrames(host, midi, cues, cueIds, rate, options.blockSize, totalFrames,
                   [&](const float* left, const float* right, int frames) {
                     for (int i = 0; i < frames; ++i) checksum += std::fabs(left[i]) + std::fabs(right[i]);
                     return true;
                   },
                   false);
      const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
      const double cpu = processCpuSeconds() - cpuBegin;
      std::printf("%s (%s): %.1f s of 8-voice audio at %.0f Hz in %.3f s CPU, %.3f s wall: real-time factor %.1f "
                  "(wall %.1f)%s\n",
                  host.effectName().c_str(), plugin.c_str(), options.benchSeconds, rate, cpu, wall,
                  cpu > 0 ? options.benchSeconds / cpu : 0.0, wall > 0 ? options.benchSeconds / wall : 0.0,
                  checksum > 0 ? "" : " (silent)");
      std::fflush(stdout);
      host.stop();
    }
    return 0;
  }

  PluginHost host;
  std::vector<int> cueIds;
  if (!prepare(host, 0, options.pluginPath, options, preset, cues, cueIds, error)) return fail(error);
  host.start(rate, options.blockSize);
  const bool progress = isatty(STDERR_FILENO) != 0;

  SF_INFO info{};
  info.samplerate = static_cast<int>(std::lround(rate));
  info.channels = 2;
  info.format = format;
  if (!sf_format_check(&info)) return fail("libsndfile cannot write this format");
  SNDFILE* file = sf_open(options.outputPath.c_str(), SFM_WRITE, &info);
  if (!file) return fail("cannot write '" + options.outputPath + "': " + sf_strerror(nullptr));
  sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);

  const long long totalFrames = std::llround((midi.lengthSeconds + options.tailSeconds) * rate);
  std::vector<float> interleaved(2 * static_cast<std::size_t>(options.blockSize));
  const bool written = renderFrames(
      host, midi, cues, cueIds, rate, options.blockSize, totalFrames,
      [&](const float* left, const float* right, int frames) {
        for (int i = 0; i < frames; ++i) {
          interleaved[2 * i] = left[i];
          interleaved[2 * i + 1] = right[i];
        }
        return sf_writef_float(file, interleaved.data(), frames) == frames;
      },
      progress);
  host.stop();
  if (!written) {
    const std::string reason = sf_strerror(file);
    sf_close(file);
    return fail("writing '" + options.outputPath + "' failed: " + reason);
  }
  if (sf_close(file) != 0) return fail("closing '" + options.outputPath + "' failed");
  std::fprintf(stderr, "skarvel-render: wrote %.2f s at %d Hz to %s\n", static_cast<double>(totalFrames) / rate,
               info.samplerate, options.outputPath.c_str());
  return 0;
}
