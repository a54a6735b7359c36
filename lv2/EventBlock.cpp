#include "lv2/EventBlock.h"

#include <cstring>

namespace lv2 {

bool EventBlock::add(std::int32_t frame, const std::uint8_t* bytes, std::uint32_t size) {
  if (full()) return false;
  core::DspMidiEvent& event = m_events[static_cast<std::size_t>(m_list.numEvents)];
  event = core::DspMidiEvent{};
  event.type = core::kDspMidiEventType;
  event.byteSize = sizeof(core::DspMidiEvent);
  event.deltaFrames = frame;
  std::memcpy(event.midiData, bytes, size < 3 ? size : 3);
  m_list.events[m_list.numEvents++] = reinterpret_cast<core::DspEvent*>(&event);
  return true;
}

}  // namespace lv2
