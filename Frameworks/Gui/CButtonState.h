#pragma once

#include <cstdint>

namespace VSTGUI {

// Mouse buttons and keyboard modifiers of a mouse event, as bit flags.
enum CButton : uint32_t {
  kLButton = 1u << 1,
  kMButton = 1u << 2,
  kRButton = 1u << 3,
  kShift = 1u << 4,
  kControl = 1u << 5,
  kAlt = 1u << 6,
  kApple = 1u << 7,
  kButton4 = 1u << 8,
  kButton5 = 1u << 9,
  kDoubleClick = 1u << 10,
};

// The modifier that makes a click restore a control's default value.
constexpr uint32_t kDefaultValueModifier = kControl;

class CButtonState {
 public:
  constexpr CButtonState(uint32_t state = 0) : m_state(state) {}

  uint32_t getButtonState() const { return m_state & (kLButton | kMButton | kRButton | kButton4 | kButton5); }
  uint32_t getModifierState() const { return m_state & (kShift | kControl | kAlt | kApple); }
  bool isLeftButton() const { return (m_state & kLButton) != 0; }
  bool isRightButton() const { return (m_state & kRButton) != 0; }
  bool isMiddleButton() const { return (m_state & kMButton) != 0; }
  bool isDoubleClick() const { return (m_state & kDoubleClick) != 0; }
  // True when nothing but the left button is held (no other button, no modifier).
  bool isOnlyLeftButton() const { return (m_state & ~kDoubleClick) == kLButton; }

  uint32_t operator()() const { return m_state; }
  CButtonState& operator=(uint32_t state) {
    m_state = state;
    return *this;
  }
  uint32_t operator&(uint32_t mask) const { return m_state & mask; }
  uint32_t operator|(uint32_t mask) const { return m_state | mask; }
  CButtonState& operator|=(uint32_t mask) {
    m_state |= mask;
    return *this;
  }
  bool operator==(const CButtonState& other) const { return m_state == other.m_state; }
  bool operator!=(const CButtonState& other) const { return m_state != other.m_state; }

 private:
  uint32_t m_state;
};

}  // namespace VSTGUI
