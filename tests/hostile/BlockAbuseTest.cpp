// Blocks of every odd size, null outputs and null output channels.

#include <climits>
#include <cstring>

#include <gtest/gtest.h>

#include "HostileHost.h"

namespace hostile {
namespace {

// The same note rendered in blocks of the declared size and in a mix of empty, tiny, odd and
// oversized blocks is the same sound, sample for sample: the engine's result may not depend on
// how the host cuts its time.
TEST(HostileBlocks, AnyMixOfBlockSizesRendersTheSameSamples) {
  Watchdog watchdog("rendering odd block sizes", std::chrono::seconds(60));
  constexpr int kTotal = 3 * 65536 + 4096;
  Plugin reference, odd;
  ASSERT_NE(reference.effect(), nullptr);
  ASSERT_NE(odd.effect(), nullptr);
  reference.start(44100.0f, 256);
  odd.start(44100.0f, 256);
  EventList first({noteOn(0, 60), noteOn(0, 64)});
  EventList second({noteOn(0, 60), noteOn(0, 64)});
  reference.processEvents(first.get());
  odd.processEvents(second.get());

  Stereo expected, actual;
  renderFor(reference, kTotal, expected, 256);
  const int sizes[] = {1, 7, 0, 4096, 1, 65536, 0, 7, 300, 65536, 1000};
  for (int done = 0, n = 0; done < kTotal; ++n) {
    const int frames = std::min(sizes[n % std::size(sizes)], kTotal - done);
    renderBlock(odd, frames, actual);
    done += frames;
  }
  ASSERT_TRUE(allFinite(expected));
  EXPECT_GT(rms(expected), 1e-4);
  EXPECT_TRUE(identical(expected, actual)) << "odd block sizes changed the sound";
}

TEST(HostileBlocks, AMillionFrameBlockRendersFiniteSound) {
  Plugin plugin;
  ASSERT_NE(plugin.effect(), nullptr);
  plugin.start(44100.0f, 512);
  EventList chord({noteOn(0, 48), noteOn(3, 55), noteOn(1 << 19, 60)});
  plugin.processEvents(chord.get());
  Stereo audio;
  renderBlock(plugin, 1 << 20, audio);
  EXPECT_TRUE(allFinite(audio));
  EXPECT_GT(rms(audio, 0, 44100), 1e-4);
}

// A block the host cannot take (no output array, a missing channel, no frames or a negative
// count) writes nothing and breaks nothing: the next proper block plays as on a fresh instance.
TEST(HostileBlocks, NullOutputsNullChannelsAndNegativeCountsWriteNothing) {
  Plugin plugin, fresh;
  ASSERT_NE(plugin.effect(), nullptr);
  ASSERT_NE(fresh.effect(), nullptr);
  plugin.start();
  fresh.start();
  std::vector<float> canary(1024, -7.0f);
  float* leftOnly[2] = {canary.data(), nullptr};
  float* rightOnly[2] = {nullptr, canary.data()};
  float* neither[2] = {nullptr, nullptr};
  float* both[2] = {canary.data(), canary.data()};
  for (const int frames : {0, 1, 7, 1024, -1, -1024, INT_MIN}) {
    plugin.process(nullptr, frames);
    plugin.process(leftOnly, frames);
    plugin.process(rightOnly, frames);
    plugin.process(neither, frames);
    if (frames <= 0) plugin.process(both, frames);
  }
  for (const float x : canary) ASSERT_EQ(x, -7.0f) << "a refused block wrote into the host's buffer";

  EventList note1({noteOn(0, 60)}), note2({noteOn(0, 60)});
  plugin.processEvents(note1.get());
  fresh.processEvents(note2.get());
  Stereo played, expected;
  renderFor(plugin, 8192, played);
  renderFor(fresh, 8192, expected);
  EXPECT_GT(rms(expected), 1e-4);
  EXPECT_TRUE(identical(played, expected)) << "refused blocks changed what the next note sounds like";
}

}  // namespace
}  // namespace hostile
