// Many instances at once, and chunks a host (or a damaged project file) may hand over: refused
// ones change nothing, adversarial ones are refused at once, and set-chunk does not slow down
// over a long session.

#include <algorithm>
#include <chrono>
#include <ctime>
#include <random>

#include <gtest/gtest.h>

#include "HostileHost.h"

namespace hostile {
namespace {

using Clock = std::chrono::steady_clock;

TEST(HostileInstances, TwoHundredCreatedPlayedAndClosedInAnyOrder) {
  Watchdog watchdog("200 instances", std::chrono::seconds(120));
  std::vector<std::unique_ptr<Plugin>> instances;
  for (int i = 0; i < 200; ++i) {
    instances.push_back(std::make_unique<Plugin>());
    Plugin& plugin = *instances.back();
    ASSERT_NE(plugin.effect(), nullptr) << "instance " << i;
    plugin.start(44100.0f, 64);
    EventList note({noteOn(0, 40 + i % 48)});
    plugin.processEvents(note.get());
    Stereo audio;
    renderFor(plugin, 2048, audio, 64);
    ASSERT_TRUE(allFinite(audio)) << "instance " << i;
    ASSERT_GT(rms(audio, 1024), 1e-5) << "instance " << i;
  }
  // Closing the others in a shuffled order leaves the last one playing.
  std::shuffle(instances.begin(), instances.end() - 1, std::mt19937(5));
  for (std::size_t i = 0; i + 1 < instances.size(); ++i) EXPECT_EQ(instances[i]->close(), 1);
  EventList note({midi(0, 0xB0, 120, 0), noteOn(1, 60)});
  instances.back()->processEvents(note.get());
  Stereo last;
  renderFor(*instances.back(), 4096, last, 64);
  EXPECT_TRUE(allFinite(last));
  EXPECT_GT(rms(last, 2048), 1e-4);
  EXPECT_EQ(instances.back()->close(), 1);
}

TEST(HostileChunks, RefusedChunksChangeNothing) {
  Plugin plugin;
  ASSERT_NE(plugin.effect(), nullptr);
  plugin.start();
  ASSERT_TRUE(plugin.setChunk(presetDocument("Kept", {{"Level", 0.25f}, {"Rate1", 0.75f}})));
  const std::string kept = plugin.chunk();
  std::string binary = "---\n";
  std::mt19937 random(11);
  for (int i = 0; i < 4096; ++i) binary += static_cast<char>(random() % 256);
  const std::string refused[] = {
      "",
      "--",
      " " + kept,  // a document must begin with its marker
      "---\n[",
      "---\nPreset: [not closed\n",
      std::string("---\0\0\0", 6),
      binary,
      "---\nPreset:\n  name: x\nParams: 5\n",
      "---\nParams:\n  Level: {a: b}\n",
      "---\n" + std::string(100000, '['),
  };
  for (const std::string& chunk : refused) {
    EXPECT_FALSE(plugin.setChunk(chunk)) << chunk.substr(0, 40);
    EXPECT_EQ(plugin.chunk(), kept) << "a refused chunk changed the state: " << chunk.substr(0, 40);
  }
  // A size the data does not have is not read: a zero size and a negative one.
  EXPECT_EQ(plugin.dispatch(vst2::effect::setChunk, 0, 0, const_cast<char*>(kept.data())), 0);
  EXPECT_EQ(plugin.dispatch(vst2::effect::setChunk, 0, -1, const_cast<char*>(kept.data())), 0);
  EXPECT_EQ(plugin.dispatch(vst2::effect::setChunk, 0, 100, nullptr), 0);
  EXPECT_EQ(plugin.chunk(), kept);
}

// A value that opens mapping after mapping ("name: {{{{...") is refused as soon as it is seen,
// not after reading a megabyte of nesting.
TEST(HostileChunks, DeeplyNestedValuesAreRefusedAtOnce) {
  Watchdog watchdog("refusing nested values", std::chrono::seconds(20));
  Plugin plugin;
  ASSERT_NE(plugin.effect(), nullptr);
  plugin.start();
  const std::string kept = plugin.chunk();
  const std::string prefix = "---\nPreset:\n  product: Skarvel\n  version: 1.0.0\n  format: 1\n  name: ";
  const std::string chunks[] = {
      prefix + std::string(1 << 20, '{'),
      prefix + std::string(1 << 19, '['),
      prefix + "x\nParams:\n  Level: " + std::string(1 << 20, '{'),
      prefix + "{a: b}\nParams:\n  Level: 0.5\n",
  };
  for (const std::string& chunk : chunks) {
    const auto begin = Clock::now();
    EXPECT_FALSE(plugin.setChunk(chunk)) << chunk.substr(0, 80);
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - begin);
    if (timingIsMeaningful()) {
      EXPECT_LT(took.count(), 50) << chunk.substr(prefix.size(), 20);
    }
    EXPECT_EQ(plugin.chunk(), kept);
  }
}

// A long session restores the same few states again and again (undo, reloading a project): the
// time of set-chunk stays flat.
TEST(HostileChunks, SetChunkTimeStaysFlatOverManyCalls) {
  Plugin plugin;
  ASSERT_NE(plugin.effect(), nullptr);
  plugin.start();
  std::vector<std::string> states;
  for (int n = 0; n < 4; ++n)
    states.push_back(presetDocument("State " + std::to_string(n), {{"Level", n / 8.0f}, {"Rate1", 0.5f + n / 16.0f}}));
  // Growth shows as every later window being slower; a busy machine only makes some windows
  // slow. So the thread's own CPU time is measured (time spent preempted does not count), and
  // the fastest of the last windows is held against the fastest of the first.
  constexpr int kWindow = 500;
  const auto threadSeconds = [] {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + now.tv_nsec * 1e-9;
  };
  std::vector<double> averages;
  const auto sessionStart = Clock::now();
  for (int window = 0; window < 20; ++window) {
    const double begin = threadSeconds();
    for (int i = 0; i < kWindow; ++i) {
      plugin.setChunk(states[static_cast<std::size_t>(i % 4)]);
      plugin.setChunk("---\n[refused");
    }
    averages.push_back((threadSeconds() - begin) / kWindow);
    if (Clock::now() - sessionStart > std::chrono::seconds(60) * slowdown()) break;
  }
  ASSERT_GE(averages.size(), 6u);
  const double first = *std::min_element(averages.begin(), averages.begin() + 3);
  const double last = *std::min_element(averages.end() - 3, averages.end());
  EXPECT_LT(last, 4.0 * first + 20e-6) << "set-chunk slowed from " << first * 1e3 << " ms to " << last * 1e3
                                      << " ms after " << averages.size() * kWindow << " calls";
  EXPECT_EQ(documentValue(plugin.chunk(), "Level"), 3 / 8.0f);
}

}  // namespace
}  // namespace hostile
