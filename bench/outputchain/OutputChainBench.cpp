// Cost of the output chain at 44100 Hz, plain and with every effect on, rendering segments of 128
// samples as the engine does.
#include <benchmark/benchmark.h>

#include <initializer_list>

#include "source/OutputChain.h"
#include "source/RandomGenerator.h"
#include "source/SkarvelParameterTable.h"

namespace {

void run(benchmark::State& state, std::initializer_list<int> effects) {
  skarvel::OutputChain chain;
  chain.open();
  for (int id = 0; id < skarvel::kParameterCount; ++id)
    chain.setParameter(id, skarvel::kParameterTable[id].defaultValue);
  for (int id : effects) chain.setParameter(id, id == skarvel::kStrEnh ? 0.5f : 1.0f);
  skarvel::RandomGenerator noise(9);
  float input[4096];
  for (float& s : input) s = noise.next() / 16384.0f - 1.0f;
  static float dither[4096], left[4096], right[4096];
  static skarvel::ChorusDraws draws[4096];
  for (int k = 0; k < 4096; ++k) {
    dither[k] = (noise.next() * (1.0f / 32768.0f) - 0.5f) * 1e-14f;
    draws[k].noise = noise.next();
    draws[k].jitter = noise.next();
  }
  for (auto _ : state) {
    chain.beginBlock();
    for (int start = 0; start < 4096; start += 128)
      chain.render(input + start, dither + start, draws + start, left + start, right + start, 128);
    benchmark::DoNotOptimize(left);
    benchmark::DoNotOptimize(right);
  }
  state.SetItemsProcessed(state.iterations() * 4096);
  // How many times faster than real time the chain alone runs at 44100 Hz.
  state.counters["realtime_x"] = benchmark::Counter(
      double(state.iterations()) * 4096 / 44100.0, benchmark::Counter::kIsRate);
}

// Every effect as the engine benchmark's loads have them (string enhancer 0.5), then each alone.
void BM_OutputChainPlain(benchmark::State& state) { run(state, {}); }
void BM_OutputChainAllEffects(benchmark::State& state) {
  run(state, {skarvel::kQFilters, skarvel::kReverbOn, skarvel::kStrEnh});
}
void BM_OutputChainEqualiser(benchmark::State& state) { run(state, {skarvel::kQFilters}); }
void BM_OutputChainReverb(benchmark::State& state) { run(state, {skarvel::kReverbOn}); }
void BM_OutputChainStringEnhancer(benchmark::State& state) { run(state, {skarvel::kStrEnh}); }

BENCHMARK(BM_OutputChainPlain);
BENCHMARK(BM_OutputChainAllEffects);
BENCHMARK(BM_OutputChainEqualiser);
BENCHMARK(BM_OutputChainReverb);
BENCHMARK(BM_OutputChainStringEnhancer);

}  // namespace
