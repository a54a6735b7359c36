#pragma once

#include <complex>
#include <cstddef>
#include <vector>

namespace audition {

// In-place radix-2 FFT; the size must be a power of two.
void fft(std::vector<std::complex<double>>& x);

// The smallest power of two at or above n (at least 1).
std::size_t powerOfTwoAtLeast(std::size_t n);

// Mean power spectrum of `count` samples: Hann frames of `frameLength` samples with half
// overlap (one frame of all samples when fewer than `frameLength`), each zero-padded to
// `fftSize` (a power of two, at least the frame length). Bins 0..fftSize/2.
std::vector<double> averagePowerSpectrum(const float* samples, std::size_t count, std::size_t frameLength,
                                         std::size_t fftSize);

}  // namespace audition
