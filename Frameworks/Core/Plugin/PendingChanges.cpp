#include "Frameworks/Core/Plugin/PendingChanges.h"

#include "Frameworks/Core/Assert.h"

namespace core {

// A bounded multi-producer ring in the manner of a sequence-numbered queue: each cell's sequence
// says whether it is free for the writer at that position (sequence == position) or holds a
// change for the reader (sequence == position + 1).

PendingChanges::PendingChanges() {
  for (std::size_t i = 0; i < kCapacity; ++i) m_cells[i].sequence.store(i, std::memory_order_relaxed);
}

void PendingChanges::addEdit(int id, float value) {
  if (!CORE_CHECK(id >= 0 && id < kMaxParameters)) return;
  // Once changes overflow, later ones follow them there, so none overtakes an older one.
  if (!m_overflowing.load(std::memory_order_acquire) && add(Change{Change::Edit, id, value})) return;
  m_overflowValues[id].store(value, std::memory_order_relaxed);
  m_overflowMask.fetch_or(std::uint64_t{1} << id, std::memory_order_release);
  m_overflowing.store(true, std::memory_order_release);
}

void PendingChanges::addProgramChange(int program) {
  if (program < 0) return;
  if (!m_overflowing.load(std::memory_order_acquire) && add(Change{Change::ProgramChange, program, 0.0f})) return;
  m_overflowProgram.store(program, std::memory_order_release);
  m_overflowing.store(true, std::memory_order_release);
}

bool PendingChanges::any() const {
  return m_writePosition.load(std::memory_order_acquire) != m_readPosition.load(std::memory_order_acquire) ||
         m_overflowing.load(std::memory_order_acquire);
}

bool PendingChanges::add(const Change& change) {
  std::size_t position = m_writePosition.load(std::memory_order_relaxed);
  for (;;) {
    Cell& cell = m_cells[position % kCapacity];
    const std::size_t sequence = cell.sequence.load(std::memory_order_acquire);
    const auto lag = static_cast<std::intptr_t>(sequence) - static_cast<std::intptr_t>(position);
    if (lag == 0) {
      if (m_writePosition.compare_exchange_weak(position, position + 1, std::memory_order_relaxed)) {
        cell.change = change;
        cell.sequence.store(position + 1, std::memory_order_release);
        return true;
      }
    } else if (lag < 0) {
      return false;  // full: the reader has not yet freed this cell
    } else {
      position = m_writePosition.load(std::memory_order_relaxed);
    }
  }
}

bool PendingChanges::take(Change& change) {
  const std::size_t position = m_readPosition.load(std::memory_order_relaxed);
  Cell& cell = m_cells[position % kCapacity];
  // A writer that has claimed this cell but not yet filled it counts as not there yet; the next
  // holder of the lock takes it.
  if (cell.sequence.load(std::memory_order_acquire) != position + 1) return false;
  change = cell.change;
  cell.sequence.store(position + kCapacity, std::memory_order_release);
  m_readPosition.store(position + 1, std::memory_order_release);
  return true;
}

}  // namespace core
