// Proves that rendering never touches the heap: this test program replaces the global
// allocation functions with counting ones. Counting is off except inside the measured region,
// so the other tests of the program are unaffected.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "EngineHarness.h"
#include "common/CountingAllocator.h"


namespace {

using namespace skarvel;
using enginetest::EventList;

TEST(AudioPath, ProcessNeverAllocates) {
  enginetest::Rig rig;
  rig.engine->setParameter(kQFilters, 1.0f);
  rig.engine->setParameter(kReverbOn, 1.0f);
  rig.engine->setParameter(kStrEnh, 0.5f);
  rig.engine->setParameter(kAttack1, 0.05f);

  // Every event list and buffer is built before counting starts.
  constexpr int kBlocks = 400;
  std::vector<EventList> lists(kBlocks);
  std::vector<const core::DspEvents*> prepared(kBlocks);
  for (int block = 0; block < kBlocks; ++block) {
    EventList& events = lists[block];
    events.noteOn(block % 64, 36 + (block * 7) % 60, 40 + block % 80);
    if (block % 3 == 0) events.noteOff(10, 36 + ((block - 9) * 7) % 60);
    if (block % 50 == 0) events.midi(5, 0xB0, 64, block % 100 == 0 ? 127 : 0);
    if (block == 200) events.midi(0, 0xB0, 120, 0);  // all sound off
    prepared[block] = events.list();
  }
  std::vector<float> left(256), right(256);
  float* outputs[2] = {left.data(), right.data()};

  allocations::count = 0;
  allocations::counting = true;
  for (int block = 0; block < kBlocks; ++block) {
    if (block == 120) rig.engine->setParameter(kBpMelody, 1.0f);
    if (block == 300) rig.engine->setParameter(kReverbOn, 0.0f);
    rig.engine->processEvents(prepared[block]);
    rig.engine->process(nullptr, outputs, 256);
  }
  allocations::counting = false;
  EXPECT_EQ(allocations::count.load(), 0);
  EXPECT_TRUE(rig.engine->isActive());
}

}  // namespace
