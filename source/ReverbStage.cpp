#include "source/ReverbStage.h"

#include <algorithm>

namespace skarvel {

static_assert(ReverbStage::kCombLengths.back() + ReverbStage::kStereoSpread <= ReverbStage::kMaxLength);
static_assert(ReverbStage::kAllpassLengths.front() + ReverbStage::kStereoSpread <= ReverbStage::kMaxLength);

ReverbStage::ReverbStage() {
  std::size_t total = 0;
  for (int length : kCombLengths) total += 2 * length + kStereoSpread;
  for (int length : kAllpassLengths) total += 2 * length + kStereoSpread;
  m_storage.assign(total, 0.0f);

  float* next = m_storage.data();
  auto take = [&next](int length) {
    float* buffer = next;
    next += length;
    return buffer;
  };
  for (int i = 0; i < kCombCount; ++i) {
    m_left.combs[i].length = kCombLengths[i];
    m_right.combs[i].length = kCombLengths[i] + kStereoSpread;
    m_left.combs[i].buffer = take(m_left.combs[i].length);
    m_right.combs[i].buffer = take(m_right.combs[i].length);
  }
  for (int i = 0; i < kAllpassCount; ++i) {
    m_left.allpasses[i].length = kAllpassLengths[i];
    m_right.allpasses[i].length = kAllpassLengths[i] + kStereoSpread;
    m_left.allpasses[i].buffer = take(m_left.allpasses[i].length);
    m_right.allpasses[i].buffer = take(m_right.allpasses[i].length);
  }
  update();
}

namespace {

// The samples processed at a time: the shortest allpass, so that no sample an allpass reads in a
// run was written in the same run.
constexpr int kRun = ReverbStage::kAllpassLengths.back();

}  // namespace

void ReverbStage::process(const float* inL, const float* inR, const float* wetLevels, const float* dryLevels,
                          float* outL, float* outR, int count) {
  float input[kRun], left[kRun], right[kRun];
  for (int start = 0; start < count; start += kRun) {
    const int n = count - start < kRun ? count - start : kRun;
    for (int k = 0; k < n; ++k) input[k] = (inL[start + k] + inR[start + k]) * gain;
    combs(m_left, input, left, n);
    combs(m_right, input, right, n);
    allpasses(m_left, left, n);
    allpasses(m_right, right, n);
    for (int k = 0; k < n; ++k) {
      const float wet1 = wetLevels[start + k] * (width + 1.0f) * 0.5f;
      const float wet2 = wetLevels[start + k] * (1.0f - width) * 0.5f;
      const float dry = dryLevels[start + k];
      outL[start + k] = wet1 * left[k] + wet2 * right[k] + dry * inL[start + k];
      outR[start + k] = wet1 * right[k] + wet2 * left[k] + dry * inR[start + k];
    }
  }
}

void ReverbStage::combs(Channel& channel, const float* input, float* sums, int count) {
  // All eight combs side by side, sample by sample: each comb's damping recursion is a chain of
  // its own, so the processor overlaps the eight. The buffers are read and written in runs up to
  // the next wrap of any of them, so no index is tested per sample.
  static_assert(kCombCount == 8);
  const float feedback = m_feedback, damp1 = m_damp1, damp2 = m_damp2;
  std::array<Comb, kCombCount>& c = channel.combs;
  float store0 = c[0].filterStore, store1 = c[1].filterStore, store2 = c[2].filterStore, store3 = c[3].filterStore;
  float store4 = c[4].filterStore, store5 = c[5].filterStore, store6 = c[6].filterStore, store7 = c[7].filterStore;
  int k = 0;
  while (k < count) {
    int run = count - k;
    for (const Comb& comb : c) run = std::min(run, comb.length - comb.index);
    float* const b0 = c[0].buffer + c[0].index - k;
    float* const b1 = c[1].buffer + c[1].index - k;
    float* const b2 = c[2].buffer + c[2].index - k;
    float* const b3 = c[3].buffer + c[3].index - k;
    float* const b4 = c[4].buffer + c[4].index - k;
    float* const b5 = c[5].buffer + c[5].index - k;
    float* const b6 = c[6].buffer + c[6].index - k;
    float* const b7 = c[7].buffer + c[7].index - k;
    const int end = k + run;
    for (; k < end; ++k) {
      const float in = input[k];
      float sum = 0.0f;
      // out = the sample written one comb length ago; the damped store feeds back into the slot.
#define SKARVEL_COMB(i)                                       \
  {                                                           \
    const float out = flushInRender(b##i[k]);                 \
    store##i = flushInRender(damp1 * store##i + damp2 * out); \
    b##i[k] = in + store##i * feedback;                       \
    sum += out;                                               \
  }
      SKARVEL_COMB(0) SKARVEL_COMB(1) SKARVEL_COMB(2) SKARVEL_COMB(3)
      SKARVEL_COMB(4) SKARVEL_COMB(5) SKARVEL_COMB(6) SKARVEL_COMB(7)
#undef SKARVEL_COMB
      sums[k] = sum;
    }
    for (Comb& comb : c) {
      comb.index += run;
      if (comb.index == comb.length) comb.index = 0;
    }
  }
  c[0].filterStore = store0, c[1].filterStore = store1, c[2].filterStore = store2, c[3].filterStore = store3;
  c[4].filterStore = store4, c[5].filterStore = store5, c[6].filterStore = store6, c[7].filterStore = store7;
}

void ReverbStage::allpasses(Channel& channel, float* values, int count) {
  for (Allpass& allpass : channel.allpasses) {
    int k = 0;
    while (k < count) {
      const int run = std::min(count - k, allpass.length - allpass.index);
      float* const slot = allpass.buffer + allpass.index - k;
      for (const int end = k + run; k < end; ++k) {
        const float out = flushInRender(slot[k]);
        slot[k] = values[k] + out * kAllpassFeedback;
        values[k] = out - values[k];
      }
      allpass.index += run;
      if (allpass.index == allpass.length) allpass.index = 0;
    }
  }
}

void ReverbStage::clear() {
  std::fill(m_storage.begin(), m_storage.end(), 0.0f);
  for (Channel* channel : {&m_left, &m_right})
    for (Comb& comb : channel->combs) comb.filterStore = 0.0f;
}

}  // namespace skarvel
