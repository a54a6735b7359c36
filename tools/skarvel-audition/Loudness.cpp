#include "tools/skarvel-audition/Loudness.h"

#include <ebur128.h>

#include <cmath>
#include <vector>

namespace audition {

namespace {

// One libebur128 measurement of a stereo pair; -infinity for silence or a failed measurement.
class Meter {
 public:
  Meter(double sampleRate, int mode) : m_state(ebur128_init(2, static_cast<unsigned long>(sampleRate), mode)) {}
  ~Meter() {
    if (m_state) ebur128_destroy(&m_state);
  }
  Meter(const Meter&) = delete;
  Meter& operator=(const Meter&) = delete;

  void add(const float* left, const float* right, std::size_t frames) {
    if (!m_state) return;
    constexpr std::size_t kChunk = 4096;
    float interleaved[2 * kChunk];
    for (std::size_t done = 0; done < frames;) {
      const std::size_t n = std::min(kChunk, frames - done);
      for (std::size_t i = 0; i < n; ++i) {
        interleaved[2 * i] = left[done + i];
        interleaved[2 * i + 1] = right[done + i];
      }
      if (ebur128_add_frames_float(m_state, interleaved, n) != EBUR128_SUCCESS) m_failed = true;
      done += n;
    }
  }

  double integrated() const {
    double lufs = -HUGE_VAL;
    if (!m_state || m_failed || ebur128_loudness_global(m_state, &lufs) != EBUR128_SUCCESS) return -HUGE_VAL;
    return lufs;
  }

  double truePeak() const {
    double peak = 0.0;
    for (unsigned channel = 0; channel < 2; ++channel) {
      double value = 0.0;
      if (!m_state || m_failed || ebur128_true_peak(m_state, channel, &value) != EBUR128_SUCCESS) return -HUGE_VAL;
      peak = std::max(peak, value);
    }
    return peak > 0.0 ? 20.0 * std::log10(peak) : -HUGE_VAL;
  }

 private:
  ebur128_state* m_state;
  bool m_failed = false;
};

}  // namespace

Loudness measureLoudness(const float* left, const float* right, std::size_t frames, double sampleRate) {
  Loudness result;
  Meter stereo(sampleRate, EBUR128_MODE_I | EBUR128_MODE_TRUE_PEAK);
  stereo.add(left, right, frames);
  result.integrated = stereo.integrated();
  result.truePeak = stereo.truePeak();

  std::vector<float> mid(frames);
  for (std::size_t i = 0; i < frames; ++i) mid[i] = 0.5f * (left[i] + right[i]);
  Meter folded(sampleRate, EBUR128_MODE_I);
  folded.add(mid.data(), mid.data(), frames);
  result.monoFoldDown = folded.integrated();
  return result;
}

}  // namespace audition
