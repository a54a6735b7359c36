#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

namespace core {

// Parameter edits and program changes that found the preset lock taken, kept in the order they
// arrived until the lock's next holder records them. Any thread may add without waiting (one
// compare-and-swap on the write position, no allocation); only the holder of the preset lock
// takes them out, so there is one reader at a time.
//
// The ring holds kCapacity changes. When it is full (the lock was held through more changes than
// that), further edits are kept as the latest value per parameter and a further program change
// as the latest number; the holder applies those after the ring, the program change first, so
// no edit is lost, but one that arrived before that program change then lands on the new
// program.
class PendingChanges {
 public:
  static constexpr std::size_t kCapacity = 1024;
  static constexpr int kMaxParameters = 64;

  struct Change {
    enum Kind : std::int32_t { Edit, ProgramChange };
    Kind kind = Edit;
    std::int32_t index = 0;  // parameter id, or program number
    float value = 0.0f;      // the edit's value
  };

  PendingChanges();
  PendingChanges(const PendingChanges&) = delete;
  PendingChanges& operator=(const PendingChanges&) = delete;

  // Any thread. `index` of an edit must be below kMaxParameters.
  void addEdit(int id, float value);
  void addProgramChange(int program);

  // True when something waits (a hint for the audio thread: worth trying the lock).
  bool any() const;

  // Only with the preset lock held: hands every waiting change to `apply`, oldest first, then
  // the overflow (the program change, then the edits).
  template <typename Apply>
  void drain(Apply&& apply) {
    Change change;
    while (take(change)) apply(change);
    if (m_overflowing.exchange(false, std::memory_order_acq_rel)) {
      const int program = m_overflowProgram.exchange(-1, std::memory_order_acq_rel);
      if (program >= 0) apply(Change{Change::ProgramChange, program, 0.0f});
      std::uint64_t mask = m_overflowMask.exchange(0, std::memory_order_acq_rel);
      for (int id = 0; mask != 0; ++id, mask >>= 1)
        if (mask & 1) apply(Change{Change::Edit, id, m_overflowValues[id].load(std::memory_order_relaxed)});
    }
  }

 private:
  struct Cell {
    std::atomic<std::size_t> sequence{0};
    Change change;
  };
  bool add(const Change& change);
  bool take(Change& change);

  std::array<Cell, kCapacity> m_cells;
  std::atomic<std::size_t> m_writePosition{0};
  std::atomic<std::size_t> m_readPosition{0};
  std::atomic<bool> m_overflowing{false};
  std::array<std::atomic<float>, kMaxParameters> m_overflowValues{};
  std::atomic<std::uint64_t> m_overflowMask{0};
  std::atomic<int> m_overflowProgram{-1};
};

}  // namespace core
