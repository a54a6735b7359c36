// The offline host as a program: renders to the expected length, and fails with one clear line.

#include <sndfile.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

struct ToolRun {
  int exitCode;
  std::string errors;
};

class RenderTool : public testing::Test {
 protected:
  void SetUp() override {
    folder = fs::temp_directory_path() / ("skarvel-render-test-" + std::to_string(getpid()));
    fs::create_directories(folder);
  }
  void TearDown() override { fs::remove_all(folder); }

  ToolRun run(const std::string& arguments) {
    const fs::path errors = folder / "stderr.txt";
    const std::string command = std::string("'") + SKARVEL_RENDER_PATH + "' " + arguments + " 2>'" + errors.string() +
                                "' >/dev/null";
    const int status = std::system(command.c_str());
    std::ifstream in(errors);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, text};
  }
  std::string write(const std::string& name, const std::vector<unsigned char>& bytes) {
    std::ofstream(folder / name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                         static_cast<std::streamsize>(bytes.size()));
    return (folder / name).string();
  }
  // Largest absolute sample of a sound file, read as float.
  static float peak(const fs::path& path) {
    SF_INFO format{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &format);
    if (!file) return -1.0f;
    std::vector<float> frames(4096 * static_cast<std::size_t>(format.channels));
    float result = 0.0f;
    for (sf_count_t read; (read = sf_readf_float(file, frames.data(), 4096)) > 0;)
      for (sf_count_t i = 0; i < read * format.channels; ++i) result = std::max(result, std::fabs(frames[i]));
    sf_close(file);
    return result;
  }
  static SF_INFO info(const fs::path& path) {
    SF_INFO result{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &result);
    if (file) sf_close(file);
    return result;
  }

  const std::string plugin = SKARVEL_MODULE_PATH;
  fs::path folder;
};

// One note at 0, its release one second later (96 ticks per quarter at 120 bpm: 192 ticks).
const std::vector<unsigned char> kOneSecondMidi = {
    'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96, 'M', 'T', 'r', 'k', 0, 0, 0, 13,
    0x00, 0x90, 60, 100, 0x81, 0x40, 0x80, 60, 0, 0x00, 0xFF, 0x2F, 0x00};

TEST_F(RenderTool, ShortMidiFileRendersToItsLengthPlusTheTail) {
  const std::string midi = write("one.mid", kOneSecondMidi);
  const fs::path output = folder / "one.wav";
  const ToolRun result = run("'" + plugin + "' '" + midi + "' -o '" + output.string() + "' --tail 0.5 --sample-rate 48000 --block-size 100");
  ASSERT_EQ(result.exitCode, 0) << result.errors;
  const SF_INFO written = info(output);
  EXPECT_EQ(written.samplerate, 48000);
  EXPECT_EQ(written.channels, 2);
  EXPECT_EQ(written.frames, 72000) << "1 s of MIDI and 0.5 s of tail";
  EXPECT_EQ(written.format, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
}

TEST_F(RenderTool, WritesFlacAndSixteenBitWavWithPresetAndParameters) {
  const std::string midi = write("one.mid", kOneSecondMidi);
  const std::string preset = write("p.yaml", std::vector<unsigned char>{});
  std::ofstream(preset) << "---\nPreset:\n  product: Skarvel\n  version: 1.0.0\n  format: 1\n  name: T\nParams:\n  Level: 0.7\n";
  ToolRun result = run("'" + plugin + "' '" + midi + "' -o '" + (folder / "a.flac").string() + "' --tail 0 --preset '" +
                   preset + "' --param Gain_out=0.3");
  ASSERT_EQ(result.exitCode, 0) << result.errors;
  EXPECT_EQ(info(folder / "a.flac").format, SF_FORMAT_FLAC | SF_FORMAT_PCM_24);
  result = run("'" + plugin + "' '" + midi + "' -o '" + (folder / "b.wav").string() + "' --tail 0 --bits 16");
  ASSERT_EQ(result.exitCode, 0) << result.errors;
  EXPECT_EQ(info(folder / "b.wav").format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
  EXPECT_EQ(info(folder / "b.wav").frames, 44100);
}

TEST_F(RenderTool, DemoPhraseAndBenchRun) {
  ToolRun result = run("'" + plugin + "' -o '" + (folder / "demo.wav").string() + "' --tail 0");
  ASSERT_EQ(result.exitCode, 0) << result.errors;
  EXPECT_GT(info(folder / "demo.wav").frames, 44100 * 12);
  // The demo is what a newcomer hears first: clearly audible at the factory level (which leaves
  // room for eight keys at full velocity below -1 dBTP), and it must never clip.
  const float demoPeak = peak(folder / "demo.wav");
  EXPECT_GT(demoPeak, 0.1f);
  EXPECT_LT(demoPeak, 0.75f) << "the demo phrase clips or nearly clips";
  // Two instruments compared in one run: one line each.
  const std::string bench = folder / "bench.txt";
  const int status = std::system(("'" + std::string(SKARVEL_RENDER_PATH) + "' '" + plugin + "' '" + plugin +
                                  "' --bench 0.5 >'" + bench + "' 2>&1").c_str());
  EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 0);
  std::ifstream in(bench);
  int lines = 0;
  for (std::string line; std::getline(in, line);) {
    EXPECT_NE(line.find("real-time factor"), std::string::npos) << line;
    EXPECT_EQ(line.find("(silent)"), std::string::npos) << line;
    ++lines;
  }
  EXPECT_EQ(lines, 2);
}

// --bench takes parameters per plug-in: one given after a plug-in applies to it alone; one given
// before every plug-in applies to each that has it, and is an error only when none has it.
TEST_F(RenderTool, BenchParametersApplyToThePlugInNamedBeforeThem) {
  const std::string output = (folder / "bench.txt").string();
  auto bench = [&](const std::string& arguments) {
    const int status = std::system(("'" + std::string(SKARVEL_RENDER_PATH) + "' " + arguments + " --bench 0.3 >'" +
                                    output + "' 2>&1").c_str());
    std::ifstream in(output);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return std::make_pair(WIFEXITED(status) ? WEXITSTATUS(status) : -1, lines);
  };
  auto [code, lines] = bench("'" + plugin + "' --param Gain_out=0 '" + plugin + "'");
  ASSERT_EQ(code, 0);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NE(lines[0].find("(silent)"), std::string::npos) << "the first plug-in's gain is 0: " << lines[0];
  EXPECT_EQ(lines[1].find("(silent)"), std::string::npos) << "the second keeps its gain: " << lines[1];

  std::tie(code, lines) = bench("--param Gain_out=0 '" + plugin + "' '" + plugin + "'");
  ASSERT_EQ(code, 0);
  ASSERT_EQ(lines.size(), 2u);
  for (const std::string& line : lines) EXPECT_NE(line.find("(silent)"), std::string::npos) << line;

  std::tie(code, lines) = bench("--param NoSuchThing=1 '" + plugin + "'");
  EXPECT_EQ(code, 1);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find("no plug-in named has a parameter named 'NoSuchThing'"), std::string::npos) << lines[0];
  std::tie(code, lines) = bench("'" + plugin + "' '" + plugin + "' --param NoSuchThing=1");
  EXPECT_EQ(code, 1);
  ASSERT_EQ(lines.size(), 1u) << "nothing is measured before the parameters are checked";
  EXPECT_NE(lines[0].find("has no parameter named 'NoSuchThing'"), std::string::npos) << lines[0];
}

TEST_F(RenderTool, ErrorsAreOneClearLineAndANonZeroExit) {
  const std::string midi = write("one.mid", kOneSecondMidi);
  const std::string broken = write("broken.mid", {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0});
  // One note, released 2^28 ticks later (about 16 days at 96 ticks per quarter).
  const std::string endless = write("endless.mid", {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96, 'M', 'T', 'r', 'k',
                                                    0, 0, 0, 15, 0x00, 0x90, 60, 100, 0xFF, 0xFF, 0xFF, 0x7F, 0x80, 60, 0,
                                                    0x00, 0xFF, 0x2F, 0x00});
  const std::string notPlugin = write("text.so", {'h', 'e', 'l', 'l', 'o'});
  const std::string badPreset = write("bad.yaml", {'n', 'o', 'p', 'e'});
  const std::string out = "-o '" + (folder / "x.wav").string() + "'";
  struct Case {
    std::string arguments;
    std::string message;
  };
  const Case cases[] = {
      {"'" + (folder / "missing.so").string() + "' " + out, "cannot load plug-in"},
      {"'" + notPlugin + "' " + out, "cannot load plug-in"},
      {"/usr/lib/x86_64-linux-gnu/libsndfile.so.1 " + out, "is not a VST 2.4 plug-in"},
      {std::string("'") + NOT_AN_INSTRUMENT_PATH + "' " + out, "is not a VST 2.4 instrument"},
      {"'" + plugin + "' '" + (folder / "missing.mid").string() + "' " + out, "cannot open MIDI file"},
      {"'" + plugin + "' '" + broken + "' " + out, "broken MIDI file"},
      {"'" + plugin + "' '" + endless + "' " + out, "more than 6 hours is refused"},
      {"'" + plugin + "' '" + midi + "' -o /nonexistent-folder/x.wav", "cannot write '/nonexistent-folder/x.wav'"},
      {"'" + plugin + "' '" + midi + "' -o '" + (folder / "x.mp3").string() + "'", "must end in .wav or .flac"},
      {"'" + plugin + "' '" + midi + "' " + out + " --param NoSuchThing=0.5", "no parameter named 'NoSuchThing'"},
      {"'" + plugin + "' '" + midi + "' " + out + " --preset '" + badPreset + "'", "refused the preset"},
      {"'" + plugin + "' '" + midi + "' " + out + " --preset '" + (folder / "none.yaml").string() + "'",
       "cannot read preset file"},
  };
  for (const Case& c : cases) {
    const ToolRun result = run(c.arguments);
    EXPECT_NE(result.exitCode, 0) << c.arguments;
    EXPECT_NE(result.exitCode, -1) << "no crash: " << c.arguments;
    EXPECT_EQ(result.errors.rfind("skarvel-render: ", 0), 0u) << result.errors;
    EXPECT_NE(result.errors.find(c.message), std::string::npos) << result.errors;
    EXPECT_EQ(result.errors.find('\n'), result.errors.size() - 1) << "one line: " << result.errors;
  }
  // Usage mistakes name the mistake, then show the usage.
  for (const std::string& arguments : {std::string(""), "'" + plugin + "'", "'" + plugin + "' --tail x " + out,
                                       "'" + plugin + "' --bogus " + out}) {
    const ToolRun result = run(arguments);
    EXPECT_EQ(result.exitCode, 2) << arguments;
    EXPECT_EQ(result.errors.rfind("skarvel-render: ", 0), 0u) << result.errors;
  }
}

}  // namespace
