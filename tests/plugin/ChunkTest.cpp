// The host's saved state: get chunk and set chunk, accepted and refused.

#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "TestHost.h"

namespace {

using namespace plugintest;

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

}  // namespace
