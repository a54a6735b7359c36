// Host threads at once: the audio thread (events and blocks), a parameter thread (set and get
// values, display texts) and a user-interface thread (chunks, program names, MIDI program
// changes sent through the audio thread's events). Run under ThreadSanitizer in CI. After each
// run the instrument must have rendered only finite samples, take a chunk and give exactly its
// values back, and play.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <random>
#include <thread>

#include <gtest/gtest.h>

#include "HostileHost.h"

namespace hostile {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kBlock = 256;
const char* const kKeys[] = {"Rate1", "Level", "Attack1", "Release1", "Rate2", "ResoAmnt"};

// The preset documents the user-interface thread switches between.
std::string variantChunk(int n) {
  std::vector<std::pair<std::string, float>> values;
  for (int k = 0; k < static_cast<int>(std::size(kKeys)); ++k)
    values.emplace_back(kKeys[k], static_cast<float>((n * 7 + k * 3) % 20) / 20.0f);
  return presetDocument("Thread variant " + std::to_string(n), values);
}

struct HostThreads {
  Plugin plugin;
  std::atomic<bool> stop{false};
  std::atomic<int> programRequest{-1};  // a program change for the audio thread to send
  std::atomic<long> blocks{0}, nonFiniteBlocks{0}, parameterCalls{0}, chunkCalls{0}, badChunks{0};

  HostThreads() { plugin.start(44100.0f, kBlock); }

  void audio() {
    std::mt19937 random(1);
    std::vector<float> left(kBlock), right(kBlock);
    float* outputs[2] = {left.data(), right.data()};
    while (!stop.load()) {
      std::vector<vst2::MidiEvent> events;
      const int key = 36 + static_cast<int>(random() % 48);
      events.push_back(noteOn(static_cast<int>(random() % kBlock), key, 1 + static_cast<int>(random() % 127)));
      events.push_back(noteOff(static_cast<int>(random() % kBlock), 36 + static_cast<int>(random() % 48)));
      if (random() % 16 == 0) events.push_back(midi(0, 0xB0, 64, random() % 128));
      const int program = programRequest.exchange(-1);
      if (program >= 0) events.push_back(midi(0, 0xC0, static_cast<unsigned>(program), 0));
      EventList list(events);
      plugin.processEvents(list.get());
      plugin.process(outputs, kBlock);
      if (!std::all_of(left.begin(), left.end(), [](float x) { return std::isfinite(x); }) ||
          !std::all_of(right.begin(), right.end(), [](float x) { return std::isfinite(x); }))
        nonFiniteBlocks.fetch_add(1);
      blocks.fetch_add(1);
    }
  }

  void parameters() {
    std::mt19937 random(2);
    while (!stop.load()) {
      const int id = static_cast<int>(random() % 40) - 2;  // a few that do not exist
      plugin.setParameter(id, static_cast<float>(random() % 1001) / 1000.0f);
      (void)plugin.getParameter(id);
      (void)plugin.text(vst2::effect::getParamDisplay, id);
      (void)plugin.text(vst2::effect::getParamName, id);
      parameterCalls.fetch_add(1);
    }
  }

  void chunks() {
    std::mt19937 random(3);
    while (!stop.load()) {
      const std::string chunk = plugin.chunk();
      if (chunk.compare(0, 3, "---") != 0 || chunk.find("Params:") == std::string::npos) badChunks.fetch_add(1);
      switch (random() % 4) {
        case 0: plugin.setChunk(variantChunk(static_cast<int>(random() % 8))); break;
        case 1: plugin.setChunk(chunk); break;  // what the host saved a moment ago
        case 2: plugin.setChunk("--- [not a preset"); break;
        case 3: programRequest.store(static_cast<int>(random() % 6)); break;
      }
      (void)plugin.programName();
      chunkCalls.fetch_add(1);
    }
  }

  // Runs the given parts together for `seconds` (always with the audio thread).
  void runFor(double seconds, bool withParameters, bool withChunks) {
    Watchdog watchdog("the host threads", std::chrono::seconds(60));
    std::vector<std::thread> threads;
    threads.emplace_back([this] { audio(); });
    if (withParameters) threads.emplace_back([this] { parameters(); });
    if (withChunks) threads.emplace_back([this] { chunks(); });
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    stop.store(true);
    for (std::thread& thread : threads) thread.join();
  }

  // Afterwards: only finite blocks; a chunk sets exactly its values; the chunk gives them back;
  // a note plays.
  void expectSoundState() {
    EXPECT_GT(blocks.load(), 10) << "the audio thread hardly ran";
    EXPECT_EQ(nonFiniteBlocks.load(), 0);
    EXPECT_EQ(badChunks.load(), 0) << "get chunk answered something that is not a preset";
    const std::string known = variantChunk(5);
    ASSERT_TRUE(plugin.setChunk(known));
    Stereo settle;
    renderFor(plugin, 2 * kBlock, settle);
    const std::string chunk = plugin.chunk();
    for (int id = 0; id < 36; ++id) {
      const std::string name = plugin.text(vst2::effect::getParamName, id);
      for (const char* key : kKeys) {
        if (name != key) continue;
        EXPECT_EQ(plugin.getParameter(id), documentValue(known, key)) << key;
        EXPECT_EQ(documentValue(chunk, key), documentValue(known, key)) << key;
      }
    }
    plugin.resume();
    EventList note({noteOn(0, 60)});
    plugin.processEvents(note.get());
    Stereo audio;
    renderFor(plugin, 8192, audio);
    EXPECT_TRUE(allFinite(audio));
    EXPECT_GT(rms(audio, 2048), 1e-4) << "silent after the threads";
  }
};

TEST(HostileThreads, AudioParametersAndChunksAllAtOnce) {
  HostThreads run;
  ASSERT_NE(run.plugin.effect(), nullptr);
  run.runFor(3.0, true, true);
  EXPECT_GT(run.parameterCalls.load(), 10);
  EXPECT_GT(run.chunkCalls.load(), 10);
  run.expectSoundState();
}

TEST(HostileThreads, ParametersWhileRendering) {
  HostThreads run;
  ASSERT_NE(run.plugin.effect(), nullptr);
  run.runFor(2.0, true, false);
  run.expectSoundState();
}

TEST(HostileThreads, ChunksAndProgramChangesWhileRendering) {
  HostThreads run;
  ASSERT_NE(run.plugin.effect(), nullptr);
  run.runFor(2.0, false, true);
  run.expectSoundState();
}

// The chunk's memory is the plug-in's and stays valid until the next get-chunk request; two
// threads asking at once must each get a whole preset.
TEST(HostileThreads, TwoThreadsAskForTheChunkAtOnce) {
  Plugin plugin;
  ASSERT_NE(plugin.effect(), nullptr);
  plugin.start();
  ASSERT_TRUE(plugin.setChunk(variantChunk(1)));
  Watchdog watchdog("two chunk threads", std::chrono::seconds(60));
  std::atomic<bool> stop{false};
  std::atomic<long> bad{0}, calls{0};
  auto ask = [&] {
    while (!stop.load()) {
      const std::string chunk = plugin.chunk();
      if (documentValue(chunk, "Level") != documentValue(variantChunk(1), "Level")) bad.fetch_add(1);
      calls.fetch_add(1);
    }
  };
  std::thread a(ask), b(ask);
  std::this_thread::sleep_for(std::chrono::seconds(2));
  stop.store(true);
  a.join();
  b.join();
  EXPECT_GT(calls.load(), 10);
  EXPECT_EQ(bad.load(), 0) << "a chunk came back torn or freed";
}

// A document that takes a while to read and is then refused: it changes nothing, but keeps the
// user-interface thread inside set-chunk. The slowest such document below the reader's size
// limit (larger ones are refused unread, in microseconds).
struct SlowRefusal {
  std::string chunk;
  Clock::duration takes{};
};

SlowRefusal slowRefusedChunk(Plugin& plugin) {
  SlowRefusal slowest;
  std::string body;
  for (std::size_t lines = 256; lines <= 2048; lines *= 2) {
    body.clear();
    for (std::size_t i = 0; i < lines; ++i) body += "  Unknown" + std::to_string(i) + ": 0.5\n";
    SlowRefusal candidate{presetDocument("Slow", {}) + body + "  [broken\n", {}};
    const auto begin = Clock::now();
    EXPECT_FALSE(plugin.setChunk(candidate.chunk));
    candidate.takes = Clock::now() - begin;
    if (candidate.takes > slowest.takes) slowest = std::move(candidate);
  }
  return slowest;
}

// The user-interface thread sending one refused set-chunk after another: the presets are held
// nearly all the time while it runs.
class SetChunkHammer {
 public:
  SetChunkHammer(Plugin& plugin, const std::string& chunk)
      : m_thread([this, &plugin, &chunk] {
          while (!m_stop.load()) {
            plugin.setChunk(chunk);
            m_calls.fetch_add(1);
          }
        }) {
    while (m_calls.load() < 2) std::this_thread::yield();
  }
  ~SetChunkHammer() {
    m_stop.store(true);
    m_thread.join();
  }

 private:
  std::atomic<bool> m_stop{false};
  std::atomic<int> m_calls{0};
  std::thread m_thread;
};

Clock::duration median(std::vector<Clock::duration> times) {
  std::nth_element(times.begin(), times.begin() + static_cast<std::ptrdiff_t>(times.size() / 2), times.end());
  return times[times.size() / 2];
}

// Requests a host may send from its audio thread never wait for the user-interface thread's
// preset work: blocks, events, the program name, parameter values. Each set-chunk holds the
// presets for `slow.takes`; a request that waited for them would, arriving at a random moment,
// wait half of that on average, so the requests' median time would grow by about that much.
TEST(HostileThreads, AudioThreadRequestsNeverWaitForASetChunk) {
  Plugin plugin;
  ASSERT_NE(plugin.effect(), nullptr);
  plugin.start();
  const SlowRefusal slow = slowRefusedChunk(plugin);
  Watchdog watchdog("audio requests during set chunk", std::chrono::seconds(120));
  std::vector<float> left(kBlock), right(kBlock);
  float* outputs[2] = {left.data(), right.data()};
  auto requests = [&] {
    std::vector<Clock::duration> times;
    for (int round = 0; round < 400; ++round) {
      const auto begin = Clock::now();
      EventList note({noteOn(0, 60 + round % 12)});
      plugin.processEvents(note.get());
      plugin.process(outputs, kBlock);
      (void)plugin.programName();
      plugin.setParameter(3, 0.5f);
      (void)plugin.getParameter(3);
      times.push_back(Clock::now() - begin);
    }
    return median(std::move(times));
  };
  const Clock::duration alone = requests();
  Clock::duration beside{};
  {
    SetChunkHammer hammer(plugin, slow.chunk);
    beside = requests();
  }
  using std::chrono::microseconds;
  using std::chrono::duration_cast;
  EXPECT_LT(beside, alone + slow.takes / 4)
      << "audio-thread requests took " << duration_cast<microseconds>(beside).count() << " µs (median) beside "
      << "set-chunks of " << duration_cast<microseconds>(slow.takes).count() << " µs, "
      << duration_cast<microseconds>(alone).count() << " µs alone";
}

// A MIDI program change that arrives while the user-interface thread holds the presets, then a
// parameter change from the host: the change belongs to the new program, and what the host
// reads back, the chunk and the program name agree.
TEST(HostileThreads, AutomationAfterAProgramChangeLandsInTheNewProgram) {
  Plugin plugin;
  ASSERT_NE(plugin.effect(), nullptr);
  plugin.start();
  std::vector<std::string> names;
  {
    Plugin reference;
    reference.start();
    Stereo ignored;
    for (int program = 0; program < 4; ++program) {
      EventList change({midi(0, 0xC0, static_cast<unsigned>(program), 0)});
      reference.processEvents(change.get());
      renderBlock(reference, kBlock, ignored);
      names.push_back(reference.programName());
    }
  }
  const SlowRefusal slow = slowRefusedChunk(plugin);
  Watchdog watchdog("program changes during set chunk", std::chrono::seconds(120));
  int level = 0;
  while (level < 36 && plugin.text(vst2::effect::getParamName, level) != "Level") ++level;
  ASSERT_LT(level, 36);
  std::vector<float> left(kBlock), right(kBlock);
  float* outputs[2] = {left.data(), right.data()};
  for (int round = 0; round < 8; ++round) {
    const int program = 1 + round % 3;
    const float value = static_cast<float>(round + 1) / 16.0f;  // exact in the chunk's text
    // The presets are held nearly all the time, so the change usually has to wait for them.
    auto hammer = std::make_unique<SetChunkHammer>(plugin, slow.chunk);
    EventList change({midi(0, 0xC0, static_cast<unsigned>(program), 0)});
    plugin.processEvents(change.get());
    plugin.process(outputs, kBlock);
    plugin.setParameter(level, value);  // automation played on the audio thread
    hammer.reset();
    plugin.process(outputs, kBlock);
    plugin.process(outputs, kBlock);

    EXPECT_EQ(plugin.programName(), names[static_cast<std::size_t>(program)]) << "round " << round;
    EXPECT_EQ(plugin.getParameter(level), value) << "round " << round << ": the host's change was lost";
    EXPECT_EQ(documentValue(plugin.chunk(), "Level"), value) << "round " << round;
  }
}

}  // namespace
}  // namespace hostile
