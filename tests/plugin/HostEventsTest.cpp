// The module through its entry point as an untidy host drives it: event lists freed right after
// they were handed over, blocks that render nothing, suspend with events pending, late offsets,
// several threads, and key requests and sample rates no int or delay line can hold.

#include <atomic>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "TestHost.h"

namespace {

using namespace plugintest;

// A list the way a host builds it for one call: every event and the pointer array on the heap.
// release() poisons and frees all of it, as a host reusing its memory would.
class HeapEventList {
 public:
  HeapEventList& add(int deltaFrames, unsigned char status, unsigned char data1, unsigned char data2) {
    auto* event = new vst2::MidiEvent{};
    event->type = vst2::kMidiEventType;
    event->byteSize = sizeof(vst2::MidiEvent);
    event->deltaFrames = deltaFrames;
    event->midiData[0] = static_cast<char>(status);
    event->midiData[1] = static_cast<char>(data1);
    event->midiData[2] = static_cast<char>(data2);
    m_events.push_back(event);
    return *this;
  }
  vst2::EventList* list() {
    m_storage = new unsigned char[vst2::eventListBytes(m_events.size())]();
    auto* list = reinterpret_cast<vst2::EventList*>(m_storage);
    list->numEvents = static_cast<std::int32_t>(m_events.size());
    for (std::size_t i = 0; i < m_events.size(); ++i)
      vst2::setEventAt(*list, i, reinterpret_cast<vst2::Event*>(m_events[i]));
    return list;
  }
  void release() {
    for (vst2::MidiEvent* event : m_events) {
      std::memset(event, 0x91, sizeof *event);
      delete event;
    }
    m_events.clear();
    if (m_storage) std::memset(m_storage, 0xEE, sizeof(vst2::EventList));
    delete[] m_storage;
    m_storage = nullptr;
  }
  ~HeapEventList() { release(); }

 private:
  std::vector<vst2::MidiEvent*> m_events;
  unsigned char* m_storage = nullptr;
};

class HostEvents : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(instance.effect(), nullptr);
    ASSERT_EQ(instance.setChunk(presetDocument("Plain", {{"Release1", 0.05f}})), 1);
    instance.resume();
  }
  void handOver(HeapEventList& events) { instance.dispatch(vst2::effect::processEvents, 0, 0, events.list()); }
  // Renders `frames` samples without a new list; returns the left channel.
  std::vector<float> block(int frames) {
    std::vector<float> left(static_cast<std::size_t>(frames)), right(left.size());
    float* outputs[2] = {left.data(), right.data()};
    instance.effect()->processReplacing(instance.effect(), nullptr, outputs, frames);
    for (float x : left) EXPECT_TRUE(std::isfinite(x));
    return left;
  }
  std::vector<float> seconds(double length) {
    std::vector<float> all;
    for (int done = 0; done < length * 44100; done += 256) {
      const std::vector<float> part = block(256);
      all.insert(all.end(), part.begin(), part.end());
    }
    return all;
  }
  static int firstSound(const std::vector<float>& samples) {
    for (std::size_t i = 0; i < samples.size(); ++i)
      if (samples[i] != 0.0f) return static_cast<int>(i);
    return -1;
  }

  Instance instance{bundleModule()};
};

TEST_F(HostEvents, ListFreedRightAfterItWasHandedOverStillPlays) {
  HeapEventList events;
  events.add(17, 0x90, 60, 100).add(40, 0x90, 64, 100).add(90, 0x90, 67, 100);
  handOver(events);
  events.release();
  const std::vector<float> sound = block(256);
  EXPECT_EQ(firstSound(sound), 17);
  EXPECT_GT(rms(seconds(0.2)), 1e-3);
}

TEST_F(HostEvents, EventsOfABlockWithoutFramesPlayAtTheNextBlocksStart) {
  // The sequence that once read a freed list: events, a block of no frames, the list freed, a
  // real block.
  HeapEventList events;
  events.add(100, 0x90, 60, 100);
  handOver(events);
  block(0);
  float* noOutputs[2] = {nullptr, nullptr};
  instance.effect()->processReplacing(instance.effect(), nullptr, noOutputs, 64);
  instance.effect()->processReplacing(instance.effect(), nullptr, nullptr, 64);
  events.release();
  EXPECT_EQ(firstSound(block(256)), 0);
}

TEST_F(HostEvents, SuspendForgetsEventsNotYetPlayed) {
  HeapEventList events;
  events.add(0, 0x90, 60, 100);
  handOver(events);
  instance.dispatch(vst2::effect::mainsChanged, 0, 0);
  events.release();
  instance.dispatch(vst2::effect::mainsChanged, 0, 1);
  EXPECT_EQ(rms(seconds(0.1)), 0.0);
}

TEST_F(HostEvents, NoteOffBeyondTheBlockStillEndsTheNote) {
  HeapEventList on, off;
  on.add(0, 0x90, 60, 100);
  handOver(on);
  const std::vector<float> held = seconds(0.3);
  ASSERT_GT(rms(held, held.size() - 4410), 1e-3);
  off.add(100000, 0x80, 60, 0);
  handOver(off);
  const std::vector<float> after = seconds(1.5);
  EXPECT_EQ(rms(after, after.size() - 4410), 0.0) << "the note hangs";
}

TEST_F(HostEvents, ThreadsHandingOverEventsSettingValuesAndChunksTogether) {
  std::atomic<bool> stop{false};
  const std::string chunk = instance.chunk();
  std::thread parameters([&] {
    for (int i = 0; !stop.load(); ++i) instance.setParameter(i % 36, static_cast<float>(i % 101) / 100.0f);
  });
  std::thread chunks([&] {
    while (!stop.load()) {
      EXPECT_EQ(instance.setChunk(chunk), 1);
      std::this_thread::yield();
    }
  });
  bool finite = true;
  for (int b = 0; b < 300; ++b) {
    HeapEventList events;
    events.add(b % 64, 0x90, static_cast<unsigned char>(40 + b % 40), 100);
    if (b % 5 == 0) events.add(3, 0xC0, static_cast<unsigned char>(b % 4), 0);
    events.add(200, 0x80, static_cast<unsigned char>(40 + (b + 20) % 40), 0);
    handOver(events);
    events.release();
    for (float x : block(128)) finite = finite && std::isfinite(x);
  }
  stop = true;
  parameters.join();
  chunks.join();
  EXPECT_TRUE(finite);
}

TEST_F(HostEvents, KeyRequestsWithValuesNoIntHolds) {
  const float odd[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                       -std::numeric_limits<float>::infinity(), 3e9f, -3e9f, 2147483648.0f};
  for (float opt : odd) {
    instance.dispatch(vst2::effect::editKeyDown, 'a', std::numeric_limits<std::intptr_t>::max(), nullptr, opt);
    instance.dispatch(vst2::effect::editKeyUp, 'a', std::numeric_limits<std::intptr_t>::min(), nullptr, opt);
  }
  instance.dispatch(vst2::effect::setEditKnobMode, 0, std::numeric_limits<std::intptr_t>::max());
  HeapEventList events;
  events.add(0, 0x90, 60, 100);
  handOver(events);
  EXPECT_GT(rms(seconds(0.1)), 1e-3) << "still playing";
}

TEST_F(HostEvents, SampleRatesBeyondAnyDelayLineAreLoweredAndPlay) {
  instance.setParameter(14, 0.0f);  // Attack1: the shortest attack, so a few milliseconds sound
  for (float rate : {2147483648.0f, 1e12f, std::numeric_limits<float>::max(), 768000.0f, 44100.0f}) {
    instance.dispatch(vst2::effect::setSampleRate, 0, 0, nullptr, rate);
    instance.dispatch(vst2::effect::mainsChanged, 0, 1);
    HeapEventList events;
    events.add(0, 0x90, 60, 100);
    handOver(events);
    EXPECT_GT(rms(seconds(0.05)), 1e-4) << rate;
    instance.dispatch(vst2::effect::mainsChanged, 0, 0);
  }
}

}  // namespace
