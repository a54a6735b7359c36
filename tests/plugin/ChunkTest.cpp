// The host's saved state: get chunk and set chunk, accepted and refused.

#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "TestHost.h"

namespace {

using namespace plugintest;

// Room for a program name as the host hands it over (at most 24 bytes are written).
constexpr std::size_t kNameBuffer = 64;

class Chunks : public testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(instance.effect(), nullptr); }
  Instance instance{bundleModule()};
};

TEST_F(Chunks, GetChunkTwiceGivesIdenticalBytesForBankAndProgram) {
  const std::string first = instance.chunk(0);
  const std::string second = instance.chunk(1);
  ASSERT_FALSE(first.empty());
  EXPECT_EQ(first, second);
  EXPECT_EQ(first.compare(0, 4, "---\n"), 0) << first;
  EXPECT_NE(first.find("\nPreset:\n  product: Skarvel\n  version: 1.0.0\n  format: 1\n"), std::string::npos) << first;
  EXPECT_EQ(first.back(), '\n');
  EXPECT_EQ(first.find('\0'), std::string::npos) << "the size counts no terminating zero";
}

TEST_F(Chunks, AcceptedChunkBecomesTheCurrentSound) {
  const std::string document = presetDocument("Glass Reed", {{"Level", 0.25f}, {"ReverbOn", 1.0f}, {"FM", 0.125f}});
  EXPECT_EQ(instance.setChunk(document), 1);
  EXPECT_EQ(instance.text(vst2::effect::getProgramName), "Glass Reed");
  EXPECT_EQ(instance.getParameter(3), 0.25f);
  EXPECT_EQ(instance.getParameter(28), 1.0f);
  EXPECT_EQ(instance.getParameter(12), 0.125f);
  EXPECT_EQ(instance.getParameter(0), 0.5f) << "a parameter the chunk leaves out takes its default";
  EXPECT_EQ(instance.text(vst2::effect::getParamDisplay, 3), "0.25") << "the engine has the value too";
  EXPECT_EQ(documentValue(instance.chunk(), "FM"), 0.125f);
}

TEST_F(Chunks, RoundTripRestoresStateInANewInstance) {
  instance.setParameter(10, 0.8125f);
  instance.setParameter(26, 0.0625f);
  const std::string saved = instance.chunk();
  Instance restored(bundleModule());
  ASSERT_EQ(restored.setChunk(saved), 1);
  for (int id = 0; id < 36; ++id) EXPECT_EQ(restored.getParameter(id), instance.getParameter(id)) << id;
  EXPECT_EQ(restored.chunk(), saved);
}

TEST_F(Chunks, RefusedChunksChangeNothing) {
  ASSERT_EQ(instance.setChunk(presetDocument("Before", {{"Level", 0.375f}})), 1);
  const std::string valid = presetDocument("After", {{"Level", 0.875f}});
  const std::string refused[] = {
      " " + valid,                      // a leading space
      "--\n" + valid.substr(4),         // two dashes and a line break
      "\n" + valid,                     // a line break first
      "\xEF\xBB\xBF" + valid,           // a byte-order mark
      "garbage that is not YAML at all",
      "---",                            // the marker alone
      "---\nPreset:\n  name: NoFormat\nParams:\n  Level: 0.5\n",  // format missing
      "---\n: : [\n",                   // broken YAML
      "--",
      "-",
      "",
  };
  for (const std::string& data : refused) {
    EXPECT_EQ(instance.setChunk(data), 0) << data;
    EXPECT_EQ(instance.text(vst2::effect::getProgramName), "Before") << data;
    EXPECT_EQ(instance.getParameter(3), 0.375f) << data;
  }
  EXPECT_EQ(instance.dispatch(vst2::effect::setChunk, 0, 10, nullptr), 0) << "null data";
  EXPECT_EQ(instance.dispatch(vst2::effect::setChunk, 0, -5, const_cast<char*>(valid.data())), 0) << "negative size";
  EXPECT_EQ(instance.getParameter(3), 0.375f);
}

TEST_F(Chunks, ShortChunkIsRefusedWithoutReadingPastItsEnd) {
  // Two bytes at the very end of a readable page, with an unreadable page after them.
  const long page = sysconf(_SC_PAGESIZE);
  void* memory = mmap(nullptr, 2 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  ASSERT_NE(memory, MAP_FAILED);
  char* base = static_cast<char*>(memory);
  ASSERT_EQ(mprotect(base + page, page, PROT_NONE), 0);
  for (std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{2}}) {
    char* data = base + page - size;
    std::memcpy(data, "--", size);
    EXPECT_EQ(instance.dispatch(vst2::effect::setChunk, 0, static_cast<std::intptr_t>(size), data), 0) << size;
  }
  // Three bytes "---" end exactly at the guard: read completely, and refused as a preset.
  std::memcpy(base + page - 3, "---", 3);
  EXPECT_EQ(instance.dispatch(vst2::effect::setChunk, 0, 3, base + page - 3), 0);
  munmap(memory, 2 * page);
}

TEST_F(Chunks, EveryAcceptedChunkIsKeptAsAProjectPreset) {
  ASSERT_EQ(instance.setChunk(presetDocument("One", {{"Level", 0.1f}})), 1);
  ASSERT_EQ(instance.setChunk(presetDocument("Two", {{"Level", 0.2f}})), 1);
  EXPECT_EQ(instance.text(vst2::effect::getProgramName), "Two");
  EXPECT_EQ(instance.getParameter(3), 0.2f);
}

TEST_F(Chunks, SettingTheSameStatesAgainAndAgainKeepsItsCost) {
  // A host restoring the same two states over and over (undo, A/B, snapshots): the project
  // presets stay two, so the ten-thousandth call costs what the first did.
  ASSERT_EQ(instance.setChunk(presetDocument("A", {{"Level", 0.25f}})), 1);
  const std::string a = instance.chunk();
  ASSERT_EQ(instance.setChunk(presetDocument("B", {{"Level", 0.75f}})), 1);
  const std::string b = instance.chunk();
  using Clock = std::chrono::steady_clock;
  auto run = [&](int calls) {
    const auto start = Clock::now();
    for (int i = 0; i < calls; ++i) EXPECT_EQ(instance.setChunk(i % 2 ? b : a), 1);
    return std::chrono::duration<double>(Clock::now() - start).count();
  };
  const double first = run(500);
  run(9000);
  const double last = run(500);
  EXPECT_LT(last, 4 * first + 0.05) << "first 500 calls " << first << " s, last 500 " << last << " s";
  EXPECT_EQ(instance.chunk(), b);
  EXPECT_EQ(instance.text(vst2::effect::getProgramName), "B");
}

TEST_F(Chunks, HostThreadsAskingForTheChunkEachGetAWholeText) {
  std::atomic<bool> stop{false};
  std::atomic<int> broken{0};
  std::atomic<int> copies{0};
  auto reader = [&] {
    while (!stop.load()) {
      void* data = nullptr;
      const std::intptr_t size = instance.effect()->dispatcher(instance.effect(), vst2::effect::getChunk, 0, 0, &data, 0.0f);
      const std::string copy(static_cast<const char*>(data), static_cast<std::size_t>(size));
      if (copy.compare(0, 4, "---\n") != 0 || copy.back() != '\n' || copy.find("\nParams:\n") == std::string::npos)
        ++broken;
      char name[kNameBuffer] = {};
      instance.effect()->dispatcher(instance.effect(), vst2::effect::getProgramName, 0, 0, name, 0.0f);
      if (name[0] != 'S') ++broken;  // "Sound 0" ... "Sound 3"
      ++copies;
    }
  };
  ASSERT_EQ(instance.setChunk(presetDocument("Sound 0", {})), 1);
  std::thread first(reader), second(reader);
  for (int i = 0; i < 300 || copies.load() < 200; ++i)
    ASSERT_EQ(instance.setChunk(presetDocument("Sound " + std::to_string(i % 4), {{"Level", (i % 7) / 8.0f}})), 1);
  stop = true;
  first.join();
  second.join();
  EXPECT_EQ(broken.load(), 0);
}

}  // namespace
