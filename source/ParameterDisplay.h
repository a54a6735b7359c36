#pragma once

#include <cstddef>

namespace skarvel {

// The text the host and the editor show for a parameter's stored normalised value, written
// into text (at most size - 1 bytes and a terminating zero; nothing when size is 0). Numbers are
// formatted the same in every process locale. bpMelody is the stored BPMelody value (it changes
// what KT2Rate1 shows), sampleRate the engine's rate (CombFilter shows hertz up to an eighth).
void formatParameterDisplay(int id, float value, float bpMelody, double sampleRate, char* text,
                            std::size_t size);

}  // namespace skarvel
