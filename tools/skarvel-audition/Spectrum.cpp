#include "tools/skarvel-audition/Spectrum.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace audition {

void fft(std::vector<std::complex<double>>& x) {
  const std::size_t n = x.size();
  for (std::size_t i = 1, j = 0; i < n; ++i) {
    std::size_t bit = n >> 1;
    for (; j & bit; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) std::swap(x[i], x[j]);
  }
  for (std::size_t length = 2; length <= n; length <<= 1) {
    const double angle = -2.0 * std::numbers::pi / static_cast<double>(length);
    const std::complex<double> step(std::cos(angle), std::sin(angle));
    for (std::size_t i = 0; i < n; i += length) {
      std::complex<double> w(1.0, 0.0);
      for (std::size_t k = 0; k < length / 2; ++k) {
        const auto u = x[i + k];
        const auto v = x[i + k + length / 2] * w;
        x[i + k] = u + v;
        x[i + k + length / 2] = u - v;
        w *= step;
      }
    }
  }
}

std::size_t powerOfTwoAtLeast(std::size_t n) {
  std::size_t p = 1;
  while (p < n) p <<= 1;
  return p;
}

std::vector<double> averagePowerSpectrum(const float* samples, std::size_t count, std::size_t frameLength,
                                         std::size_t fftSize) {
  std::vector<double> power(fftSize / 2 + 1, 0.0);
  if (count == 0 || frameLength == 0) return power;
  const std::size_t length = std::min(frameLength, count);
  fftSize = std::max(fftSize, powerOfTwoAtLeast(length));
  power.assign(fftSize / 2 + 1, 0.0);

  std::vector<double> window(length);
  for (std::size_t i = 0; i < length; ++i)
    window[i] = length > 1 ? 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * i / (length - 1)) : 1.0;

  // Two real frames per complex transform: one in the real part, the next in the imaginary.
  std::vector<std::size_t> starts;
  const std::size_t hop = std::max<std::size_t>(1, length / 2);
  for (std::size_t start = 0; start + length <= count; start += hop) starts.push_back(start);
  std::vector<std::complex<double>> frame(fftSize);
  int frames = 0;
  for (std::size_t f = 0; f < starts.size(); f += 2) {
    const bool pair = f + 1 < starts.size();
    std::fill(frame.begin(), frame.end(), std::complex<double>());
    for (std::size_t i = 0; i < length; ++i)
      frame[i] = {window[i] * samples[starts[f] + i], pair ? window[i] * samples[starts[f + 1] + i] : 0.0};
    fft(frame);
    for (std::size_t k = 0; k < power.size(); ++k) {
      const std::complex<double> z = frame[k], mirror = std::conj(frame[(fftSize - k) % fftSize]);
      power[k] += std::norm(0.5 * (z + mirror)) + std::norm(0.5 * (z - mirror));
    }
    frames += pair ? 2 : 1;
  }
  for (double& p : power) p /= frames;
  return power;
}

}  // namespace audition
