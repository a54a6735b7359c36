#pragma once

#include <array>

namespace skarvel {

// Which MIDI note each voice slot holds. Slots are searched in order; a note already held is
// found again (re-trigger), a new note takes the first slot whose voice is idle.
//
// A free slot holds kFree, a value no MIDI note has, so note 0 is held and released like any
// other note.
class VoiceAllocator {
 public:
  static constexpr int kMaxSlots = 128;
  static constexpr int kFree = -1;

  explicit VoiceAllocator(int slotCount) : m_slotCount(slotCount < 1 ? 1 : (slotCount > kMaxSlots ? kMaxSlots : slotCount)) {
    clear();
  }

  void clear() {
    m_note.fill(kFree);
    m_velocity.fill(0);
  }

  int slotCount() const { return m_slotCount; }

  // The slot holding `note`, or -1.
  int findNote(int note) const {
    for (int slot = 0; slot < m_slotCount; ++slot)
      if (m_note[slot] == note) return slot;
    return -1;
  }

  void assign(int slot, int note, int velocity) {
    m_note[slot] = note;
    m_velocity[slot] = velocity;
  }
  void free(int slot) { m_note[slot] = kFree; }

  int note(int slot) const { return m_note[slot]; }
  int velocity(int slot) const { return m_velocity[slot]; }

 private:
  std::array<int, kMaxSlots> m_note{};
  std::array<int, kMaxSlots> m_velocity{};
  int m_slotCount;
};

}  // namespace skarvel
