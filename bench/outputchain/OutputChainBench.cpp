// Cost of one output-chain sample at 44100 Hz, plain and with every effect on.
#include <benchmark/benchmark.h>

#include "source/OutputChain.h"
#include "source/RandomGenerator.h"
#include "source/SkarvelParameterTable.h"

namespace {

void run(benchmark::State& state, bool effects) {
  skarvel::OutputChain chain;
  chain.open();
  for (int id = 0; id < skarvel::kParameterCount; ++id)
    chain.setParameter(id, skarvel::kParameterTable[id].defaultValue);
  if (effects)
    for (int id : {skarvel::kQFilters, skarvel::kReverbOn, skarvel::kStrEnh}) chain.setParameter(id, 1.0f);
  skarvel::RandomGenerator noise(9);
  float input[4096];
  for (float& s : input) s = noise.next() / 16384.0f - 1.0f;
  float l = 0.0f, r = 0.0f;
  for (auto _ : state) {
    chain.beginBlock();
    for (float s : input) {
      skarvel::ChorusDraws draws;
      draws.noise = noise.next();
      draws.jitter = noise.next();
      chain.step(s, 1e-15f, draws, l, r);
      benchmark::DoNotOptimize(l);
      benchmark::DoNotOptimize(r);
    }
  }
  state.SetItemsProcessed(state.iterations() * 4096);
  // How many times faster than real time the chain alone runs at 44100 Hz.
  state.counters["realtime_x"] = benchmark::Counter(
      double(state.iterations()) * 4096 / 44100.0, benchmark::Counter::kIsRate);
}

void BM_OutputChainPlain(benchmark::State& state) { run(state, false); }
void BM_OutputChainAllEffects(benchmark::State& state) { run(state, true); }

BENCHMARK(BM_OutputChainPlain);
BENCHMARK(BM_OutputChainAllEffects);

}  // namespace
