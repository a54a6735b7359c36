#include "source/Voice.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace skarvel {

#if defined(__SSE2__)

namespace {

// a where the mask is set, b elsewhere.
inline __m128 select(__m128 mask, __m128 a, __m128 b) { return _mm_or_ps(_mm_and_ps(mask, a), _mm_andnot_ps(mask, b)); }
inline __m128d select(__m128d mask, __m128d a, __m128d b) {
  return _mm_or_pd(_mm_and_pd(mask, a), _mm_andnot_pd(mask, b));
}

// Float lanes widened to double: the low two and the high two.
inline __m128d lowToDouble(__m128 x) { return _mm_cvtps_pd(x); }
inline __m128d highToDouble(__m128 x) { return _mm_cvtps_pd(_mm_movehl_ps(x, x)); }
// Two double pairs narrowed back to four float lanes (low pair first).
inline __m128 toFloat(__m128d low, __m128d high) { return _mm_movelh_ps(_mm_cvtpd_ps(low), _mm_cvtpd_ps(high)); }

// One-pole step on four lanes, as onePoleStep (the render's flush-to-zero mode does the
// flushing on SSE targets).
inline void onePoleStep4(__m128 x, __m128& state, __m128& highOut, __m128 coefficient) {
  highOut = _mm_sub_ps(x, state);
  state = _mm_add_ps(state, _mm_mul_ps(highOut, coefficient));
}

// fastTanh on four lanes: the polynomial and the saturated ends in the lanes, the exponential
// form (rare in the voices: the osc1 high-pass output seldom leaves 0.4..9.1) through the
// scalar function for the lanes that need it.
inline __m128 fastTanh4(__m128 x) {
  const __m128 ax = _mm_and_ps(x, _mm_castsi128_ps(_mm_set1_epi32(0x7FFFFFFF)));
  const __m128 small = _mm_cmplt_ps(ax, _mm_set1_ps(0.4f));
  const __m128 large = _mm_cmpge_ps(ax, _mm_set1_ps(9.1f));
  const __m128 x2 = _mm_mul_ps(x, x);
  __m128 p = _mm_set1_ps(21844.0f / 6081075.0f);
  p = _mm_sub_ps(_mm_mul_ps(p, x2), _mm_set1_ps(1382.0f / 155925.0f));
  p = _mm_add_ps(_mm_mul_ps(p, x2), _mm_set1_ps(62.0f / 2835.0f));
  p = _mm_sub_ps(_mm_mul_ps(p, x2), _mm_set1_ps(17.0f / 315.0f));
  p = _mm_add_ps(_mm_mul_ps(p, x2), _mm_set1_ps(2.0f / 15.0f));
  p = _mm_sub_ps(_mm_mul_ps(p, x2), _mm_set1_ps(1.0f / 3.0f));
  const __m128 polynomial = _mm_add_ps(x, _mm_mul_ps(_mm_mul_ps(x, x2), p));
  const __m128 signOfX = _mm_and_ps(x, _mm_castsi128_ps(_mm_set1_epi32(static_cast<int>(0x80000000u))));
  const __m128 one = _mm_or_ps(_mm_set1_ps(1.0f), signOfX);
  __m128 result = select(small, polynomial, one);
  const int middle = ~_mm_movemask_ps(_mm_or_ps(small, large)) & 0xF;
  if (middle) {
    alignas(16) float lanes[4];
    alignas(16) float values[4];
    _mm_store_ps(lanes, x);
    _mm_store_ps(values, result);
    for (int lane = 0; lane < 4; ++lane)
      if (middle & (1 << lane)) values[lane] = fastTanh(lanes[lane]);
    result = _mm_load_ps(values);
  }
  return result;
}

}  // namespace

void Voice::renderGroup(Voice* const voices[4], const int counts[4], const ModulationLanes* modulations,
                        SoundLanes* out) {
  // The lanes run together over the samples every present voice sounds in, when the switches
  // and the rate agree (they are set for all voices at once); absent voices fill their lane
  // with a present one's state and keep nothing.
  int present = 0, first = -1, common = 0;
  for (int lane = 0; lane < 4; ++lane) {
    if (!voices[lane] || counts[lane] <= 0) continue;
    if (first < 0) {
      first = lane;
      common = counts[lane];
    }
    common = std::min(common, counts[lane]);
    ++present;
  }
  if (present == 0) return;
  bool together = present > 1;
  for (int lane = 0; lane < 4 && together; ++lane) {
    const Voice* v = voices[lane];
    if (!v || counts[lane] <= 0) continue;
    const Voice& f = *voices[first];
    together = v->osc1On == f.osc1On && v->osc2On == f.osc2On && v->rateScaleUp == f.rateScaleUp &&
               v->sampleRate == f.sampleRate;
  }
  if (!together) common = 0;

  if (common > 0) {
    Voice* lanes[4];
    bool keep[4];
    for (int lane = 0; lane < 4; ++lane) {
      keep[lane] = voices[lane] && counts[lane] > 0;
      lanes[lane] = keep[lane] ? voices[lane] : voices[first];
    }
    auto gather = [&](auto field) {
      return _mm_setr_ps(field(*lanes[0]), field(*lanes[1]), field(*lanes[2]), field(*lanes[3]));
    };
    __m128 o1State = gather([](const Voice& v) { return v.osc1Filter.state; });
    __m128 o1High = gather([](const Voice& v) { return v.osc1Filter.highOut; });
    __m128 hpState = gather([](const Voice& v) { return v.osc1HighPass.state; });
    __m128 hpHigh = gather([](const Voice& v) { return v.osc1HighPass.highOut; });
    __m128 o2State = gather([](const Voice& v) { return v.osc2Filter.state; });
    __m128 o2High = gather([](const Voice& v) { return v.osc2Filter.highOut; });
    const __m128 o2Coefficient = gather([](const Voice& v) { return v.osc2Filter.coefficient; });
    __m128 combState = gather([](const Voice& v) { return v.combFilter.state; });
    __m128 combHigh = gather([](const Voice& v) { return v.combFilter.highOut; });
    const __m128 combCoefficient = gather([](const Voice& v) { return v.combFilter.coefficient; });
    __m128 comb = gather([](const Voice& v) { return v.combOut; });
    __m128 smoothed = gather([](const Voice& v) { return v.smoothedDelay; });
    __m128d delayLow = _mm_setr_pd(lanes[0]->delay, lanes[1]->delay);
    __m128d delayHigh = _mm_setr_pd(lanes[2]->delay, lanes[3]->delay);
    __m128i position = _mm_setr_epi32(lanes[0]->linePosition, lanes[1]->linePosition, lanes[2]->linePosition,
                                      lanes[3]->linePosition);
    const __m128 bal2 = gather([](const Voice& v) { return v.balance2; });
    const __m128 bal3 = gather([](const Voice& v) { return v.balance3; });
    const __m128 reso = gather([](const Voice& v) { return v.resoAmount; });
    const __m128 fm = gather([](const Voice& v) { return v.fmAmount; });
    const __m128 wet = gather([](const Voice& v) { return v.dryWet; });
    const bool on1 = lanes[first]->osc1On, on2 = lanes[first]->osc2On, scaleUp = lanes[first]->rateScaleUp;
    const __m128d rate = _mm_set1_pd(lanes[first]->sampleRate);
    float* line[4];
    for (int lane = 0; lane < 4; ++lane) line[lane] = lanes[lane]->m_line.get();

    const __m128 one = _mm_set1_ps(1.0f);
    const __m128i mask = _mm_set1_epi32(kLineMask);
    alignas(16) float stored[4];
    alignas(16) int writeAt[4];
    alignas(16) int readAt[4];

    for (int k = 0; k < common; ++k) {
      const ModulationLanes& in = modulations[k];
      const __m128 balance = _mm_load_ps(in.balance1);
      const __m128 amount = _mm_load_ps(in.amAmount);
      // Oscillator section.
      onePoleStep4(_mm_load_ps(in.noise1), o1State, o1High, _mm_load_ps(in.osc1Coefficient));
      const __m128 mix1 = _mm_add_ps(_mm_mul_ps(_mm_sub_ps(one, balance), o1State), _mm_mul_ps(balance, o1High));
      onePoleStep4(mix1, hpState, hpHigh, _mm_load_ps(in.osc1HighPassCoefficient));
      const __m128 f = _mm_mul_ps(_mm_add_ps(_mm_mul_ps(o1State, _mm_set1_ps(0.1f)), one), _mm_load_ps(in.rate1));
      const __m128 g = on1 ? fastTanh4(hpHigh) : one;
      onePoleStep4(_mm_load_ps(in.noise2), o2State, o2High, o2Coefficient);
      const __m128 m =
          on2 ? _mm_add_ps(_mm_mul_ps(_mm_sub_ps(one, bal2), o2State), _mm_mul_ps(bal2, o2High)) : one;
      const __m128 am = _mm_add_ps(_mm_mul_ps(amount, m), _mm_sub_ps(one, amount));
      const __m128 e = _mm_mul_ps(am, g);

      // Comb section, as in renderSound; the double arithmetic two lanes at a time.
      const __m128d fLow = lowToDouble(f), fHigh = highToDouble(f);
      const __m128d rLow = scaleUp ? _mm_div_pd(_mm_set1_pd(1.0), fLow) : _mm_div_pd(fLow, rate);
      const __m128d rHigh = scaleUp ? _mm_div_pd(_mm_set1_pd(1.0), fHigh) : _mm_div_pd(fHigh, rate);
      const __m128 depth = _mm_add_ps(_mm_mul_ps(fm, m), _mm_sub_ps(one, fm));
      const __m128 t = toFloat(_mm_mul_pd(lowToDouble(depth), rLow), _mm_mul_pd(highToDouble(depth), rHigh));
      // minpd gives its first operand where it is the smaller and the second otherwise (NaN too).
      const __m128d uLow = _mm_mul_pd(_mm_min_pd(lowToDouble(t), _mm_set1_pd(0.1)), rate);
      const __m128d uHigh = _mm_mul_pd(_mm_min_pd(highToDouble(t), _mm_set1_pd(0.1)), rate);
      const __m128d top = _mm_set1_pd(131071.0), bottom = _mm_set1_pd(1.0);
      delayLow = select(_mm_cmplt_pd(uLow, bottom), bottom, select(_mm_cmpgt_pd(uLow, top), top, uLow));
      delayHigh = select(_mm_cmplt_pd(uHigh, bottom), bottom, select(_mm_cmpgt_pd(uHigh, top), top, uHigh));

      const __m128d cLow = lowToDouble(comb), cHigh = highToDouble(comb);
      const __m128d gainA = _mm_set1_pd(4.14), offset = _mm_set1_pd(4.31);
      const __m128 saturated =
          toFloat(_mm_div_pd(_mm_mul_pd(cLow, gainA), _mm_add_pd(_mm_mul_pd(cLow, cLow), offset)),
                  _mm_div_pd(_mm_mul_pd(cHigh, gainA), _mm_add_pd(_mm_mul_pd(cHigh, cHigh), offset)));
      onePoleStep4(saturated, combState, combHigh, combCoefficient);
      const __m128 fb =
          _mm_mul_ps(_mm_add_ps(_mm_mul_ps(_mm_sub_ps(one, bal3), combState), _mm_mul_ps(bal3, combHigh)), reso);

      _mm_store_ps(stored, _mm_add_ps(fb, e));
      _mm_store_si128(reinterpret_cast<__m128i*>(writeAt), position);
      for (int lane = 0; lane < 4; ++lane)
        if (keep[lane]) line[lane][writeAt[lane]] = stored[lane];
      position = _mm_and_si128(_mm_add_epi32(position, _mm_set1_epi32(1)), mask);

      __m128 p = _mm_sub_ps(_mm_cvtepi32_ps(position), smoothed);
      p = select(_mm_cmplt_ps(p, _mm_setzero_ps()), _mm_add_ps(p, _mm_set1_ps(static_cast<float>(kLineLength))), p);
      const __m128i i = _mm_cvttps_epi32(p);
      const __m128 phi = _mm_sub_ps(p, _mm_cvtepi32_ps(i));
      const __m128d step = _mm_set1_pd(0.0025);
      smoothed = _mm_add_ps(smoothed, toFloat(_mm_mul_pd(_mm_sub_pd(delayLow, lowToDouble(smoothed)), step),
                                              _mm_mul_pd(_mm_sub_pd(delayHigh, highToDouble(smoothed)), step)));

      _mm_store_si128(reinterpret_cast<__m128i*>(readAt), i);
      // Built from registers: vector loads over four separate scalar stores would wait for
      // the stores to retire instead of taking their values directly.
      const float* l0 = line[0];
      const float* l1 = line[1];
      const float* l2 = line[2];
      const float* l3 = line[3];
      const int a0 = readAt[0], a1 = readAt[1], a2 = readAt[2], a3 = readAt[3];
      auto tap = [&](int offset) {
        return _mm_setr_ps(l0[(a0 + offset) & kLineMask], l1[(a1 + offset) & kLineMask], l2[(a2 + offset) & kLineMask],
                           l3[(a3 + offset) & kLineMask]);
      };
      const __m128 ym1 = tap(-1), y0 = tap(0), y1 = tap(1), y2 = tap(2);
      const __m128 half = _mm_set1_ps(0.5f);
      const __m128 c1 = _mm_mul_ps(half, _mm_sub_ps(y1, ym1));
      const __m128 c2 = _mm_sub_ps(
          _mm_add_ps(_mm_sub_ps(ym1, _mm_mul_ps(_mm_set1_ps(2.5f), y0)), _mm_mul_ps(_mm_set1_ps(2.0f), y1)),
          _mm_mul_ps(half, y2));
      const __m128 c3 =
          _mm_mul_ps(half, _mm_add_ps(_mm_sub_ps(_mm_mul_ps(_mm_sub_ps(y0, y1), _mm_set1_ps(3.0f)), ym1), y2));
      comb = _mm_add_ps(_mm_mul_ps(_mm_add_ps(_mm_mul_ps(_mm_add_ps(_mm_mul_ps(c3, phi), c2), phi), c1), phi), y0);

      _mm_store_ps(out[k].value, _mm_add_ps(_mm_mul_ps(_mm_sub_ps(one, wet), e), _mm_mul_ps(wet, comb)));
    }

    alignas(16) float values[12][4];
    _mm_store_ps(values[0], o1State);
    _mm_store_ps(values[1], o1High);
    _mm_store_ps(values[2], hpState);
    _mm_store_ps(values[3], hpHigh);
    _mm_store_ps(values[4], o2State);
    _mm_store_ps(values[5], o2High);
    _mm_store_ps(values[6], combState);
    _mm_store_ps(values[7], combHigh);
    _mm_store_ps(values[8], comb);
    _mm_store_ps(values[9], smoothed);
    alignas(16) double delays[4];
    _mm_store_pd(delays, delayLow);
    _mm_store_pd(delays + 2, delayHigh);
    _mm_store_si128(reinterpret_cast<__m128i*>(writeAt), position);
    for (int lane = 0; lane < 4; ++lane) {
      if (!keep[lane]) continue;
      Voice& v = *voices[lane];
      v.osc1Filter.state = values[0][lane];
      v.osc1Filter.highOut = values[1][lane];
      v.osc1HighPass.state = values[2][lane];
      v.osc1HighPass.highOut = values[3][lane];
      v.osc2Filter.state = values[4][lane];
      v.osc2Filter.highOut = values[5][lane];
      v.combFilter.state = values[6][lane];
      v.combFilter.highOut = values[7][lane];
      v.combOut = values[8][lane];
      v.smoothedDelay = values[9][lane];
      v.delay = delays[lane];
      v.linePosition = writeAt[lane];
      v.m_lineDirty = true;
    }
  }

  // What the lanes did not share, voice by voice.
  for (int lane = 0; lane < 4; ++lane)
    if (voices[lane] && counts[lane] > common)
      voices[lane]->renderSound(modulations + common, lane, out + common, counts[lane] - common);
}

#else

void Voice::renderGroup(Voice* const voices[4], const int counts[4], const ModulationLanes* modulations,
                        SoundLanes* out) {
  for (int lane = 0; lane < 4; ++lane)
    if (voices[lane]) voices[lane]->renderSound(modulations, lane, out, counts[lane]);
}

#endif

}  // namespace skarvel
