#include "tools/skarvel-audition/Pitch.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/skarvel-audition/Spectrum.h"

namespace audition {

namespace {

constexpr double kSearchCents = 1200.0;  // an octave each way
constexpr double kStepCents = 4.0;       // candidate spacing
constexpr double kPeakCents = 30.0;      // a harmonic may sit this far from its place in the series
constexpr double kGapWidth = 0.15;       // half-width of a gap, in fundamentals
constexpr int kMaxHarmonics = 10;
constexpr int kPitchHarmonics = 4;       // the pitch is read from one of these
constexpr double kClearDb = 6.0;

double centsToRatio(double cents) { return std::pow(2.0, cents / 1200.0); }

// The spectrum in dB with constant-time range maximum (sparse table) and range mean (prefix sums).
class LogSpectrum {
 public:
  LogSpectrum(const std::vector<double>& power, double binHz) : m_binHz(binHz) {
    const std::size_t n = power.size();
    m_levels.emplace_back(n);
    m_sums.assign(n + 1, 0.0);
    for (std::size_t i = 0; i < n; ++i) {
      m_levels[0][i] = 10.0 * std::log10(power[i] + 1e-30);
      m_sums[i + 1] = m_sums[i] + m_levels[0][i];
    }
    for (std::size_t width = 2; width <= n; width *= 2) {
      const std::vector<double>& below = m_levels.back();
      std::vector<double> level(n - width + 1);
      for (std::size_t i = 0; i + width <= n; ++i) level[i] = std::max(below[i], below[i + width / 2]);
      m_levels.push_back(std::move(level));
    }
  }

  std::size_t size() const { return m_sums.size() - 1; }
  double binHz() const { return m_binHz; }
  double at(std::size_t bin) const { return m_levels[0][bin]; }

  // Bins covering lo..hi Hz: at least the bin nearest to their middle, within the spectrum.
  bool range(double lo, double hi, std::size_t& first, std::size_t& last) const {
    const double middle = 0.5 * (lo + hi) / m_binHz;
    if (middle < 1.0 || middle > static_cast<double>(size()) - 2.0) return false;
    first = static_cast<std::size_t>(std::max(1.0, std::ceil(lo / m_binHz)));
    last = static_cast<std::size_t>(std::min(static_cast<double>(size() - 1), std::floor(hi / m_binHz)));
    if (first > last) first = last = static_cast<std::size_t>(std::lround(middle));
    return true;
  }

  double maximum(std::size_t first, std::size_t last) const {
    std::size_t level = 0;
    while ((std::size_t{2} << level) <= last - first + 1) ++level;
    return std::max(m_levels[level][first], m_levels[level][last + 1 - (std::size_t{1} << level)]);
  }

  double mean(std::size_t first, std::size_t last) const {
    return (m_sums[last + 1] - m_sums[first]) / static_cast<double>(last - first + 1);
  }

 private:
  double m_binHz;
  std::vector<std::vector<double>> m_levels;  // level j: maxima of 2^j bins
  std::vector<double> m_sums;
};

// How far harmonic k of f0 stands above the spectrum halfway to its neighbours (dB); false when
// it lies beyond the spectrum.
bool harmonicContrast(const LogSpectrum& s, double f0, int k, double& contrast) {
  std::size_t first, last, gapFirst, gapLast;
  const double centre = k * f0;
  if (!s.range(centre / centsToRatio(kPeakCents), centre * centsToRatio(kPeakCents), first, last)) return false;
  const double peak = s.maximum(first, last);
  double gap = -1e300;
  for (double side : {-0.5, 0.5}) {
    const double middle = centre + side * f0;
    if (s.range(middle - kGapWidth * f0, middle + kGapWidth * f0, gapFirst, gapLast))
      gap = std::max(gap, s.mean(gapFirst, gapLast));
  }
  if (gap < -1e299) return false;
  contrast = std::clamp(peak - gap, -30.0, 40.0);
  return true;
}

}  // namespace

PitchEstimate estimatePitch(const float* samples, std::size_t count, double sampleRate, double expectedHz) {
  PitchEstimate estimate;
  if (!samples || count < 64 || !(sampleRate > 0.0) || !(expectedHz > 0.0)) return estimate;

  // Frames long enough to separate the harmonics of the lowest candidate (half the expected
  // frequency) by several main-lobe widths.
  const std::size_t frame =
      std::max<std::size_t>(4096, powerOfTwoAtLeast(static_cast<std::size_t>(16.0 * sampleRate / expectedHz)));
  const std::size_t length = std::min(frame, count);
  const std::size_t fftSize = powerOfTwoAtLeast(length);
  // Every frame of the stretch, half overlapping: a noise band's centre is only as certain as
  // the number of independent looks at it.
  std::vector<double> power = averagePowerSpectrum(samples, count, length, fftSize);
  const double binHz = sampleRate / static_cast<double>(fftSize);
  // Only the bins the search can reach.
  const double highest = std::min(0.45 * sampleRate, (kMaxHarmonics + 1) * 2.0 * expectedHz);
  power.resize(std::min(power.size(), static_cast<std::size_t>(highest / binHz) + 2));
  const LogSpectrum spectrum(power, binHz);

  double bestScore = -1e300, best = 0.0;
  for (double cents = -kSearchCents; cents <= kSearchCents; cents += kStepCents) {
    const double f0 = expectedHz * centsToRatio(cents);
    double score = 0.0;
    for (int k = 1; k <= kMaxHarmonics; ++k) {
      double contrast;
      if (!harmonicContrast(spectrum, f0, k, contrast)) break;
      score += contrast / k;
    }
    if (score > bestScore) {
      bestScore = score;
      best = f0;
    }
  }
  if (!(best > 0.0)) return estimate;

  // Read the pitch from the lowest clear harmonic of the winning series.
  int reading = 0;
  for (int k = 1; k <= kPitchHarmonics; ++k) {
    double contrast;
    if (!harmonicContrast(spectrum, best, k, contrast) || contrast < kClearDb) continue;
    ++estimate.harmonics;
    if (reading == 0) {
      reading = k;
      estimate.contrast = contrast;
    }
  }
  if (reading == 0) return estimate;

  // The harmonic's frequency: the power-weighted mean frequency of its peak, the bins around its
  // highest point down to a quarter of that power (smoothed over about a twentieth of a
  // semitone), within half the series' spacing. A noise-driven peak is broad and ragged; its
  // mean is the pitch heard on average. (A band-pass is symmetric in log frequency, so for a
  // wide band this reads a little sharp: 1 cent for a band 6 % of its centre wide.)
  const double target = reading * best;
  const auto smoothing = static_cast<std::size_t>(std::max(1.0, target * 0.003 / binHz));
  std::vector<double> smooth(power.size(), 0.0);
  for (std::size_t i = smoothing; i + smoothing < power.size(); ++i) {
    for (std::size_t j = i - smoothing; j <= i + smoothing; ++j) smooth[i] += power[j];
    smooth[i] /= static_cast<double>(2 * smoothing + 1);
  }
  std::size_t first = 0, last = 0;
  if (!spectrum.range(target / centsToRatio(kPeakCents), target * centsToRatio(kPeakCents), first, last))
    return estimate;
  std::size_t top = first;
  for (std::size_t i = first; i <= last; ++i)
    if (smooth[i] > smooth[top]) top = i;
  const auto limitLow = static_cast<std::size_t>(std::max(1.0, (target - 0.45 * best) / binHz));
  const auto limitHigh = std::min(power.size() - 1, static_cast<std::size_t>((target + 0.45 * best) / binHz));
  std::size_t low = top, high = top;
  while (low > limitLow && smooth[low - 1] >= 0.25 * smooth[top]) --low;
  while (high < limitHigh && smooth[high + 1] >= 0.25 * smooth[top]) ++high;
  double sum = 0.0, weighted = 0.0;
  for (std::size_t i = low; i <= high; ++i) {
    sum += power[i];
    weighted += power[i] * static_cast<double>(i) * binHz;
  }
  if (!(sum > 0.0)) return estimate;
  estimate.found = true;
  estimate.hz = weighted / sum / reading;
  estimate.cents = 1200.0 * std::log2(estimate.hz / expectedHz);
  return estimate;
}

}  // namespace audition
