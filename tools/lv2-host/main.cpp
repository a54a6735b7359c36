// skarvel-lv2-host: a small LV2 host on lilv for Skarvel's bundle. It renders the demo phrase
// through the LV2 plug-in (optionally after applying one of its presets) into a WAV file, or
// renders it through the LV2 and the VST 2.4 module alike and compares the two to the bit.
//
//   skarvel-lv2-host BUNDLE.lv2 -o demo.wav [--preset URI]
//   skarvel-lv2-host BUNDLE.lv2 --compare Skarvel.so [--preset URI]
//   skarvel-lv2-host BUNDLE.lv2 --presets

#include <sndfile.h>

#include <cstdio>
#include <string>

#include "Lv2Host.h"
#include "PhraseRender.h"
#include "lv2/Lv2Uris.h"

namespace {

constexpr double kRate = 44100.0;
constexpr int kBlock = 512;
constexpr double kTail = 2.0;

int fail(const std::string& message) {
  std::fprintf(stderr, "skarvel-lv2-host: %s\n", message.c_str());
  return 1;
}

bool writeWav(const std::string& path, const lv2host::StereoRender& audio) {
  SF_INFO info{};
  info.samplerate = static_cast<int>(kRate);
  info.channels = 2;
  info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!file) return false;
  std::vector<float> frames(audio.left.size() * 2);
  for (std::size_t i = 0; i < audio.left.size(); ++i) {
    frames[2 * i] = audio.left[i];
    frames[2 * i + 1] = audio.right[i];
  }
  const bool written = sf_writef_float(file, frames.data(), static_cast<sf_count_t>(audio.left.size())) ==
                       static_cast<sf_count_t>(audio.left.size());
  return sf_close(file) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
  std::string bundle, output, compare, preset;
  bool listPresets = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= argc) return false;
      out = argv[++i];
      return true;
    };
    if ((arg == "-o" && value(output)) || (arg == "--compare" && value(compare)) || (arg == "--preset" && value(preset))) {
      continue;
    } else if (arg == "--presets") {
      listPresets = true;
    } else if (!arg.empty() && arg[0] != '-' && bundle.empty()) {
      bundle = arg;
    } else {
      return fail("usage: skarvel-lv2-host BUNDLE.lv2 (-o OUT.wav | --compare VST2.so | --presets) [--preset URI]");
    }
  }
  if (bundle.empty() || (output.empty() && compare.empty() && !listPresets)) return fail("nothing to do (see --help)");

  lv2host::Lv2Host host;
  std::string error;
  if (!host.load(bundle, lv2::kPluginUri, error)) return fail(error);
  if (listPresets) {
    for (const auto& [uri, label] : host.presets()) std::printf("%s\t%s\n", label.c_str(), uri.c_str());
    return 0;
  }
  if (!host.instantiate(kRate, error)) return fail(error);
  if (!preset.empty() && !host.applyPreset(preset)) return fail("no preset " + preset);
  // The program the VST 2.4 module gets: the LV2 instance's own state document.
  const std::string document = host.stateProperty(lv2::kStateProgramUri);
  host.activate();
  const lv2host::StereoRender lv2Audio = lv2host::renderDemoLv2(host, kRate, kBlock, kTail);
  host.deactivate();
  if (!output.empty() && !writeWav(output, lv2Audio)) return fail("cannot write " + output);
  if (compare.empty()) return 0;

  render::PluginHost vst2;
  if (!vst2.load(compare, error)) return fail(error);
  // The document without the terminating zero an atom string carries.
  std::string chunk = document.substr(0, document.find('\0'));
  if (!vst2.setChunk(std::vector<unsigned char>(chunk.begin(), chunk.end()))) return fail("the VST 2.4 module refused the program");
  vst2.start(kRate, kBlock);
  const lv2host::StereoRender vst2Audio = lv2host::renderDemoVst2(vst2, kRate, kBlock, kTail);
  vst2.stop();
  const long long difference = lv2host::firstDifference(lv2Audio, vst2Audio);
  if (difference >= 0) {
    std::printf("the renders differ from frame %lld on\n", difference);
    return 1;
  }
  std::printf("identical: %zu frames of the demo phrase\n", lv2Audio.left.size());
  return 0;
}
