#pragma once

#include <cstdint>

namespace VSTGUI {

// A key press as the VST 2.4 editor key requests carry it: a character (here a Unicode code
// point, 0 for non-character keys), a virtual key and modifier bits.
struct VstKeyCode {
  int32_t character = 0;
  uint8_t virt = 0;
  uint8_t modifier = 0;
};

enum VstVirtualKey : uint8_t {
  VKEY_BACK = 1,
  VKEY_TAB,
  VKEY_CLEAR,
  VKEY_RETURN,
  VKEY_PAUSE,
  VKEY_ESCAPE,
  VKEY_SPACE,
  VKEY_NEXT,
  VKEY_END,
  VKEY_HOME,
  VKEY_LEFT,
  VKEY_UP,
  VKEY_RIGHT,
  VKEY_DOWN,
  VKEY_PAGEUP,
  VKEY_PAGEDOWN,
  VKEY_SELECT,
  VKEY_PRINT,
  VKEY_ENTER,
  VKEY_SNAPSHOT,
  VKEY_INSERT,
  VKEY_DELETE,
  VKEY_HELP,
};

enum VstModifierKey : uint8_t {
  MODIFIER_SHIFT = 1 << 0,
  MODIFIER_ALTERNATE = 1 << 1,
  MODIFIER_COMMAND = 1 << 2,
  MODIFIER_CONTROL = 1 << 3,
};

}  // namespace VSTGUI
