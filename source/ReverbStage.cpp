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

void ReverbStage::clear() {
  std::fill(m_storage.begin(), m_storage.end(), 0.0f);
  for (Channel* channel : {&m_left, &m_right})
    for (Comb& comb : channel->combs) comb.filterStore = 0.0f;
}

}  // namespace skarvel
