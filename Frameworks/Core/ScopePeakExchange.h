#pragma once

#include <array>
#include <atomic>

namespace core {

// What the engine hands to the editor without a lock: a ring of the most recent left-channel
// output samples for the oscilloscope, and a peak pair for the meters latched every 1024
// samples. The `peaksReady` flag is the hand-over: the engine fills the pair and sets the flag,
// the editor takes the pair and clears the flag, and no new window is measured while it is set.
//
// Written by the audio thread (the engine-side operations), read by the editor's thread. The
// ring samples and the indexes are relaxed atomics so a reader never sees a torn value; the
// ready flag orders the peak pair (release on set, acquire on take).
class ScopePeakExchange {
 public:
  static constexpr int kRingSize = 4096;
  static constexpr int kPeakWindow = 1024;

  // --- editor side -------------------------------------------------------------------------

  // When a new latched pair waits, clears the ready flag, writes the pair and returns true;
  // otherwise returns false and leaves the arguments alone.
  bool takePeaks(float& left, float& right) {
    if (!m_peaksReady.load(std::memory_order_acquire)) return false;
    left = m_peakLeft.load(std::memory_order_relaxed);
    right = m_peakRight.load(std::memory_order_relaxed);
    m_peaksReady.store(false, std::memory_order_release);
    return true;
  }

  // The ring position of the next write, 0..4096 (4096: the ring has just been filled to its end).
  int writeIndex() const { return m_writeIndex.load(std::memory_order_acquire); }
  float ringSample(int index) const {
    return m_ring[static_cast<unsigned>(index) & (kRingSize - 1)].load(std::memory_order_relaxed);
  }
  // Copies the whole ring and returns the write index that goes with it.
  int copyRing(std::array<float, kRingSize>& destination) const {
    const int index = writeIndex();
    for (int i = 0; i < kRingSize; ++i) destination[i] = m_ring[i].load(std::memory_order_relaxed);
    return index;
  }

  // Sets the latched pair to 0 (host suspend, engine resume).
  void resetPeaks() {
    m_peakLeft.store(0.0f, std::memory_order_relaxed);
    m_peakRight.store(0.0f, std::memory_order_relaxed);
  }

  float peakLeft() const { return m_peakLeft.load(std::memory_order_relaxed); }
  float peakRight() const { return m_peakRight.load(std::memory_order_relaxed); }
  bool peaksReady() const { return m_peaksReady.load(std::memory_order_acquire); }

  // --- engine side (audio thread) ------------------------------------------------------------

  // One rendered output sample: appends the left value to the ring and, while the editor has
  // taken the last pair, measures the window (signed maxima that start at 0).
  void feed(float left, float right) {
    int index = m_writeIndex.load(std::memory_order_relaxed);
    if (index >= kRingSize) index = 0;
    m_ring[index].store(left, std::memory_order_relaxed);
    m_writeIndex.store(index + 1, std::memory_order_release);

    if (m_peaksReady.load(std::memory_order_acquire)) return;
    if (m_windowCount++ >= kPeakWindow) {
      m_peakLeft.store(m_maxLeft, std::memory_order_relaxed);
      m_peakRight.store(m_maxRight, std::memory_order_relaxed);
      m_maxLeft = 0.0f;
      m_maxRight = 0.0f;
      m_windowCount = 0;
      m_peaksReady.store(true, std::memory_order_release);
    } else {
      if (left > m_maxLeft) m_maxLeft = left;
      if (right > m_maxRight) m_maxRight = right;
    }
  }

 private:
  std::atomic<float> m_peakLeft{0.0f};
  std::atomic<float> m_peakRight{0.0f};
  float m_maxLeft = 0.0f;   // audio thread only
  float m_maxRight = 0.0f;  // audio thread only
  std::atomic<bool> m_peaksReady{false};
  std::array<std::atomic<float>, kRingSize> m_ring{};
  std::atomic<int> m_writeIndex{0};
  int m_windowCount = 0;  // audio thread only
};

}  // namespace core
