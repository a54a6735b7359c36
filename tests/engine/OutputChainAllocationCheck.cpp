// Its own program: it replaces the global allocation functions to count calls, which must not
// clash with any other replacement in the engine test program.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <limits>
#include <new>

#include "source/OutputChain.h"
#include "source/SkarvelParameterTable.h"

namespace {
std::atomic<long> g_allocations{0};
}  // namespace

void* operator new(std::size_t size) {
  ++g_allocations;
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

TEST(OutputChain, StepNeverAllocatesWithEveryEffectOn) {
  skarvel::OutputChain chain;
  const skarvel::ChorusDraws draws;
  chain.open();
  for (int id : {skarvel::kQFilters, skarvel::kReverbOn, skarvel::kStrEnh, skarvel::kGainOut})
    chain.setParameter(id, 1.0f);

  const long before = g_allocations.load();
  float l = 0.0f, r = 0.0f;
  for (int block = 0; block < 100; ++block) {
    chain.beginBlock();
    for (int n = 0; n < 512; ++n) chain.step((n % 64) / 32.0f - 1.0f, 1e-15f, draws, l, r);
  }
  chain.setParameter(skarvel::kReverbOn, 0.0f);  // the fade-out path too
  for (int n = 0; n < 10000; ++n) chain.step(0.1f, 0.0f, draws, l, r);
  chain.resetVoices();
  chain.step(std::numeric_limits<float>::quiet_NaN(), 0.0f, draws, l, r);  // and the recovery path
  EXPECT_EQ(g_allocations.load() - before, 0);
}

}  // namespace
