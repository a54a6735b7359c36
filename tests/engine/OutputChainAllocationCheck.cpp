// Its own program: it replaces the global allocation functions to count calls, which must not
// clash with any other replacement in the engine test program.
#include <gtest/gtest.h>

#include <limits>

#include "common/CountingAllocator.h"
#include "source/OutputChain.h"
#include "source/SkarvelParameterTable.h"

namespace {

TEST(OutputChain, StepNeverAllocatesWithEveryEffectOn) {
  skarvel::OutputChain chain;
  const skarvel::ChorusDraws draws;
  chain.open();
  for (int id : {skarvel::kQFilters, skarvel::kReverbOn, skarvel::kStrEnh, skarvel::kGainOut})
    chain.setParameter(id, 1.0f);

  allocations::count = 0;
  allocations::counting = true;
  float l = 0.0f, r = 0.0f;
  for (int block = 0; block < 100; ++block) {
    chain.beginBlock();
    for (int n = 0; n < 512; ++n) chain.step((n % 64) / 32.0f - 1.0f, 1e-15f, draws, l, r);
  }
  chain.setParameter(skarvel::kReverbOn, 0.0f);  // the fade-out path too
  for (int n = 0; n < 10000; ++n) chain.step(0.1f, 0.0f, draws, l, r);
  chain.resetVoices();
  chain.step(std::numeric_limits<float>::quiet_NaN(), 0.0f, draws, l, r);  // and the recovery path
  allocations::counting = false;
  EXPECT_EQ(allocations::count.load(), 0);
}

}  // namespace
