// Real-time factor of the whole engine at 44100 Hz, one thread: seconds of audio rendered per
// CPU second, for the loads a musician meets (a full chord with every effect, the band-pass
// melody, a single dry voice, and the engine asleep between phrases).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <new>

#include "engine/EngineHarness.h"

// Bytes requested from the heap, so the engine's construction-time allocation can be reported.
namespace {
std::size_t g_bytesAllocated = 0;
}
void* operator new(std::size_t size) {
  g_bytesAllocated += size;
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

using enginetest::EventList;
using enginetest::Rig;

constexpr int kBlock = 512;

void setEffects(Rig& rig, bool on) {
  rig.engine->setParameter(skarvel::kQFilters, on ? 1.0f : 0.0f);
  rig.engine->setParameter(skarvel::kReverbOn, on ? 1.0f : 0.0f);
  rig.engine->setParameter(skarvel::kStrEnh, on ? 0.5f : 0.0f);
}

void holdNotes(Rig& rig, int count) {
  EventList events;
  for (int i = 0; i < count; ++i) events.noteOn(0, 48 + 3 * i, 100);
  rig.render(kBlock, &events);
}

void renderLoop(benchmark::State& state, Rig& rig) {
  float left[kBlock], right[kBlock];
  float* outputs[2] = {left, right};
  for (auto _ : state) {
    rig.engine->process(nullptr, outputs, kBlock);
    benchmark::DoNotOptimize(left[kBlock - 1]);
  }
  state.counters["realtime_x"] =
      benchmark::Counter(double(state.iterations()) * kBlock / 44100.0, benchmark::Counter::kIsRate);
}

// (a) eight held voices, every effect on.
void BM_EightVoicesAllEffects(benchmark::State& state) {
  Rig rig;
  setEffects(rig, true);
  holdNotes(rig, 8);
  renderLoop(state, rig);
}

// (a) on a lane type of choice: what the run-time choice of AVX2 gains over the SSE2 eights every
// x86-64 processor runs, and over plain floats.
void eightVoicesOn(benchmark::State& state, skarvel::VoiceLaneKind kind) {
  if (kind == skarvel::VoiceLaneKind::EightAvx2 && !skarvel::voiceLanesAvx2Available()) {
    state.SkipWithError("no AVX2 on this processor");
    return;
  }
  Rig rig;
  rig.engine->setVoiceLanes(kind);
  setEffects(rig, true);
  holdNotes(rig, 8);
  renderLoop(state, rig);
}
void BM_EightVoicesAllEffectsAvx2Lanes(benchmark::State& state) { eightVoicesOn(state, skarvel::VoiceLaneKind::EightAvx2); }
void BM_EightVoicesAllEffectsSse2Lanes(benchmark::State& state) { eightVoicesOn(state, skarvel::VoiceLaneKind::Eight); }
void BM_EightVoicesAllEffectsScalarLanes(benchmark::State& state) {
  eightVoicesOn(state, skarvel::VoiceLaneKind::EightScalar);
}

// (b) as (a), with the band-pass melody in place of the comb.
void BM_EightVoicesAllEffectsBandPass(benchmark::State& state) {
  Rig rig;
  setEffects(rig, true);
  rig.engine->setParameter(skarvel::kBpMelody, 1.0f);
  holdNotes(rig, 8);
  renderLoop(state, rig);
}

// (c) one voice, no effects.
void BM_OneVoiceDry(benchmark::State& state) {
  Rig rig;
  setEffects(rig, false);
  holdNotes(rig, 1);
  renderLoop(state, rig);
}

// (d) asleep: no notes; the sleep detector has stopped the engine after the first window.
void BM_Asleep(benchmark::State& state) {
  Rig rig;
  setEffects(rig, true);
  rig.renderSeconds(0.5);
  if (rig.engine->isActive()) state.SkipWithError("engine did not fall asleep");
  renderLoop(state, rig);
}

// Not a timing: the heap bytes one engine takes when it is built (its delay lines, mostly).
void BM_ConstructionBytes(benchmark::State& state) {
  std::size_t bytes = 0;
  for (auto _ : state) {
    core::ScopePeakExchange scope;
    const std::size_t before = g_bytesAllocated;
    auto engine = std::make_unique<skarvel::VstSynth>(scope);
    bytes = g_bytesAllocated - before;
    benchmark::DoNotOptimize(engine.get());
  }
  state.counters["bytes"] = static_cast<double>(bytes);
}

BENCHMARK(BM_ConstructionBytes)->Iterations(1);
BENCHMARK(BM_EightVoicesAllEffects)->MinTime(2.0);
BENCHMARK(BM_EightVoicesAllEffectsBandPass)->MinTime(2.0);
BENCHMARK(BM_EightVoicesAllEffectsAvx2Lanes)->MinTime(1.0);
BENCHMARK(BM_EightVoicesAllEffectsSse2Lanes)->MinTime(1.0);
BENCHMARK(BM_EightVoicesAllEffectsScalarLanes)->MinTime(1.0);
BENCHMARK(BM_OneVoiceDry)->MinTime(1.0);
BENCHMARK(BM_Asleep);

}  // namespace
