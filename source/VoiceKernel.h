#pragma once

// The voices' sound, written once over a lane type (source/Lanes.h): a translation unit includes
// this and instantiates renderVoiceLanes for the lane types it is compiled for. Each lane does the
// one-voice operations in the same order, so every lane type gives the same bits.

#include "source/DspMath.h"
#include "source/Lanes.h"
#include "source/OnePole.h"
#include "source/Voice.h"

namespace skarvel {
namespace {

template <typename F>
struct VoiceLaneState {
  using D = typename F::Double;
  using I = typename F::Int;
  struct Noise {
    D target, previous, slope, increment, phase, ramp;
  };
  Noise noise1, noise2;
  F o1State, o1High, hpState, hpHigh, o2State, o2High, o2Coefficient;
  F combState, combHigh, comb, smoothed;
  D delay;
  I position;

  // Keeps `before` in the lanes whose voice did not sound in this sample.
  void keepWhereSilent(unsigned sounding, const VoiceLaneState& before) {
    const auto f = F::Mask::fromBits(sounding);
    const auto d = D::Mask::fromBits(sounding);
    for (Noise* n : {&noise1, &noise2}) {
      const Noise& b = n == &noise1 ? before.noise1 : before.noise2;
      n->target = select(d, n->target, b.target);
      n->previous = select(d, n->previous, b.previous);
      n->slope = select(d, n->slope, b.slope);
      n->increment = select(d, n->increment, b.increment);
      n->phase = select(d, n->phase, b.phase);
      n->ramp = select(d, n->ramp, b.ramp);
    }
    o1State = select(f, o1State, before.o1State);
    o1High = select(f, o1High, before.o1High);
    hpState = select(f, hpState, before.hpState);
    hpHigh = select(f, hpHigh, before.hpHigh);
    o2State = select(f, o2State, before.o2State);
    o2High = select(f, o2High, before.o2High);
    combState = select(f, combState, before.combState);
    combHigh = select(f, combHigh, before.combHigh);
    comb = select(f, comb, before.comb);
    smoothed = select(f, smoothed, before.smoothed);
    delay = select(d, delay, before.delay);
    position = select(f, position, before.position);
  }
};

// A new target drawn in the lanes of `due`: the held value moves on to the old target and the
// line sets off towards the new one over one period.
template <typename Noise, typename MD, typename D>
inline void drawNoise(Noise& n, const MD& due, const D& draw) {
  n.phase = select(due, n.phase - D(1.0), n.phase);
  const D previous = select(due, n.target, n.previous);
  const D target = select(due, draw * D(NoiseGenerator::kScale) - D(1.0), n.target);
  n.slope = select(due, (target - previous) * n.increment, n.slope);
  n.previous = previous;
  n.target = target;
}

// One sample of a noise generator after its draws: the held value blended with the line.
template <typename Noise, typename D>
inline D stepNoise(Noise& n, const D& smooth, const D& held) {
  n.phase = n.phase + n.increment;
  const D clamped = select(n.ramp < D(-1.0), D(-1.0), select(n.ramp > D(1.0), D(1.0), n.ramp));
  n.ramp = clamped + n.slope;
  return held * n.previous + smooth * n.ramp;
}

// Flattened: every lane operation inlined, so the state stays in registers across the samples.
template <typename F>
[[gnu::flatten]] void renderVoiceLanes(VoiceGroupJob& job) {
  using namespace lanes;
  using D = typename F::Double;
  using I = typename F::Int;
  constexpr int W = F::width;
  constexpr int kMask = Voice::kLineMask;

  RandomGenerator random = *job.random;
  const int n = job.lanes < W ? job.lanes : W;
  int allSounding = n > 0 ? job.length : 0, anySounding = 0;
  for (int l = 0; l < n; ++l) {
    allSounding = job.counts[l] < allSounding ? job.counts[l] : allSounding;
    anySounding = job.counts[l] > anySounding ? job.counts[l] : anySounding;
  }

  if (n > 0) {
    const VoiceSettings& s = *job.settings;
    // Lanes without a voice run a copy of the first one and keep nothing.
    Voice* voice[W];
    float* line[W];
    for (int l = 0; l < W; ++l) {
      voice[l] = job.voices[l < n ? l : 0];
      line[l] = voice[l]->line();
    }
    auto gather = [&](auto field) { return F::from([&](int l) { return field(*voice[l]); }); };
    auto gatherDouble = [&](auto field) { return D::from([&](int l) { return field(*voice[l]); }); };
    auto gatherNoise = [&](NoiseGenerator Voice::*which) {
      typename VoiceLaneState<F>::Noise noise;
      noise.target = gatherDouble([&](const Voice& v) { return (v.*which).target; });
      noise.previous = gatherDouble([&](const Voice& v) { return (v.*which).previous; });
      noise.slope = gatherDouble([&](const Voice& v) { return (v.*which).slope; });
      noise.increment = gatherDouble([&](const Voice& v) { return (v.*which).increment; });
      noise.phase = gatherDouble([&](const Voice& v) { return (v.*which).phase; });
      noise.ramp = gatherDouble([&](const Voice& v) { return (v.*which).ramp; });
      return noise;
    };
    VoiceLaneState<F> st;
    st.noise1 = gatherNoise(&Voice::noise1);
    st.noise2 = gatherNoise(&Voice::noise2);
    st.o1State = gather([](const Voice& v) { return v.osc1Filter.state; });
    st.o1High = gather([](const Voice& v) { return v.osc1Filter.highOut; });
    st.hpState = gather([](const Voice& v) { return v.osc1HighPass.state; });
    st.hpHigh = gather([](const Voice& v) { return v.osc1HighPass.highOut; });
    st.o2State = gather([](const Voice& v) { return v.osc2Filter.state; });
    st.o2High = gather([](const Voice& v) { return v.osc2Filter.highOut; });
    st.o2Coefficient = gather([](const Voice& v) { return v.osc2Coefficient; });
    st.combState = gather([](const Voice& v) { return v.combFilter.state; });
    st.combHigh = gather([](const Voice& v) { return v.combFilter.highOut; });
    st.comb = gather([](const Voice& v) { return v.combOut; });
    st.smoothed = gather([](const Voice& v) { return v.smoothedDelay; });
    st.delay = gatherDouble([](const Voice& v) { return v.delay; });
    st.position = I::from([&](int l) { return voice[l]->linePosition; });

    const F one(1.0f);
    const F rate1Base = F::load(job.rate1Base), balanceBase = F::load(job.balanceBase);
    const F rateDepth(job.rateDepth), balanceDepth(job.balanceDepth), am(job.am), amDepth(job.amDepth);
    const F level(job.level);
    const F cutoffAbove(s.cutoffLimitAbove), cutoffLimit(s.cutoffLimit), radiansPerHz(s.radiansPerHz);
    const D rate(s.sampleRate), smooth(s.smooth), held(1.0 - s.smooth);
    const F bal2(s.balance2), bal3(s.balance3), reso(s.resoAmount), fm(s.fmAmount), wet(s.dryWet);
    const F combCoefficient(s.combCoefficient);
    const bool osc1On = s.osc1On, osc2On = s.osc2On, scaleUp = s.rateScaleUp;

    // One sample k of every lane in `sounding` (a bit per lane); the others keep their state.
    auto sample = [&](int k, unsigned sounding, auto someSilent) {
      VoiceLaneState<F> before;
      if constexpr (decltype(someSilent)::value) before = st;
      job.ditherDraws[k] = random.next();

      // Modulation: the ADSR moves the osc1 rate, the LP-HP1 balance and the AM amount.
      const F a = F::load(job.adsr[k].lane);
      const F rate1 = rate1Base + a * rateDepth;
      F cutoff = select(rate1 > cutoffAbove, cutoffLimit, rate1);
      cutoff = select(cutoff >= one, cutoff, one);
      cutoff = select(cutoff > F(7100.0f), F(7100.0f), cutoff);
      const F coefficient = radiansPerHz * cutoff;  // both osc1 filters
      const F balance = clamp01(balanceBase + a * balanceDepth);
      const F amount = clamp01(am + a * amDepth);

      // Noise draws, voice by voice, osc1 before osc2.
      const unsigned due1 = maskBits(st.noise1.phase >= D(1.0)) & sounding;
      const unsigned due2 = maskBits(st.noise2.phase >= D(1.0)) & sounding;
      if ((due1 | due2) != 0) {
        double draw1[W] = {}, draw2[W] = {};
        for (int l = 0; l < n; ++l) {
          if (due1 & (1u << l)) draw1[l] = random.next();
          if (due2 & (1u << l)) draw2[l] = random.next();
        }
        if (due1) drawNoise(st.noise1, D::Mask::fromBits(due1), D::load(draw1));
        if (due2) drawNoise(st.noise2, D::Mask::fromBits(due2), D::load(draw2));
      }
      const F z1 = toFloat(stepNoise(st.noise1, smooth, held));
      // The osc1 noise follows this sample's rate from the next sample on.
      const D rate1Double = toDouble(rate1);
      st.noise1.increment = D(1.0) / (rate / select(rate1Double > D(0.01), rate1Double, D(0.01)));
      const F z2 = toFloat(stepNoise(st.noise2, smooth, held));

      // Oscillator section.
      onePoleStep(z1, st.o1State, st.o1High, coefficient);
      const F mix1 = (one - balance) * st.o1State + balance * st.o1High;
      onePoleStep(mix1, st.hpState, st.hpHigh, coefficient);
      const F f = (st.o1State * F(0.1f) + one) * rate1;  // resonator rate, +-10 % wander
      const F g = osc1On ? fastTanh(st.hpHigh) : one;
      onePoleStep(z2, st.o2State, st.o2High, st.o2Coefficient);
      const F m = osc2On ? (one - bal2) * st.o2State + bal2 * st.o2High : one;
      const F e = (amount * m + (one - amount)) * g;

      // Comb section: the period follows f (RateScaleUp: resonance at f Hz; otherwise the delay
      // in samples is f), modulated by osc2, at most 0.1 s (a NaN period gives 0.1 s).
      const D fDouble = toDouble(f);
      const D r = scaleUp ? D(1.0) / fDouble : fDouble / rate;
      const F t = toFloat(toDouble(fm * m + (one - fm)) * r);
      const D u = minFirst(toDouble(t), D(0.1)) * rate;
      st.delay = select(u < D(1.0), D(1.0), select(u > D(131071.0), D(131071.0), u));

      const D c = toDouble(st.comb);
      const F saturated = toFloat(c * D(4.14) / (c * c + D(4.31)));
      onePoleStep(saturated, st.combState, st.combHigh, combCoefficient);
      const F fb = ((one - bal3) * st.combState + bal3 * st.combHigh) * reso;

      alignas(32) float written[W];
      alignas(32) int at[W];
      store(fb + e, written);
      store(st.position, at);
      for (int l = 0; l < n; ++l)
        if (sounding & (1u << l)) line[l][at[l]] = written[l];
      st.position = (st.position + 1) & kMask;

      F p = toFloat(st.position) - st.smoothed;
      p = select(p < F(0.0f), p + F(static_cast<float>(Voice::kLineLength)), p);
      const I whole = truncate(p);
      const F phi = p - toFloat(whole);
      st.smoothed = st.smoothed + toFloat((st.delay - toDouble(st.smoothed)) * D(0.0025));

      alignas(32) int i[W];
      store(whole, i);
      auto tap = [&](int offset) { return F::from([&](int l) { return line[l][(i[l] + offset) & kMask]; }); };
      st.comb = catmullRom(tap(-1), tap(0), tap(1), tap(2), phi);

      const F x = level * ((one - wet) * e + wet * st.comb) * F(4.0f);
      if (job.sumLanes) {
        const F y = (job.gateSetsLevel ? F::load(job.gate[k].lane) : a) * x;
        alignas(32) float values[W];
        store(y, values);
        float sum = 0.0f;
        for (int l = 0; l < n; ++l)
          if (sounding & (1u << l)) sum += values[l];
        job.sums[k] = sum;
      } else {
        store(x, job.values[k].lane);
      }

      if (job.chorusRuns[k]) {
        job.chorusDraws[k].noise = random.next();
        job.chorusDraws[k].jitter = random.next();
      }
      if constexpr (decltype(someSilent)::value) st.keepWhereSilent(sounding, before);
    };

    const unsigned everyLane = (1u << n) - 1u;
    int k = 0;
    for (; k < allSounding; ++k) sample(k, everyLane, std::false_type());
    for (; k < anySounding; ++k) {
      unsigned sounding = 0;
      for (int l = 0; l < n; ++l)
        if (job.counts[l] > k) sounding |= 1u << l;
      sample(k, sounding, std::true_type());
    }

    for (int l = 0; l < n; ++l) {
      Voice& v = *voice[l];
      auto scatterNoise = [&](NoiseGenerator& noise, const typename VoiceLaneState<F>::Noise& lanes) {
        noise.target = get(lanes.target, l);
        noise.previous = get(lanes.previous, l);
        noise.slope = get(lanes.slope, l);
        noise.increment = get(lanes.increment, l);
        noise.phase = get(lanes.phase, l);
        noise.ramp = get(lanes.ramp, l);
      };
      scatterNoise(v.noise1, st.noise1);
      scatterNoise(v.noise2, st.noise2);
      v.osc1Filter.state = get(st.o1State, l);
      v.osc1Filter.highOut = get(st.o1High, l);
      v.osc1HighPass.state = get(st.hpState, l);
      v.osc1HighPass.highOut = get(st.hpHigh, l);
      v.osc2Filter.state = get(st.o2State, l);
      v.osc2Filter.highOut = get(st.o2High, l);
      v.combFilter.state = get(st.combState, l);
      v.combFilter.highOut = get(st.combHigh, l);
      v.combOut = get(st.comb, l);
      v.smoothedDelay = get(st.smoothed, l);
      v.delay = get(st.delay, l);
      v.linePosition = get(st.position, l);
      if (job.counts[l] > 0) v.markLineWritten();
    }
  }

  // The rest of the segment, where no voice sounds: the dither and the chorus still draw.
  for (int k = anySounding; k < job.length; ++k) {
    job.ditherDraws[k] = random.next();
    if (job.sumLanes) job.sums[k] = 0.0f;
    if (job.chorusRuns[k]) {
      job.chorusDraws[k].noise = random.next();
      job.chorusDraws[k].jitter = random.next();
    }
  }
  *job.random = random;
}

}  // namespace
}  // namespace skarvel
